// Fifty bars under one host in one process: each searches with its own
// engine, the hooks they share notify the bar that installed them last,
// and deleting them all leaves no window, GDI handle or hook behind.
#include "../../src/hooks/CPopupHook.h"
#include "../../src/popup/CEngineList.h"
#include "Input.h"
#include "LaunchLog.h"
#include "Pump.h"
#include "SkinnedBar.h"
#include "SuggestingHost.h"
#include "TestFiles.h"
#include <gtest/gtest.h>

namespace {

constexpr int kBars = 50;

std::string PrefixOf(int bar) {
    return "http://bar" + std::to_string(bar) + ".test/?q=";
}

// The fifty bars are made once for the suite (making them takes seconds
// under Wine); the tests run in the order written, the one that deletes
// them last.
class ManyBars : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        launches = new LaunchLog;
        host = new SuggestingHost;
        windowsBefore = ThreadWindowCount();
        const std::string settings = WriteFileBytes("many.ini", "[Select]\r\nIndex=0\r\n");
        for (int i = 0; i < kBars; ++i) {
            // Three columns of seventeen rows on a 1280 x 1024 screen.
            CSearchBar* bar = MakeSkinnedBar(
                host->hwnd(), 10 + (i % 3) * 420, 10 + (i / 3) * 58,
                {{"Own " + std::to_string(i), PrefixOf(i)}, {"Shared", "http://shared.test/?q="}},
                settings);
            if (bar)
                bars.push_back(bar);
        }
        ParkPointer();
        PumpUntilIdle();
    }
    static void TearDownTestSuite() {
        DeleteEveryBar();
        delete host;
        delete launches;
    }

    void SetUp() override {
        ASSERT_EQ(static_cast<size_t>(kBars), bars.size()) << "every bar was made";
        launches->Clear();
        host->ClearCounts();
    }

    static void DeleteEveryBar() {
        host->Serve(nullptr);
        for (CSearchBar* bar : bars)
            delete bar;
        bars.clear();
        PumpUntilIdle();
    }

    // The host fills bar i's list for a new query; true once it is shown.
    static bool OpenSuggestions(int i, const std::string& query) {
        host->Serve(bars[i], 3);
        ::SetWindowTextA(QueryFieldOf(*bars[i]), query.c_str());
        return PumpUntil([&] { return ::IsWindowVisible(SuggestionListOf(*bars[i])) != FALSE; });
    }

    static std::string FieldOf(int i) {
        std::string text;
        bars[i]->GetQueryText(text);
        return text;
    }

    static LaunchLog* launches;
    static SuggestingHost* host;
    static std::vector<CSearchBar*> bars;
    static int windowsBefore;
};

LaunchLog* ManyBars::launches = nullptr;
SuggestingHost* ManyBars::host = nullptr;
std::vector<CSearchBar*> ManyBars::bars;
int ManyBars::windowsBefore = 0;

} // namespace

TEST_F(ManyBars, EachBarSearchesWithItsOwnEngine) {
    for (int i = 0; i < kBars; ++i) {
        SCOPED_TRACE("bar " + std::to_string(i));
        EXPECT_EQ("Own " + std::to_string(i), bars[i]->GetEngineName());
        const std::string query = "query " + std::to_string(i);
        ASSERT_TRUE(OpenSuggestions(i, query));
        // The list shown last is the one the shared hooks notify.
        EXPECT_EQ(SuggestionListOf(*bars[i]), CPopupHook::popupWnd);
        EXPECT_EQ(bars[i]->m_hWnd, CPopupHook::barWnd);
        ::PostMessageA(CPopupHook::popupWnd, UM_POPUP_KEY, 0, VK_DOWN);
        ::PostMessageA(CPopupHook::popupWnd, UM_POPUP_KEY, 0, VK_RETURN);
        ASSERT_TRUE(PumpUntil([&] { return launches->Count() == i + 1; }));
        EXPECT_EQ(CSearchBar::BuildSearchUrl(PrefixOf(i), SuggestingHost::Proposal(query, 0)),
                  launches->LastUrl());
        if (i > 0) { // the previous bar's field kept its own text
            EXPECT_EQ(SuggestingHost::Proposal("query " + std::to_string(i - 1), 0),
                      FieldOf(i - 1));
        }
    }
    EXPECT_EQ(kBars, host->Count(UM_SEARCH_LAUNCHED));
    EXPECT_EQ(kBars, host->Count(UM_QUERY_CHANGED));
}

TEST_F(ManyBars, SharedHooksNotifyTheLastInstaller) {
    const int first = 10, last = 40;
    ASSERT_TRUE(OpenSuggestions(first, "first"));
    ASSERT_TRUE(OpenSuggestions(last, "last"));
    HWND field = QueryFieldOf(*bars[last]);
    BringToForeground(field);
    ::SetFocus(field);
    ASSERT_TRUE(PumpUntil([&] { return ::GetFocus() == field; }));

    // Real keys: Down steps the list shown last; Enter searches with it.
    PressKey(field, VK_DOWN);
    ASSERT_TRUE(PumpUntil([&] { return FieldOf(last) == SuggestingHost::Proposal("last", 0); }));
    EXPECT_EQ("first", FieldOf(first));
    PressKey(field, VK_RETURN);
    ASSERT_TRUE(PumpUntil([&] { return launches->Count() == 1; }));
    EXPECT_EQ(CSearchBar::BuildSearchUrl(PrefixOf(last), SuggestingHost::Proposal("last", 0)),
              launches->LastUrl());
    EXPECT_FALSE(::IsWindowVisible(SuggestionListOf(*bars[last])));
    // The keyboard hook went with the list that closed: the list opened
    // first still shows, but keys no longer reach it.
    EXPECT_TRUE(::IsWindowVisible(SuggestionListOf(*bars[first])));
    EXPECT_EQ(nullptr, CPopupHook::keyboardHook);
    PressKey(field, VK_DOWN);
    EXPECT_EQ("first", FieldOf(first));
}

TEST_F(ManyBars, DeletingEveryBarLeavesNothing) {
    ASSERT_TRUE(OpenSuggestions(7, "open"));
    bars[3]->engineList->Show();
    std::vector<HGDIOBJ> owned;
    for (const CSearchBar* bar : bars) {
        const std::vector<HGDIOBJ> handles = GdiHandlesOf(*bar);
        owned.insert(owned.end(), handles.begin(), handles.end());
    }
    EXPECT_GE(owned.size(), static_cast<size_t>(kBars * 20));
    DeleteEveryBar();
    EXPECT_EQ(std::vector<HGDIOBJ>{}, StillAlive(owned));
    EXPECT_EQ(windowsBefore, ThreadWindowCount());
    EXPECT_TRUE(NoHookInstalled());
}
