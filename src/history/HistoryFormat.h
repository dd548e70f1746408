// The recent-searches file as text: a first line that marks the file as
// ours, then one entry per line in UTF-8, newest first. Pure functions with
// no Windows header, so that they build and are tested natively as well.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tavrel::history {

constexpr std::string_view kFirstLine = "# Tavrel recent searches 1";
// Lines longer than this (in UTF-16 units) are dropped on reading.
constexpr size_t kLongestEntry = 2048;
// A longer file is read up to this many bytes.
constexpr size_t kLargestFile = 1024 * 1024;

enum class FileKind { Empty, History, Foreign };

// Empty for no bytes at all; History when the first line is ours (after an
// optional UTF-8 byte order mark, with LF or CRLF); Foreign otherwise.
FileKind KindOf(std::string_view bytes);

// The entries of a history file's bytes, newest first, at most maxEntries.
// Lines that are not valid UTF-8, longer than kLongestEntry or empty as an
// entry (EntryOf) are dropped; so is a last line cut short by the size
// bound. Entries are kept as EntryOf makes them.
std::vector<std::u16string> ParseEntries(std::string_view bytes, size_t maxEntries);

// The bytes of a history file holding the entries.
std::string FormatEntries(const std::vector<std::u16string>& entries);

// The query as an entry: control characters (line breaks among them) become
// spaces, then spaces at both ends go. Empty when nothing is left.
std::u16string EntryOf(std::u16string_view query);

} // namespace tavrel::history
