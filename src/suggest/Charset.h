// The charset of a suggestion response: from a Content-Type header to a
// charset name, and from a charset name to a Windows code page number. Pure
// functions with no Windows header (they build and are fuzzed natively).
#pragma once
#include <string>
#include <string_view>

// The code page of UTF-8 (CP_UTF8), the default of a suggestion response.
constexpr unsigned kCodePageUtf8 = 65001;

// The value of the charset parameter of a Content-Type header value, such
// as "application/json; charset=GBK" or `text/plain;charset="utf-8"`:
// trimmed, unquoted (a quoted-string's backslash escapes undone) and in ASCII
// lower case. The first charset parameter counts; parameter names are matched
// without regard to case. Empty when there is none, when it is empty, or when
// it is longer than 64 characters (no registered charset name is).
std::string CharsetFromContentType(std::string_view contentType);

// The Windows code page of a charset name: its IANA name or a common alias
// (the labels browsers accept), matched without regard to ASCII case and
// surrounding blanks. For example utf-8 65001, gbk 936, gb18030 54936,
// shift_jis 932, euc-jp 20932, iso-2022-jp 50220, euc-kr 949, big5 950,
// windows-1250..1258, iso-8859-1 28591 (and -2..-9, -13, -15), koi8-r 20866,
// koi8-u 21866, ibm866 866, windows-874 874, macintosh 10000. us-ascii and
// ascii answer UTF-8, of which ASCII is a part. 0 for a name not in the table
// (the UTF-16 and UTF-32 names among them: Windows decodes them through no
// code page).
unsigned CodePageFromCharset(std::string_view charset);

// The code page a response body is read in: that of the Content-Type's
// charset when the table knows it, else UTF-8. A charset the table does not
// know is read as UTF-8 rather than refused: JSON is UTF-8 by its standard,
// such a server most likely sends UTF-8 anyway, and a body that is not valid
// UTF-8 is refused by the strict JSON reader in any case.
unsigned CodePageFromContentType(std::string_view contentType);
