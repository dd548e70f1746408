// A host compiled against Tavrel.h alone drives a bar through every slot of
// the interface, and each slot reaches its operation: the effects are read
// from the windows, the settings file and the posted messages.
#include "MessageRecorder.h"
#include "Pump.h"
#include "Tavrel.h"
#include "TestFiles.h"
#include <gtest/gtest.h>

namespace {
RECT WindowRect(HWND hwnd) {
    RECT rc{};
    ::GetWindowRect(hwnd, &rc);
    return rc;
}

struct OwnedSearch {
    HWND owner;
    const char* className;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectOwned(HWND hwnd, LPARAM lParam) {
    auto* search = reinterpret_cast<OwnedSearch*>(lParam);
    char name[64] = {};
    ::GetClassNameA(hwnd, name, sizeof(name));
    if (::GetWindow(hwnd, GW_OWNER) == search->owner && std::string(name) == search->className)
        search->found.push_back(hwnd);
    return TRUE;
}

// The windows the bar owns, found by their class names.
std::vector<HWND> OwnedWindows(HWND bar, const char* className) {
    OwnedSearch search{bar, className, {}};
    ::EnumThreadWindows(::GetCurrentThreadId(), &CollectOwned, reinterpret_cast<LPARAM>(&search));
    return search.found;
}
} // namespace

TEST(HostInterface, EverySlotReachesItsOperation) {
    MessageRecorder host;
    CTavrel* bar = CTavrel::CreateTavrel();
    ASSERT_NE(nullptr, bar);
    const std::string listSkin = WriteSolidPng("list.png", 10, 10, 0xFFEEEEEE);
    bar->SetEngineListBackground(listSkin.c_str());        // slot 5, before creation
    bar->SetEngineListHighlight(listSkin.c_str());         // 6
    bar->SetSuggestionListBackground(listSkin.c_str());    // 7
    bar->SetSuggestionListHighlight(listSkin.c_str());     // 8

    const RECT placement = {10, 20, 300, 30};
    ASSERT_EQ(1, bar->CreateBar(host.hwnd(), &placement)); // 9
    HWND window = bar->GetWindowHandle();                  // 22
    ASSERT_TRUE(::IsWindow(window));
    EXPECT_EQ(host.hwnd(), ::GetParent(window));
    const RECT created = WindowRect(window);
    EXPECT_EQ(10, created.left);
    EXPECT_EQ(20, created.top);
    EXPECT_EQ(300, created.right - created.left);
    EXPECT_EQ(30, created.bottom - created.top);
    EXPECT_TRUE(::GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_LAYERED);

    bar->SetBackgroundImage(WriteSolidPng("bg.png", 400, 30, 0xFF336699).c_str(), 0); // 0
    RECT rc = WindowRect(window);
    EXPECT_EQ(400, rc.right - rc.left);
    EXPECT_EQ(30, rc.bottom - rc.top);
    bar->SetActiveBackgroundImage(WriteSolidPng("active.png", 400, 30, 0xFF3366FF).c_str()); // 1
    const std::string icon = WriteSolidPng("icon.png", 16, 16, 0xFFFF0000);
    bar->SetEngineIconImage(icon.c_str()); // 2
    bar->SetArrowImage(WriteSolidPng("arrow.png", 7, 4, 0xFF000000).c_str());        // 3
    bar->SetSearchButtonImage(WriteSolidPng("button.png", 24, 24, 0xFF00FF00).c_str()); // 4

    EXPECT_EQ(1, bar->AddEngine(icon.c_str(), "First", "http://first/?q=")); // 16
    EXPECT_EQ(0, bar->AddEngine(icon.c_str(), "First", "http://again/?q="));
    EXPECT_EQ(1, bar->AddEngine(icon.c_str(), "Second", "http://second/?q="));
    EXPECT_STREQ("First", bar->GetEngineName());                      // 17
    EXPECT_STREQ("http://first/?q=", bar->GetEngineUrl());            // 18

    const std::string ini = WriteFileBytes("settings.ini", "[Select]\r\nIndex=1\r\n");
    bar->SetSettingsFile(ini.c_str()); // 20
    EXPECT_EQ(1, bar->GetEngineIndex()); // 19
    EXPECT_STREQ("Second", bar->GetEngineName());

    bar->SetPosition(100, 200); // 10
    rc = WindowRect(window);
    EXPECT_EQ(100, rc.left);
    EXPECT_EQ(200, rc.top);
    bar->UpdateLayout(); // 11
    const std::vector<HWND> edits = OwnedWindows(window, "GUI_EDIT");
    ASSERT_EQ(1u, edits.size());
    rc = WindowRect(edits[0]);
    EXPECT_EQ(132, rc.left);
    EXPECT_EQ(207, rc.top);
    EXPECT_EQ(338, rc.right - rc.left);
    EXPECT_EQ(14, rc.bottom - rc.top);

    bar->ShowBar(SW_SHOW); // 21
    EXPECT_TRUE(::IsWindowVisible(window));
    EXPECT_TRUE(::IsWindowVisible(edits[0]));

    std::string text = "stale";
    bar->GetQueryText(text); // 12
    EXPECT_EQ("", text);

    const std::vector<HWND> lists = OwnedWindows(window, "GUI_AFXSELECT");
    ASSERT_EQ(2u, lists.size());
    bar->AddSuggestion("alpha"); // 13
    bar->AddSuggestion("beta");
    bar->ShowSuggestions(); // 15
    HWND shown = nullptr;
    for (HWND list : lists)
        if (::IsWindowVisible(list))
            shown = list;
    ASSERT_NE(nullptr, shown);
    rc = WindowRect(shown);
    EXPECT_EQ(50, rc.bottom - rc.top);
    EXPECT_EQ(400, rc.right - rc.left);
    bar->ClearSuggestions(); // 14
    EXPECT_FALSE(::IsWindowVisible(shown));

    bar->ShowBar(SW_HIDE);
    EXPECT_FALSE(::IsWindowVisible(window));
    EXPECT_FALSE(::IsWindowVisible(edits[0]));
    PumpUntilIdle();
    EXPECT_TRUE(host.Messages().empty()) << "no notification without user input";
}
