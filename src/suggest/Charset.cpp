// Content-Type charset parsing and the charset to code page table (see
// Charset.h). The grammar is RFC 9110's media-type: type "/" subtype, then
// parameters "; name=value", where a value is a token or a quoted-string.
#include "Charset.h"

#include <cstddef>

namespace {
constexpr size_t kMaxCharsetLength = 64;

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view lowerB) {
    if (a.size() != lowerB.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (AsciiLower(a[i]) != lowerB[i]) return false;
    return true;
}

std::string Lowered(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = AsciiLower(c);
    return out;
}

struct CharsetEntry {
    const char* name;
    unsigned codePage;
};

// Names in lower case. Sources: the IANA character set registry and the
// WHATWG Encoding standard's labels, mapped to the code pages that
// MultiByteToWideChar decodes. The WHATWG maps iso-8859-1 and us-ascii to
// windows-1252; here iso-8859-1 keeps its own code page 28591 and us-ascii
// is read as UTF-8 (a superset), which changes nothing for ASCII text.
const CharsetEntry kCharsets[] = {
    {"utf-8", 65001}, {"utf8", 65001}, {"unicode-1-1-utf-8", 65001}, {"x-unicode20utf8", 65001},
    {"us-ascii", 65001}, {"ascii", 65001}, {"ansi_x3.4-1968", 65001},
    {"gbk", 936}, {"gb2312", 936}, {"x-gbk", 936}, {"cp936", 936}, {"windows-936", 936},
    {"chinese", 936}, {"csgb2312", 936}, {"csiso58gb231280", 936}, {"gb_2312", 936},
    {"gb_2312-80", 936}, {"iso-ir-58", 936}, {"euc-cn", 936},
    {"gb18030", 54936},
    {"big5", 950}, {"big5-hkscs", 950}, {"cn-big5", 950}, {"csbig5", 950}, {"x-x-big5", 950},
    {"cp950", 950},
    {"shift_jis", 932}, {"shift-jis", 932}, {"sjis", 932}, {"ms_kanji", 932}, {"x-sjis", 932},
    {"windows-31j", 932}, {"cp932", 932}, {"csshiftjis", 932},
    {"euc-jp", 20932}, {"cseucpkdfmtjapanese", 20932}, {"x-euc-jp", 20932},
    {"iso-2022-jp", 50220}, {"csiso2022jp", 50220},
    {"euc-kr", 949}, {"ks_c_5601-1987", 949}, {"ks_c_5601-1989", 949}, {"korean", 949},
    {"cp949", 949}, {"windows-949", 949}, {"csksc56011987", 949}, {"iso-ir-149", 949},
    {"ksc5601", 949}, {"ksc_5601", 949}, {"cseuckr", 949},
    {"windows-874", 874}, {"tis-620", 874}, {"iso-8859-11", 874}, {"dos-874", 874},
    {"windows-1250", 1250}, {"cp1250", 1250}, {"x-cp1250", 1250},
    {"windows-1251", 1251}, {"cp1251", 1251}, {"x-cp1251", 1251},
    {"windows-1252", 1252}, {"cp1252", 1252}, {"x-cp1252", 1252},
    {"windows-1253", 1253}, {"cp1253", 1253}, {"x-cp1253", 1253},
    {"windows-1254", 1254}, {"cp1254", 1254}, {"x-cp1254", 1254},
    {"windows-1255", 1255}, {"cp1255", 1255}, {"x-cp1255", 1255},
    {"windows-1256", 1256}, {"cp1256", 1256}, {"x-cp1256", 1256},
    {"windows-1257", 1257}, {"cp1257", 1257}, {"x-cp1257", 1257},
    {"windows-1258", 1258}, {"cp1258", 1258}, {"x-cp1258", 1258},
    {"iso-8859-1", 28591}, {"iso8859-1", 28591}, {"iso_8859-1", 28591}, {"iso_8859-1:1987", 28591},
    {"latin1", 28591}, {"l1", 28591}, {"cp819", 28591}, {"ibm819", 28591}, {"csisolatin1", 28591},
    {"iso-8859-2", 28592}, {"iso8859-2", 28592}, {"iso_8859-2", 28592}, {"latin2", 28592},
    {"l2", 28592}, {"csisolatin2", 28592},
    {"iso-8859-3", 28593}, {"iso8859-3", 28593}, {"iso_8859-3", 28593}, {"latin3", 28593},
    {"l3", 28593}, {"csisolatin3", 28593},
    {"iso-8859-4", 28594}, {"iso8859-4", 28594}, {"iso_8859-4", 28594}, {"latin4", 28594},
    {"l4", 28594}, {"csisolatin4", 28594},
    {"iso-8859-5", 28595}, {"iso8859-5", 28595}, {"iso_8859-5", 28595}, {"cyrillic", 28595},
    {"csisolatincyrillic", 28595},
    {"iso-8859-6", 28596}, {"iso8859-6", 28596}, {"iso_8859-6", 28596}, {"arabic", 28596},
    {"csisolatinarabic", 28596},
    {"iso-8859-7", 28597}, {"iso8859-7", 28597}, {"iso_8859-7", 28597}, {"greek", 28597},
    {"greek8", 28597}, {"csisolatingreek", 28597},
    {"iso-8859-8", 28598}, {"iso8859-8", 28598}, {"iso_8859-8", 28598}, {"hebrew", 28598},
    {"csisolatinhebrew", 28598}, {"iso-8859-8-i", 38598}, {"logical", 38598},
    {"iso-8859-9", 28599}, {"iso8859-9", 28599}, {"iso_8859-9", 28599}, {"latin5", 28599},
    {"l5", 28599}, {"csisolatin5", 28599},
    {"iso-8859-13", 28603}, {"iso8859-13", 28603},
    {"iso-8859-15", 28605}, {"iso8859-15", 28605}, {"iso_8859-15", 28605}, {"latin9", 28605},
    {"csisolatin9", 28605}, {"l9", 28605},
    {"koi8-r", 20866}, {"koi8", 20866}, {"koi", 20866}, {"cskoi8r", 20866}, {"koi8_r", 20866},
    {"koi8-u", 21866}, {"koi8-ru", 21866},
    {"ibm866", 866}, {"cp866", 866}, {"866", 866}, {"csibm866", 866},
    {"macintosh", 10000}, {"mac", 10000}, {"x-mac-roman", 10000}, {"csmacintosh", 10000},
    {"x-mac-cyrillic", 10007}, {"x-mac-ukrainian", 10007},
};
} // namespace

std::string CharsetFromContentType(std::string_view contentType) {
    size_t i = contentType.find(';');
    // Each pass reads one parameter, starting after its ';'. A quoted value
    // may hold ';', so the next parameter starts after the value just read.
    while (i != std::string_view::npos && i < contentType.size()) {
        ++i; // past ';'
        const size_t equals = contentType.find_first_of("=;", i);
        if (equals == std::string_view::npos) return {};
        if (contentType[equals] == ';') { // a parameter without a value
            i = equals;
            continue;
        }
        const std::string_view name = Trim(contentType.substr(i, equals - i));
        size_t j = equals + 1;
        while (j < contentType.size() && IsBlank(contentType[j])) ++j;
        std::string value;
        size_t end;
        if (j < contentType.size() && contentType[j] == '"') {
            end = j + 1;
            while (end < contentType.size() && contentType[end] != '"') {
                if (contentType[end] == '\\' && end + 1 < contentType.size()) ++end;
                if (value.size() <= kMaxCharsetLength) value.push_back(contentType[end]);
                ++end;
            }
            end = contentType.find(';', end); // anything after the closing quote is ignored
        } else {
            end = contentType.find(';', j);
            const std::string_view token =
                Trim(contentType.substr(j, end == std::string_view::npos ? std::string_view::npos : end - j));
            value.assign(token.substr(0, kMaxCharsetLength + 1));
        }
        if (EqualsIgnoringCase(name, "charset")) {
            const std::string_view trimmed = Trim(value);
            if (trimmed.size() > kMaxCharsetLength) return {};
            return Lowered(trimmed);
        }
        i = end;
    }
    return {};
}

unsigned CodePageFromCharset(std::string_view charset) {
    const std::string_view name = Trim(charset);
    if (name.empty() || name.size() > kMaxCharsetLength) return 0;
    for (const CharsetEntry& entry : kCharsets)
        if (EqualsIgnoringCase(name, entry.name)) return entry.codePage;
    return 0;
}

unsigned CodePageFromContentType(std::string_view contentType) {
    const unsigned codePage = CodePageFromCharset(CharsetFromContentType(contentType));
    return codePage ? codePage : kCodePageUtf8;
}
