// The file is turned into 16-bit units (one per byte for UTF-8 and the ANSI
// code page, one per UTF-16 code unit otherwise), edited, and turned back:
// only units the edit inserts are new, so every other byte comes back as it
// was. Byte-wise parsing is safe for the 8-bit encodings: line breaks, '[',
// ']' and '=' never occur inside a UTF-8 sequence, and in the double-byte
// code pages only ']' can be a trail byte, which then sits inside a name
// that is not ASCII and so never matches.
#include "IniValueEdit.h"
#include <algorithm>
#include <cstddef>

namespace {

enum class Encoding { Bytes, Utf16LE, Utf16BE };

struct Units {
    Encoding encoding = Encoding::Bytes;
    std::string mark;    // the byte order mark, as it was
    std::u16string text; // the content after the mark
    std::string oddByte; // a UTF-16 file's last byte when its length is odd
};

bool StartsWith(const std::string& bytes, const char* prefix, size_t length) {
    return bytes.size() >= length && bytes.compare(0, length, prefix, length) == 0;
}

Units Decode(const std::string& content) {
    Units units;
    size_t begin = 0;
    if (StartsWith(content, "\xEF\xBB\xBF", 3)) {
        begin = 3;
    } else if (StartsWith(content, "\xFF\xFE", 2)) {
        units.encoding = Encoding::Utf16LE;
        begin = 2;
    } else if (StartsWith(content, "\xFE\xFF", 2)) {
        units.encoding = Encoding::Utf16BE;
        begin = 2;
    }
    units.mark = content.substr(0, begin);
    if (units.encoding == Encoding::Bytes) {
        units.text.reserve(content.size() - begin);
        for (size_t i = begin; i < content.size(); ++i)
            units.text.push_back(static_cast<unsigned char>(content[i]));
        return units;
    }
    const bool little = units.encoding == Encoding::Utf16LE;
    size_t i = begin;
    for (; i + 1 < content.size(); i += 2) {
        const auto first = static_cast<unsigned char>(content[i]);
        const auto second = static_cast<unsigned char>(content[i + 1]);
        units.text.push_back(
            static_cast<char16_t>(little ? first | second << 8 : second | first << 8));
    }
    units.oddByte = content.substr(i);
    return units;
}

std::string Encode(const Units& units) {
    std::string bytes = units.mark;
    for (char16_t unit : units.text) {
        const char low = static_cast<char>(unit & 0xFF);
        const char high = static_cast<char>(unit >> 8);
        if (units.encoding == Encoding::Bytes) {
            bytes.push_back(low);
        } else if (units.encoding == Encoding::Utf16LE) {
            bytes.push_back(low);
            bytes.push_back(high);
        } else {
            bytes.push_back(high);
            bytes.push_back(low);
        }
    }
    return bytes + units.oddByte;
}

// The profile functions take 0x1A (the old end-of-file mark) as a blank too.
bool IsBlank(char16_t unit) {
    return unit == u' ' || (unit >= u'\t' && unit <= u'\r') || unit == 0x1A;
}

bool IsLineBreak(char16_t unit) {
    return unit == u'\n' || unit == u'\r';
}

char16_t FoldAscii(char16_t unit) {
    return unit >= u'A' && unit <= u'Z' ? static_cast<char16_t>(unit - u'A' + u'a') : unit;
}

bool EqualsIgnoringCase(const std::u16string& text, size_t begin, size_t end,
                        const std::u16string& name) {
    if (end - begin != name.size())
        return false;
    for (size_t i = 0; i < name.size(); ++i)
        if (FoldAscii(text[begin + i]) != FoldAscii(name[i]))
            return false;
    return true;
}

std::u16string Widen(const std::string& ascii) {
    return std::u16string(ascii.begin(), ascii.end());
}

// A line, from its first unit to the one after its break (`next`), and its
// text without the blanks around it [begin, end).
struct Line {
    size_t begin;
    size_t end;
    size_t next;
};

// Every CR and every LF ends a line; CRLF counts as one line end, so that
// a line inserted after it goes after the LF.
Line LineAt(const std::u16string& text, size_t start) {
    size_t next = text.find_first_of(u"\r\n", start);
    if (next == std::u16string::npos)
        next = text.size();
    else if (text[next] == u'\r' && next + 1 < text.size() && text[next + 1] == u'\n')
        next += 2;
    else
        ++next;
    Line line{start, next, next};
    while (line.begin < line.end && IsBlank(text[line.begin]))
        ++line.begin;
    while (line.end > line.begin && IsBlank(text[line.end - 1]))
        --line.end;
    return line;
}

void TrimRange(const std::u16string& text, size_t& begin, size_t& end) {
    while (begin < end && IsBlank(text[begin]))
        ++begin;
    while (end > begin && IsBlank(text[end - 1]))
        --end;
}

// The file's own line break: that of its first line, CRLF when it has none.
std::u16string LineBreakOf(const std::u16string& text) {
    const size_t end = text.find_first_of(u"\r\n");
    if (end == std::u16string::npos)
        return u"\r\n";
    if (text[end] == u'\n')
        return u"\n";
    return end + 1 < text.size() && text[end + 1] == u'\n' ? u"\r\n" : u"\r";
}

bool EndsWithLineBreak(const std::u16string& text, size_t at) {
    return at > 0 && IsLineBreak(text[at - 1]);
}

// True for "[name]" lines; the name goes to [nameBegin, nameEnd).
bool IsSectionLine(const std::u16string& text, const Line& line, size_t& nameBegin,
                   size_t& nameEnd) {
    if (text[line.begin] != u'[')
        return false;
    size_t close = line.end - 1;
    while (close > line.begin && text[close] != u']')
        --close;
    if (close == line.begin)
        return false;
    nameBegin = line.begin + 1;
    nameEnd = close;
    TrimRange(text, nameBegin, nameEnd);
    return true;
}

// The value as the profile functions give it: one pair of matching quotes
// around it is taken off.
std::u16string ReadValue(const std::u16string& text, size_t begin, size_t end) {
    if (end - begin >= 2 && (text[begin] == u'"' || text[begin] == u'\'') &&
        text[end - 1] == text[begin])
        return text.substr(begin + 1, end - begin - 2);
    return text.substr(begin, end - begin);
}

// Inserts the key's line after the section's last non-blank line, which
// ends at `after`.
void InsertKeyLine(std::u16string& text, size_t after, const std::u16string& keyLine,
                   const std::u16string& lineBreak) {
    if (EndsWithLineBreak(text, after))
        text.insert(after, keyLine + lineBreak);
    else
        text.insert(after, lineBreak + keyLine);
}

void AppendSection(std::u16string& text, const std::u16string& section,
                   const std::u16string& keyLine, const std::u16string& lineBreak) {
    if (!text.empty() && !EndsWithLineBreak(text, text.size()))
        text += lineBreak;
    text += u"[" + section + u"]" + lineBreak + keyLine + lineBreak;
}

// Sets the value in the text; false when it already reads as the value.
bool SetInText(std::u16string& text, const std::u16string& section, const std::u16string& key,
               const std::u16string& value) {
    const std::u16string lineBreak = LineBreakOf(text);
    const std::u16string keyLine = key + u"=" + value;
    bool inSection = false;
    size_t sectionEnd = 0; // after the last non-blank line of the section
    for (size_t start = 0; start < text.size();) {
        const Line line = LineAt(text, start);
        start = line.next;
        if (line.begin >= line.end)
            continue;
        size_t nameBegin = 0, nameEnd = 0;
        if (IsSectionLine(text, line, nameBegin, nameEnd)) {
            if (inSection)
                break;
            inSection = EqualsIgnoringCase(text, nameBegin, nameEnd, section);
            sectionEnd = line.next;
            continue;
        }
        if (!inSection)
            continue;
        sectionEnd = line.next;
        const size_t equals = static_cast<size_t>(
            std::find(text.begin() + static_cast<std::ptrdiff_t>(line.begin),
                      text.begin() + static_cast<std::ptrdiff_t>(line.end), u'=') -
            text.begin());
        const bool hasValue = equals < line.end;
        nameBegin = line.begin;
        nameEnd = hasValue ? equals : line.end;
        TrimRange(text, nameBegin, nameEnd);
        if (!EqualsIgnoringCase(text, nameBegin, nameEnd, key))
            continue;
        if (!hasValue) {
            text.insert(line.end, u"=" + value);
            return true;
        }
        size_t valueBegin = equals + 1;
        size_t valueEnd = line.end;
        TrimRange(text, valueBegin, valueEnd);
        if (ReadValue(text, valueBegin, valueEnd) == value)
            return false;
        text.replace(valueBegin, valueEnd - valueBegin, value);
        return true;
    }
    if (inSection)
        InsertKeyLine(text, sectionEnd, keyLine, lineBreak);
    else
        AppendSection(text, section, keyLine, lineBreak);
    return true;
}

} // namespace

std::string SetIniValue(const std::string& content, const std::string& section,
                        const std::string& key, const std::string& value) {
    Units units = Decode(content);
    if (!SetInText(units.text, Widen(section), Widen(key), Widen(value)))
        return content;
    return Encode(units);
}
