// CSuggestionServer: the listening socket, the request line, the answer.
#include <winsock2.h>

#include "CSuggestionServer.h"

#include <cstdio>

namespace {
constexpr size_t kMaxRequestBytes = 8192;
constexpr DWORD kReceiveTimeoutMs = 2000;
constexpr long kAcceptPollUs = 50000;
const char kPath[] = "/complete";

int HexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

std::string PercentDecode(const std::string& text) {
    std::string bytes;
    for (size_t i = 0; i < text.size(); ++i) {
        const int high = i + 2 < text.size() && text[i] == '%' ? HexValue(text[i + 1]) : -1;
        const int low = high >= 0 ? HexValue(text[i + 2]) : -1;
        if (low >= 0) {
            bytes.push_back(static_cast<char>(high * 16 + low));
            i += 2;
        } else {
            bytes.push_back(text[i] == '+' ? ' ' : text[i]);
        }
    }
    return bytes;
}

// The value of q in a request target "/path?a=1&q=..." ("" without one).
std::string QueryParameter(const std::string& target) {
    const size_t question = target.find('?');
    if (question == std::string::npos)
        return std::string();
    size_t start = question + 1;
    while (start < target.size()) {
        size_t end = target.find('&', start);
        if (end == std::string::npos)
            end = target.size();
        if (target.compare(start, 2, "q=") == 0)
            return PercentDecode(target.substr(start + 2, end - start - 2));
        start = end + 1;
    }
    return std::string();
}

// A JSON string; the text is UTF-8, passed through but for what JSON escapes.
std::string JsonString(const std::string& text) {
    std::string json = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            json += '\\';
            json += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned char>(c));
            json += escaped;
        } else {
            json += c;
        }
    }
    return json + "\"";
}

void SendAll(SOCKET connection, const std::string& bytes) {
    size_t sent = 0;
    while (sent < bytes.size()) {
        const int n = ::send(connection, bytes.data() + sent, static_cast<int>(bytes.size() - sent), 0);
        if (n <= 0)
            return;
        sent += static_cast<size_t>(n);
    }
}

long long Now() {
    LARGE_INTEGER now;
    ::QueryPerformanceCounter(&now);
    return now.QuadPart;
}
} // namespace

CSuggestionServer::CSuggestionServer(Rows rows) : rows(std::move(rows)), listener(INVALID_SOCKET) {}

CSuggestionServer::~CSuggestionServer() {
    stopping = true;
    if (thread.joinable())
        thread.join();
    if (listener != INVALID_SOCKET)
        ::closesocket(listener);
    if (winsockStarted)
        ::WSACleanup();
}

bool CSuggestionServer::Start() {
    WSADATA data;
    winsockStarted = ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
    if (!winsockStarted)
        return false;
    listener = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = ::htonl(INADDR_LOOPBACK);
    int length = sizeof address;
    if (listener == INVALID_SOCKET ||
        ::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listener, 8) != 0 ||
        ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        return false;
    port = ::ntohs(address.sin_port);
    thread = std::thread([this] { Serve(); });
    return true;
}

std::wstring CSuggestionServer::UrlTemplate() const {
    return L"http://127.0.0.1:" + std::to_wstring(port) + L"/complete?q={searchTerms}";
}

// Waits for a connection a short while at a time, so that the destructor
// is never kept waiting by a blocked accept.
void CSuggestionServer::Serve() {
    while (!stopping) {
        fd_set ready;
        FD_ZERO(&ready);
        FD_SET(listener, &ready);
        timeval wait = {0, kAcceptPollUs};
        const int waiting = ::select(0, &ready, nullptr, nullptr, &wait);
        if (waiting < 0)
            return;
        if (waiting == 0)
            continue;
        const SOCKET connection = ::accept(listener, nullptr, nullptr);
        if (connection == INVALID_SOCKET)
            return;
        Answer(connection);
        ::shutdown(connection, SD_BOTH);
        ::closesocket(connection);
    }
}

void CSuggestionServer::Answer(uintptr_t connection) {
    const DWORD timeout = kReceiveTimeoutMs;
    ::setsockopt(connection, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout),
                 sizeof timeout);
    std::string request;
    char buffer[1024];
    while (request.find("\r\n\r\n") == std::string::npos && request.size() < kMaxRequestBytes) {
        const int n = ::recv(connection, buffer, sizeof buffer, 0);
        if (n <= 0)
            return;
        request.append(buffer, static_cast<size_t>(n));
    }
    ++requests;
    // "GET /complete?q=... HTTP/1.1"
    const size_t targetStart = request.find(' ') + 1;
    const size_t targetEnd = request.find(' ', targetStart);
    const std::string target =
        targetStart > 0 && targetEnd != std::string::npos
            ? request.substr(targetStart, targetEnd - targetStart)
            : std::string();
    const bool known = request.compare(0, 4, "GET ") == 0 &&
                       target.compare(0, sizeof kPath - 1, kPath) == 0 &&
                       (target.size() == sizeof kPath - 1 || target[sizeof kPath - 1] == '?');
    const std::string body = known ? Body(QueryParameter(target)) : "[]";
    SendAll(connection, std::string(known ? "HTTP/1.1 200 OK" : "HTTP/1.1 404 Not Found") +
                            "\r\nContent-Type: application/x-suggestions+json; charset=utf-8"
                            "\r\nContent-Length: " +
                            std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
    lastAnswerSent = Now();
}

std::string CSuggestionServer::Body(const std::string& query) const {
    std::string body = "[" + JsonString(query) + ", [";
    const std::vector<std::string> found = rows(query);
    for (size_t i = 0; i < found.size(); ++i)
        body += (i ? ", " : "") + JsonString(found[i]);
    return body + "]]";
}
