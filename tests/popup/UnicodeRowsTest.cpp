// Rows in other scripts, read from the suggestion list's back buffer: text
// the list's font has no glyphs for is drawn in a fallback family with real
// glyphs (two different CJK characters look different, where missing-glyph
// boxes would look alike), and a Hebrew row reads right to left (its first
// letter stands at the row's right end), also in a right-to-left list, where a
// Latin row is right-aligned but keeps its left-to-right order. The engine
// list draws its names the same way (ListPainter); its rows are checked for
// the fallback family.
#include "../../src/hooks/CPopupHook.h"
#include "../../src/input/CGuiEdit.h"
#include "../../src/popup/CEngineList.h"
#include "../../src/popup/CSuggestionList.h"
#include "../../src/render/CFontFallback.h"
#include "Input.h"
#include "MessageRecorder.h"
#include "PopupTestSupport.h"
#include "Pump.h"
#include "TestFiles.h"
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 180;
constexpr int kRowHeight = 25;

class UnicodeRowsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::SetWindowPos(host.hwnd(), HWND_TOP, 0, 0, 640, 480, SWP_SHOWWINDOW);
        MoveMouseTo(600, 450);
        ASSERT_TRUE(list.Create(host.hwnd(), 0, 0, 0, 0));
        list.SetBackgroundSkin(WriteSolidPng("unicode-bg.png", 8, 8, 0xFFFFFFFF).c_str(), 0);
        list.SetListWidth(kWidth);
        MoveTo(&list, 120, 100);
    }
    void TearDown() override {
        list.Hide();
        CPopupHook().RemoveBarMouseHook();
    }

    // The text pixels of each column of a row, left to right.
    std::vector<int> Columns(const std::wstring& text) {
        list.Clear();
        EXPECT_EQ(1, list.AddSuggestionW(text.c_str()));
        list.Show();
        const PixelImage image = PaintAndRead(list.m_hWnd, list.bufferDC);
        std::vector<int> columns;
        for (int x = 1; x < kWidth - 1; ++x) {
            const RECT column = {x, 1, x + 1, kRowHeight - 1};
            columns.push_back(CountTextPixels(image, column));
        }
        return columns;
    }

    static std::vector<int> Inked(const std::vector<int>& columns) {
        size_t first = 0, last = columns.size();
        while (first < last && columns[first] == 0)
            ++first;
        while (last > first && columns[last - 1] == 0)
            --last;
        return std::vector<int>(columns.begin() + first, columns.begin() + last);
    }

    MessageRecorder host;
    CSuggestionList list;
};

} // namespace

TEST_F(UnicodeRowsTest, FallbackFamilyHasTheGlyphs) {
    for (const wchar_t* text : {L"東京タワー", L"Привет мир", L"שלום", L"مرحبا", L"Ελλάδα"}) {
        SCOPED_TRACE(::testing::Message() << "text starting U+" << std::hex << int(text[0]));
        const int missing =
            CFontFallback::MissingGlyphs(CFontFallback::FamilyNameOf(*list.textStyle), text);
        if (missing > 0) {
            const std::wstring family = CFontFallback::FamilyFor(text, missing);
            ASSERT_FALSE(family.empty());
            EXPECT_EQ(0, CFontFallback::MissingGlyphs(family, text));
        }
    }
}

TEST_F(UnicodeRowsTest, CjkRowsDrawRealGlyphs) {
    const std::vector<int> forward = Inked(Columns(L"東京"));
    const std::vector<int> backward = Inked(Columns(L"京東"));
    ASSERT_FALSE(forward.empty());
    EXPECT_NE(forward, backward) << "both characters drawn alike: missing-glyph boxes";
}

TEST_F(UnicodeRowsTest, HebrewRowReadsRightToLeft) {
    // Alef then three bets: read right to left, the alef stands rightmost.
    const std::vector<int> word = Columns(L"\x05D0\x05D1\x05D1\x05D1");
    const std::vector<int> alef = Columns(L"\x05D0");
    const std::vector<int> bet = Columns(L"\x05D1");
    const std::vector<int> alefInk = Inked(alef);
    ASSERT_FALSE(alefInk.empty());
    // The rows are right aligned: the alef alone ends where the word ends.
    const std::vector<int> wordInk = Inked(word);
    ASSERT_GT(wordInk.size(), alefInk.size());
    const std::vector<int> wordEnd(wordInk.end() - alefInk.size(), wordInk.end());
    EXPECT_EQ(alefInk, wordEnd);
    EXPECT_NE(Inked(bet), std::vector<int>(wordInk.end() - Inked(bet).size(), wordInk.end()));
    // And it stands at the right of the row, not at the left.
    size_t lastInk = word.size();
    while (lastInk > 0 && word[lastInk - 1] == 0)
        --lastInk;
    EXPECT_GT(lastInk, static_cast<size_t>(kWidth / 2));
}

TEST_F(UnicodeRowsTest, RightToLeftListKeepsEachTextsOwnOrder) {
    list.SetRightToLeft(true);
    // A Latin row is right-aligned and still reads left to right: its W
    // stands at the left end of its ink, as the W alone looks.
    const std::vector<int> latin = Columns(L"Wiii");
    const std::vector<int> wInk = Inked(Columns(L"W"));
    const std::vector<int> latinInk = Inked(latin);
    ASSERT_GT(wInk.size(), 2u);
    ASSERT_GT(latinInk.size(), wInk.size());
    // The W's last column may touch the next letter's first.
    const size_t wBody = wInk.size() - 1;
    EXPECT_EQ(std::vector<int>(wInk.begin(), wInk.begin() + wBody),
              std::vector<int>(latinInk.begin(), latinInk.begin() + wBody));
    size_t inkEnd = latin.size();
    while (inkEnd > 0 && latin[inkEnd - 1] == 0)
        --inkEnd;
    EXPECT_GT(inkEnd, static_cast<size_t>(kWidth - 8)); // at the right edge
    // A Hebrew row reads right to left as before: the alef rightmost.
    const std::vector<int> alefInk = Inked(Columns(L"\x05D0"));
    const std::vector<int> wordInk = Inked(Columns(L"\x05D0\x05D1\x05D1\x05D1"));
    ASSERT_GT(wordInk.size(), alefInk.size());
    EXPECT_EQ(alefInk, std::vector<int>(wordInk.end() - alefInk.size(), wordInk.end()));
}

TEST(UnicodeEngineRows, NamesAreKeptInUtf16AndLatinRowsKeepTheirFont) {
    MessageRecorder host;
    CEngineList list;
    ASSERT_TRUE(list.Create(host.hwnd(), 0, 0, 0, 0));
    const std::string icon = WriteSolidPng("unicode-icon.png", 16, 16, 0xFF2040C0);
    const std::wstring wideIcon(icon.begin(), icon.end());
    EXPECT_EQ(1, list.AddEngineW(wideIcon.c_str(), L"搜索", L"https://example.org/find?term="));
    EXPECT_EQ(0, list.AddEngineW(wideIcon.c_str(), L"搜索", L"")); // the name is taken
    EXPECT_EQ(1, list.AddEngine(icon.c_str(), "Alpha", "http://alpha.test/?q="));
    EXPECT_EQ(L"搜索", list.RowName(0));
    EXPECT_TRUE(list.GetItem(0)->wideRegistration);
    EXPECT_FALSE(list.GetItem(1)->wideRegistration);
    CRowFonts fonts;
    EXPECT_EQ(list.textStyle->font, fonts.FontFor(*list.textStyle, L"Alpha"));
    EXPECT_NE(list.textStyle->font, fonts.FontFor(*list.textStyle, L"搜索"));
}
