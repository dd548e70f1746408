// The scripted suggestion server as the suggest tests see it: its ports
// (from run-with-server.sh), URLs on it, its request log, and a port on
// 127.0.0.1 that refuses connections.
#pragma once
#include <string>
#include <vector>

int HttpPort();
int HttpsPort();
// http(s)://127.0.0.1:<port><pathAndQuery>.
std::wstring ServerUrl(const wchar_t* pathAndQuery, bool https = false);
// The server's request log (GET /log), read through WinHTTP directly.
std::string ServerLog();
// The lines of the log whose path is path.
std::vector<std::string> LogLinesFor(const std::string& log, const std::string& path);
size_t RequestsFor(const std::string& path);
// TLS connections the HTTPS server accepted so far.
int TlsConnections();
// A URL on 127.0.0.1 whose port nobody listens on (bound, then closed).
std::wstring RefusedUrl(const wchar_t* pathAndQuery);
