// The one edit the bar makes to a host's INI file: set the value of a key
// in a section, keeping every other byte. A pure function on the file's
// bytes, with no window and no Windows header, so that it can be tested
// against the system's profile functions and fuzzed natively.
#pragma once
#include <string>

// Returns `content` (the whole file, as read) with `value` as the value of
// the first `key` line of the first `[section]`, read the way the profile
// functions read a file: UTF-16LE or UTF-16BE after their byte order mark,
// UTF-8 after its mark, else bytes of the ANSI code page; every CR and
// every LF ends a line; section and key names compare
// case-insensitively with the blanks around them ignored; the first `]`
// from the end closes a section name.
//
// Only the value's text changes (the blanks and the line around it stay).
// A missing key is added after the last non-blank line of the section, a
// missing section at the end of the file, with the file's own line break
// (CRLF in a file that has none) and in its encoding. When the value
// already reads as `value` (quotes around it stripped, as the profile
// functions strip them), `content` comes back unchanged.
//
// `section`, `key` and `value` are ASCII.
std::string SetIniValue(const std::string& content, const std::string& section,
                        const std::string& key, const std::string& value);
