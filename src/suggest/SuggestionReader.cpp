// The suggestion-response reader (see SuggestionReader.h). JSON is read by
// nlohmann/json through its SAX interface: the document is validated whole,
// but only the rows are kept, so memory stays small whatever the body holds
// (the parser keeps one bit per open bracket, no tree). nlohmann/json is used
// without exceptions: JSON_NOEXCEPTION turns every throw inside it into an
// abort, which the fuzzers would find, and the SAX entry point with its error
// callback reports errors without throwing. std::bad_alloc, the one
// exception left, is caught here.
#define JSON_NOEXCEPTION 1
#define JSON_USE_IMPLICIT_CONVERSIONS 0
#include <nlohmann/json.hpp>

#include "SuggestionReader.h"

#include "Charset.h"
#include "Utf.h"
#include "../launch/SearchUrl.h"



namespace {
using Json = nlohmann::json;

bool IsControl(char16_t unit) {
    return unit < 0x20 || (unit >= 0x7F && unit <= 0x9F) || unit == 0x2028 || unit == 0x2029;
}

// Invisible characters that make a row read differently from the text it
// searches: bidirectional embeddings, overrides, isolates and marks, the
// zero-width space and the byte order mark. The zero-width joiner and
// non-joiner stay: Persian words and emoji sequences need them.
bool IsHiddenFormat(char16_t unit) {
    return (unit >= 0x202A && unit <= 0x202E) || (unit >= 0x2066 && unit <= 0x2069) || unit == 0x200B ||
           unit == 0x200E || unit == 0x200F || unit == 0x061C || unit == 0xFEFF;
}

bool IsRemoved(char16_t unit) {
    return IsControl(unit) || IsHiddenFormat(unit);
}

bool IsHighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

// Collects the rows while nlohmann's parser walks the document. depth is
// the number of open arrays and objects; elements of the top-level array
// (depth 1) are counted; the second one must be an array, whose strings
// (at depth 2) are the rows. Parsing stops early once the shape is wrong.
class RowCollector : public nlohmann::json_sax<Json> {
public:
    bool wrongShape = false;
    bool malformed = false;
    std::vector<std::u16string> rows;

    bool Complete() const { return !wrongShape && !malformed && topLevelElements >= 2; }

    bool null() override { return Scalar(); }
    bool boolean(bool) override { return Scalar(); }
    bool number_integer(number_integer_t) override { return Scalar(); }
    bool number_unsigned(number_unsigned_t) override { return Scalar(); }
    bool number_float(number_float_t, const string_t&) override { return Scalar(); }
    bool binary(binary_t&) override { return Scalar(); }
    bool string(string_t& value) override {
        if (depth == 2 && inRows) {
            if (rows.size() < kMaxSuggestionRows) {
                std::u16string row = CleanSuggestionRow(tavrel::suggest::Utf8ToUtf16(value));
                if (!row.empty()) rows.push_back(std::move(row));
            }
            return true;
        }
        return Scalar();
    }
    bool start_object(std::size_t) override {
        if (!Element(false)) return false;
        ++depth;
        return true;
    }
    bool key(string_t&) override { return true; }
    bool end_object() override {
        --depth;
        return true;
    }
    bool start_array(std::size_t) override {
        if (depth == 0) {
            topIsArray = true;
        } else if (!Element(true)) {
            return false;
        }
        ++depth;
        return true;
    }
    bool end_array() override {
        --depth;
        if (depth == 1) inRows = false;
        return true;
    }
    bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) override {
        malformed = true;
        return false;
    }

private:
    size_t depth = 0;
    size_t topLevelElements = 0;
    bool topIsArray = false;
    bool inRows = false;

    // A value other than an array or object starts.
    bool Scalar() { return Element(false); }

    // A value starts at the current depth (before it is entered).
    bool Element(bool isArray) {
        if (depth == 0) { // the document is not an array
            wrongShape = true;
            return false;
        }
        if (depth == 1) {
            ++topLevelElements;
            if (topLevelElements == 2) {
                if (!isArray) {
                    wrongShape = true;
                    return false;
                }
                inRows = true;
            }
        }
        return true;
    }
};

SuggestionRows NotUsable(SuggestionProblem problem) {
    SuggestionRows result;
    result.problem = problem;
    return result;
}

SuggestionRows ReadJson(std::string_view utf8) {
    RowCollector collector;
    const bool parsed = Json::sax_parse(utf8.data(), utf8.data() + utf8.size(), &collector,
                                        nlohmann::detail::input_format_t::json, true /* strict */);
    if (collector.wrongShape) return NotUsable(SuggestionProblem::WrongShape);
    if (!parsed || collector.malformed) return NotUsable(SuggestionProblem::Malformed);
    if (!collector.Complete()) return NotUsable(SuggestionProblem::WrongShape);
    SuggestionRows result;
    result.verdict = collector.rows.empty() ? SuggestionVerdict::EmptyList : SuggestionVerdict::Rows;
    result.rows = std::move(collector.rows);
    return result;
}
} // namespace

std::u16string CleanSuggestionRow(std::u16string_view row) {
    std::u16string clean;
    clean.reserve(row.size() < kMaxSuggestionRowLength ? row.size() : kMaxSuggestionRowLength);
    for (const char16_t unit : row) {
        if (IsRemoved(unit)) continue;
        if (clean.size() == kMaxSuggestionRowLength) break;
        clean.push_back(unit);
    }
    if (clean.size() == kMaxSuggestionRowLength && IsHighSurrogate(clean.back())) clean.pop_back();
    return clean;
}

SuggestionRows ReadSuggestionResponse(int status, std::string_view contentType, std::string_view body,
                                      SuggestionDecoder decode) {
    if (status != 200) return NotUsable(SuggestionProblem::Status);
    if (body.size() > kMaxSuggestionBodyBytes) return NotUsable(SuggestionProblem::TooLarge);
    try {
        const unsigned codePage = CodePageFromContentType(contentType);
        if (codePage == kCodePageUtf8 || !decode) return ReadJson(body);
        std::u16string text;
        switch (decode(codePage, body, text)) {
        case DecodeStatus::Decoded: break;
        case DecodeStatus::InvalidBytes: return NotUsable(SuggestionProblem::Undecodable);
        case DecodeStatus::UnknownCodePage: return ReadJson(body);
        }
        return ReadJson(SearchUrl::ToUtf8(text)); // no system decoder makes unpaired surrogates
    } catch (...) { // std::bad_alloc: nothing else is thrown here
        return NotUsable(SuggestionProblem::Malformed);
    }
}
