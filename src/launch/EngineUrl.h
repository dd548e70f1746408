// EngineUrl: what kind of address an engine URL is, as a pure function of
// its text (no window, no Windows header), so that it can be table-tested
// and fuzzed natively as well as run under Wine.
//
// The shell opens whatever it is handed: a path or a file: URL runs the
// program it names, so only web addresses and the URL protocols that the
// system registers may reach it. The kinds:
// - Web: starts with http:// or https://, in any case.
// - RegisteredSchemeNeeded: starts with another scheme (RFC 3986: a letter,
//   then letters, digits, '+', '-' or '.', then ':'); usable only when the
//   system registers that scheme as a URL protocol.
// - Refused: anything else: no scheme (a path, a UNC name, a relative
//   name), a one-letter scheme (a drive: "C:\..."), file:, and http: or
//   https: without "//".
#pragma once
#include <string>

namespace EngineUrl {

enum class Kind { Web, RegisteredSchemeNeeded, Refused };

struct Verdict {
    Kind kind = Kind::Refused;
    std::u16string scheme; // lower case, without ':'; empty when there is none
};

// Schemes longer than this are refused (no registered protocol is).
constexpr size_t kLongestScheme = 64;

Verdict Classify(const std::u16string& url);

} // namespace EngineUrl
