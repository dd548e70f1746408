// CSuggestionFetcher (see SuggestionFetcher.h).
//
// Why a worker thread with synchronous WinHTTP, not WinHTTP's asynchronous
// mode: the asynchronous mode calls back on WinHTTP's own threads, and under
// Wine 8 (as on Windows) a callback can still arrive after WinHttpCloseHandle
// returns, until WINHTTP_CALLBACK_STATUS_HANDLE_CLOSING; Wine sends that only
// when the pending operation lets go of the handle, that is when the blocked
// receive returns. A destructor that waits for it stalls the user-interface
// thread for up to the time limit; one that does not wait leaves callbacks
// running into freed memory or into an unloaded Tavrel.dll. Closing a handle
// from another thread to interrupt a synchronous call is no better: Wine's
// handle table hands the freed number to the next handle at once, so the
// worker could go on with another request's handle. So here every handle is
// opened, used and closed by its own worker thread alone; cancelling only
// changes which request is current (under a lock), which the worker checks
// after every WinHTTP call and right before it posts, under the same lock:
// once Cancel or the destructor has returned, nothing is posted for an older
// request. Each WinHTTP call's timeouts are what is left of the request's
// time limit, so a cancelled worker ends by itself within it. Redirects are
// followed here, not inside WinHttpReceiveResponse: WinHTTP gives each hop
// it follows fresh timeouts, so one request could outlive its limit by a
// multiple. Here each hop is a new request handle with every safety option
// and with what is left of the one limit. At most kMaxWorkers workers run
// in the process; a request that finds them all busy waits in a process-
// wide queue (one per fetcher, the newest) and is taken by the next worker
// that ends its request, so no request needs a thread of its own. The worker
// holds a reference on the module that holds this code and ends with
// FreeLibraryAndExitThread, so unloading Tavrel.dll while a cancelled worker
// drains is safe. Responses are not passed in lParam: a message posted to a
// window that is destroyed before it is dispatched is thrown away by the
// system, with it the memory it pointed to. The response waits in the
// fetcher instead, freed by the next Fetch, by Cancel or by the destructor.
#include "SuggestionFetcher.h"

#include <shlwapi.h>
#include <winhttp.h>

#include <deque>
#include <mutex>
#include <utility>

#include "SuggestionDecoder.h"
#include "TavrelVersion.h"

#define TAVREL_SUGGEST_WIDEN2(text) L##text
#define TAVREL_SUGGEST_WIDEN(text) TAVREL_SUGGEST_WIDEN2(text)

struct SuggestionFetchState {
    SRWLOCK lock = SRWLOCK_INIT;
    unsigned currentId = 0; // 0: none
    std::unique_ptr<SuggestionResponse> waiting;
};

namespace {
LONG g_runningWorkers = 0;
LONG g_openHandles = 0;

const wchar_t kUserAgent[] = L"Tavrel/" TAVREL_SUGGEST_WIDEN(TAVREL_VERSION);
const size_t kMaxContentTypeChars = 1024;
const size_t kMaxLocationChars = 8 * 1024;
const DWORD kReadChunk = 64 * 1024;
const LONG kMaxWorkers = CSuggestionFetcher::kMaxWorkers;
const int kMaxRedirects = CSuggestionFetcher::kMaxRedirects;

// One WinHTTP handle, closed when it goes (counted for the tests).
class CInternetHandle {
public:
    CInternetHandle() = default;
    explicit CInternetHandle(HINTERNET handle) : m_handle(handle) {
        if (m_handle) ::InterlockedIncrement(&g_openHandles);
    }
    ~CInternetHandle() {
        if (m_handle) {
            ::WinHttpCloseHandle(m_handle);
            ::InterlockedDecrement(&g_openHandles);
        }
    }
    CInternetHandle(const CInternetHandle&) = delete;
    CInternetHandle& operator=(const CInternetHandle&) = delete;
    // Takes handle, closing the one held before.
    void Attach(HINTERNET handle) {
        CInternetHandle(handle).Swap(*this);
    }
    HINTERNET Get() const { return m_handle; }
    explicit operator bool() const { return m_handle != nullptr; }

private:
    void Swap(CInternetHandle& other) { std::swap(m_handle, other.m_handle); }
    HINTERNET m_handle = nullptr;
};

struct WorkerJob {
    std::shared_ptr<SuggestionFetchState> state;
    std::wstring url;
    unsigned id;
    HWND target;
    UINT message;
    DWORD timeLimitMs;
    ULONGLONG deadline; // GetTickCount64, set when a worker takes the job
};

// What a new worker thread starts with.
struct WorkerStart {
    std::unique_ptr<WorkerJob> job;
    HMODULE module; // the reference the worker gives back as it ends
};

// Jobs waiting for a worker, at most one per fetcher, oldest first, and the
// count of running workers: both under g_poolLock, so that a worker never
// ends while a job waits. Never held across a WinHTTP call or a post.
std::mutex g_poolLock;
std::deque<std::unique_ptr<WorkerJob>> g_waitingJobs;

// Under g_poolLock: the job of state that waits, if any, out of the queue
// (it is no longer current, or is about to be replaced); the caller frees
// it after letting go of the lock.
std::unique_ptr<WorkerJob> TakeWaitingJobOf(const SuggestionFetchState* state) {
    for (auto it = g_waitingJobs.begin(); it != g_waitingJobs.end(); ++it) {
        if ((*it)->state.get() == state) {
            std::unique_ptr<WorkerJob> job = std::move(*it);
            g_waitingJobs.erase(it);
            return job;
        }
    }
    return nullptr;
}

bool IsCurrent(const WorkerJob& job) {
    ::AcquireSRWLockShared(&job.state->lock);
    const bool current = job.state->currentId == job.id;
    ::ReleaseSRWLockShared(&job.state->lock);
    return current;
}

// Milliseconds left before the time limit, 0 when it has passed.
int RemainingMs(const WorkerJob& job) {
    const ULONGLONG now = ::GetTickCount64();
    return now >= job.deadline ? 0 : static_cast<int>(job.deadline - now);
}

// How a step of the worker ended.
enum class Step { Go, Failed, Abandoned };

// After a WinHTTP call: go on, fail with its error (or the time limit's), or
// give up because the request is no longer current.
Step Check(const WorkerJob& job, BOOL succeeded, SuggestionResponse& response) {
    const DWORD error = succeeded ? 0 : ::GetLastError();
    if (!IsCurrent(job)) return Step::Abandoned;
    if (RemainingMs(job) == 0) {
        response.error = ERROR_WINHTTP_TIMEOUT;
        return Step::Failed;
    }
    if (!succeeded) {
        response.error = error ? error : ERROR_WINHTTP_INTERNAL_ERROR;
        return Step::Failed;
    }
    return Step::Go;
}

// Every timeout of the next call: what is left of the time limit (never 0,
// which WinHTTP reads as "wait for ever").
bool LimitNextCall(const WorkerJob& job, HINTERNET request) {
    const int left = RemainingMs(job);
    if (left <= 0) return false;
    if (!::WinHttpSetTimeouts(request, left, left, left, left)) return false;
    DWORD value = static_cast<DWORD>(left);
    ::WinHttpSetOption(request, WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &value, sizeof value);
    return true;
}

bool SetDword(HINTERNET handle, DWORD option, DWORD value) {
    return ::WinHttpSetOption(handle, option, &value, sizeof value) != FALSE;
}

// The system's proxy settings: WINHTTP_ACCESS_TYPE_AUTOMATIC_PROXY (Windows
// 8.1 and later: the user's settings, automatic configuration included);
// where it is refused, the WinHTTP default proxy configuration.
HINTERNET OpenSession() {
    HINTERNET session = ::WinHttpOpen(kUserAgent, WINHTTP_ACCESS_TYPE_AUTOMATIC_PROXY,
                                      WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0);
    if (!session)
        session = ::WinHttpOpen(kUserAgent, WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME,
                                WINHTTP_NO_PROXY_BYPASS, 0);
    return session;
}

std::string HeaderAsAscii(const std::wstring& value) {
    std::string ascii;
    ascii.reserve(value.size());
    for (const wchar_t c : value) ascii.push_back(c > 0 && c < 0x80 ? static_cast<char>(c) : '?');
    return ascii;
}

// A header's value; false when the response has none.
bool QueryHeader(HINTERNET request, DWORD query, std::wstring& value) {
    DWORD bytes = 0;
    ::WinHttpQueryHeaders(request, query, WINHTTP_HEADER_NAME_BY_INDEX, WINHTTP_NO_OUTPUT_BUFFER, &bytes,
                          WINHTTP_NO_HEADER_INDEX);
    if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER || bytes == 0) return false;
    std::wstring buffer(bytes / sizeof(wchar_t) + 1, L'\0');
    bytes = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
    if (!::WinHttpQueryHeaders(request, query, WINHTTP_HEADER_NAME_BY_INDEX, &buffer[0], &bytes,
                               WINHTTP_NO_HEADER_INDEX))
        return false;
    buffer.resize(bytes / sizeof(wchar_t));
    value = std::move(buffer);
    return true;
}

// The Content-Length header as a number; false when absent or not a number.
bool QueryContentLength(HINTERNET request, unsigned long long& length) {
    std::wstring text;
    if (!QueryHeader(request, WINHTTP_QUERY_CONTENT_LENGTH, text) || text.empty() || text.size() > 19)
        return false;
    length = 0;
    for (const wchar_t c : text) {
        if (c < L'0' || c > L'9') return false;
        length = length * 10 + static_cast<unsigned>(c - L'0');
    }
    return true;
}

// Where one hop of a request goes.
struct HopTarget {
    std::wstring host;
    std::wstring object; // path and query, no fragment
    INTERNET_PORT port = 0;
    bool https = false;
};

// An absolute http or https URL split for WinHttpConnect and
// WinHttpOpenRequest; false (with the error) for anything else.
bool CrackTarget(const std::wstring& url, HopTarget& target, SuggestionResponse& response) {
    URL_COMPONENTS parts = {};
    parts.dwStructSize = sizeof parts;
    parts.dwSchemeLength = parts.dwHostNameLength = parts.dwUrlPathLength = parts.dwExtraInfoLength =
        static_cast<DWORD>(-1);
    if (!::WinHttpCrackUrl(url.c_str(), static_cast<DWORD>(url.size()), 0, &parts)) {
        response.error = ::GetLastError();
        return false;
    }
    if (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS) {
        response.error = ERROR_WINHTTP_UNRECOGNIZED_SCHEME;
        return false;
    }
    target.host.assign(parts.lpszHostName, parts.dwHostNameLength);
    target.object.assign(parts.lpszUrlPath ? parts.lpszUrlPath : L"", parts.dwUrlPathLength);
    if (parts.lpszExtraInfo) target.object.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
    const size_t fragment = target.object.find(L'#');
    if (fragment != std::wstring::npos) target.object.resize(fragment);
    if (target.object.empty()) target.object = L"/";
    target.port = parts.nPort;
    target.https = parts.nScheme == INTERNET_SCHEME_HTTPS;
    return true;
}

// A Location header resolved against the URL it answered (it may be
// absolute, from the root or relative); false when it cannot be.
bool ResolveLocation(const std::wstring& base, const std::wstring& location, std::wstring& resolved) {
    DWORD length = static_cast<DWORD>(base.size() + location.size() + 64);
    for (int attempt = 0; attempt < 2; ++attempt) {
        std::wstring buffer(length + 1, L'\0');
        DWORD written = length + 1;
        const HRESULT result = ::UrlCombineW(base.c_str(), location.c_str(), &buffer[0], &written, 0);
        if (SUCCEEDED(result)) {
            buffer.resize(written);
            resolved = std::move(buffer);
            return !resolved.empty();
        }
        if (result != E_POINTER || written <= length) return false;
        length = written;
    }
    return false;
}

bool IsRedirect(DWORD status) {
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

// One hop: the request sent with every safety option and its answer's
// headers received. WinHTTP follows no redirect itself; the caller does.
Step SendHop(const WorkerJob& job, HINTERNET session, const HopTarget& target, CInternetHandle& connection,
             CInternetHandle& request, SuggestionResponse& response) {
    connection.Attach(::WinHttpConnect(session, target.host.c_str(), target.port, 0));
    Step step = Check(job, connection ? TRUE : FALSE, response);
    if (step != Step::Go) return step;
    const wchar_t* acceptTypes[] = {L"application/x-suggestions+json", L"application/json", L"*/*;q=0.5",
                                    nullptr};
    request.Attach(::WinHttpOpenRequest(connection.Get(), L"GET", target.object.c_str(), nullptr, WINHTTP_NO_REFERER,
                                        acceptTypes, target.https ? WINHTTP_FLAG_SECURE : 0));
    step = Check(job, request ? TRUE : FALSE, response);
    if (step != Step::Go) return step;
    // Safety settings are required: a request that cannot have them is not made.
    if (!SetDword(request.Get(), WINHTTP_OPTION_DISABLE_FEATURE,
                  WINHTTP_DISABLE_COOKIES | WINHTTP_DISABLE_AUTHENTICATION | WINHTTP_DISABLE_REDIRECTS) ||
        !SetDword(request.Get(), WINHTTP_OPTION_AUTOLOGON_POLICY, WINHTTP_AUTOLOGON_SECURITY_LEVEL_HIGH) ||
        !SetDword(request.Get(), WINHTTP_OPTION_REDIRECT_POLICY,
                  WINHTTP_OPTION_REDIRECT_POLICY_DISALLOW_HTTPS_TO_HTTP)) {
        response.error = ::GetLastError();
        return Step::Failed;
    }
    BOOL ok = LimitNextCall(job, request.Get()) &&
              ::WinHttpSendRequest(request.Get(), WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0,
                                   0, 0);
    if ((step = Check(job, ok, response)) != Step::Go) return step;
    ok = LimitNextCall(job, request.Get()) && ::WinHttpReceiveResponse(request.Get(), nullptr);
    return Check(job, ok, response);
}

// The answer's status, its Content-Type and, for status 200, its body.
Step ReadAnswer(const WorkerJob& job, HINTERNET request, DWORD status, SuggestionResponse& response) {
    std::wstring contentType;
    if (QueryHeader(request, WINHTTP_QUERY_CONTENT_TYPE, contentType)) {
        if (contentType.size() > kMaxContentTypeChars) contentType.resize(kMaxContentTypeChars);
        response.contentType = HeaderAsAscii(contentType);
    }
    response.status = static_cast<int>(status);
    if (status != 200) { // nothing of the body is used
        response.received = true;
        return Step::Go;
    }
    unsigned long long contentLength = 0;
    const bool lengthKnown = QueryContentLength(request, contentLength);
    if (lengthKnown && contentLength > kMaxSuggestionBodyBytes) {
        response.received = response.tooLarge = true;
        return Step::Go;
    }

    // Each pass reads at least one byte or ends, and no more than one byte
    // past the limit is read: the pass count is bounded as well as the time.
    std::string& body = response.body;
    bool ended = false;
    Step step = Step::Go;
    for (size_t pass = 0; pass <= kMaxSuggestionBodyBytes + 1 && !ended; ++pass) {
        DWORD available = 0;
        BOOL ok = LimitNextCall(job, request) && ::WinHttpQueryDataAvailable(request, &available);
        if ((step = Check(job, ok, response)) != Step::Go) return step;
        if (available == 0) {
            ended = true;
            break;
        }
        const size_t room = kMaxSuggestionBodyBytes + 1 - body.size();
        DWORD want = available < kReadChunk ? available : kReadChunk;
        if (want > room) want = static_cast<DWORD>(room);
        const size_t before = body.size();
        body.resize(before + want);
        DWORD got = 0;
        ok = ::WinHttpReadData(request, &body[before], want, &got);
        body.resize(before + (ok ? got : 0));
        if ((step = Check(job, ok, response)) != Step::Go) return step;
        if (body.size() > kMaxSuggestionBodyBytes) {
            body.clear();
            body.shrink_to_fit();
            response.received = response.tooLarge = true;
            return Step::Go;
        }
        if (got == 0) ended = true;
    }
    if (!ended || (lengthKnown && body.size() != contentLength)) { // cut off: the connection dropped
        body.clear();
        response.error = ERROR_WINHTTP_CONNECTION_ERROR;
        return Step::Failed;
    }
    response.received = true;
    return Step::Go;
}

// Where a redirect answer points, resolved; false (with the error) when it
// must not be followed: one redirect too many, or from https to http.
bool NextHop(HINTERNET request, int redirectsFollowed, bool fromHttps, std::wstring& url,
             SuggestionResponse& response) {
    response.error = ERROR_WINHTTP_REDIRECT_FAILED;
    std::wstring location;
    if (redirectsFollowed >= kMaxRedirects || !QueryHeader(request, WINHTTP_QUERY_LOCATION, location) ||
        location.size() > kMaxLocationChars)
        return false;
    std::wstring next;
    if (!ResolveLocation(url, location, next)) return false;
    if (fromHttps && ::_wcsnicmp(next.c_str(), L"https://", 8) != 0) return false;
    url = std::move(next);
    response.error = 0;
    return true;
}

// The whole exchange, redirects included, with every handle opened and
// closed here.
Step Exchange(const WorkerJob& job, SuggestionResponse& response) {
    std::wstring url = job.url;
    HopTarget target;
    if (!CrackTarget(url, target, response)) return Step::Failed;
    CInternetHandle session(OpenSession());
    Step step = Check(job, session ? TRUE : FALSE, response);
    if (step != Step::Go) return step;
    if (!SetDword(session.Get(), WINHTTP_OPTION_REDIRECT_POLICY,
                  WINHTTP_OPTION_REDIRECT_POLICY_DISALLOW_HTTPS_TO_HTTP)) {
        response.error = ::GetLastError();
        return Step::Failed;
    }
    for (int redirects = 0;; ++redirects) {
        CInternetHandle connection, request;
        if ((step = SendHop(job, session.Get(), target, connection, request, response)) != Step::Go) return step;
        DWORD status = 0, size = sizeof status;
        const BOOL ok = ::WinHttpQueryHeaders(request.Get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                                              WINHTTP_HEADER_NAME_BY_INDEX, &status, &size, WINHTTP_NO_HEADER_INDEX);
        if ((step = Check(job, ok, response)) != Step::Go) return step;
        if (!IsRedirect(status)) return ReadAnswer(job, request.Get(), status, response);
        if (!NextHop(request.Get(), redirects, target.https, url, response) || !CrackTarget(url, target, response))
            return Step::Failed;
    }
}

// Hands the response over if the request is still current: it waits in the
// state, and the message says so. Under the lock, so that Cancel, once
// returned, is never followed by a post for an older request.
void Deliver(const WorkerJob& job, std::unique_ptr<SuggestionResponse> response) {
    SuggestionFetchState& state = *job.state;
    ::AcquireSRWLockExclusive(&state.lock);
    if (state.currentId == job.id) {
        state.waiting = std::move(response);
        if (!::PostMessageW(job.target, job.message, static_cast<WPARAM>(job.id), 0)) state.waiting.reset();
    }
    ::ReleaseSRWLockExclusive(&state.lock);
}

// A job no longer current is dropped without a word; the time limit counts
// from the moment a worker takes the job.
void RunJob(std::unique_ptr<WorkerJob> job) {
    try {
        if (!IsCurrent(*job)) return;
        job->deadline = ::GetTickCount64() + job->timeLimitMs;
        auto response = std::make_unique<SuggestionResponse>();
        response->id = job->id;
        if (Exchange(*job, *response) == Step::Abandoned) return;
        response->rows = ReadSuggestionResponse(*response);
        Deliver(*job, std::move(response));
    } catch (...) { // std::bad_alloc: the request ends without a message
    }
}

// The oldest waiting job, for a worker that has ended its own; null when
// none waits, and then the worker is no longer counted (under the same
// lock, so that a job is never left waiting with no worker to take it).
std::unique_ptr<WorkerJob> NextJobOrRetire() {
    const std::lock_guard<std::mutex> pool(g_poolLock);
    std::unique_ptr<WorkerJob> job;
    if (!g_waitingJobs.empty()) {
        job = std::move(g_waitingJobs.front());
        g_waitingJobs.pop_front();
    } else {
        ::InterlockedDecrement(&g_runningWorkers);
    }
    return job;
}

DWORD WINAPI WorkerMain(void* parameter) {
    std::unique_ptr<WorkerStart> start(static_cast<WorkerStart*>(parameter));
    const HMODULE module = start->module;
    // Every object of a request is gone when RunJob returns.
    for (std::unique_ptr<WorkerJob> job = std::move(start->job); job; job = NextJobOrRetire())
        RunJob(std::move(job));
    start.reset();
    if (module) ::FreeLibraryAndExitThread(module, 0);
    return 0;
}

// Counts a worker if fewer than kMaxWorkers run; otherwise job waits (in
// place of the waiting job of its fetcher) and job is left null.
bool ClaimWorkerOrQueue(std::unique_ptr<WorkerJob>& job) {
    std::unique_ptr<WorkerJob> replaced; // freed after the lock is let go
    const std::lock_guard<std::mutex> pool(g_poolLock);
    replaced = TakeWaitingJobOf(job->state.get());
    if (::InterlockedCompareExchange(&g_runningWorkers, 0, 0) < kMaxWorkers) {
        ::InterlockedIncrement(&g_runningWorkers);
        return true;
    }
    g_waitingJobs.push_back(std::move(job));
    return false;
}

// No worker: the request fails at once, told the same way as any failure.
void FailAtOnce(const WorkerJob& job, DWORD error) {
    auto response = std::make_unique<SuggestionResponse>();
    response->id = job.id;
    response->error = error ? error : ERROR_NOT_ENOUGH_MEMORY;
    response->rows = ReadSuggestionResponse(*response);
    Deliver(job, std::move(response));
}

// Gives a claimed worker back when its thread could not start. Jobs that
// came to wait meanwhile are taken by the workers still running; when none
// runs, nobody would take them, so they fail as well.
void ReleaseUnstartedWorker(DWORD error) {
    std::deque<std::unique_ptr<WorkerJob>> orphans;
    {
        const std::lock_guard<std::mutex> pool(g_poolLock);
        if (::InterlockedDecrement(&g_runningWorkers) == 0) orphans.swap(g_waitingJobs);
    }
    for (const std::unique_ptr<WorkerJob>& orphan : orphans) FailAtOnce(*orphan, error);
}

// A thread for job, holding a reference on this module; false when the
// system gives none (job is then still the caller's).
bool StartWorker(std::unique_ptr<WorkerJob>& job) {
    auto start = std::make_unique<WorkerStart>();
    start->module = nullptr;
    ::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCWSTR>(&WorkerMain),
                         &start->module);
    start->job = std::move(job);
    HANDLE thread = ::CreateThread(nullptr, 512 * 1024, WorkerMain, start.get(), STACK_SIZE_PARAM_IS_A_RESERVATION,
                                   nullptr);
    if (thread) {
        start.release(); // the worker's now
        ::CloseHandle(thread);
        return true;
    }
    const DWORD error = ::GetLastError();
    if (start->module) ::FreeLibrary(start->module);
    job = std::move(start->job);
    ::SetLastError(error);
    return false;
}
} // namespace

SuggestionRows ReadSuggestionResponse(const SuggestionResponse& response) {
    if (!response.received) {
        SuggestionRows rows;
        rows.problem = SuggestionProblem::NoResponse;
        return rows;
    }
    if (response.tooLarge && response.status == 200) {
        SuggestionRows rows;
        rows.problem = SuggestionProblem::TooLarge;
        return rows;
    }
    return ReadSuggestionResponse(response.status, response.contentType, response.body, DecodeWithSystemCodePage);
}

CSuggestionFetcher::CSuggestionFetcher(DWORD timeLimitMs)
    : m_state(std::make_shared<SuggestionFetchState>()), m_timeLimitMs(timeLimitMs) {}

CSuggestionFetcher::~CSuggestionFetcher() {
    Cancel();
}

unsigned CSuggestionFetcher::Fetch(const wchar_t* url, HWND target, UINT message) {
    if (!url || !*url) {
        Cancel();
        return 0;
    }
    if (++m_lastId == 0) m_lastId = 1;
    const unsigned id = m_lastId;
    ::AcquireSRWLockExclusive(&m_state->lock);
    m_state->currentId = id;
    std::unique_ptr<SuggestionResponse> old = std::move(m_state->waiting);
    ::ReleaseSRWLockExclusive(&m_state->lock);
    old.reset();

    auto job = std::make_unique<WorkerJob>();
    job->state = m_state;
    job->url = url;
    job->id = id;
    job->target = target;
    job->message = message;
    job->timeLimitMs = m_timeLimitMs;
    job->deadline = 0;
    if (!ClaimWorkerOrQueue(job) || StartWorker(job)) return id;
    const DWORD error = ::GetLastError();
    ReleaseUnstartedWorker(error);
    FailAtOnce(*job, error);
    return id;
}

void CSuggestionFetcher::Cancel() {
    ::AcquireSRWLockExclusive(&m_state->lock);
    m_state->currentId = 0;
    std::unique_ptr<SuggestionResponse> old = std::move(m_state->waiting);
    ::ReleaseSRWLockExclusive(&m_state->lock);
    std::unique_ptr<WorkerJob> waiting; // freed after the lock is let go
    const std::lock_guard<std::mutex> pool(g_poolLock);
    waiting = TakeWaitingJobOf(m_state.get());
}

std::unique_ptr<SuggestionResponse> CSuggestionFetcher::TakeResponse(WPARAM id) {
    std::unique_ptr<SuggestionResponse> response;
    ::AcquireSRWLockExclusive(&m_state->lock);
    if (m_state->waiting && m_state->waiting->id == id) response = std::move(m_state->waiting);
    ::ReleaseSRWLockExclusive(&m_state->lock);
    return response;
}

LONG CSuggestionFetcher::RunningWorkers() {
    return ::InterlockedCompareExchange(&g_runningWorkers, 0, 0);
}

LONG CSuggestionFetcher::OpenHandles() {
    return ::InterlockedCompareExchange(&g_openHandles, 0, 0);
}

const wchar_t* CSuggestionFetcher::UserAgent() {
    return kUserAgent;
}
