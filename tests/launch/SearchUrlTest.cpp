// The search-URL rule as a table: {searchTerms} filled with the query in
// UTF-8 at every occurrence, whichever way the engine was registered; an
// appended query in the code page's bytes for a narrow engine and in UTF-8
// for a W engine; percent-encoding of every byte outside the unreserved set.
#include "launch/SearchUrl.h"
#include "render/AnsiToWide.h"
#include <windows.h>

#include <gtest/gtest.h>
#include <string>

namespace {
using SearchUrl::AppendedBytes;

std::string Ascii(const std::u16string& url) {
    std::string ascii;
    for (const char16_t c : url)
        ascii += c < 0x80 ? static_cast<char>(c) : '?';
    return ascii;
}
} // namespace

TEST(SearchUrl, Table) {
    const struct {
        const char* what;
        std::u16string engineUrl;
        std::u16string query;
        AppendedBytes appended;
        std::string queryInCodePage;
        std::u16string url;
    } cases[] = {
        {"template, Russian", u"https://example.org/s?q={searchTerms}&hl=ru", u"Привет мир",
         AppendedBytes::CodePage, "",
         u"https://example.org/s?q=%D0%9F%D1%80%D0%B8%D0%B2%D0%B5%D1%82%20%D0%BC%D0%B8%D1%80&hl=ru"},
        {"template, W engine", u"https://example.org/s?q={searchTerms}&hl=ru", u"Привет мир",
         AppendedBytes::Utf8, "",
         u"https://example.org/s?q=%D0%9F%D1%80%D0%B8%D0%B2%D0%B5%D1%82%20%D0%BC%D0%B8%D1%80&hl=ru"},
        {"appended, W engine", u"https://example.org/find?term=", u"東京", AppendedBytes::Utf8, "",
         u"https://example.org/find?term=%E6%9D%B1%E4%BA%AC"},
        {"appended, narrow engine: the code page's bytes", u"https://example.org/find?term=",
         u"café", AppendedBytes::CodePage, "caf\xE9", u"https://example.org/find?term=caf%E9"},
        {"every occurrence", u"x:{searchTerms}/{searchTerms}", u"a b", AppendedBytes::CodePage,
         "a b", u"x:a%20b/a%20b"},
        {"placeholder only", u"{searchTerms}", u"~ok-._", AppendedBytes::CodePage, "~ok-._",
         u"~ok-._"},
        {"reserved characters", u"http://s.test/?q=", u"a&b+c#d%e\"f", AppendedBytes::Utf8, "",
         u"http://s.test/?q=a%26b%2Bc%23d%25e%22f"},
        {"a character beyond the BMP", u"http://s.test/?q={searchTerms}", u"\U0001F600",
         AppendedBytes::CodePage, "?", u"http://s.test/?q=%F0%9F%98%80"},
        {"an unpaired surrogate becomes U+FFFD", u"http://s.test/?q={searchTerms}",
         std::u16string(1, u'\xD800'), AppendedBytes::CodePage, "?", u"http://s.test/?q=%EF%BF%BD"},
        {"the placeholder's case matters: appended", u"http://s.test/?q={SearchTerms}&x=",
         u"é", AppendedBytes::Utf8, "", u"http://s.test/?q={SearchTerms}&x=%C3%A9"},
        {"an engine URL in another script is kept", u"https://ru.example/Служебная:Поиск?search=",
         u"мир", AppendedBytes::Utf8, "", u"https://ru.example/Служебная:Поиск?search=%D0%BC%D0%B8%D1%80"},
        {"empty query", u"http://s.test/?q={searchTerms}&a=1", u"", AppendedBytes::CodePage, "",
         u"http://s.test/?q=&a=1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::u16string url =
            SearchUrl::Build(c.engineUrl, c.query, c.appended, c.queryInCodePage);
        EXPECT_EQ(Ascii(c.url), Ascii(url));
        EXPECT_TRUE(c.url == url);
    }
}

// Under code page 1252 (the test prefix's), as before: the narrow engine's
// query bytes are what the code page makes of the query.
TEST(SearchUrl, NarrowEngineAppendsTheCodePagesBytes) {
    ASSERT_EQ(1252u, ::GetACP());
    EXPECT_TRUE(u"https://example.org/find?term=caf%E9" ==
                SearchUrl::Build(u"https://example.org/find?term=", u"café",
                                 AppendedBytes::CodePage, WideToAnsi(L"café")));
}
