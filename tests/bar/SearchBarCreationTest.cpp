// Creating the bar window with its three children, and tearing a bar down:
// placement, styles, ownership, the popup skins named before creation, and
// the windows and hooks a deleted bar leaves behind (none).
#include "../../src/hooks/CPopupHook.h"
#include "../../src/input/CGuiEdit.h"
#include "../../src/popup/CEngineList.h"
#include "../../src/popup/CSuggestionList.h"
#include "BarTestSupport.h"
#include "Pump.h"
#include <functional>

namespace {

using CreationTest = BarTest;

TEST_F(CreationTest, PlacementIsPositionAndSizeOfAHiddenOwnedLayeredWindow) {
    Create({10, 20, 300, 30});
    EXPECT_EQ((RECT{10, 20, 310, 50}), WindowRectOf(BarHwnd()));
    const LONG exStyle = ::GetWindowLongA(BarHwnd(), GWL_EXSTYLE);
    EXPECT_EQ(WS_EX_LAYERED | WS_EX_TOOLWINDOW, exStyle & (WS_EX_LAYERED | WS_EX_TOOLWINDOW));
    EXPECT_EQ(host.hwnd(), ::GetParent(BarHwnd()));
    EXPECT_EQ(BarHwnd(), bar->GetWindowHandle());
    EXPECT_FALSE(::IsWindowVisible(BarHwnd()));

    // The edit frame starts at a fixed place whatever the placement.
    EXPECT_EQ((RECT{6, 0, 341, 26}), WindowRectOf(bar->queryEdit->m_hWnd));
    for (CWnd* child :
         std::initializer_list<CWnd*>{bar->queryEdit, bar->engineList, bar->suggestionList})
        EXPECT_EQ(BarHwnd(), ::GetParent(child->m_hWnd));
    EXPECT_FALSE(EngineListVisible());
    EXPECT_FALSE(SuggestionsVisible());

    bar->ShowBar(SW_SHOW);
    EXPECT_TRUE(::IsWindowVisible(BarHwnd()));
    EXPECT_TRUE(host.Matches({})); // nothing is posted to the host by creating or showing
}

TEST_F(CreationTest, SecondCreationIsRefusedAndKeepsTheWindow) {
    Create();
    const HWND first = BarHwnd();
    const RECT placement{0, 0, 50, 50};
    EXPECT_EQ(0, bar->CreateBar(host.hwnd(), &placement));
    EXPECT_EQ(first, BarHwnd());
    EXPECT_EQ(0, bar->CreateBar(host.hwnd(), nullptr));
}

TEST_F(CreationTest, ZeroSizeCreationGivesTheOneByOneBuffer) {
    Create({50, 60, 0, 0});
    EXPECT_TRUE(::IsWindow(BarHwnd()));
    BITMAP buffer{};
    ASSERT_TRUE(::GetObjectA(bar->bufferBitmap, sizeof(buffer), &buffer));
    EXPECT_EQ(1, buffer.bmWidth);
    EXPECT_EQ(1, buffer.bmHeight);
    EXPECT_EQ(1, buffer.bmBitsPixel);
}

TEST_F(CreationTest, PopupSkinsNamedBeforeCreationReachThePopups) {
    const std::string engineBackground = SkinPng(10, 10, 0xFF101010);
    const std::string engineHighlight = SkinPng(10, 10, 0xFF202020);
    const std::string suggestionBackground = SkinPng(10, 10, 0xFF303030);
    bar->SetEngineListBackground(engineBackground.c_str());
    bar->SetEngineListHighlight(engineHighlight.c_str());
    bar->SetSuggestionListBackground(suggestionBackground.c_str());
    bar->SetSuggestionListHighlight("");
    // Without a window the bar's own images only keep their paths.
    bar->SetBackgroundImage(SkinPng(400, 30, kBackgroundColor).c_str(), 8);
    EXPECT_FALSE(bar->backgroundImage.IsLoaded());
    EXPECT_EQ(0, bar->barWidth);
    EXPECT_EQ(nullptr, bar->GetWindowHandle());

    Create();
    EXPECT_EQ(engineBackground, bar->engineList->backgroundSkinPath);
    EXPECT_TRUE(bar->engineList->backgroundSkin.IsLoaded());
    EXPECT_EQ(engineHighlight, bar->engineList->highlightSkinPath);
    EXPECT_TRUE(bar->engineList->highlightSkin.IsLoaded());
    EXPECT_EQ(suggestionBackground, bar->suggestionList->backgroundSkinPath);
    EXPECT_TRUE(bar->suggestionList->backgroundSkin.IsLoaded());
    EXPECT_EQ("", bar->suggestionList->highlightSkinPath);
    EXPECT_FALSE(bar->suggestionList->highlightSkin.IsLoaded());
    EXPECT_EQ(SkinPng(400, 30, kBackgroundColor), bar->backgroundPath);
}

// Whatever the bar was doing when deleted, its windows and hooks go with it.
TEST_F(CreationTest, DeletingTheBarDestroysChildrenAndRemovesHooks) {
    const struct {
        const char* name;
        std::function<void()> before;
    } cases[] = {
        {"idle", [] {}},
        {"active", [this] { ClickIntoField(); }},
        {"active with suggestions",
         [this] {
             ClickIntoField();
             OfferSuggestions({"one", "two"});
         }},
        {"engine list open",
         [this] {
             bar->AddEngine(SkinPng(16, 16, kIconColor).c_str(), "Alpha", "http://a.invalid/?q=");
             bar->engineList->Show();
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        bar = std::make_unique<CSearchBar>();
        ShowStandardBar();
        c.before();
        const HWND windows[] = {BarHwnd(), bar->queryEdit->m_hWnd, EditHwnd(),
                                bar->engineList->m_hWnd, bar->suggestionList->m_hWnd};
        const HGDIOBJ handles[] = {bar->bufferDC, bar->bufferBitmap, bar->backgroundImage.memDC,
                                   bar->backgroundImage.bitmap, bar->searchButtonImage.bitmap};
        bar.reset();
        PumpUntilIdle();
        for (HWND window : windows)
            EXPECT_FALSE(::IsWindow(window));
        for (HGDIOBJ handle : handles)
            EXPECT_EQ(0u, ::GetObjectType(handle));
        EXPECT_TRUE(NoHooksInstalled());
        EXPECT_EQ(nullptr, CPopupHook::barWnd);
        EXPECT_EQ(nullptr, CPopupHook::popupWnd);
    }
}

// Under Wine the host's destruction leaves the bar's owned windows alive
// (on Windows they go too); the bar must cope either way.
TEST_F(CreationTest, BarOutlivesItsHostWindow) {
    ShowStandardBar();
    ClickIntoField();
    OfferSuggestions({"one"});
    ::DestroyWindow(host.hwnd());
    PumpUntilIdle();
    EXPECT_EQ(nullptr, bar->GetWindowHandle());

    const std::string arrow = SkinPng(9, 9, kArrowColor);
    bar->SetArrowImage(arrow.c_str());
    EXPECT_EQ(arrow, bar->arrowPath);
    EXPECT_EQ(7, bar->arrowImage.GetWidth()); // the old picture stays
    bar->SetPosition(0, 0);
    bar->UpdateLayout();
    bar->ShowBar(SW_SHOW);
    const HWND children[] = {bar->queryEdit->m_hWnd, bar->engineList->m_hWnd,
                             bar->suggestionList->m_hWnd};
    bar.reset();
    for (HWND child : children)
        EXPECT_FALSE(::IsWindow(child));
    EXPECT_TRUE(NoHooksInstalled());
}

} // namespace
