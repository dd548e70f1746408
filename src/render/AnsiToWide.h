// The boundary between the ANSI code page and UTF-16: narrow text that a
// host gives through a slot or a narrow C function becomes the bar's UTF-16,
// and back, with the code page in force, as the system's own ...A functions
// convert.
#pragma once
#include <string>

// Empty for null or empty input; stops at the first NUL.
std::wstring AnsiToWide(const char* text);
// Every byte of text, NULs included, each NUL becoming U+0000.
std::wstring AnsiBytesToWide(const std::string& text);
// UTF-16 to the ANSI code page, every unit (U+0000 included); what the code page cannot hold becomes its
// best fit or the system's default character, as in GetWindowTextA.
std::string WideToAnsi(const std::wstring& text);

// The longest file name, in UTF-16 units, that the system's wide functions
// take (a UNICODE_STRING's limit); a longer one names no file. The narrow
// functions refuse such names themselves, and some wide ones of Wine do not.
constexpr size_t kLongestPath = 32767;
