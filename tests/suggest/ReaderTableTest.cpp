// The suggestion-response reader, the charset table and the UTF conversions
// as tables, under Wine with the system's decoder (MultiByteToWideChar): what
// each kind of answer becomes. The same functions are fuzzed natively (fuzz/).
#include <windows.h>

#include "suggest/Charset.h"
#include "suggest/SuggestionDecoder.h"
#include "suggest/SuggestionReader.h"
#include "suggest/Utf.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
using Rows = std::vector<std::u16string>;

std::string Hex(const std::u16string& text) {
    std::string out;
    char unit[8];
    for (const char16_t c : text) {
        snprintf(unit, sizeof unit, "%04X ", static_cast<unsigned>(c));
        out += unit;
    }
    return out;
}

struct ReaderCase {
    const char* name;
    int status;
    const char* contentType;
    std::string body;
    SuggestionVerdict verdict;
    SuggestionProblem problem;
    Rows rows;
};

std::string Repeat(const std::string& text, size_t times) {
    std::string out;
    for (size_t i = 0; i < times; ++i) out += text;
    return out;
}

// A valid answer of exactly `size` bytes: one row "a", padded with blanks.
std::string AnswerOfSize(size_t size) {
    std::string body = "[\"q\",[\"a\"]]";
    body.append(size - body.size(), ' ');
    return body;
}
} // namespace

TEST(SuggestionReader, ReadsEachKindOfAnswer) {
    const std::string longRow(300, 'r');
    const std::string cutBeforePair = std::string(255, 'p') + "\xF0\x9F\x98\x80"; // U+1F600 at 255..256
    const std::vector<ReaderCase> cases = {
        {"rows in order, non-strings skipped", 200, "application/x-suggestions+json",
         u8R"(["que", ["query", "Ünïcödé ✓", 5, null, true, ["nested"], {"o": "x"}, "日本語", "😀"], ["d"], []])",
         SuggestionVerdict::Rows, SuggestionProblem::None, {u"query", u"Ünïcödé ✓", u"日本語", u"😀"}},
        {"escapes decoded", 200, "application/json", R"(["q", ["\u00e9\u4e2d\ud83d\ude00", "a\/b\"c"]])",
         SuggestionVerdict::Rows, SuggestionProblem::None, {u"é中😀", u"a/b\"c"}},
        {"at most 11 rows", 200, "",
         R"(["q", ["1","2","3","4","5","6","7","8","9","10","11","12","13"]])", SuggestionVerdict::Rows,
         SuggestionProblem::None, {u"1", u"2", u"3", u"4", u"5", u"6", u"7", u"8", u"9", u"10", u"11"}},
        {"control characters removed, empty rows dropped", 200, "",
         R"(["q", ["a\u0000b\u001fc\u007fd\u0085e\u2028f\u2029g\th\ni", "\u0001\u0002", "", "ok"]])",
         SuggestionVerdict::Rows, SuggestionProblem::None, {u"abcdefghi", u"ok"}},
        {"invisible format characters removed before the cut, joiners kept", 200, "",
         R"(["q", ["a\u202Ab\u202Bc\u202Cd\u202De\u202Ef\u2066g\u2067h\u2068i\u2069j\u200Bk\u200El\u200Fm\u061Cn\uFEFFo",)"
         R"( "\u202E\u2066\uFEFF", "\u0645\u06CC\u200C\u062E\u0648\u0627\u0647\u0645 \ud83d\udc69\u200D\ud83d\udcbb",)"
         R"("\u202E\u200B)" + longRow.substr(0, 256) + "\"]]",
         SuggestionVerdict::Rows, SuggestionProblem::None,
         {u"abcdefghijklmno", u"\u0645\u06CC\u200C\u062E\u0648\u0627\u0647\u0645 \U0001F469\u200D\U0001F4BB",
          std::u16string(256, u'r')}},
        {"a long row cut to 256", 200, "", "[\"q\", [\"" + longRow + "\"]]", SuggestionVerdict::Rows,
         SuggestionProblem::None, {std::u16string(256, u'r')}},
        {"a cut never splits a surrogate pair", 200, "", "[\"q\", [\"" + cutBeforePair + "\"]]",
         SuggestionVerdict::Rows, SuggestionProblem::None, {std::u16string(255, u'p')}},
        {"a UTF-8 byte order mark", 200, "", "\xEF\xBB\xBF[\"q\", [\"bom\"]]", SuggestionVerdict::Rows,
         SuggestionProblem::None, {u"bom"}},
        {"the first array's second element, not the query's", 200, "", R"([["a"], ["b"]])",
         SuggestionVerdict::Rows, SuggestionProblem::None, {u"b"}},
        {"exactly 256 KiB", 200, "", AnswerOfSize(kMaxSuggestionBodyBytes), SuggestionVerdict::Rows,
         SuggestionProblem::None, {u"a"}},
        // Empty lists.
        {"no rows", 200, "", R"(["q", []])", SuggestionVerdict::EmptyList, SuggestionProblem::None, {}},
        {"no string rows", 200, "", R"(["q", [1, null, "", {}]])", SuggestionVerdict::EmptyList,
         SuggestionProblem::None, {}},
        // Not usable.
        {"status 500", 500, "", R"(["q", ["a"]])", SuggestionVerdict::NotUsable, SuggestionProblem::Status, {}},
        {"status 204", 204, "", "", SuggestionVerdict::NotUsable, SuggestionProblem::Status, {}},
        {"status 0", 0, "", R"(["q", ["a"]])", SuggestionVerdict::NotUsable, SuggestionProblem::Status, {}},
        {"256 KiB and one byte", 200, "", AnswerOfSize(kMaxSuggestionBodyBytes + 1), SuggestionVerdict::NotUsable,
         SuggestionProblem::TooLarge, {}},
        {"cut off", 200, "", R"(["q", ["a")", SuggestionVerdict::NotUsable, SuggestionProblem::Malformed, {}},
        {"something after the value", 200, "", R"(["q", ["a"]] ["x"])", SuggestionVerdict::NotUsable,
         SuggestionProblem::Malformed, {}},
        {"empty body", 200, "", "", SuggestionVerdict::NotUsable, SuggestionProblem::Malformed, {}},
        {"invalid UTF-8", 200, "", "[\"q\", [\"\xFF\"]]", SuggestionVerdict::NotUsable,
         SuggestionProblem::Malformed, {}},
        {"an encoded surrogate", 200, "", "[\"q\", [\"\xED\xA0\x80\"]]", SuggestionVerdict::NotUsable,
         SuggestionProblem::Malformed, {}},
        {"an unpaired surrogate escape", 200, "", R"(["q", ["\ud800"]])", SuggestionVerdict::NotUsable,
         SuggestionProblem::Malformed, {}},
        {"a comment", 200, "", R"(["q", /* c */ ["a"]])", SuggestionVerdict::NotUsable,
         SuggestionProblem::Malformed, {}},
        {"deep nesting, unclosed", 200, "", Repeat("[", 100000), SuggestionVerdict::NotUsable,
         SuggestionProblem::Malformed, {}},
        {"an object", 200, "", R"({"q": ["a"]})", SuggestionVerdict::NotUsable, SuggestionProblem::WrongShape, {}},
        {"a string", 200, "", R"("q")", SuggestionVerdict::NotUsable, SuggestionProblem::WrongShape, {}},
        {"one element", 200, "", R"(["q"])", SuggestionVerdict::NotUsable, SuggestionProblem::WrongShape, {}},
        {"an empty array", 200, "", "[]", SuggestionVerdict::NotUsable, SuggestionProblem::WrongShape, {}},
        {"second element a string", 200, "", R"(["q", "a"])", SuggestionVerdict::NotUsable,
         SuggestionProblem::WrongShape, {}},
        {"second element an object", 200, "", R"(["q", {"a": 1}])", SuggestionVerdict::NotUsable,
         SuggestionProblem::WrongShape, {}},
        // Charsets, decoded by the system.
        {"gbk", 200, "application/json; charset=GBK", "[\"q\", [\"\xD6\xD0\xCE\xC4\"]]", SuggestionVerdict::Rows,
         SuggestionProblem::None, {u"中文"}},
        {"gb2312 as gbk", 200, "application/json;charset=gb2312", "[\"q\", [\"\xD6\xD0\"]]",
         SuggestionVerdict::Rows, SuggestionProblem::None, {u"中"}},
        {"shift_jis", 200, "text/javascript; charset=Shift_JIS", "[\"q\", [\"\x93\xFA\x96\x7B\"]]",
         SuggestionVerdict::Rows, SuggestionProblem::None, {u"日本"}},
        {"windows-1251, quoted", 200, "application/json; charset=\"windows-1251\"",
         "[\"q\", [\"\xCF\xF0\xE8\xE2\xE5\xF2\"]]", SuggestionVerdict::Rows, SuggestionProblem::None, {u"Привет"}},
        {"koi8-r", 200, "application/json; charset=koi8-r", "[\"q\", [\"\xF0\xD2\xC9\xD7\xC5\xD4\"]]",
         SuggestionVerdict::Rows, SuggestionProblem::None, {u"Привет"}},
        {"iso-8859-1", 200, "application/json; charset=ISO-8859-1", "[\"q\", [\"caf\xE9\"]]",
         SuggestionVerdict::Rows, SuggestionProblem::None, {u"café"}},
        {"big5", 200, "application/json; charset=big5", "[\"q\", [\"\xA4\xA4\xA4\xE5\"]]", SuggestionVerdict::Rows,
         SuggestionProblem::None, {u"中文"}},
        {"euc-kr", 200, "application/json; charset=euc-kr", "[\"q\", [\"\xC7\xD1\xB1\xB9\"]]",
         SuggestionVerdict::Rows, SuggestionProblem::None, {u"한국"}},
        {"bytes that are not gbk", 200, "application/json; charset=gbk", "[\"q\", [\"\x81\"]]",
         SuggestionVerdict::NotUsable, SuggestionProblem::Undecodable, {}},
        {"an unknown charset is read as UTF-8", 200, "application/json; charset=x-klingon",
         u8R"(["q", ["ü"]])", SuggestionVerdict::Rows, SuggestionProblem::None, {u"ü"}},
        {"utf-16 has no code page: read as UTF-8", 200, "application/json; charset=utf-16", R"(["q", ["a"]])",
         SuggestionVerdict::Rows, SuggestionProblem::None, {u"a"}},
        {"us-ascii is read as UTF-8", 200, "application/json; charset=us-ascii", u8R"(["q", ["ü"]])",
         SuggestionVerdict::Rows, SuggestionProblem::None, {u"ü"}},
    };
    for (const ReaderCase& c : cases) {
        SCOPED_TRACE(c.name);
        const SuggestionRows result =
            ReadSuggestionResponse(c.status, c.contentType, c.body, DecodeWithSystemCodePage);
        EXPECT_EQ(static_cast<int>(c.verdict), static_cast<int>(result.verdict));
        EXPECT_EQ(static_cast<int>(c.problem), static_cast<int>(result.problem));
        ASSERT_EQ(c.rows.size(), result.rows.size());
        for (size_t i = 0; i < c.rows.size(); ++i) EXPECT_EQ(Hex(c.rows[i]), Hex(result.rows[i])) << "row " << i;
    }
}

TEST(SuggestionReader, CharsetsAndCodePages) {
    const std::vector<std::pair<const char*, const char*>> charsets = {
        {"application/json; charset=GBK", "gbk"},
        {"application/json;charset=utf-8", "utf-8"},
        {"text/plain; format=flowed; CharSet = \"Shift_JIS\" ", "shift_jis"},
        {"text/plain; x=\"a;charset=koi8-r\"; charset=big5", "big5"},
        {"text/plain; charset=\"we\\\"ird\"", "we\"ird"},
        {"text/plain; charset=a; charset=b", "a"},
        {"text/plain; charset", ""},
        {"text/plain; charset=", ""},
        {"text/plain; charset=\"\"", ""},
        {"charset=gbk", ""},
        {"application/json", ""},
        {"", ""},
        {"text/plain; charset=\"unterminated", "unterminated"},
    };
    for (const auto& [contentType, charset] : charsets)
        EXPECT_EQ(charset, CharsetFromContentType(contentType)) << contentType;
    EXPECT_EQ("", CharsetFromContentType("a/b; charset=" + std::string(65, 'x')));

    const std::vector<std::pair<const char*, unsigned>> codePages = {
        {"utf-8", 65001}, {"UTF8", 65001}, {"gbk", 936}, {"GB2312", 936}, {"gb18030", 54936},
        {"shift_jis", 932}, {"windows-31j", 932}, {"euc-jp", 20932}, {"iso-2022-jp", 50220},
        {"big5", 950}, {"euc-kr", 949}, {"ks_c_5601-1987", 949}, {"windows-1250", 1250},
        {"windows-1251", 1251}, {"cp1252", 1252}, {"windows-1258", 1258}, {"iso-8859-1", 28591},
        {"latin1", 28591}, {"iso-8859-2", 28592}, {"iso-8859-5", 28595}, {"iso-8859-15", 28605},
        {"koi8-r", 20866}, {"koi8-u", 21866}, {"ibm866", 866}, {"windows-874", 874},
        {"macintosh", 10000}, {" gbk\t", 936}, {"us-ascii", 65001},
        {"utf-16", 0}, {"utf-32", 0}, {"x-klingon", 0}, {"", 0}, {"gbk2", 0},
    };
    for (const auto& [charset, codePage] : codePages) EXPECT_EQ(codePage, CodePageFromCharset(charset)) << charset;
    EXPECT_EQ(kCodePageUtf8, CodePageFromContentType("application/json"));
    EXPECT_EQ(kCodePageUtf8, CodePageFromContentType("application/json; charset=x-klingon"));
    EXPECT_EQ(936u, CodePageFromContentType("application/json; charset=gbk"));
    // The table's code pages are known to the system (Wine 8 lacks GB18030,
    // 54936, which Windows has: a gb18030 body is read as UTF-8 there).
    for (const unsigned cp : {936u, 932u, 20932u, 950u, 949u, 1250u, 1251u, 1252u, 1258u, 28591u,
                              28592u, 28605u, 20866u, 21866u, 866u, 874u, 10000u})
        EXPECT_TRUE(IsValidCodePage(cp)) << cp;
}

TEST(SuggestionReader, Utf8ToUtf16) {
    using tavrel::suggest::Utf8ToUtf16;
    EXPECT_EQ(Hex(u"aé中😀"), Hex(Utf8ToUtf16(u8"aé中😀")));
    // Ill-formed: one U+FFFD per maximal bad subpart.
    EXPECT_EQ(Hex(u"\uFFFDa"), Hex(Utf8ToUtf16("\xFF" "a")));
    EXPECT_EQ(Hex(u"\uFFFD\uFFFD"), Hex(Utf8ToUtf16("\xC0\xAF")));          // overlong
    EXPECT_EQ(Hex(u"\uFFFD\uFFFD\uFFFD"), Hex(Utf8ToUtf16("\xED\xA0\x80"))); // surrogate
    EXPECT_EQ(Hex(u"\uFFFDb"), Hex(Utf8ToUtf16("\xE4\xB8" "b")));           // cut
    EXPECT_EQ(Hex(u"\uFFFD\uFFFD\uFFFD\uFFFD"), Hex(Utf8ToUtf16("\xF4\x90\x80\x80"))); // > U+10FFFF
}
