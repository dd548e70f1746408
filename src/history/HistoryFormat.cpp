#include "HistoryFormat.h"
#include "../launch/SearchUrl.h"
#include "../suggest/Utf.h"
#include <utility>

namespace tavrel::history {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::string_view WithoutByteOrderMark(std::string_view bytes) {
    if (bytes.substr(0, kByteOrderMark.size()) == kByteOrderMark)
        bytes.remove_prefix(kByteOrderMark.size());
    return bytes;
}

std::string_view WithoutCarriageReturn(std::string_view line) {
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    return line;
}

// The decoder turns every bad sequence into U+FFFD: a line is valid exactly
// when encoding its decoded text gives its bytes back.
bool DecodeValid(std::string_view line, std::u16string& text) {
    text = suggest::Utf8ToUtf16(line);
    return SearchUrl::ToUtf8(text) == line;
}

bool IsControl(char16_t unit) {
    return unit < 0x20 || (unit >= 0x7F && unit < 0xA0) || unit == 0x2028 || unit == 0x2029;
}

} // namespace

FileKind KindOf(std::string_view bytes) {
    if (bytes.empty())
        return FileKind::Empty;
    const std::string_view text = WithoutByteOrderMark(bytes);
    const std::string_view first = WithoutCarriageReturn(text.substr(0, text.find('\n')));
    return first == kFirstLine ? FileKind::History : FileKind::Foreign;
}

std::vector<std::u16string> ParseEntries(std::string_view bytes, size_t maxEntries) {
    std::vector<std::u16string> entries;
    if (KindOf(bytes) != FileKind::History)
        return entries;
    std::string_view rest = WithoutByteOrderMark(bytes);
    const size_t firstEnd = rest.find('\n');
    rest.remove_prefix(firstEnd == std::string_view::npos ? rest.size() : firstEnd + 1);
    const bool cut = bytes.size() >= kLargestFile && !bytes.empty() && bytes.back() != '\n';
    std::u16string text;
    while (!rest.empty() && entries.size() < maxEntries) {
        const size_t end = rest.find('\n');
        if (end == std::string_view::npos && cut)
            break;
        const std::string_view line = WithoutCarriageReturn(rest.substr(0, end));
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
        if (line.empty() || !DecodeValid(line, text) || text.size() > kLongestEntry)
            continue;
        std::u16string entry = EntryOf(text);
        if (!entry.empty())
            entries.push_back(std::move(entry));
    }
    return entries;
}

std::string FormatEntries(const std::vector<std::u16string>& entries) {
    std::string bytes(kFirstLine);
    bytes += '\n';
    for (const std::u16string& entry : entries) {
        bytes += SearchUrl::ToUtf8(entry);
        bytes += '\n';
    }
    return bytes;
}

std::u16string EntryOf(std::u16string_view query) {
    std::u16string entry(query);
    for (char16_t& unit : entry)
        if (IsControl(unit))
            unit = u' ';
    const size_t first = entry.find_first_not_of(u' ');
    if (first == std::u16string::npos)
        return std::u16string();
    return entry.substr(first, entry.find_last_not_of(u' ') - first + 1);
}

} // namespace tavrel::history
