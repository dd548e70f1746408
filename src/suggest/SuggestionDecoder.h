// The library's decoding seam of the suggestion reader: bytes of a Windows
// code page to UTF-16 by the system (MultiByteToWideChar).
#pragma once
#include "SuggestionReader.h"

// MultiByteToWideChar with MB_ERR_INVALID_CHARS: InvalidBytes when the bytes
// are not valid in the code page, UnknownCodePage when the system has no such
// code page (IsValidCodePage). The few code pages that refuse
// MB_ERR_INVALID_CHARS (ISO-2022 and the like) are decoded without it.
DecodeStatus DecodeWithSystemCodePage(unsigned codePage, std::string_view bytes, std::u16string& out);
