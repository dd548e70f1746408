// Bad input through every slot of the host interface: null and empty
// strings, a one-megabyte string, bytes outside ASCII. Each call returns
// its documented result without a crash or an exception, the bar keeps
// what it had, and it still works afterwards.
#include "../../src/popup/CEngineList.h"
#include "../../src/popup/CSuggestionList.h"
#include "LaunchLog.h"
#include "Pump.h"
#include "SkinnedBar.h"
#include "SuggestingHost.h"
#include "TestFiles.h"
#include <cstring>
#include <gtest/gtest.h>

namespace {

const char kPrefix[] = "http://alpha.test/?q=";
const std::string kMegabyte(1 << 20, 'm');
// Bytes above 0x7F, among them lone lead bytes of double-byte code pages.
const std::string kHighBytes = "caf\xE9 \x81\x82\xFE\xFF\x80 \x9F\xA0!";

// One path slot of the host interface and the bar field that keeps its path.
struct PathSlot {
    const char* name;
    void (*set)(CTavrel* bar, const char* path);
    std::string CSearchBar::*path;
};

const PathSlot kPathSlots[] = {
    {"SetBackgroundImage", [](CTavrel* b, const char* p) { b->SetBackgroundImage(p, 4); },
     &CSearchBar::backgroundPath},
    {"SetActiveBackgroundImage", [](CTavrel* b, const char* p) { b->SetActiveBackgroundImage(p); },
     &CSearchBar::activeBackgroundPath},
    {"SetEngineIconImage", [](CTavrel* b, const char* p) { b->SetEngineIconImage(p); },
     &CSearchBar::engineIconPath},
    {"SetArrowImage", [](CTavrel* b, const char* p) { b->SetArrowImage(p); },
     &CSearchBar::arrowPath},
    {"SetSearchButtonImage", [](CTavrel* b, const char* p) { b->SetSearchButtonImage(p); },
     &CSearchBar::searchButtonPath},
    {"SetEngineListBackground", [](CTavrel* b, const char* p) { b->SetEngineListBackground(p); },
     &CSearchBar::engineListBackgroundPath},
    {"SetEngineListHighlight", [](CTavrel* b, const char* p) { b->SetEngineListHighlight(p); },
     &CSearchBar::engineListHighlightPath},
    {"SetSuggestionListBackground",
     [](CTavrel* b, const char* p) { b->SetSuggestionListBackground(p); },
     &CSearchBar::suggestionListBackgroundPath},
    {"SetSuggestionListHighlight",
     [](CTavrel* b, const char* p) { b->SetSuggestionListHighlight(p); },
     &CSearchBar::suggestionListHighlightPath},
    {"SetSettingsFile", [](CTavrel* b, const char* p) { b->SetSettingsFile(p); },
     &CSearchBar::settingsPath},
};

RECT WindowRect(HWND window) {
    RECT rect{};
    ::GetWindowRect(window, &rect);
    return rect;
}

class BadInput : public ::testing::Test {
protected:
    void SetUp() override {
        settings = WriteFileBytes("bad-input.ini", "[Select]\r\nIndex=1\r\n");
        bar = MakeSkinnedBar(host.hwnd(), 100, 100,
                             {{"Alpha", kPrefix}, {"Beta", "http://beta.test/?q="}}, settings);
        ASSERT_NE(nullptr, bar);
        PumpUntilIdle();
    }
    void TearDown() override {
        delete bar;
        PumpUntilIdle();
        EXPECT_TRUE(NoHookInstalled());
    }

    CTavrel* face() const { return bar; }

    // The bar still searches: a query taken from the suggestion list runs
    // a search with the current engine, and the host is told.
    void ExpectStillSearches(const std::string& prefix) {
        const std::string text = "still works";
        const int before = host.Count(UM_SEARCH_LAUNCHED);
        PostListCommand(bar, 2, text);
        EXPECT_TRUE(PumpUntil([&] { return host.Count(UM_SEARCH_LAUNCHED) > before; }));
        EXPECT_EQ(CSearchBar::BuildSearchUrl(prefix, text), launches.LastUrl());
    }

    // Paints a popup now and reports whether the paint finished.
    static bool PaintsShown(CWnd* list) {
        list->ShowWindow(SW_SHOWNOACTIVATE);
        list->Invalidate();
        ::UpdateWindow(list->m_hWnd);
        const bool painted = ::GetUpdateRect(list->m_hWnd, nullptr, FALSE) == FALSE;
        list->ShowWindow(SW_HIDE);
        return painted;
    }

    LaunchLog launches;
    SuggestingHost host;
    std::string settings;
    CSearchBar* bar = nullptr;
};

} // namespace

TEST_F(BadInput, NullOrEmptyPathChangesNothing) {
    for (const PathSlot& slot : kPathSlots) {
        SCOPED_TRACE(slot.name);
        const std::string kept = bar->*slot.path;
        const RECT window = WindowRect(bar->m_hWnd);
        slot.set(face(), nullptr);
        slot.set(face(), "");
        EXPECT_EQ(kept, bar->*slot.path);
        const RECT after = WindowRect(bar->m_hWnd);
        EXPECT_TRUE(::EqualRect(&window, &after));
    }
    EXPECT_STREQ("Beta", face()->GetEngineName());
    EXPECT_EQ(1, face()->GetEngineIndex());
    EXPECT_EQ(400, bar->backgroundImage.GetWidth());
}

TEST_F(BadInput, NullOrEmptyEngineAndSuggestionTexts) {
    EXPECT_EQ(0, face()->AddEngine(nullptr, nullptr, nullptr));
    EXPECT_EQ(0, face()->AddEngine("", "", ""));
    EXPECT_EQ(0, face()->AddEngine(SkinFiles::Get().icon.c_str(), nullptr, kPrefix));
    EXPECT_EQ(2, bar->engineList->GetCount());
    // A name is all an engine needs; a missing icon or prefix reads as "".
    EXPECT_EQ(1, face()->AddEngine(nullptr, "Bare", nullptr));
    EXPECT_EQ("", bar->engineList->GetItem(2)->urlPrefix);

    face()->AddSuggestion(nullptr);
    face()->AddSuggestion("");
    EXPECT_EQ(0, bar->suggestionList->GetCount());
    face()->ShowSuggestions(); // an empty list may be shown and closed again
    face()->ClearSuggestions();
    EXPECT_FALSE(::IsWindowVisible(SuggestionListOf(*bar)));
    ExpectStillSearches("http://beta.test/?q=");
}

TEST_F(BadInput, EngineWithoutPrefixStartsNoSearch) {
    ASSERT_EQ(1, face()->AddEngine(nullptr, "Bare", ""));
    const std::string ini = WriteFileBytes("bare-engine.ini", "[Select]\r\nIndex=2\r\n");
    face()->SetSettingsFile(ini.c_str());
    ASSERT_STREQ("", face()->GetEngineUrl());
    const std::string text = "no prefix";
    PostListCommand(bar, 2, text);
    PumpUntilIdle();
    EXPECT_EQ(0, launches.Count());
    EXPECT_EQ(0, host.Count(UM_SEARCH_LAUNCHED));
    std::string field;
    face()->GetQueryText(field);
    EXPECT_EQ(text, field); // the text still reaches the field
}

TEST_F(BadInput, MegabyteImagePathsCountAsUndecodable) {
    for (const PathSlot& slot : kPathSlots) {
        if (slot.path == &CSearchBar::settingsPath)
            continue;
        SCOPED_TRACE(slot.name);
        slot.set(face(), kMegabyte.c_str());
        EXPECT_EQ(kMegabyte, bar->*slot.path);
    }
    // Nothing decoded: each image is loaded at 0 x 0, and the bar, sized
    // by its main background, with it.
    EXPECT_TRUE(bar->backgroundImage.IsLoaded());
    EXPECT_EQ(0, bar->backgroundImage.GetWidth());
    EXPECT_EQ(0, bar->searchButtonImage.GetHeight());
    EXPECT_EQ(0, bar->suggestionList->backgroundSkin.GetWidth());
    const RECT window = WindowRect(bar->m_hWnd);
    EXPECT_EQ(0, window.right - window.left);
    // A good skin afterwards brings the bar back.
    ApplySkin(face());
    face()->UpdateLayout();
    const RECT restored = WindowRect(bar->m_hWnd);
    EXPECT_EQ(400, restored.right - restored.left);
}

TEST_F(BadInput, MegabyteSettingsPathReadsAsIndexZero) {
    face()->SetSettingsFile(kMegabyte.c_str());
    EXPECT_EQ(0, face()->GetEngineIndex());
    EXPECT_STREQ("Alpha", face()->GetEngineName());
    ExpectStillSearches(kPrefix);
}

TEST_F(BadInput, MegabyteEngineAndSuggestionTextsAreKeptWhole) {
    const std::string name = "N" + kMegabyte;
    const std::string prefix = "http://long.test/?" + kMegabyte + "=";
    ASSERT_EQ(1, face()->AddEngine(kMegabyte.c_str(), name.c_str(), prefix.c_str()));
    EXPECT_EQ(0, face()->AddEngine(nullptr, name.c_str(), nullptr)); // still unique
    const std::string ini = WriteFileBytes("long-engine.ini", "[Select]\r\nIndex=2\r\n");
    face()->SetSettingsFile(ini.c_str());
    EXPECT_EQ(name, face()->GetEngineName());
    EXPECT_EQ(prefix, face()->GetEngineUrl());
    EXPECT_TRUE(PaintsShown(bar->engineList));

    face()->AddSuggestion(kMegabyte.c_str());
    face()->AddSuggestion(kMegabyte.c_str()); // a duplicate, refused
    ASSERT_EQ(1, bar->suggestionList->GetCount());
    EXPECT_EQ(kMegabyte, bar->suggestionList->GetItem(0)->text);
    EXPECT_TRUE(PaintsShown(bar->suggestionList));
}

TEST_F(BadInput, MegabyteQuerySearchesWhole) {
    PostListCommand(bar, 2, kMegabyte);
    ASSERT_TRUE(PumpUntil([&] { return host.Count(UM_SEARCH_LAUNCHED) == 1; }));
    EXPECT_EQ(CSearchBar::BuildSearchUrl("http://beta.test/?q=", kMegabyte), launches.LastUrl());
    std::string field;
    face()->GetQueryText(field);
    EXPECT_EQ(kMegabyte, field);
}

TEST_F(BadInput, HighBytesPassThroughUnchanged) {
    const std::string name = "Engine " + kHighBytes;
    const std::string prefix = "http://high.test/?" + kHighBytes + "=";
    ASSERT_EQ(1, face()->AddEngine(SkinFiles::Get().icon.c_str(), name.c_str(), prefix.c_str()));
    const std::string ini = WriteFileBytes("high-bytes.ini", "[Select]\r\nIndex=2\r\n");
    face()->SetSettingsFile(ini.c_str());
    EXPECT_EQ(name, face()->GetEngineName());
    EXPECT_EQ(prefix, face()->GetEngineUrl());
    EXPECT_TRUE(PaintsShown(bar->engineList));

    face()->AddSuggestion(kHighBytes.c_str());
    ASSERT_EQ(1, bar->suggestionList->GetCount());
    EXPECT_TRUE(PaintsShown(bar->suggestionList));

    // A path of such bytes names no file: the skin loads as 0 x 0.
    face()->SetEngineIconImage(ScratchPath(kHighBytes + ".png").c_str());
    EXPECT_EQ(0, bar->engineIconImage.GetWidth());

    const int before = host.Count(UM_SEARCH_LAUNCHED);
    PostListCommand(bar, 2, kHighBytes);
    ASSERT_TRUE(PumpUntil([&] { return host.Count(UM_SEARCH_LAUNCHED) > before; }));
    EXPECT_EQ(CSearchBar::BuildSearchUrl(prefix, kHighBytes), launches.LastUrl());
    std::string field;
    face()->GetQueryText(field);
    EXPECT_EQ(kHighBytes, field);
}

// Any process on the desktop can post the bar's message numbers. Addresses
// that are not the bar's own popups' storage (nowhere, freed memory, a copy
// of an entry, another bar's entry) change nothing and crash nothing; the
// bar's own still work.
TEST_F(BadInput, PostedPointersOtherThanThePopupsOwnAreIgnored) {
    ASSERT_EQ(1, face()->GetEngineIndex());
    EngineItem copy; // the strings of engine 0 at another address
    copy.name = bar->engineList->GetItem(0)->name;
    copy.nameW = bar->engineList->GetItem(0)->nameW;
    copy.urlPrefix = copy.iconPath = "C:\\Tools\\";
    auto* freed = new std::string("freed text");
    const LPARAM freedAddress = reinterpret_cast<LPARAM>(freed);
    delete freed;
    const std::string stranger = "stranger";
    const LPARAM bogus[] = {0x1,
                            0x10,
                            static_cast<LPARAM>(0xDEADBEEF),
                            static_cast<LPARAM>(-1),
                            freedAddress,
                            reinterpret_cast<LPARAM>(&copy),
                            reinterpret_cast<LPARAM>(&stranger),
                            reinterpret_cast<LPARAM>(bar->engineList->GetItem(0)) + 1};
    for (const LPARAM address : bogus) {
        for (WPARAM command : {0, 2, 3})
            ::PostMessageA(bar->m_hWnd, UM_QUERY_COMMAND, command, address);
        ::PostMessageA(bar->m_hWnd, UM_ENGINE_CHOSEN, 0, address);
    }
    PumpUntilIdle();
    EXPECT_EQ(1, face()->GetEngineIndex());
    EXPECT_STREQ("Beta", face()->GetEngineName());
    EXPECT_EQ(0, host.Count(UM_ENGINE_CHOSEN));
    EXPECT_EQ(0, launches.Count());
    std::string field;
    face()->GetQueryText(field);
    EXPECT_EQ("", field);

    // The engine list's own entry is taken, and the list's own text.
    ::PostMessageA(bar->m_hWnd, UM_ENGINE_CHOSEN, 0,
                   reinterpret_cast<LPARAM>(bar->engineList->GetItem(0)));
    ASSERT_TRUE(PumpUntil([&] { return host.Count(UM_ENGINE_CHOSEN) == 1; }));
    EXPECT_STREQ("Alpha", face()->GetEngineName());
    ExpectStillSearches(kPrefix);
}

// Engine URLs that would make a search start a program or open a file are
// refused when they are given; web URLs in any case are taken, and an
// empty URL still registers an engine that searches nothing.
TEST_F(BadInput, EngineUrlsThatAreNotWebAddressesAreRefused) {
    const char* refused[] = {"C:\\Tools\\{searchTerms}", "C:\\Tools\\", "\\\\host\\share\\",
                             "file:///C:/Tools/", "FILE:{searchTerms}", "{searchTerms}",
                             "tavrel-unregistered:{searchTerms}", "marker", "http:{searchTerms}"};
    const int before = bar->engineList->GetCount();
    for (const char* url : refused) {
        SCOPED_TRACE(url);
        EXPECT_EQ(0, face()->AddEngine(nullptr, (std::string("R ") + url).c_str(), url));
        const std::wstring wideUrl(url, url + std::strlen(url));
        EXPECT_EQ(0, bar->AddEngineW(nullptr, L"Refused wide", wideUrl.c_str()));
    }
    EXPECT_EQ(before, bar->engineList->GetCount());
    EXPECT_EQ(1, face()->AddEngine(nullptr, "Upper", "HTTPS://UPPER.TEST/?q={searchTerms}"));
    EXPECT_EQ(1, face()->AddEngine(nullptr, "Empty", ""));
    EXPECT_EQ(before + 2, bar->engineList->GetCount());
}
