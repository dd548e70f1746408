// The bar under real keys and clicks: a search with suggestions step by
// step, Enter and Escape, the search button, the engine icon, the cursor,
// activation and deactivation, and the exact URL that reaches the shell.
#include "../../src/frame/Messages.h"
#include "../../src/hooks/CPopupHook.h"
#include "../../src/input/CGuiEdit.h"
#include "../../src/popup/CEngineList.h"
#include "../../src/popup/CSuggestionList.h"
#include "BarTestSupport.h"
#include "Input.h"
#include "Pump.h"

namespace {

const std::string kPrefix = "http://search.tavrel.invalid/s?tn=quenlarbo_pg&wd=";
const RecordedMessage kChanged{UM_QUERY_CHANGED, 0, 1};
const RecordedMessage kLaunched{UM_SEARCH_LAUNCHED, 0, 0};
const RecordedMessage kButtonClicked{UM_QUERY_COMMAND, 0, 0};
using Urls = std::vector<std::string>;

class InputTest : public BarTest {
protected:
    // Text put into the field as a program would; the host's notice of it
    // is dropped.
    void PutText(const char* text) {
        ::SetWindowTextA(EditHwnd(), text);
        PumpUntilIdle();
        host.Clear();
    }
    uint32_t PaintedBarColor() { return ReadMemoryDC(bar->bufferDC).At(200, 27); }
    void ClickOnBar(const RECT& client) {
        const POINT at = ScreenPointOf(client);
        WaitDoubleClickTime();
        ClickAt(at.x, at.y);
    }
    void ClickSuggestion(int row) {
        const RECT list = WindowRectOf(bar->suggestionList->m_hWnd);
        ClickAt(list.left + 60, list.top + row * 25 + 12);
    }
};

// The user clicks into the field, types, steps through the host's
// suggestions, searches with Enter and finally clicks elsewhere.
TEST_F(InputTest, TypicalSearchWithSuggestions) {
    ShowStandardBar();
    ClickIntoField();
    const HHOOK barHook = CPopupHook::barMouseHook;
    EXPECT_NE(nullptr, barHook);
    EXPECT_EQ(BarHwnd(), CPopupHook::barWnd);
    PumpUntilIdle();
    EXPECT_TRUE(SameColor(PaintedBarColor(), kActiveColor));

    WaitDoubleClickTime(); // a second click while active changes nothing
    ClickIntoField();
    EXPECT_EQ(barHook, CPopupHook::barMouseHook);
    EXPECT_TRUE(host.Matches({}));

    TypeIntoFocus("abc");
    ASSERT_TRUE(PumpUntil([&] { return host.Messages().size() >= 3; }));
    PumpUntilIdle();
    EXPECT_EQ("abc", FieldText());
    EXPECT_TRUE(host.Matches({kChanged, kChanged, kChanged}));

    OfferSuggestions({"abc one", "abc two", "abc three"});
    EXPECT_NE(nullptr, CPopupHook::keyboardHook);
    EXPECT_EQ(EditHwnd(), ::GetFocus());

    TapKey(VK_DOWN);
    EXPECT_TRUE(PumpUntil([&] { return FieldText() == "abc one"; }));
    TapKey(VK_DOWN);
    EXPECT_TRUE(PumpUntil([&] { return FieldText() == "abc two"; }));
    PumpUntilIdle();
    EXPECT_TRUE(host.Matches({})); // text from the list is not the user's change

    TapKey(VK_RETURN);
    ASSERT_TRUE(PumpUntil([&] { return !host.Messages().empty(); }));
    PumpUntilIdle();
    EXPECT_TRUE(host.Matches({kLaunched}));
    EXPECT_EQ(Urls{kPrefix + "abc%20two"}, launches.Urls());
    EXPECT_FALSE(SuggestionsVisible());
    EXPECT_EQ(1, bar->active);

    ClickAt(300, 400); // on the host, outside the bar
    ASSERT_TRUE(PumpUntil([&] { return bar->active == 0; }));
    PumpUntilIdle();
    EXPECT_EQ(nullptr, CPopupHook::barMouseHook);
    EXPECT_TRUE(SameColor(PaintedBarColor(), kBackgroundColor));
    EXPECT_TRUE(host.Matches({}));
}

TEST_F(InputTest, EnterAndEscapeInTheField) {
    const struct {
        const char* what;
        WORD key;
        const char* text;
        bool listOpen;
        Urls urls;
        std::vector<RecordedMessage> toHost;
        int activeAfter;
    } cases[] = {
        {"Enter", VK_RETURN, "abc", false, {kPrefix + "abc"}, {kLaunched}, 0},
        {"Escape", VK_ESCAPE, "abc", false, {kPrefix + "abc"}, {kLaunched}, 0},
        {"Enter, empty field", VK_RETURN, "", false, {}, {}, 1},
        {"Escape, empty field", VK_ESCAPE, "", false, {}, {}, 1},
        // The list takes Enter through its hook and asks for the search.
        {"Enter, list open", VK_RETURN, "abc", true, {kPrefix + "abc"}, {kLaunched}, 1},
        {"Escape, list open", VK_ESCAPE, "abc", true, {}, {}, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        bar = std::make_unique<CSearchBar>();
        ShowStandardBar();
        ClickIntoField();
        PutText(c.text);
        if (c.listOpen)
            OfferSuggestions({"abc 1", "abc 2"});
        launches.Clear();

        TapKey(c.key);
        PumpUntil([&] { return !host.Messages().empty(); }, 500);
        PumpUntilIdle();
        EXPECT_TRUE(host.Matches(c.toHost));
        EXPECT_EQ(c.urls, launches.Urls());
        EXPECT_EQ(c.activeAfter, bar->active);
        EXPECT_EQ(c.activeAfter == 1, CPopupHook::barMouseHook != nullptr);
        EXPECT_EQ(c.listOpen && c.key == VK_ESCAPE, SuggestionsVisible());
        EXPECT_EQ(c.text, FieldText());
    }
}

// The host hears of the click before the search that it starts.
TEST_F(InputTest, SearchButton) {
    const struct {
        const char* what;
        const char* text;
        bool listOpen;
        Urls urls;
        std::vector<RecordedMessage> toHost;
    } cases[] = {
        {"empty field", "", false, {}, {kButtonClicked}},
        {"query", "abc", false, {kPrefix + "abc"}, {kButtonClicked, kLaunched}},
        {"query, list open", "abc", true, {kPrefix + "abc"}, {kButtonClicked, kLaunched}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        bar = std::make_unique<CSearchBar>();
        ShowStandardBar();
        PutText(c.text);
        if (c.listOpen)
            OfferSuggestions({"abc 1"});
        launches.Clear();

        ClickOnBar(bar->searchButtonHitRect);
        ASSERT_TRUE(PumpUntil([&] { return !host.Messages().empty(); }));
        PumpUntilIdle();
        EXPECT_TRUE(host.Matches(c.toHost));
        EXPECT_EQ(c.urls, launches.Urls());
        EXPECT_FALSE(SuggestionsVisible());
        EXPECT_EQ(0, bar->active);
    }
}

TEST_F(InputTest, ClickInsideBothRectanglesOpensListAndSearches) {
    ShowStandardBar();
    bar->AddEngine(SkinPng(16, 16, kIconColor).c_str(), "Alpha", "http://alpha.invalid/?q=");
    bar->searchButtonHitRect = bar->engineHitRect;
    PutText("abc");
    ClickOnBar(bar->engineHitRect);
    ASSERT_TRUE(PumpUntil([&] { return host.Messages().size() >= 2; }));
    EXPECT_TRUE(host.Matches({kButtonClicked, kLaunched}));
    EXPECT_EQ(Urls{"http://alpha.invalid/?q=abc"}, launches.Urls());
    EXPECT_TRUE(EngineListVisible());
}

TEST_F(InputTest, SecondClickOnTheEngineIconLeavesTheListClosed) {
    ShowStandardBar();
    bar->AddEngine(SkinPng(16, 16, kIconColor).c_str(), "Alpha", "http://alpha.invalid/?q=");
    ClickOnBar(bar->engineHitRect);
    ASSERT_TRUE(PumpUntil([&] { return EngineListVisible(); }));
    EXPECT_NE(nullptr, CPopupHook::popupMouseHook);
    ClickOnBar(bar->engineHitRect);
    EXPECT_TRUE(PumpUntil([&] { return !EngineListVisible(); }));
    PumpUntilIdle();
    EXPECT_FALSE(EngineListVisible());
    EXPECT_EQ(nullptr, CPopupHook::popupMouseHook);
    EXPECT_TRUE(host.Matches({}));
}

// The click on the icon closes the open suggestions and opens the engine
// list; the suggestions' close, which comes later, leaves the engine list
// its outside-click target, so a click elsewhere still closes it.
TEST_F(InputTest, EngineListOpenedOverSuggestionsClosesOnAnOutsideClick) {
    ShowStandardBar();
    bar->AddEngine(SkinPng(16, 16, kIconColor).c_str(), "Alpha", "http://alpha.invalid/?q=");
    ClickIntoField();
    OfferSuggestions({"one", "two"});
    ClickOnBar(bar->engineHitRect);
    ASSERT_TRUE(PumpUntil([&] { return EngineListVisible() && !SuggestionsVisible(); }));
    PumpUntilIdle();
    EXPECT_EQ(bar->engineList->m_hWnd, CPopupHook::popupWnd);
    bar->ClearSuggestions(); // a host's refill meanwhile hides the list again
    EXPECT_EQ(bar->engineList->m_hWnd, CPopupHook::popupWnd);
    const RECT barRect = WindowRectOf(BarHwnd());
    WaitDoubleClickTime();
    ClickAt(barRect.left + 200, barRect.bottom + 150); // on the host, below both lists
    EXPECT_TRUE(PumpUntil([&] { return !EngineListVisible(); }));
}

TEST_F(InputTest, HandCursorOverTheClickRectangles) {
    ShowStandardBar();
    const HCURSOR hand = ::LoadCursorA(nullptr, IDC_HAND);
    const struct {
        const char* what;
        POINT client;
        bool hand;
    } cases[] = {{"engine icon", {14, 15}, true},
                 {"arrow", {28, 14}, true},
                 {"search button", {382, 15}, true},
                 {"left margin", {2, 15}, false},
                 {"below the field", {250, 27}, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        POINT at = c.client;
        ::ClientToScreen(BarHwnd(), &at);
        MoveMouseTo(at.x, at.y);
        PumpUntilIdle();
        EXPECT_EQ(c.hand, ::GetCursor() == hand);
    }
}

TEST_F(InputTest, ClearingTheFieldHidesTheListQuietly) {
    ShowStandardBar();
    ClickIntoField();
    TypeIntoFocus("ab");
    PumpUntilIdle();
    OfferSuggestions({"ab 1", "ab 2"});
    host.Clear();
    TapKey(VK_BACK);
    PumpUntilIdle();
    EXPECT_TRUE(host.Matches({kChanged}));
    EXPECT_TRUE(SuggestionsVisible());
    TapKey(VK_BACK);
    EXPECT_TRUE(PumpUntil([&] { return !SuggestionsVisible(); }));
    PumpUntilIdle();
    EXPECT_EQ("", FieldText());
    EXPECT_TRUE(host.Matches({}));
    EXPECT_TRUE(launches.Urls().empty());
}

// Every byte outside the unreserved set reaches the shell as %XX of that
// byte, whether the user typed the query or took it from the list.
TEST_F(InputTest, QueryBytesAreEscapedInTheUrl) {
    const char query[] = "a b&c#d%e\"f\xC4\xE3\xBA\xC3";
    const std::string expected = kPrefix + "a%20b%26c%23d%25e%22f%C4%E3%BA%C3";
    ShowStandardBar();
    ClickIntoField();
    PutText(query);
    ASSERT_EQ(query, FieldText());
    TapKey(VK_RETURN);
    ASSERT_TRUE(PumpUntil([&] { return !launches.Urls().empty(); }));
    EXPECT_EQ(Urls{expected}, launches.Urls());

    launches.Clear();
    PutText("x");
    OfferSuggestions({"x 1", query});
    ClickSuggestion(1);
    ASSERT_TRUE(PumpUntil([&] { return !host.Messages().empty(); }));
    PumpUntilIdle();
    EXPECT_TRUE(host.Matches({kLaunched})); // no UM_QUERY_CHANGED for the list's text
    EXPECT_EQ(query, FieldText());
    EXPECT_EQ(Urls{expected}, launches.Urls());
}

TEST(SearchUrlTest, PrefixAsGivenAndEveryReservedByteEscaped) {
    const struct {
        const char* prefix;
        const char* query;
        const char* url;
    } cases[] = {
        {"http://h/?q=", "", "http://h/?q="},
        {"http://h/?q=", "AZaz09-._~", "http://h/?q=AZaz09-._~"},
        {"http://h/?q=", "+/?=:@!*'()", "http://h/?q=%2B%2F%3F%3D%3A%40%21%2A%27%28%29"},
        {"http://h/?q=", "\x01\x1F\x7F\x80\xFF", "http://h/?q=%01%1F%7F%80%FF"},
        {"http://h/a b?x=1&q=", "x y", "http://h/a b?x=1&q=x%20y"},
        {"", "a b", "a%20b"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.query);
        EXPECT_EQ(c.url, CSearchBar::BuildSearchUrl(c.prefix, c.query));
    }
}

} // namespace
