// CSuggestionFetcher: asks a suggestion URL off the calling thread and posts
// the outcome to a window. Worker threads run synchronous WinHTTP, one
// request at a time each and at most kMaxWorkers in the process; the
// calling (user-interface) thread only starts or queues a request, and
// never waits on a socket, not even when it cancels or destroys the fetcher.
//
// Use, on the thread that owns the window:
//     id = fetcher.Fetch(url, hwnd, UM_SUGGESTIONS);       // cancels the request before
//     ...
//     case UM_SUGGESTIONS:
//         if (auto response = fetcher.TakeResponse(wParam)) // null: a stale answer
//             use response->rows (already read, off this thread)
#pragma once
#include <windows.h>

#include <memory>
#include <string>

#include "SuggestionReader.h"

// What a request came to.
struct SuggestionResponse {
    unsigned id = 0;          // the id Fetch returned
    bool received = false;    // a whole answer arrived (of any status)
    bool tooLarge = false;    // received, but its body passed kMaxSuggestionBodyBytes (body left empty)
    int status = 0;           // the HTTP status when received
    std::string contentType;  // the Content-Type header as sent (ASCII; other characters as '?')
    std::string body;         // the body's bytes (read only for status 200)
    DWORD error = 0;          // when not received: the WinHTTP or system error;
                              // ERROR_WINHTTP_TIMEOUT when the time limit passed
    SuggestionRows rows;      // ReadSuggestionResponse(*this), read by the worker so
                              // that the receiving thread does not parse
};

// The rows of a response: ReadSuggestionResponse with the system's decoder;
// a response not received is not usable (SuggestionProblem::NoResponse).
SuggestionRows ReadSuggestionResponse(const SuggestionResponse& response);

struct SuggestionFetchState;

class CSuggestionFetcher {
public:
    // A request not answered completely within this time, redirects
    // included, is abandoned. The time counts from the moment a worker takes
    // the request.
    static const DWORD kTimeLimitMs = 2000;
    // Redirects followed; one more ends the request as a failure.
    static const int kMaxRedirects = 3;
    // Workers alive in the process at once. A request that finds them all
    // busy waits until one ends its request; a newer request of the same
    // fetcher takes the waiting one's place.
    static const LONG kMaxWorkers = 4;

    // timeLimitMs replaces kTimeLimitMs for this fetcher's requests (tests
    // that must see a slow machine's TLS handshake through to its verdict).
    explicit CSuggestionFetcher(DWORD timeLimitMs = kTimeLimitMs);
    // Cancels the request in flight (as Cancel). Returns at once.
    ~CSuggestionFetcher();
    CSuggestionFetcher(const CSuggestionFetcher&) = delete;
    CSuggestionFetcher& operator=(const CSuggestionFetcher&) = delete;

    // Cancels the request before and starts GET url (http:// or https://,
    // already percent-encoded) on a worker thread. When it ends (an answer,
    // a failure, the time limit), message is posted to target with wParam =
    // the returned id and lParam = 0, and the response waits for
    // TakeResponse. Every request ends in exactly one message unless it is
    // cancelled (then none). A URL that is not http or https fails the same
    // way (posted). A null or empty url only cancels; it returns 0.
    // Requests send no cookies and no credentials (no automatic logon, no
    // answer to an authentication challenge), carry the user agent
    // "Tavrel/<version>", use the system's proxy settings, follow at most
    // kMaxRedirects redirects, never one from https to http, and keep the
    // system's certificate checks.
    unsigned Fetch(const wchar_t* url, HWND target, UINT message);

    // The request in flight, if any, is abandoned: nothing is posted for it
    // any more, and a response waiting for TakeResponse is freed. Its worker
    // closes its handles and ends by itself, within the time limit.
    void Cancel();

    // On the posted message: the response of request id, now the caller's;
    // null when id is not the latest request (a newer Fetch or a Cancel came
    // after it) or its response was taken already.
    std::unique_ptr<SuggestionResponse> TakeResponse(WPARAM id);

    // For tests: workers running in this process, never above kMaxWorkers
    // (a cancelled one runs on until its current WinHTTP call returns), and
    // WinHTTP handles they hold.
    static LONG RunningWorkers();
    static LONG OpenHandles();
    // The user agent sent, "Tavrel/<version>".
    static const wchar_t* UserAgent();

private:
    std::shared_ptr<SuggestionFetchState> m_state;
    DWORD m_timeLimitMs;
    unsigned m_lastId = 0;
};
