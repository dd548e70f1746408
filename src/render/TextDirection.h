// TextDirection: whether a text reads right to left, from its first strong
// character (Unicode's rule for a paragraph's direction, with a short table
// of scripts instead of the full character database). Pure code, no
// Windows header.
#pragma once
#include <string>

// True when the first letter of text belongs to a right-to-left script
// (Hebrew, Arabic, Syriac, Thaana, N'Ko and their presentation forms); digits,
// spaces and punctuation are passed over. False for text without letters.
bool IsRightToLeft(const std::wstring& text);
