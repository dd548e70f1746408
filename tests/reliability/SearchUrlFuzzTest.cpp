// Bounded random fuzz (fixed seed) of the search URL: for any bytes of a
// query, the URL starts with the engine's prefix, and the part after it
// holds only unreserved bytes and %XX escapes that decode back to exactly
// the query. Run on the function itself, and end to end through a bar,
// where the launcher must receive the whole URL.
#include "LaunchLog.h"
#include "Pump.h"
#include "SkinnedBar.h"
#include "SuggestingHost.h"
#include <gtest/gtest.h>
#include <random>

namespace {

constexpr unsigned kSeed = 0x5EA2C4u;
constexpr int kFunctionCases = 5000;
constexpr int kBarCases = 300;

bool IsUnreserved(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_' || c == '~';
}

int HexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1; // escapes are written in upper case
}

// The invariant, with the first violation described.
::testing::AssertionResult IsPrefixAndEncodedQuery(const std::string& url,
                                                   const std::string& prefix,
                                                   const std::string& query) {
    if (url.compare(0, prefix.size(), prefix) != 0)
        return ::testing::AssertionFailure() << "does not start with the prefix";
    std::string decoded;
    for (size_t i = prefix.size(); i < url.size(); ++i) {
        const auto c = static_cast<unsigned char>(url[i]);
        if (IsUnreserved(c)) {
            decoded += url[i];
            continue;
        }
        if (c != '%' || i + 2 >= url.size() || HexValue(url[i + 1]) < 0 || HexValue(url[i + 2]) < 0)
            return ::testing::AssertionFailure() << "stray byte " << int(c) << " at " << i;
        decoded += static_cast<char>(HexValue(url[i + 1]) * 16 + HexValue(url[i + 2]));
        i += 2;
    }
    if (decoded != query)
        return ::testing::AssertionFailure() << "decodes to another query";
    return ::testing::AssertionSuccess();
}

// Queries: any byte, NUL included, mostly short, now and then long.
std::string RandomQuery(std::mt19937& random) {
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<int> percent(0, 99);
    const int length = percent(random) < 95 ? percent(random) : 500 + percent(random) * 20;
    std::string query;
    for (int i = 0; i < length; ++i)
        query += static_cast<char>(byte(random));
    return query;
}

const char* const kPrefixes[] = {"", "http://a.test/?q=", "http://h.test/s?tn=x&wd=",
                                 "http://caf\xE9.test/?q=%20", "weird prefix \x01\xFF"};

} // namespace

TEST(SearchUrlFuzz, EveryQueryEncodesBehindThePrefix) {
    std::mt19937 random(kSeed);
    std::uniform_int_distribution<size_t> pick(0, std::size(kPrefixes) - 1);
    for (int n = 0; n < kFunctionCases; ++n) {
        const std::string prefix = kPrefixes[pick(random)];
        const std::string query = RandomQuery(random);
        ASSERT_TRUE(
            IsPrefixAndEncodedQuery(CSearchBar::BuildSearchUrl(prefix, query), prefix, query))
            << "case " << n;
    }
}

TEST(SearchUrlFuzz, BarHandsTheLauncherTheWholeUrl) {
    LaunchLog launches;
    SuggestingHost host;
    const std::string prefix = "http://fuzz.test/?q=";
    CSearchBar* bar = MakeSkinnedBar(host.hwnd(), 100, 100, {{"Fuzz", prefix}});
    ASSERT_NE(nullptr, bar);
    std::mt19937 random(kSeed + 1);
    for (int n = 0; n < kBarCases; ++n) {
        const std::string query = RandomQuery(random);
        // A suggestion clicked: the bar takes the text and searches with it.
        PostListCommand(bar, 2, query);
        ASSERT_TRUE(PumpUntil([&] { return launches.Count() == n + 1; })) << "case " << n;
        ASSERT_TRUE(IsPrefixAndEncodedQuery(launches.LastUrl(), prefix, query)) << "case " << n;
    }
    EXPECT_EQ(kBarCases, host.Count(UM_SEARCH_LAUNCHED));
    delete bar;
}
