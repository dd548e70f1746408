// The suggestion-response reader: an HTTP answer of a suggestion URL in
// (status, Content-Type, body), the rows for the suggestion list out, in the
// OpenSearch suggestions format ["query", ["row", "row", ...], ...]. A pure
// function with no window and no Windows header: it builds natively, where
// it is table-tested and fuzzed, as well as in the library. Nothing throws
// out of it.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

constexpr size_t kMaxSuggestionRows = 11;          // rows kept, the first ones
constexpr size_t kMaxSuggestionRowLength = 256;    // UTF-16 code units per row
constexpr size_t kMaxSuggestionBodyBytes = 256 * 1024;

enum class SuggestionVerdict {
    NotUsable, // change nothing (except hiding rows of an older query)
    EmptyList, // hide the list
    Rows,      // replace the list with rows and show it
};

// Why a response was not usable (for tests and diagnostics; the bar treats
// every reason alike).
enum class SuggestionProblem {
    None,
    NoResponse,  // no complete answer: refused, dropped, timed out, TLS refused (the fetcher's)
    Status,      // a status other than 200
    TooLarge,    // a body over kMaxSuggestionBodyBytes
    Undecodable, // bytes not valid in the charset the Content-Type names
    Malformed,   // not JSON
    WrongShape,  // JSON, but not an array whose second element is an array
};

struct SuggestionRows {
    SuggestionVerdict verdict = SuggestionVerdict::NotUsable;
    SuggestionProblem problem = SuggestionProblem::None;
    std::vector<std::u16string> rows; // only for SuggestionVerdict::Rows, 1 to 11 rows
};

// The decoding seam: bytes of a code page (never UTF-8, which the reader
// decodes itself) to UTF-16. The library's is MultiByteToWideChar
// (SuggestionDecoder.h); a native build may pass none, or a stand-in.
enum class DecodeStatus {
    Decoded,         // out holds the text
    InvalidBytes,    // the bytes are not valid in the code page: the response is not usable
    UnknownCodePage, // the system has no such code page: the body is read as UTF-8
};
using SuggestionDecoder = DecodeStatus (*)(unsigned codePage, std::string_view bytes, std::u16string& out);

// Reads a response. Usable only when status is 200, the body is at most
// kMaxSuggestionBodyBytes and it is a JSON value (RFC 8259, strict UTF-8,
// nothing after it but blanks) that is an array whose second element is an
// array. That array's string elements, in order, become the rows; its other
// elements are skipped. Each row loses its control characters (U+0000-001F,
// U+007F-009F), line and paragraph separators (U+2028, U+2029) and invisible
// format characters (U+202A-202E, U+2066-2069, U+200B, U+200E, U+200F,
// U+061C, U+FEFF; U+200C and U+200D stay), is cut to
// kMaxSuggestionRowLength code units (one fewer where the cut would split a
// surrogate pair) and is dropped when nothing is left; the first
// kMaxSuggestionRows rows are kept. No row: EmptyList.
// The body is read in the code page of CodePageFromContentType(contentType):
// UTF-8 by the reader itself, any other through decode (a null decode, or
// one that does not know the code page, reads it as UTF-8).
SuggestionRows ReadSuggestionResponse(int status, std::string_view contentType, std::string_view body,
                                      SuggestionDecoder decode);

// A row as the reader cleans it (exposed for tests).
std::u16string CleanSuggestionRow(std::u16string_view row);
