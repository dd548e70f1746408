// Narrow text in the system ANSI code page to UTF-16, for GDI+.
#pragma once
#include <string>

// Empty for null or empty input.
std::wstring AnsiToWide(const char* text);
