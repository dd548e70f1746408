// CSuggestionServer: a small HTTP server on the loopback interface that
// answers a suggestion URL in the OpenSearch suggestions format, so that the
// demo (and the benchmark) can show live suggestions without any other
// program. It listens on 127.0.0.1 and a free port, serves one connection at
// a time on a thread of its own and answers
//     GET /complete?q=QUERY  ->  ["QUERY", ["row", "row", ...]]
// with the rows its callback gives for the query (UTF-8, percent-decoded),
// and 404 to any other path.
#pragma once
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>
#include <vector>

class CSuggestionServer {
  public:
    // The rows for a query, UTF-8.
    using Rows = std::function<std::vector<std::string>(const std::string& query)>;

    explicit CSuggestionServer(Rows rows);
    // Stops listening and waits for the thread.
    ~CSuggestionServer();
    CSuggestionServer(const CSuggestionServer&) = delete;
    CSuggestionServer& operator=(const CSuggestionServer&) = delete;

    // Listens on 127.0.0.1 and a free port; false when it cannot.
    bool Start();
    // The suggestion URL template for the bar, with {searchTerms}.
    std::wstring UrlTemplate() const;
    int Requests() const { return requests.load(); }
    // QueryPerformanceCounter when the last byte of the latest answer was
    // sent; 0 before the first.
    long long LastAnswerSent() const { return lastAnswerSent.load(); }

  private:
    void Serve();
    void Answer(uintptr_t connection);
    std::string Body(const std::string& query) const;

    Rows rows;
    uintptr_t listener; // a SOCKET; this header needs no Winsock header
    int port = 0;
    bool winsockStarted = false;
    std::thread thread;
    std::atomic<bool> stopping{false};
    std::atomic<int> requests{0};
    std::atomic<long long> lastAnswerSent{0};
};
