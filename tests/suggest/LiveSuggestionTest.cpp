// Live suggestions in a real bar under real keys, fetched from the scripted
// server on 127.0.0.1 (run-with-server.sh starts and stops it): rows in
// order, Unicode among them, stepped with Down and searched with Enter;
// how many requests fast typing makes; a slow answer to an older query
// never shown over the newer one's; every error path leaving the bar
// working; and a request in flight when the host window, the bar or the
// library's graphics (TavrelCleanup) go. Every wait is bounded.
#include "../bar/BarTestSupport.h"
#include "../../src/frame/Messages.h"
#include "../../src/frame/Tavrel.h"
#include "../../src/input/CGuiEdit.h"
#include "../../src/popup/CSuggestionList.h"
#include "ImportHook.h"
#include "Input.h"
#include "InputArrival.h"
#include "Pump.h"
#include "SuggestServer.h"
#include "TestFiles.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {
using Rows = std::vector<std::wstring>;
const wchar_t kSearchTemplate[] = L"https://search.example/s?q={searchTerms}";

// The server's /live answer for a query: its string rows.
Rows LiveRows(const std::wstring& q) {
    return {q, q + L" ünï ✓", q + L" 日本語", L"😀 " + q};
}

std::string Ascii(const std::wstring& text) {
    return std::string(text.begin(), text.end());
}

// Types text into the field that has the focus, one character at a time
// (KEYEVENTF_UNICODE), each taken by the field before the pause to the
// next begins; arrivals gets the tick count at which each was taken.
void Type(CSearchBar& bar, const std::wstring& text, DWORD pauseMs = 0,
          std::vector<DWORD>* arrivals = nullptr) {
    for (const wchar_t ch : text) {
        std::wstring before;
        bar.GetQueryTextW(before);
        InputArrival arrival;
        SendUnicodeKey(ch);
        arrival.WaitFor(2, 0);
        ASSERT_TRUE(PumpUntil([&] {
            std::wstring now;
            bar.GetQueryTextW(now);
            return now == before + ch;
        }));
        const DWORD typed = ::GetTickCount();
        if (arrivals)
            arrivals->push_back(typed);
        PumpUntil([&] { return ::GetTickCount() - typed >= pauseMs; }, pauseMs + 50);
    }
}

// The fetcher's posts of an ended request, counted through PostMessageW.
using PostFunction = BOOL(WINAPI*)(HWND, UINT, WPARAM, LPARAM);
PostFunction g_originalPost = nullptr;
LONG g_answersPosted = 0;

BOOL WINAPI CountingPost(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == UM_LIVE_SUGGESTIONS)
        ::InterlockedIncrement(&g_answersPosted);
    return g_originalPost(window, message, wParam, lParam);
}

// No response of the bar's first requests waits to be taken.
bool NoAnswerWaits(CSearchBar& bar) {
    for (unsigned id = 1; id <= 32; ++id)
        if (bar.liveFetcher.TakeResponse(id))
            return false;
    return true;
}

bool WorkersEnded(DWORD timeoutMs = 4000) {
    return PumpUntil(
        [] {
            return CSuggestionFetcher::RunningWorkers() == 0 &&
                   CSuggestionFetcher::OpenHandles() == 0;
        },
        timeoutMs);
}

class LiveSuggestionTest : public BarTest {
protected:
    void SetUp() override {
        ASSERT_NE(0, HttpPort()) << "run through run-with-server.sh";
        BarTest::SetUp();
        ShowStandardBar();
        ASSERT_EQ(1, bar->AddEngineW(L"", L"Live", kSearchTemplate));
        ASSERT_EQ(1, bar->AddEngineW(L"", L"Other", L"https://other.example/?q="));
        UseTemplate(L"/live?q={searchTerms}");
        ClickIntoField();
    }
    void TearDown() override {
        BarTest::TearDown();
        EXPECT_TRUE(WorkersEnded()) << "a worker or a WinHTTP handle was left";
    }

    void UseTemplate(const std::wstring& pathAndQuery, bool https = false) {
        ASSERT_EQ(1, bar->SetSuggestionUrlW(0, ServerUrl(pathAndQuery.c_str(), https).c_str()));
    }
    // The rows the server gives for the query in the field, shown.
    ::testing::AssertionResult ShowsLiveRows(DWORD timeoutMs = 3000) {
        const Rows expected = LiveRows(Query());
        if (PumpUntil([&] { return ShownRows() == expected; }, timeoutMs))
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << ShownRows().size() << " rows shown for "
                                             << Ascii(Query());
    }
};

const RecordedMessage kChanged{UM_QUERY_CHANGED, 0, 1};
const RecordedMessage kLaunched{UM_SEARCH_LAUNCHED, 0, 0};
} // namespace

// The user types; the server's rows show in its order as the host's would,
// with Unicode and without the elements that are not strings; Down steps
// through them (asking nothing), Enter searches with the highlighted one.
// The host still hears of every change. Ten characters typed 30 ms apart
// make at most three requests.
TEST_F(LiveSuggestionTest, RowsAreSteppedAndSearchedLikeTheHosts) {
    const size_t asked = RequestsFor("/live");
    Type(*bar, L"zé");
    ASSERT_TRUE(ShowsLiveRows());
    EXPECT_EQ(L"zé ünï ✓", bar->suggestionList->RowName(1)) << "what a screen reader gets";
    EXPECT_EQ(::GetFocus(), EditHwnd());
    PumpUntilIdle();
    EXPECT_TRUE(host.Matches({kChanged, kChanged}));
    const size_t afterTyping = RequestsFor("/live");
    EXPECT_GE(afterTyping - asked, 1u);
    EXPECT_LE(afterTyping - asked, 2u);

    TapKey(VK_DOWN);
    EXPECT_TRUE(PumpUntil([&] { return Query() == L"zé"; }));
    TapKey(VK_DOWN);
    EXPECT_TRUE(PumpUntil([&] { return Query() == L"zé ünï ✓"; }));
    EXPECT_EQ(1, bar->suggestionList->HighlightedRow());
    PumpUntil([] { return false; }, 3 * CSearchBar::kLiveSuggestionPauseMs);
    EXPECT_EQ(afterTyping, RequestsFor("/live")) << "a step asked the server";
    EXPECT_EQ(LiveRows(L"zé"), ShownRows());
    TapKey(VK_RETURN);
    ASSERT_TRUE(PumpUntil([&] { return !host.Messages().empty(); }));
    EXPECT_TRUE(host.Matches({kLaunched}));
    EXPECT_EQ(std::vector<std::string>{"https://search.example/s?q=z%C3%A9%20%C3%BCn%C3%AF%20%E2%9C%93"},
              launches.Urls());
    EXPECT_FALSE(SuggestionsVisible());

    ClickIntoField();
    ClearField();
    const size_t beforeBurst = RequestsFor("/live");
    std::vector<DWORD> arrivals;
    Type(*bar, L"abcdefghij", 30, &arrivals);
    ASSERT_TRUE(ShowsLiveRows());
    const size_t burst = RequestsFor("/live") - beforeBurst;
    // A machine that cannot deliver the keys 30 ms apart (x86 under
    // emulation may not) lets a pause pass between them: each such gap may
    // add a request.
    size_t slowGaps = 0;
    for (size_t i = 1; i < arrivals.size(); ++i)
        slowGaps += arrivals[i] - arrivals[i - 1] + 20 >= CSearchBar::kLiveSuggestionPauseMs;
    std::printf("ten characters typed 30 ms apart made %u request(s); %u of the gaps between "
                "them came near the pause\n",
                static_cast<unsigned>(burst), static_cast<unsigned>(slowGaps));
    EXPECT_GE(burst, 1u);
    EXPECT_LE(burst, 3u + slowGaps);
}

// The older query's answer is slow, the newer one's quick: only the newer
// rows show, then and after the older answer has come. An emptied field
// hides the list and asks nothing; another engine without a URL asks
// nothing either.
TEST_F(LiveSuggestionTest, AnOlderSlowAnswerNeverReplacesTheNewer) {
    UseTemplate(L"/short-slow?q={searchTerms}");
    const size_t asked = RequestsFor("/short-slow");
    Type(*bar, L"ab");
    ASSERT_TRUE(PumpUntil([&] { return RequestsFor("/short-slow") > asked; }))
        << "the request for \"ab\" was not made";
    Type(*bar, L"c");
    ASSERT_TRUE(ShowsLiveRows());
    ASSERT_TRUE(WorkersEnded()); // the slow answer has come
    PumpUntilIdle();
    EXPECT_EQ(LiveRows(L"abc"), ShownRows());

    ClearField();
    EXPECT_FALSE(SuggestionsVisible());
    const size_t beforeEmpty = RequestsFor("/short-slow");
    PumpUntil([] { return false; }, 3 * CSearchBar::kLiveSuggestionPauseMs);
    EXPECT_EQ(beforeEmpty, RequestsFor("/short-slow"));
    EXPECT_EQ(0, CSuggestionFetcher::RunningWorkers());

    // The bar's own engine list is not needed to switch: the settings file
    // makes engine 1 current, which has no URL.
    const std::string settings = ScratchPath("live-settings.ini");
    ::WritePrivateProfileStringA("Select", "Index", "1", settings.c_str());
    bar->SetSettingsFile(settings.c_str());
    ASSERT_EQ(L"Other", std::wstring(bar->GetEngineNameW()));
    Type(*bar, L"abc");
    PumpUntil([] { return false; }, 3 * CSearchBar::kLiveSuggestionPauseMs);
    EXPECT_EQ(beforeEmpty, RequestsFor("/short-slow"));
    EXPECT_FALSE(SuggestionsVisible());
}

// Each answer that is not usable leaves the list of an older query hidden,
// and the next keystroke, with the URL working again, shows rows again.
TEST_F(LiveSuggestionTest, EveryErrorPathHidesOlderRowsAndKeepsTheBarWorking) {
    struct ErrorCase {
        const char* name;
        std::wstring url;
    };
    const std::vector<ErrorCase> cases = {
        {"status 404", ServerUrl(L"/status/404?q={searchTerms}")},
        {"status 500", ServerUrl(L"/status/500?q={searchTerms}")},
        {"refused", RefusedUrl(L"/live?q={searchTerms}")},
        {"dropped in the body", ServerUrl(L"/drop?q={searchTerms}")},
        {"dropped before an answer", ServerUrl(L"/drop-early?q={searchTerms}")},
        {"too large", ServerUrl(L"/huge?q={searchTerms}")},
        {"malformed", ServerUrl(L"/malformed?q={searchTerms}")},
        {"another shape", ServerUrl(L"/shape?q={searchTerms}")},
        {"self-signed https", ServerUrl(L"/tls-live?q={searchTerms}", true)},
        {"over the time limit", ServerUrl(L"/slow?ms=5000&q={searchTerms}")},
    };
    for (const ErrorCase& c : cases) {
        SCOPED_TRACE(c.name);
        ClearField();
        UseTemplate(L"/live?q={searchTerms}");
        Type(*bar, L"r");
        ASSERT_TRUE(ShowsLiveRows());
        ASSERT_EQ(1, bar->SetSuggestionUrlW(0, c.url.c_str()));
        Type(*bar, L"s");
        EXPECT_TRUE(PumpUntil([&] { return !SuggestionsVisible(); }, 4000));
        EXPECT_TRUE(WorkersEnded());
        EXPECT_EQ(EditHwnd(), ::GetFocus());
        UseTemplate(L"/live?q={searchTerms}");
        Type(*bar, L"t");
        EXPECT_TRUE(ShowsLiveRows());
    }
    // An empty array hides the list too.
    UseTemplate(L"/empty?q={searchTerms}");
    Type(*bar, L"u");
    EXPECT_TRUE(PumpUntil([&] { return !SuggestionsVisible(); }));
    EXPECT_TRUE(LogLinesFor(ServerLog(), "/tls-live").empty()) << "asked past a refused certificate";
}

// A query longer than 256 UTF-16 units (a long paste) asks nothing and
// hides the list, as an empty one does; 256 still ask, and a short query
// afterwards shows rows again.
TEST_F(LiveSuggestionTest, ALongPasteAsksNothingAndHidesTheList) {
    auto putIntoField = [&](const std::wstring& text) {
        ::SetWindowTextW(EditHwnd(), text.c_str());
        ASSERT_TRUE(PumpUntil([&] { return Query() == text; }));
    };
    const std::wstring longest(256, L'b');
    const size_t asked = RequestsFor("/live");
    putIntoField(longest);
    ASSERT_TRUE(PumpUntil([&] { return !ShownRows().empty() && ShownRows()[0] == longest; }))
        << "a query of 256 units was not asked";
    EXPECT_EQ(asked + 1, RequestsFor("/live"));

    for (const size_t length : {257u, 30000u}) {
        SCOPED_TRACE(length);
        putIntoField(std::wstring(length, L'p'));
        EXPECT_TRUE(PumpUntil([&] { return !SuggestionsVisible(); }));
        PumpUntil([] { return false; }, 3 * CSearchBar::kLiveSuggestionPauseMs);
        EXPECT_FALSE(SuggestionsVisible());
        EXPECT_EQ(0, CSuggestionFetcher::RunningWorkers());
        EXPECT_EQ(asked + 1, RequestsFor("/live")) << "the long query was sent";
    }
    putIntoField(L"ok");
    EXPECT_TRUE(ShowsLiveRows());
}

// A request in flight when the host window goes, when TavrelCleanup comes
// and when the bar itself is destroyed: no crash, no answer, every worker
// and handle gone.
TEST_F(LiveSuggestionTest, RequestsInFlightEndWithTheirBar) {
    ImportHook posts("user32.dll", "PostMessageW", reinterpret_cast<void*>(&CountingPost));
    ASSERT_TRUE(posts.Installed());
    g_originalPost = posts.Original<PostFunction>();
    Type(*bar, L"g");
    ASSERT_TRUE(ShowsLiveRows());
    EXPECT_EQ(1, g_answersPosted) << "an answer that came";

    UseTemplate(L"/slow?ms=800&q={searchTerms}");
    const size_t asked = RequestsFor("/slow");
    Type(*bar, L"one");
    ASSERT_TRUE(PumpUntil([&] { return RequestsFor("/slow") > asked; })) << "nothing in flight";
    ::DestroyWindow(host.hwnd());
    EXPECT_TRUE(WorkersEnded());
    PumpUntilIdle();
    EXPECT_EQ(1, g_answersPosted) << "posted to a window that is gone";
    EXPECT_TRUE(NoAnswerWaits(*bar));
    bar.reset();

    // Bars of the factory, as a C host has: one in flight when the host
    // calls TavrelCleanup (CInitGui::Clearup), one destroyed in flight.
    MessageRecorder otherHost;
    ::SetWindowPos(otherHost.hwnd(), HWND_TOP, 0, 0, 640, 480, SWP_SHOWWINDOW);
    for (const bool cleanup : {true, false}) {
        SCOPED_TRACE(cleanup ? "TavrelCleanup" : "bar destroyed");
        ASSERT_EQ(1, CInitGui::Startup());
        auto* other = static_cast<CSearchBar*>(CTavrel::CreateTavrel());
        const RECT placement = {kBarLeft, kBarTop, 400, 30};
        ASSERT_EQ(1, other->CreateBar(otherHost.hwnd(), &placement));
        other->SetBackgroundImage(SkinPng(400, 30, kBackgroundColor).c_str(), 0);
        other->UpdateLayout();
        other->ShowBar(SW_SHOW);
        ASSERT_EQ(1, other->AddEngineW(L"", L"Live", kSearchTemplate));
        ASSERT_EQ(1, other->SetSuggestionUrlW(0, ServerUrl(L"/slow?ms=800&q={searchTerms}").c_str()));
        BringToForeground(other->queryEdit->GetEditHwnd());
        const size_t before = RequestsFor("/slow");
        Type(*other, L"x");
        ASSERT_TRUE(PumpUntil([&] { return RequestsFor("/slow") > before; })) << "nothing in flight";
        if (cleanup) {
            CInitGui::Clearup();
            EXPECT_TRUE(WorkersEnded());
            PumpUntilIdle();
            EXPECT_TRUE(NoAnswerWaits(*other));
            EXPECT_FALSE(::IsWindowVisible(other->suggestionList->m_hWnd));
            delete other;
        } else {
            delete other;
            EXPECT_TRUE(WorkersEnded());
            CInitGui::Clearup();
        }
        PumpUntilIdle();
        EXPECT_EQ(1, g_answersPosted);
    }
}
