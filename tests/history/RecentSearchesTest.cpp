// Recent searches in a real bar under real keys and clicks: every way of
// searching records the query (in the file before the host hears of it),
// recent rows are offered above the host's and merged with them, Down in
// the empty field opens them, Shift+Delete removes one, and a failed write
// keeps the old file.
#include "../access/AccessProbe.h"
#include "../bar/BarTestSupport.h"
#include "../../src/frame/Messages.h"
#include "../../src/input/CGuiEdit.h"
#include "../../src/popup/CSuggestionList.h"
#include "../../src/settings/CAtomicFile.h"
#include "Input.h"
#include "Pump.h"
#include "TestFiles.h"
#include <gtest/gtest.h>

namespace {
using Rows = std::vector<std::wstring>;
const std::string kHeader = "# Tavrel recent searches 1\n";

// The history file's bytes as they were when the host window received
// UM_SEARCH_LAUNCHED, caught by subclassing the host window.
std::string g_watchedPath;
std::string g_fileAtLaunch;
WNDPROC g_hostProc = nullptr;

LRESULT CALLBACK WatchingHostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == UM_SEARCH_LAUNCHED)
        g_fileAtLaunch = ReadFileBytes(g_watchedPath);
    return ::CallWindowProcA(g_hostProc, window, message, wParam, lParam);
}

constexpr uint32_t kListColor = 0xFF204060;

// Pixels of the list's back buffer in [left, right) x [top, bottom) that
// are not the list's background.
int InkIn(const PixelImage& image, int left, int top, int right, int bottom) {
    int ink = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            ink += SameColor(image.At(x, y), kListColor, 24) ? 0 : 1;
    return ink;
}

BOOL WINAPI FailingReplace(LPCWSTR, LPCWSTR, LPCWSTR, DWORD, LPVOID, LPVOID) {
    ::SetLastError(ERROR_DISK_FULL);
    return FALSE;
}

std::wstring Wide(const std::string& text) {
    return std::wstring(text.begin(), text.end());
}

class RecentSearchesTest : public BarTest {
protected:
    void SetUp() override {
        BarTest::SetUp();
        ShowStandardBar();
        bar->SetSuggestionListBackground(SkinPng(400, 300, kListColor).c_str());
        ASSERT_EQ(1, bar->AddEngineW(L"", L"Web", L"https://search.example/?q="));
        g_hostProc = reinterpret_cast<WNDPROC>(::SetWindowLongPtrA(
            host.hwnd(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WatchingHostProc)));
    }
    void TearDown() override {
        CAtomicFile::SetReplaceCall(nullptr);
        ::SetWindowLongPtrA(host.hwnd(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_hostProc));
        BarTest::TearDown();
    }

    void UseHistory(const std::string& name, const std::string* content, int maxEntries) {
        g_watchedPath = ScratchPath(name);
        ::DeleteFileA(g_watchedPath.c_str());
        if (content)
            WriteFileBytes(name, *content);
        ASSERT_EQ(1, bar->SetHistoryFileW(Wide(g_watchedPath).c_str(), maxEntries));
    }
    Rows Entries() const {
        Rows entries;
        for (int i = 0; i < bar->history.Count(); ++i)
            entries.push_back(*bar->history.Entry(i));
        return entries;
    }
    int RecentRowCount() const {
        int count = 0;
        while (bar->suggestionList->IsRecentRow(count))
            ++count;
        return count;
    }
    // Types into the field; true once the field holds the text and the bar
    // has answered the last change.
    bool TypeQuery(const char* text) {
        ClearField();
        PumpUntilIdle();
        TypeIntoFocus(text);
        const bool typed = PumpUntil([&] { return Query() == Wide(text); });
        PumpUntilIdle();
        return typed;
    }
    // Waits for one more launched search and for the recording before it.
    ::testing::AssertionResult Launched(size_t before) {
        if (!PumpUntil([&] { return host.Count(UM_SEARCH_LAUNCHED) > before; }))
            return ::testing::AssertionFailure() << "no search launched";
        return ::testing::AssertionSuccess();
    }
    void ShiftDelete() {
        KeyDown(VK_SHIFT);
        TapKey(VK_DELETE);
        KeyUp(VK_SHIFT);
        PumpUntilIdle();
    }
};
} // namespace

// Enter, the search button, a click on a row and Enter on a row all record
// the query trimmed, newest first, a repeat moved to the front in its new
// spelling, at most maxEntries; an empty query is never recorded. The host
// reads the file when it hears of the search and finds the entry there. A
// write that fails leaves the old file and keeps the entry in the bar.
TEST_F(RecentSearchesTest, EveryLaunchedSearchIsRecordedBeforeTheHostHearsOfIt) {
    UseHistory("recorded.txt", nullptr, 3);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA(g_watchedPath.c_str()));
    ClickIntoField();

    ASSERT_TRUE(TypeQuery("  Weather  "));
    size_t launched = host.Count(UM_SEARCH_LAUNCHED);
    TapKey(VK_RETURN);
    ASSERT_TRUE(Launched(launched));
    EXPECT_EQ(kHeader + "Weather\n", g_fileAtLaunch);

    ASSERT_TRUE(TypeQuery("news"));
    launched = host.Count(UM_SEARCH_LAUNCHED);
    WaitDoubleClickTime();
    const POINT button = ScreenPointOf(bar->searchButtonHitRect);
    ClickAt(button.x, button.y);
    ASSERT_TRUE(Launched(launched));
    EXPECT_EQ(kHeader + "news\nWeather\n", g_fileAtLaunch);

    // A host row chosen by a click.
    ASSERT_TRUE(TypeQuery("ma"));
    OfferSuggestions({"maps", "mail"});
    launched = host.Count(UM_SEARCH_LAUNCHED);
    const RECT listRect = WindowRectOf(bar->suggestionList->m_hWnd);
    const RECT row = bar->suggestionList->RowRect(1);
    ClickAt(listRect.left + 40, listRect.top + (row.top + row.bottom) / 2);
    ASSERT_TRUE(Launched(launched));
    EXPECT_EQ(kHeader + "mail\nnews\nWeather\n", g_fileAtLaunch);

    // Enter on a recent row the keys reached; the host's repeat of it is
    // not shown twice.
    ASSERT_TRUE(TypeQuery("w"));
    OfferSuggestions({"WEATHER", "wiki"});
    EXPECT_EQ((Rows{L"Weather", L"wiki"}), ShownRows());
    bar->ClearSuggestions();
    bar->AddSuggestion("Weather Radar");
    bar->ShowSuggestions();
    ASSERT_TRUE(PumpUntil([&] { return SuggestionsVisible(); }));
    EXPECT_EQ((Rows{L"Weather", L"Weather Radar"}), ShownRows());
    launched = host.Count(UM_SEARCH_LAUNCHED);
    TapKey(VK_DOWN);
    ASSERT_TRUE(PumpUntil([&] { return Query() == L"Weather"; }));
    TapKey(VK_DOWN);
    ASSERT_TRUE(PumpUntil([&] { return Query() == L"Weather Radar"; }));
    TapKey(VK_UP);
    ASSERT_TRUE(PumpUntil([&] { return Query() == L"Weather"; }));
    TapKey(VK_RETURN);
    ASSERT_TRUE(Launched(launched));
    EXPECT_EQ(kHeader + "Weather\nmail\nnews\n", g_fileAtLaunch);

    // A repeat in another spelling moves to the front with it.
    ASSERT_TRUE(TypeQuery("NEWS"));
    launched = host.Count(UM_SEARCH_LAUNCHED);
    TapKey(VK_RETURN);
    ASSERT_TRUE(Launched(launched));
    EXPECT_EQ(kHeader + "NEWS\nWeather\nmail\n", g_fileAtLaunch);

    // Spaces only: the search goes, nothing is recorded.
    ASSERT_TRUE(TypeQuery("   "));
    launched = host.Count(UM_SEARCH_LAUNCHED);
    TapKey(VK_RETURN);
    ASSERT_TRUE(Launched(launched));
    EXPECT_EQ(kHeader + "NEWS\nWeather\nmail\n", ReadFileBytes(g_watchedPath));

    // The disk refuses the new copy: the old file stays whole; in the bar
    // the oldest went past three.
    CAtomicFile::SetReplaceCall(FailingReplace);
    ASSERT_TRUE(TypeQuery("tide"));
    launched = host.Count(UM_SEARCH_LAUNCHED);
    TapKey(VK_RETURN);
    ASSERT_TRUE(Launched(launched));
    EXPECT_EQ(kHeader + "NEWS\nWeather\nmail\n", ReadFileBytes(g_watchedPath));
    EXPECT_EQ((Rows{L"tide", L"NEWS", L"Weather"}), Entries());
    CAtomicFile::SetReplaceCall(nullptr);

    // Off again: nothing is recorded, the file stays as it is.
    ASSERT_EQ(1, bar->SetHistoryFileW(nullptr, 0));
    ASSERT_TRUE(TypeQuery("unrecorded"));
    launched = host.Count(UM_SEARCH_LAUNCHED);
    TapKey(VK_RETURN);
    ASSERT_TRUE(Launched(launched));
    EXPECT_EQ(kHeader + "NEWS\nWeather\nmail\n", ReadFileBytes(g_watchedPath));
    EXPECT_EQ(0, bar->history.Count());
}

// Typing offers up to three recent searches that begin with the text,
// above the host's rows, which do not repeat them, eleven rows in all;
// Down in the empty field opens the newest eleven with none highlighted;
// Shift+Delete on a recent row removes it from the list and the file and
// highlights the next row, on a host row it does nothing.
TEST_F(RecentSearchesTest, RecentRowsAreOfferedFirstAndRemovedWithShiftDelete) {
    std::string content = kHeader + "Weather\nnews\nweb design\nwebcam\nwelsh\n";
    for (int i = 0; i < 10; ++i)
        content += "older " + std::to_string(i) + "\n";
    UseHistory("offered.txt", &content, 0);
    ClickIntoField();

    ASSERT_TRUE(TypeQuery("WE"));
    ASSERT_TRUE(PumpUntil([&] { return SuggestionsVisible(); })) << "recent rows show on their own";
    EXPECT_EQ((Rows{L"Weather", L"web design", L"webcam"}), ShownRows());
    EXPECT_EQ(3, RecentRowCount());

    OfferSuggestions({"webcam", "west", "wes", "wet", "weal", "wean", "wear", "weed", "week",
                      "weep"});
    const Rows merged = {L"Weather", L"web design", L"webcam", L"west", L"wes", L"wet",
                         L"weal",    L"wean",       L"wear",   L"weed", L"week"};
    EXPECT_EQ(merged, ShownRows());
    EXPECT_EQ(3, RecentRowCount());

    // Recent rows are described as such, the host's rows have no description.
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    {
        const AccRef list = ClientObject(bar->suggestionList->m_hWnd);
        ASSERT_TRUE(list);
        EXPECT_EQ(L"Weather", NameOf(list.get(), 1));
        EXPECT_EQ(L"Recent search", DescriptionOf(list.get(), 1));
        EXPECT_EQ(L"Recent search", DescriptionOf(list.get(), 3));
        EXPECT_EQ(L"", DescriptionOf(list.get(), 4));
        EXPECT_EQ(L"", DescriptionOf(list.get(), CHILDID_SELF));
    }
    ::CoUninitialize();

    // A clock in the text's colour before a recent row's text (3 px in,
    // 11 px wide, then a 4 px gap at 96 DPI); a host row's text starts at once.
    PumpUntilIdle();
    const PixelImage pixels = ReadMemoryDC(bar->suggestionList->bufferDC);
    const int rowHeight = bar->suggestionList->itemHeight;
    EXPECT_GT(InkIn(pixels, 3, 7, 14, 18), 12) << "the clock";
    EXPECT_EQ(0, InkIn(pixels, 15, 1, 18, rowHeight - 1)) << "the gap after the clock";
    EXPECT_GT(InkIn(pixels, 18, 1, 40, rowHeight - 1), 0) << "the recent row's text";
    const int hostRowTop = 3 * rowHeight;
    EXPECT_GT(InkIn(pixels, 3, hostRowTop + 1, 10, hostRowTop + rowHeight - 1), 0)
        << "the host row's text";

    // Shift+Delete on a host row: nothing changes.
    TapKey(VK_DOWN);
    TapKey(VK_DOWN);
    TapKey(VK_DOWN);
    TapKey(VK_DOWN);
    ASSERT_TRUE(PumpUntil([&] { return Query() == L"west"; }));
    ShiftDelete();
    EXPECT_EQ(merged, ShownRows());
    EXPECT_EQ(15, bar->history.Count());

    // On a recent row: gone from the list and the file, the next row lit.
    TapKey(VK_UP);
    TapKey(VK_UP);
    ASSERT_TRUE(PumpUntil([&] { return Query() == L"web design"; }));
    ShiftDelete();
    EXPECT_EQ(L"web design", Query()) << "the field keeps its text";
    Rows afterRemoval = merged;
    afterRemoval.erase(afterRemoval.begin() + 1);
    EXPECT_EQ(afterRemoval, ShownRows());
    EXPECT_EQ(1, bar->suggestionList->hoverIndex);
    EXPECT_EQ(std::string::npos, ReadFileBytes(g_watchedPath).find("web design"));
    EXPECT_EQ(14, bar->history.Count());

    // The empty field: Down opens the newest eleven, nothing highlighted.
    ClearField();
    PumpUntilIdle();
    EXPECT_FALSE(SuggestionsVisible());
    TapKey(VK_DOWN);
    ASSERT_TRUE(PumpUntil([&] { return SuggestionsVisible(); }));
    PumpUntilIdle();
    const Rows newest = ShownRows();
    ASSERT_EQ(11u, newest.size());
    EXPECT_EQ(L"Weather", newest[0]);
    EXPECT_EQ(L"older 6", newest[10]);
    EXPECT_EQ(11, RecentRowCount());
    EXPECT_EQ(-1, bar->suggestionList->hoverIndex);
    EXPECT_TRUE(Query().empty());

    // Removing rows until none is left closes the list.
    TapKey(VK_DOWN);
    ASSERT_TRUE(PumpUntil([&] { return Query() == L"Weather"; }));
    for (int i = 0; i < 11 && SuggestionsVisible(); ++i)
        ShiftDelete();
    EXPECT_FALSE(SuggestionsVisible());
    EXPECT_EQ(3, bar->history.Count());
    EXPECT_EQ(kHeader + "older 7\nolder 8\nolder 9\n", ReadFileBytes(g_watchedPath));

    // A cleared history offers nothing.
    EXPECT_EQ(1, bar->ClearHistory());
    EXPECT_EQ(kHeader, ReadFileBytes(g_watchedPath));
    ClearField();
    TapKey(VK_DOWN);
    PumpUntilIdle();
    EXPECT_FALSE(SuggestionsVisible());
}
