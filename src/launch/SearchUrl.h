// SearchUrl: the search URL for a query and an engine, as a pure function of
// its inputs (no window, no Windows header), so that it can be table-tested
// and fuzzed natively as well as run under Wine.
//
// The rule:
// - An engine URL that holds {searchTerms} (the placeholder of OpenSearch
//   descriptions) gets the query at every occurrence, as UTF-8, whichever
//   way the engine was registered.
// - Otherwise the query is appended to the engine URL: in the ANSI code
//   page's bytes for an engine registered through a narrow function or slot
//   (the caller hands those bytes over), in UTF-8 for one registered through
//   a W function.
// Either way every byte of the query outside A-Z a-z 0-9 - . _ ~ is written
// as %XX (upper-case hex), so the query part of a URL is always ASCII. The
// engine URL itself is kept as the host gave it.
#pragma once
#include <string>

namespace SearchUrl {

// How the query is written when it is appended.
enum class AppendedBytes { CodePage, Utf8 };

// The placeholder that a template engine URL holds.
extern const char16_t kPlaceholder[]; // u"{searchTerms}"

// UTF-16 to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string ToUtf8(const std::u16string& text);
// Every byte outside the unreserved set as %XX.
std::string PercentEncode(const std::string& bytes);
bool HasPlaceholder(const std::u16string& engineUrl);
// The URL to open. queryInCodePage is the query in the ANSI code page, used
// only when an engine without the placeholder appends code-page bytes.
std::u16string Build(const std::u16string& engineUrl, const std::u16string& query,
                     AppendedBytes appended, const std::string& queryInCodePage);

} // namespace SearchUrl
