#include <winsock2.h>

#include "SuggestServer.h"

#include <winhttp.h>

#include <cstdlib>

namespace {
int PortFromEnvironment(const wchar_t* name) {
    wchar_t text[16] = {};
    if (!GetEnvironmentVariableW(name, text, 16)) return 0;
    return _wtoi(text);
}
} // namespace

int HttpPort() {
    static const int port = PortFromEnvironment(L"TAVREL_SUGGEST_HTTP_PORT");
    return port;
}

int HttpsPort() {
    static const int port = PortFromEnvironment(L"TAVREL_SUGGEST_HTTPS_PORT");
    return port;
}

std::wstring ServerUrl(const wchar_t* pathAndQuery, bool https) {
    return std::wstring(https ? L"https" : L"http") + L"://127.0.0.1:" +
           std::to_wstring(https ? HttpsPort() : HttpPort()) + pathAndQuery;
}

std::string ServerLog() {
    std::string text;
    HINTERNET session = WinHttpOpen(L"log-reader", WINHTTP_ACCESS_TYPE_NO_PROXY, nullptr, nullptr, 0);
    HINTERNET connection = session ? WinHttpConnect(session, L"127.0.0.1", static_cast<INTERNET_PORT>(HttpPort()), 0)
                                   : nullptr;
    HINTERNET request = connection ? WinHttpOpenRequest(connection, L"GET", L"/log", nullptr, WINHTTP_NO_REFERER,
                                                        WINHTTP_DEFAULT_ACCEPT_TYPES, 0)
                                   : nullptr;
    if (request) WinHttpSetTimeouts(request, 3000, 3000, 3000, 3000);
    if (request && WinHttpSendRequest(request, nullptr, 0, nullptr, 0, 0, 0) &&
        WinHttpReceiveResponse(request, nullptr)) {
        char buffer[4096];
        DWORD got = 0;
        for (int i = 0; i < 1000 && WinHttpReadData(request, buffer, sizeof buffer, &got) && got; ++i)
            text.append(buffer, got);
    }
    for (HINTERNET h : {request, connection, session})
        if (h) WinHttpCloseHandle(h);
    return text;
}

std::vector<std::string> LogLinesFor(const std::string& log, const std::string& path) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < log.size()) {
        size_t end = log.find('\n', start);
        if (end == std::string::npos) end = log.size();
        const std::string line = log.substr(start, end - start);
        if (line.compare(0, path.size() + 1, path + "\t") == 0) lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

size_t RequestsFor(const std::string& path) {
    return LogLinesFor(ServerLog(), path).size();
}

int TlsConnections() {
    const std::string log = ServerLog();
    const size_t at = log.rfind("tls-connections ");
    return at == std::string::npos ? -1 : atoi(log.c_str() + at + 16);
}

std::wstring RefusedUrl(const wchar_t* pathAndQuery) {
    WSADATA wsa;
    WSAStartup(MAKEWORD(2, 2), &wsa);
    SOCKET probe = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address);
    int length = sizeof address;
    getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length);
    closesocket(probe);
    WSACleanup();
    return L"http://127.0.0.1:" + std::to_wstring(ntohs(address.sin_port)) + pathAndQuery;
}
