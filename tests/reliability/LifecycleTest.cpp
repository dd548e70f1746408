// Every slot called at the wrong time: before CreateBar, and after the host
// window (and with it the bar's window) was destroyed while the bar was in
// use. Each call has its documented result or none, nothing crashes, and
// nothing stays behind: no hook, no visible window of the bar.
#include "../../src/popup/CEngineList.h"
#include "../../src/popup/CSuggestionList.h"
#include "LaunchLog.h"
#include "Pump.h"
#include "SkinnedBar.h"
#include "SuggestingHost.h"
#include "TestFiles.h"
#include <gtest/gtest.h>
#include <memory>

namespace {

const char kPrefix[] = "http://alpha.test/?q=";

// Calls each of the 23 slots once, with good arguments (the host window
// given to CreateBar is the one passed in).
void CallEverySlot(CTavrel* bar, HWND host, const std::string& settings) {
    ApplySkin(bar); // slots 0 to 8
    const RECT placement = {50, 60, 400, 30};
    bar->CreateBar(host, &placement);
    bar->SetPosition(70, 80);
    bar->UpdateLayout();
    std::string text = "untouched";
    bar->GetQueryText(text);
    bar->AddSuggestion("late");
    bar->ShowSuggestions();
    bar->ClearSuggestions();
    bar->AddSuggestion("later");
    bar->ShowSuggestions();
    bar->AddEngine(SkinFiles::Get().icon.c_str(), "Late", "http://late.test/?q=");
    bar->GetEngineName();
    bar->GetEngineUrl();
    bar->GetEngineIndex();
    bar->SetSettingsFile(settings.c_str());
    bar->ShowBar(SW_SHOW);
    bar->GetWindowHandle();
}

BOOL CALLBACK CountIfVisible(HWND window, LPARAM count) {
    if (::IsWindowVisible(window))
        ++*reinterpret_cast<int*>(count);
    return TRUE;
}

// Top-level windows of this thread that are visible.
int VisibleThreadWindows() {
    int visible = 0;
    ::EnumThreadWindows(::GetCurrentThreadId(), &CountIfVisible,
                        reinterpret_cast<LPARAM>(&visible));
    return visible;
}

class Lifecycle : public ::testing::Test {
protected:
    void TearDown() override {
        delete bar;
        PumpUntilIdle();
        EXPECT_TRUE(NoHookInstalled());
    }

    CSearchBar* bar = nullptr;
    LaunchLog launches;
};

} // namespace

TEST_F(Lifecycle, SlotsBeforeCreateBarDoWhatIsDocumented) {
    SuggestingHost host;
    bar = BarOf(CTavrel::CreateTavrel());
    ASSERT_NE(nullptr, bar);
    const int windowsBefore = ThreadWindowCount();
    const SkinFiles& skin = SkinFiles::Get();
    CTavrel* face = bar;

    face->SetBackgroundImage(skin.background.c_str(), 6);
    face->SetEngineIconImage(skin.icon.c_str());
    face->SetSearchButtonImage(skin.button.c_str());
    EXPECT_FALSE(bar->backgroundImage.IsLoaded()); // no device context yet
    EXPECT_FALSE(bar->engineIconImage.IsLoaded());
    face->SetEngineListBackground(skin.listBackground.c_str());
    face->SetSuggestionListHighlight(skin.listHighlight.c_str());
    face->SetPosition(10, 10);
    face->UpdateLayout();
    face->ShowBar(SW_SHOW);
    std::string text = "untouched";
    face->GetQueryText(text);
    EXPECT_EQ("untouched", text);
    face->AddSuggestion("early");
    face->ShowSuggestions();
    face->ClearSuggestions();
    EXPECT_EQ(0, face->AddEngine(skin.icon.c_str(), "Early", kPrefix));
    EXPECT_STREQ("", face->GetEngineName());
    EXPECT_EQ(0, std::string(face->GetEngineUrl()).find("http://"));
    const std::string settings = ScratchPath("early-settings.ini");
    ::DeleteFileA(settings.c_str());
    face->SetSettingsFile(settings.c_str());
    EXPECT_EQ(settings, bar->settingsPath); // only remembered
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA(settings.c_str()));
    EXPECT_EQ(0, face->GetEngineIndex());
    EXPECT_EQ(nullptr, face->GetWindowHandle());
    EXPECT_EQ(windowsBefore, ThreadWindowCount());
    EXPECT_TRUE(NoHookInstalled());

    // Created afterwards, the bar works, and the popup skins named early
    // reach the popups.
    const RECT placement = {100, 100, 400, 30};
    ASSERT_EQ(1, face->CreateBar(host.hwnd(), &placement));
    EXPECT_EQ(10, bar->engineList->backgroundSkin.GetWidth());
    EXPECT_EQ(10, bar->suggestionList->highlightSkin.GetWidth());
    EXPECT_EQ(1, face->AddEngine(skin.icon.c_str(), "Now", kPrefix));
    EXPECT_STREQ("Now", face->GetEngineName());
}

TEST_F(Lifecycle, SlotsAfterHostIsDestroyedInUseLeaveNothingBehind) {
    auto host = std::make_unique<SuggestingHost>();
    const std::string settings = WriteFileBytes("after-host.ini", "[Select]\r\nIndex=0\r\n");
    bar = MakeSkinnedBar(host->hwnd(), 100, 100, {{"Alpha", kPrefix}}, settings);
    ASSERT_NE(nullptr, bar);
    // In use: the suggestion list open (keyboard and bar mouse hooks
    // installed) and the engine list open (its mouse hook installed).
    host->Serve(bar, 5);
    ::SetWindowTextA(QueryFieldOf(*bar), "in use");
    ASSERT_TRUE(PumpUntil([&] { return ::IsWindowVisible(SuggestionListOf(*bar)) != FALSE; }));
    bar->engineList->Show();
    ASSERT_FALSE(NoHookInstalled());

    const HWND dead = host->hwnd();
    host.reset();
    PumpUntilIdle();
    CTavrel* face = bar;
    EXPECT_EQ(nullptr, face->GetWindowHandle());

    EXPECT_TRUE(NoHookInstalled());
    EXPECT_EQ(0, VisibleThreadWindows());

    CallEverySlot(face, dead, settings); // CreateBar under the dead host fails
    PumpUntilIdle();
    EXPECT_EQ(nullptr, face->GetWindowHandle());
    EXPECT_STREQ("Alpha", face->GetEngineName());
    EXPECT_STREQ(kPrefix, face->GetEngineUrl());
    EXPECT_EQ(0, face->GetEngineIndex());
    EXPECT_TRUE(NoHookInstalled());
    EXPECT_EQ(0, VisibleThreadWindows());

    // Under a new host the bar gets a window again.
    SuggestingHost other;
    CallEverySlot(face, other.hwnd(), settings);
    PumpUntilIdle();
    EXPECT_TRUE(::IsWindow(face->GetWindowHandle()));
    EXPECT_EQ(other.hwnd(), ::GetParent(face->GetWindowHandle()));
}
