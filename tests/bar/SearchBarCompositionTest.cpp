// Input methods in the query field. Wine under Xvfb has no input method
// server to type with, but its imm32 runs the system's input method on the
// field's own context: ImmSetCompositionStringW opens and changes a
// composition and ImmNotifyIME completes or cancels it, and the field gets
// the messages an input method sends (Wine's edit control also shows the
// composition string in its text). One round then sends those messages by
// hand, in the order the system delivers them. Live rows come from the
// demo's loopback suggestion server, which records what it was asked.
#include "../../src/frame/Messages.h"
#include "../../src/input/CInputContext.h"
#include "../../src/input/CQueryEdit.h"
#include "../../src/suggest/Utf.h"
#include "BarTestSupport.h"
#include "CSuggestionServer.h"
#include "Input.h"
#include "Pump.h"

#include <algorithm>
#include <mutex>
#include <string>
#include <vector>

namespace {
const RecordedMessage kChanged{UM_QUERY_CHANGED, 0, 1};

std::vector<std::wstring> LiveRows(const std::wstring& query) {
    return {query + L" one", query + L" two"};
}

LOGFONTW FontOf(HWND field) {
    LOGFONTW font{};
    ::GetObjectW(reinterpret_cast<HGDIOBJ>(::SendMessageW(field, WM_GETFONT, 0, 0)), sizeof(font),
                 &font);
    return font;
}

int LineHeightOf(HWND field) {
    HDC dc = ::GetDC(field);
    const HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageW(field, WM_GETFONT, 0, 0)));
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(dc, &metrics);
    ::SelectObject(dc, old);
    ::ReleaseDC(field, dc);
    return metrics.tmHeight;
}

// The composition window at the caret in the field's font; the candidate
// window at the caret's bottom, clear of the whole field.
::testing::AssertionResult PlacedAtCaret(HWND field) {
    const CInputContext context(field);
    COMPOSITIONFORM at{};
    CANDIDATEFORM below{};
    LOGFONTW font{};
    if (!::ImmGetCompositionWindow(context.Get(), &at) ||
        !::ImmGetCandidateWindow(context.Get(), 0, &below) ||
        !::ImmGetCompositionFontW(context.Get(), &font))
        return ::testing::AssertionFailure() << "nothing placed";
    POINT caret{};
    RECT client{};
    ::GetCaretPos(&caret);
    ::GetClientRect(field, &client);
    const LOGFONTW fieldFont = FontOf(field);
    const LONG caretBottom = caret.y + LineHeightOf(field);
    if (at.dwStyle == CFS_POINT && at.ptCurrentPos.x == caret.x && at.ptCurrentPos.y == caret.y &&
        below.dwStyle == CFS_EXCLUDE && below.ptCurrentPos.x == caret.x &&
        below.ptCurrentPos.y == caretBottom && below.rcArea == client &&
        font.lfHeight == fieldFont.lfHeight &&
        std::wstring(font.lfFaceName) == std::wstring(fieldFont.lfFaceName))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "composition window " << at.dwStyle << " at " << at.ptCurrentPos.x << ","
           << at.ptCurrentPos.y << ", candidates " << below.dwStyle << " at "
           << below.ptCurrentPos.x << "," << below.ptCurrentPos.y << " excluding "
           << below.rcArea.right << "x" << below.rcArea.bottom << ", font height " << font.lfHeight
           << "; caret at " << caret.x << "," << caret.y << "-" << caretBottom << ", field "
           << client.right << "x" << client.bottom << ", its font " << fieldFont.lfHeight;
}

void Compose(HWND field, const std::wstring& text) {
    const CInputContext context(field);
    ::ImmSetOpenStatus(context.Get(), TRUE);
    ASSERT_TRUE(::ImmSetCompositionStringW(context.Get(), SCS_SETSTR, const_cast<wchar_t*>(text.c_str()),
                                           static_cast<DWORD>(text.size() * sizeof(wchar_t)), nullptr, 0));
}

void EndComposition(HWND field, DWORD how) {
    const CInputContext context(field);
    ASSERT_TRUE(::ImmNotifyIME(context.Get(), NI_COMPOSITIONSTR, how, 0));
}

class SearchBarCompositionTest : public BarTest {
protected:
    void SetUp() override {
        BarTest::SetUp();
        ASSERT_TRUE(server.Start());
        ShowStandardBar();
        ASSERT_EQ(1, bar->AddEngineW(L"", L"Live", L"https://search.example/s?q={searchTerms}"));
        ASSERT_EQ(1, bar->SetSuggestionUrlW(0, server.UrlTemplate().c_str()));
        ClickIntoField();
        PumpUntilIdle();
        host.Clear();
    }

    std::vector<std::wstring> Asked() {
        const std::lock_guard<std::mutex> lock(askedMutex);
        return asked;
    }
    bool AskedFor(const std::wstring& part) {
        const std::vector<std::wstring> queries = Asked();
        return std::any_of(queries.begin(), queries.end(), [&](const std::wstring& query) {
            return query.find(part) != std::wstring::npos;
        });
    }
    // Longer than the bar's pause before it asks, so a request would have gone.
    static void PumpPastThePause() {
        PumpUntil([] { return false; }, 4 * CSearchBar::kLiveSuggestionPauseMs);
    }
    ::testing::AssertionResult ShowsLiveRowsForQuery() {
        const std::wstring query = Query();
        if (PumpUntil([&] { return ShownRows() == LiveRows(query); }))
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << ShownRows().size() << " rows shown";
    }
    // Nothing for the host, nothing asked since askedBefore requests, no
    // list, while composing.
    void ExpectHeldBack(const std::wstring& halfComposed, size_t askedBefore) {
        PumpPastThePause();
        EXPECT_FALSE(SuggestionsVisible());
        EXPECT_TRUE(host.Matches({}));
        EXPECT_FALSE(AskedFor(halfComposed)) << "the half-composed text was asked";
        EXPECT_EQ(askedBefore, Asked().size()) << "asked while composing";
        bar->ShowSuggestions(); // a late answer of the host's
        EXPECT_FALSE(SuggestionsVisible()) << "shown over the composition";
    }

    std::mutex askedMutex;
    std::vector<std::wstring> asked;
    CSuggestionServer server{[this](const std::string& query) {
        const std::u16string utf16 = tavrel::suggest::Utf8ToUtf16(query);
        const std::wstring wide(utf16.begin(), utf16.end());
        const std::lock_guard<std::mutex> lock(askedMutex);
        asked.push_back(wide);
        std::vector<std::string> rows;
        for (const char* tail : {" one", " two"})
            rows.push_back(query + tail);
        return rows;
    }};
};
} // namespace

// Typed "a" shows live rows; a composition hides them, and neither the host
// nor the server hears of it, while its windows sit at the caret; the
// committed result is one change that shows rows again; a cancelled one
// leaves the text and says nothing; the same holds for the messages sent by
// hand, with characters outside the code page; and at 192 DPI the field's
// larger font goes to the input method.
TEST_F(SearchBarCompositionTest, ACompositionIsOneChangeAndNeverCoveredOrAsked) {
    const HWND field = EditHwnd();
    TypeIntoFocus("a");
    ASSERT_TRUE(ShowsLiveRowsForQuery());
    EXPECT_TRUE(host.Matches({kChanged}));

    const size_t askedBefore = Asked().size();
    Compose(field, L"にほん");
    ASSERT_TRUE(PumpUntil([&] { return !SuggestionsVisible(); })) << "the list covers the composition";
    ExpectHeldBack(L"にほん", askedBefore);
    EXPECT_TRUE(PlacedAtCaret(field));

    EndComposition(field, CPS_COMPLETE);
    ASSERT_TRUE(PumpUntil([&] { return Query() == L"aにほん" && !host.Messages().empty(); }));
    PumpUntilIdle();
    EXPECT_TRUE(host.Matches({kChanged})) << "not one change for the result";
    EXPECT_TRUE(ShowsLiveRowsForQuery());
    EXPECT_EQ(L"aにほん", Asked().back());

    Compose(field, L"か");
    ASSERT_TRUE(PumpUntil([&] { return !SuggestionsVisible(); }));
    EndComposition(field, CPS_CANCEL);
    PumpPastThePause();
    EXPECT_EQ(L"aにほん", Query());
    EXPECT_TRUE(host.Matches({})) << "a cancelled composition told the host";
    EXPECT_FALSE(AskedFor(L"か"));

    // By hand: the result's characters are posted while the result is
    // handled, so they arrive after the end of the composition.
    OfferSuggestions({"shown"});
    const size_t askedBeforeByHand = Asked().size();
    ::SendMessageW(field, WM_IME_STARTCOMPOSITION, 0, 0);
    ::SendMessageW(field, WM_IME_COMPOSITION, L'東', GCS_COMPSTR | GCS_COMPATTR | GCS_CURSORPOS);
    ExpectHeldBack(L"東", askedBeforeByHand);
    ::SendMessageW(field, WM_IME_COMPOSITION, 0, GCS_RESULTSTR);
    for (const wchar_t ch : std::wstring(L"東京"))
        ::PostMessageW(field, WM_IME_CHAR, ch, 1);
    ::SendMessageW(field, WM_IME_ENDCOMPOSITION, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return Query() == L"aにほん東京" && !host.Messages().empty(); }))
        << "the result was not kept in UTF-16";
    PumpUntilIdle();
    EXPECT_TRUE(host.Matches({kChanged})) << "not one change for the result";
    EXPECT_TRUE(ShowsLiveRowsForQuery());

    const LONG fontAt96 = FontOf(field).lfHeight;
    RECT suggested = WindowRectOf(BarHwnd());
    suggested.right = suggested.left + 800;
    suggested.bottom = suggested.top + 60;
    ::SendMessageA(BarHwnd(), WM_DPICHANGED, MAKEWPARAM(192, 192), reinterpret_cast<LPARAM>(&suggested));
    ::SetFocus(field);
    PumpUntilIdle();
    ASSERT_EQ(2 * fontAt96, FontOf(field).lfHeight);
    Compose(field, L"中");
    EXPECT_TRUE(PlacedAtCaret(field)) << "at 192 DPI";
    EndComposition(field, CPS_CANCEL);
}

// A right-aligned field has its caret at the right: the windows go there.
TEST(QueryFieldCompositionTest, RightAlignedFieldPlacesAtItsCaret) {
    MessageRecorder parent(UM_COMPOSITION, UM_COMPOSITION);
    ::SetWindowPos(parent.hwnd(), HWND_TOP, 100, 100, 500, 100, SWP_SHOWWINDOW);
    CQueryEdit field;
    ASSERT_TRUE(field.SubclassWindow(::CreateWindowExW(
        WS_EX_RTLREADING, L"EDIT", L"abc", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL | ES_RIGHT, 10, 10,
        300, 26, parent.hwnd(), nullptr, nullptr, nullptr)));
    const HFONT font = ::CreateFontW(-20, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0,
                                     0, 0, L"DejaVu Sans");
    ::SendMessageW(field.m_hWnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    BringToForeground(field.m_hWnd);
    ::SetFocus(field.m_hWnd);
    ::SendMessageW(field.m_hWnd, EM_SETSEL, 3, 3);
    ASSERT_TRUE(PumpUntil([&] { return ::GetFocus() == field.m_hWnd; }));
    Compose(field.m_hWnd, L"한");
    PumpUntilIdle();
    POINT caret{};
    ::GetCaretPos(&caret);
    EXPECT_GT(caret.x, 150) << "the caret of a right-aligned field is at the right";
    EXPECT_TRUE(PlacedAtCaret(field.m_hWnd));
    EXPECT_TRUE(field.Composing());
    EXPECT_TRUE(parent.Matches({{UM_COMPOSITION, 1, 0}}));
    EndComposition(field.m_hWnd, CPS_CANCEL);
    ASSERT_TRUE(PumpUntil([&] { return !field.Composing(); }));
    wchar_t text[8] = {};
    ::GetWindowTextW(field.m_hWnd, text, 8);
    EXPECT_EQ(std::wstring(L"abc"), text);
    EXPECT_TRUE(parent.Matches({{UM_COMPOSITION, 0, 0}}));
    ::DestroyWindow(field.m_hWnd);
    ::DeleteObject(font);
}
