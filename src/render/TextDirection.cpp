// TextDirection: the first strong character decides.
#include "TextDirection.h"

namespace {
enum class Strength { Neutral, LeftToRight, RightToLeft };

Strength StrengthOf(unsigned c) {
    if ((c >= 0x0590 && c <= 0x08FF) || (c >= 0xFB1D && c <= 0xFDFF) ||
        (c >= 0xFE70 && c <= 0xFEFE))
        return Strength::RightToLeft;
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))
        return Strength::LeftToRight;
    if (c < 0x00C0 || c == 0x00D7 || c == 0x00F7)
        return Strength::Neutral; // ASCII and Latin-1 digits, signs, spaces
    // General punctuation, symbols, arrows, box drawing, CJK punctuation,
    // surrogates and specials carry no direction of their own.
    if ((c >= 0x2000 && c <= 0x2BFF) || (c >= 0x3000 && c <= 0x303F) ||
        (c >= 0xD800 && c <= 0xDFFF) || c >= 0xFFF0 || (c >= 0xFE00 && c <= 0xFE6F) ||
        (c >= 0xFF00 && c <= 0xFF20))
        return Strength::Neutral;
    return Strength::LeftToRight; // Latin, Greek, Cyrillic, Indic, CJK, ...
}
} // namespace

bool IsRightToLeft(const std::wstring& text) {
    for (const wchar_t ch : text) {
        const Strength strength = StrengthOf(static_cast<unsigned>(ch));
        if (strength != Strength::Neutral)
            return strength == Strength::RightToLeft;
    }
    return false;
}
