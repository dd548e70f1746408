// Fuzzes ReadSuggestionResponse. Input: one byte choosing the status, a
// Content-Type up to the first newline, then the body. The decoder stands in
// for the system's: ISO-8859-1 byte for byte, KOI8-R unknown to it, and every
// other code page read as UTF-16LE pairs (so unpaired surrogates reach the
// reader), refusing an odd byte count.
#include "FuzzCheck.h"
#include "SuggestionReader.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {
DecodeStatus StandInDecoder(unsigned codePage, std::string_view bytes, std::u16string& out) {
    out.clear();
    if (codePage == 28591) {
        for (const char byte : bytes) out.push_back(static_cast<unsigned char>(byte));
        return DecodeStatus::Decoded;
    }
    if (codePage == 20866) return DecodeStatus::UnknownCodePage;
    if (bytes.size() % 2) return DecodeStatus::InvalidBytes;
    for (size_t i = 0; i < bytes.size(); i += 2)
        out.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                            static_cast<unsigned char>(bytes[i + 1]) << 8));
    return DecodeStatus::Decoded;
}

bool IsRemoved(char16_t unit) {
    return unit < 0x20 || (unit >= 0x7F && unit <= 0x9F) || unit == 0x2028 || unit == 0x2029 ||
           (unit >= 0x202A && unit <= 0x202E) || (unit >= 0x2066 && unit <= 0x2069) || unit == 0x200B ||
           unit == 0x200E || unit == 0x200F || unit == 0x061C || unit == 0xFEFF;
}

void CheckRow(const std::u16string& row) {
    FUZZ_CHECK(!row.empty());
    FUZZ_CHECK(row.size() <= kMaxSuggestionRowLength);
    for (size_t i = 0; i < row.size(); ++i) {
        const char16_t unit = row[i];
        FUZZ_CHECK(!IsRemoved(unit));
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            FUZZ_CHECK(i + 1 < row.size() && row[i + 1] >= 0xDC00 && row[i + 1] <= 0xDFFF);
            ++i;
        } else {
            FUZZ_CHECK(unit < 0xDC00 || unit > 0xDFFF);
        }
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    static const int kStatuses[] = {200, 200, 200, 200, 200, 200, 200, 500, 204, 0, -1, 301};
    const int status = kStatuses[data[0] % (sizeof kStatuses / sizeof kStatuses[0])];
    const std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
    const size_t newline = rest.find('\n');
    const std::string_view contentType = newline == std::string_view::npos ? std::string_view() : rest.substr(0, newline);
    const std::string_view body = newline == std::string_view::npos ? rest : rest.substr(newline + 1);

    const SuggestionRows result = ReadSuggestionResponse(status, contentType, body, StandInDecoder);
    switch (result.verdict) {
    case SuggestionVerdict::Rows:
        FUZZ_CHECK(result.problem == SuggestionProblem::None);
        FUZZ_CHECK(!result.rows.empty() && result.rows.size() <= kMaxSuggestionRows);
        for (const std::u16string& row : result.rows) CheckRow(row);
        break;
    case SuggestionVerdict::EmptyList:
        FUZZ_CHECK(result.problem == SuggestionProblem::None && result.rows.empty());
        break;
    case SuggestionVerdict::NotUsable:
        FUZZ_CHECK(result.problem != SuggestionProblem::None && result.rows.empty());
        break;
    }
    if (status != 200) FUZZ_CHECK(result.problem == SuggestionProblem::Status);
    if (status == 200 && body.size() <= kMaxSuggestionBodyBytes) FUZZ_CHECK(result.problem != SuggestionProblem::Status);
    // A null decoder reads every body as UTF-8, as does the stand-in for UTF-8.
    const SuggestionRows utf8 = ReadSuggestionResponse(status, {}, body, nullptr);
    FUZZ_CHECK(utf8.problem != SuggestionProblem::Undecodable);
    return 0;
}
