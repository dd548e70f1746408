// CSuggestionFetcher against a real server on 127.0.0.1 (suggest_server.py,
// started by run-with-server.sh, which passes its ports in the environment):
// rows with Unicode, what the requests carry, every error path, a newer
// request winning over a slower older one, the time limit, and cancelling
// by Cancel, by destroying the fetcher and by destroying the window. Every
// wait is bounded; nothing but 127.0.0.1 is asked.
#include "suggest/SuggestionFetcher.h"

#include <gtest/gtest.h>
#include <winhttp.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "Pump.h"
#include "SuggestServer.h"
#include "TavrelVersion.h"

namespace {
const UINT kMessage = WM_APP + 7;
const wchar_t kWindowClass[] = L"TavrelSuggestTestReceiver";

std::wstring Url(const wchar_t* pathAndQuery, bool https = false) {
    return ServerUrl(pathAndQuery, https);
}

double NowMs() {
    LARGE_INTEGER frequency, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

struct Arrival {
    WPARAM id;
    double atMs;
};

// A message-only window that records every kMessage it receives.
class CReceiver {
public:
    CReceiver() {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = kWindowClass;
        RegisterClassW(&wc); // fails harmlessly when registered already
        m_hwnd = CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, this);
    }
    ~CReceiver() {
        if (IsWindow(m_hwnd)) DestroyWindow(m_hwnd);
    }
    HWND Hwnd() const { return m_hwnd; }
    const std::vector<Arrival>& Arrivals() const { return m_arrivals; }
    bool WaitFor(size_t count, DWORD timeoutMs) {
        return PumpUntil([&] { return m_arrivals.size() >= count; }, timeoutMs);
    }

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_NCCREATE) {
            SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
        } else if (message == kMessage) {
            auto* self = reinterpret_cast<CReceiver*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
            EXPECT_EQ(0, lParam);
            if (self) self->m_arrivals.push_back({wParam, NowMs()});
            return 0;
        }
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    HWND m_hwnd = nullptr;
    std::vector<Arrival> m_arrivals;
};

bool WorkersEnded(DWORD timeoutMs = 3000) {
    return PumpUntil([] { return CSuggestionFetcher::RunningWorkers() == 0 && CSuggestionFetcher::OpenHandles() == 0; },
                     timeoutMs);
}

// Fetches one URL and waits for its message: the response (null when none
// came within timeoutMs).
std::unique_ptr<SuggestionResponse> FetchOne(CSuggestionFetcher& fetcher, CReceiver& receiver, const std::wstring& url,
                                             DWORD timeoutMs = 3000) {
    const size_t before = receiver.Arrivals().size();
    const unsigned id = fetcher.Fetch(url.c_str(), receiver.Hwnd(), kMessage);
    EXPECT_NE(0u, id);
    if (!receiver.WaitFor(before + 1, timeoutMs)) return nullptr;
    EXPECT_EQ(id, receiver.Arrivals().back().id);
    return fetcher.TakeResponse(receiver.Arrivals().back().id);
}

class SuggestionFetcherTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(0, HttpPort()) << "TAVREL_SUGGEST_HTTP_PORT is not set: run through run-with-server.sh";
        ASSERT_NE(0, HttpsPort());
        ASSERT_NE(nullptr, receiver.Hwnd());
    }
    void TearDown() override { EXPECT_TRUE(WorkersEnded()) << "a worker or a WinHTTP handle was left"; }
    CReceiver receiver;
};
} // namespace

TEST_F(SuggestionFetcherTest, RowsArriveAndRequestsCarryNothingPrivate) {
    CSuggestionFetcher fetcher;
    // Rows with Unicode, in order; the query reaches the server as UTF-8.
    std::unique_ptr<SuggestionResponse> response = FetchOne(fetcher, receiver, Url(L"/rows?q=%E2%9C%93"));
    ASSERT_TRUE(response);
    EXPECT_TRUE(response->received);
    EXPECT_FALSE(response->tooLarge);
    EXPECT_EQ(200, response->status);
    EXPECT_EQ("application/x-suggestions+json", response->contentType);
    const SuggestionRows rows = ReadSuggestionResponse(*response);
    ASSERT_EQ(SuggestionVerdict::Rows, rows.verdict);
    EXPECT_EQ(rows.rows, response->rows.rows) << "the worker read the rows";
    const std::vector<std::u16string> expected = {u"alpha", u"Ünïcödé ✓", u"日本語の候補", u"😀 emoji",
                                                  u"tabandbell", u"omega"};
    EXPECT_EQ(expected, rows.rows);
    EXPECT_FALSE(fetcher.TakeResponse(response->id)) << "a response is taken once";

    response = FetchOne(fetcher, receiver, Url(L"/echo?q=%E2%9C%93%20%E6%97%A5%2B%26"));
    ASSERT_TRUE(response);
    EXPECT_EQ(std::vector<std::u16string>{u"✓ 日+&"}, ReadSuggestionResponse(*response).rows);

    // A cookie the server sets is not sent back, not even on the redirect
    // that follows it within the same request.
    response = FetchOne(fetcher, receiver, Url(L"/set-cookie?q=c"));
    ASSERT_TRUE(response);
    EXPECT_EQ(std::vector<std::u16string>{u"after-cookie"}, response->rows.rows);

    // An authentication challenge is not answered: one request, its 401 the end.
    response = FetchOne(fetcher, receiver, Url(L"/auth?q=a"));
    ASSERT_TRUE(response);
    EXPECT_TRUE(response->received);
    EXPECT_EQ(401, response->status);
    EXPECT_EQ(SuggestionProblem::Status, ReadSuggestionResponse(*response).problem);

    // A redirect within http is followed.
    response = FetchOne(fetcher, receiver, Url(L"/redirect?to=/echo%3Fq%3Dredirected"));
    ASSERT_TRUE(response);
    EXPECT_EQ(std::vector<std::u16string>{u"redirected"}, ReadSuggestionResponse(*response).rows);

    const std::string log = ServerLog();
    const std::string agent = std::string("Tavrel/") + TAVREL_VERSION;
    EXPECT_EQ(std::wstring(agent.begin(), agent.end()), CSuggestionFetcher::UserAgent());
    for (const char* path : {"/rows", "/echo", "/set-cookie", "/auth", "/redirect"}) {
        const std::vector<std::string> lines = LogLinesFor(log, path);
        EXPECT_FALSE(lines.empty()) << path;
        for (const std::string& line : lines) // path, user agent, Cookie, Authorization
            EXPECT_EQ(std::string(path) + "\t" + agent + "\t-\t-", line);
    }
    EXPECT_EQ(1u, LogLinesFor(log, "/auth").size()) << "the challenge was answered";
    EXPECT_EQ(3u, LogLinesFor(log, "/echo").size()); // one asked, two redirected to
    EXPECT_EQ(5u, receiver.Arrivals().size()) << "one message per request";
}

TEST_F(SuggestionFetcherTest, EveryErrorPathEndsInOneMessage) {
    const std::wstring refused = RefusedUrl(L"/rows?q=x");

    struct ErrorCase {
        const char* name;
        std::wstring url;
        bool received;
        SuggestionVerdict verdict;
        SuggestionProblem problem;
    };
    const SuggestionVerdict notUsable = SuggestionVerdict::NotUsable;
    const std::vector<ErrorCase> cases = {
        {"status 500", Url(L"/status/500?q=x"), true, notUsable, SuggestionProblem::Status},
        {"status 404", Url(L"/status/404?q=x"), true, notUsable, SuggestionProblem::Status},
        {"huge, with a length", Url(L"/huge?q=x"), true, notUsable, SuggestionProblem::TooLarge},
        {"huge, without a length", Url(L"/huge-unsized?q=x"), true, notUsable, SuggestionProblem::TooLarge},
        {"malformed", Url(L"/malformed?q=x"), true, notUsable, SuggestionProblem::Malformed},
        {"another shape", Url(L"/shape?q=x"), true, notUsable, SuggestionProblem::WrongShape},
        {"not gbk", Url(L"/bad-gbk?q=x"), true, notUsable, SuggestionProblem::Undecodable},
        {"dropped in the body", Url(L"/drop?q=x"), false, notUsable, SuggestionProblem::NoResponse},
        {"dropped before an answer", Url(L"/drop-early?q=x"), false, notUsable, SuggestionProblem::NoResponse},
        {"refused", refused, false, notUsable, SuggestionProblem::NoResponse},
        {"not http", L"ftp://127.0.0.1/x", false, notUsable, SuggestionProblem::NoResponse},
        {"empty list", Url(L"/empty?q=x"), true, SuggestionVerdict::EmptyList, SuggestionProblem::None},
        {"gbk", Url(L"/gbk?q=x"), true, SuggestionVerdict::Rows, SuggestionProblem::None},
        {"windows-1251", Url(L"/cp1251?q=x"), true, SuggestionVerdict::Rows, SuggestionProblem::None},
    };
    CSuggestionFetcher fetcher;
    for (const ErrorCase& c : cases) {
        SCOPED_TRACE(c.name);
        const size_t before = receiver.Arrivals().size();
        std::unique_ptr<SuggestionResponse> response = FetchOne(fetcher, receiver, c.url);
        ASSERT_TRUE(response) << "no message within 3 s";
        EXPECT_EQ(c.received, response->received) << "error " << response->error;
        if (!c.received) {
            EXPECT_NE(0u, response->error);
        }
        EXPECT_TRUE(response->body.size() <= kMaxSuggestionBodyBytes);
        const SuggestionRows& rows = response->rows;
        EXPECT_EQ(static_cast<int>(c.verdict), static_cast<int>(rows.verdict));
        EXPECT_EQ(static_cast<int>(c.problem), static_cast<int>(rows.problem));
        PumpUntilIdle(20, 200);
        EXPECT_EQ(before + 1, receiver.Arrivals().size());
    }
    EXPECT_EQ(std::vector<std::u16string>({u"中文建议", u"第二行"}),
              ReadSuggestionResponse(*FetchOne(fetcher, receiver, Url(L"/gbk?q=x"))).rows);
    EXPECT_EQ(std::vector<std::u16string>({u"Привет", u"мир"}),
              ReadSuggestionResponse(*FetchOne(fetcher, receiver, Url(L"/cp1251?q=x"))).rows);

    // A certificate the system does not trust is refused, never ignored:
    // the TLS connection was made, and it ended in a secure failure (Windows
    // reports ERROR_WINHTTP_SECURE_FAILURE; Wine 8 finds the unknown CA,
    // 12045, and reports ERROR_WINHTTP_SECURE_CHANNEL_ERROR).
    // Under software emulation the handshake alone can take longer than the
    // usual time limit, which would end the request before its verdict.
    const int tlsBefore = TlsConnections();
    CSuggestionFetcher patientFetcher(20000);
    std::unique_ptr<SuggestionResponse> response =
        FetchOne(patientFetcher, receiver, Url(L"/tls-rows?q=x", true), 25000);
    ASSERT_TRUE(response);
    EXPECT_FALSE(response->received);
    EXPECT_TRUE(response->error == ERROR_WINHTTP_SECURE_FAILURE || response->error == ERROR_WINHTTP_SECURE_INVALID_CA ||
                response->error == ERROR_WINHTTP_SECURE_CHANNEL_ERROR)
        << "error " << response->error;
    EXPECT_EQ(SuggestionProblem::NoResponse, ReadSuggestionResponse(*response).problem);
    EXPECT_GT(TlsConnections(), tlsBefore);
    EXPECT_TRUE(LogLinesFor(ServerLog(), "/tls-rows").empty()) << "a request went through the refused connection";
}

TEST_F(SuggestionFetcherTest, ANewerRequestWinsOverASlowerOlderOne) {
    CSuggestionFetcher fetcher;
    const double start = NowMs();
    const std::wstring slow = Url(L"/slow?ms=1200&q=old");
    const unsigned oldId = fetcher.Fetch(slow.c_str(), receiver.Hwnd(), kMessage);
    const double fetchMs = NowMs() - start;
    EXPECT_LT(fetchMs, 50.0) << "Fetch waited on the network";
    const std::wstring quick = Url(L"/echo?q=new");
    const unsigned newId = fetcher.Fetch(quick.c_str(), receiver.Hwnd(), kMessage);
    EXPECT_NE(oldId, newId);
    ASSERT_TRUE(receiver.WaitFor(1, 3000));
    EXPECT_EQ(newId, receiver.Arrivals()[0].id);
    std::unique_ptr<SuggestionResponse> response = fetcher.TakeResponse(newId);
    ASSERT_TRUE(response);
    EXPECT_EQ(std::vector<std::u16string>{u"new"}, ReadSuggestionResponse(*response).rows);
    // The older answer comes, and is never posted.
    EXPECT_TRUE(WorkersEnded(3000));
    PumpUntilIdle(50, 300);
    EXPECT_EQ(1u, receiver.Arrivals().size());
    EXPECT_FALSE(fetcher.TakeResponse(oldId));
    printf("Fetch returned in %.3f ms\n", fetchMs);
}

TEST_F(SuggestionFetcherTest, AnAnswerSlowerThanTwoSecondsIsAbandoned) {
    CSuggestionFetcher fetcher;
    const double start = NowMs();
    std::unique_ptr<SuggestionResponse> response = FetchOne(fetcher, receiver, Url(L"/slow?ms=5000&q=late"), 4000);
    const double tookMs = NowMs() - start;
    ASSERT_TRUE(response);
    EXPECT_FALSE(response->received);
    EXPECT_EQ(static_cast<DWORD>(ERROR_WINHTTP_TIMEOUT), response->error);
    EXPECT_GE(tookMs, 1900.0);
    EXPECT_LE(tookMs, 2800.0);
    printf("abandoned after %.0f ms\n", tookMs);
}

TEST_F(SuggestionFetcherTest, CancelledOrDestroyedInFlightPostsNothing) {
    // Destroying the fetcher returns at once, and nothing comes afterwards,
    // even after many requests started in a row.
    auto* fetcher = new CSuggestionFetcher;
    const std::wstring slow = Url(L"/slow?ms=600&q=x");
    for (int i = 0; i < 20; ++i) fetcher->Fetch(slow.c_str(), receiver.Hwnd(), kMessage);
    EXPECT_GT(CSuggestionFetcher::RunningWorkers(), 0);
    const double start = NowMs();
    delete fetcher;
    const double destroyMs = NowMs() - start;
    EXPECT_LT(destroyMs, 20.0);
    EXPECT_TRUE(WorkersEnded(3000));
    PumpUntilIdle(50, 300);
    EXPECT_TRUE(receiver.Arrivals().empty());

    // Cancel: the same.
    CSuggestionFetcher kept;
    const unsigned cancelled = kept.Fetch(slow.c_str(), receiver.Hwnd(), kMessage);
    kept.Cancel();
    EXPECT_TRUE(WorkersEnded(3000));
    PumpUntilIdle(50, 300);
    EXPECT_TRUE(receiver.Arrivals().empty());
    EXPECT_FALSE(kept.TakeResponse(cancelled));

    // The window destroyed before the answer: the post fails, the response is freed.
    {
        CReceiver gone;
        const std::wstring url = Url(L"/slow?ms=300&q=gone");
        const unsigned id = kept.Fetch(url.c_str(), gone.Hwnd(), kMessage);
        DestroyWindow(gone.Hwnd());
        EXPECT_TRUE(WorkersEnded(3000));
        EXPECT_FALSE(kept.TakeResponse(id));
    }
    // The window destroyed after the post, before the message was handled:
    // the system drops the message, the response waits in the fetcher (freed
    // by the next Fetch, Cancel or the destructor), so nothing leaks.
    {
        CReceiver gone;
        const std::wstring url = Url(L"/echo?q=queued");
        const unsigned id = kept.Fetch(url.c_str(), gone.Hwnd(), kMessage);
        for (int i = 0; i < 300 && CSuggestionFetcher::RunningWorkers() > 0; ++i) Sleep(10); // not pumping
        DestroyWindow(gone.Hwnd());
        std::unique_ptr<SuggestionResponse> waiting = kept.TakeResponse(id);
        ASSERT_TRUE(waiting);
        EXPECT_EQ(std::vector<std::u16string>{u"queued"}, ReadSuggestionResponse(*waiting).rows);
    }
    printf("fetcher destroyed with 20 requests started in %.3f ms\n", destroyMs);
}

// Redirects count against the one time limit of the request, and at most
// three are followed, wherever the Location points (absolute, from the
// root, relative). A fourth, or one to a scheme that is not http, is a
// failure like any other: no rows. The limit bounds each hop's wait too.
TEST_F(SuggestionFetcherTest, RedirectsShareTheTimeLimitAndAtMostThreeAreFollowed) {
    struct ChainCase {
        const char* name;
        std::wstring url;
        std::vector<std::u16string> rows; // empty: the request fails
        size_t maxAsked;                  // requests the server may see
        double maxMs;                     // the request has ended by then
    };
    const double limit = CSuggestionFetcher::kTimeLimitMs;
    const std::vector<ChainCase> cases = {
        {"three fast hops", Url(L"/chain?n=3&ms=0&q=near"), {u"near"}, 4, limit + 1500},
        {"four fast hops", Url(L"/chain?n=4&ms=0&q=far"), {}, 4, limit + 1500},
        {"eight hops of 400 ms", Url(L"/chain?n=8&ms=400&q=long"), {}, 4, limit + 1500},
        {"three hops of 1500 ms", Url(L"/chain?n=3&ms=1500&q=slow"), {}, 2, limit + 1500},
        {"to another scheme", Url(L"/redirect?to=file:///c:/windows/win.ini"), {}, 1, limit + 1500},
    };
    CSuggestionFetcher fetcher;
    for (const ChainCase& c : cases) {
        SCOPED_TRACE(c.name);
        const size_t askedBefore = RequestsFor("/chain") + RequestsFor("/redirect");
        const double start = NowMs();
        std::unique_ptr<SuggestionResponse> response = FetchOne(fetcher, receiver, c.url, 6000);
        const double tookMs = NowMs() - start;
        ASSERT_TRUE(response) << "no message within 6 s";
        EXPECT_LE(tookMs, c.maxMs);
        EXPECT_EQ(c.rows, response->rows.rows);
        if (c.rows.empty()) {
            EXPECT_FALSE(response->received);
            EXPECT_EQ(SuggestionProblem::NoResponse, response->rows.problem) << "error " << response->error;
        }
        EXPECT_TRUE(WorkersEnded(3000));
        const size_t asked = RequestsFor("/chain") + RequestsFor("/redirect") - askedBefore;
        EXPECT_LE(asked, c.maxAsked);
        EXPECT_GE(asked, 1u);
        printf("%s: ended after %.0f ms, %u request(s), error %lu\n", c.name, tookMs,
               static_cast<unsigned>(asked), static_cast<unsigned long>(response->error));
    }
}

// At most four workers run in the process at once, whatever the number of
// requests and fetchers. A request that finds four running waits for one
// of them to end; a newer request of the same fetcher replaces the waiting
// one; the latest request of each fetcher is always made and ends in its
// message. Here every answer takes 3.5 s, past the time limit.
TEST_F(SuggestionFetcherTest, AtMostFourWorkersAndTheLatestOfEachStillEnds) {
    LONG peak = 0;
    auto sample = [&peak] {
        peak = std::max(peak, CSuggestionFetcher::RunningWorkers());
        return false;
    };
    const double limit = CSuggestionFetcher::kTimeLimitMs;

    // One fetcher, twenty requests 100 ms apart, as twenty pauses in typing.
    CSuggestionFetcher typing;
    unsigned lastId = 0;
    for (int i = 0; i < 20; ++i) {
        const std::wstring url = Url((L"/slow?ms=3500&q=" + std::to_wstring(i)).c_str());
        lastId = typing.Fetch(url.c_str(), receiver.Hwnd(), kMessage);
        sample();
        PumpUntil(sample, 100);
    }
    const double lastAsked = NowMs();
    EXPECT_TRUE(PumpUntil([&] { return sample() || !receiver.Arrivals().empty(); }, 2 * limit + 3000));
    const double lastEndedMs = NowMs() - lastAsked;
    ASSERT_EQ(1u, receiver.Arrivals().size()) << "only the latest request ends in a message";
    EXPECT_EQ(lastId, receiver.Arrivals()[0].id);
    std::unique_ptr<SuggestionResponse> response = typing.TakeResponse(lastId);
    ASSERT_TRUE(response);
    EXPECT_FALSE(response->received);
    EXPECT_EQ(static_cast<DWORD>(ERROR_WINHTTP_TIMEOUT), response->error);
    EXPECT_LE(peak, 4);
    EXPECT_TRUE(PumpUntil([&] { return sample() || CSuggestionFetcher::RunningWorkers() == 0; }, limit + 3000));

    // Eight fetchers, one request each: four wait, and all eight end.
    std::vector<std::unique_ptr<CSuggestionFetcher>> bars;
    std::vector<unsigned> ids;
    const double start = NowMs();
    for (int i = 0; i < 8; ++i) {
        bars.push_back(std::make_unique<CSuggestionFetcher>());
        const std::wstring url = Url((L"/slow?ms=3500&q=bar" + std::to_wstring(i)).c_str());
        ids.push_back(bars.back()->Fetch(url.c_str(), receiver.Hwnd(), kMessage));
        sample();
    }
    EXPECT_LT(NowMs() - start, limit / 4) << "Fetch waited for a worker";
    EXPECT_TRUE(PumpUntil([&] { return sample() || receiver.Arrivals().size() >= 9; }, 2 * limit + 3000));
    const double allEndedMs = NowMs() - start;
    ASSERT_EQ(9u, receiver.Arrivals().size());
    for (int i = 0; i < 8; ++i) {
        SCOPED_TRACE(i);
        std::unique_ptr<SuggestionResponse> ended = bars[i]->TakeResponse(ids[i]);
        ASSERT_TRUE(ended);
        EXPECT_EQ(static_cast<DWORD>(ERROR_WINHTTP_TIMEOUT), ended->error);
    }
    EXPECT_LE(peak, 4);
    printf("at most %ld workers at once; the latest of twenty ended %.0f ms after it was asked, "
           "eight fetchers' requests within %.0f ms\n",
           static_cast<long>(peak), lastEndedMs, allEndedMs);
}
