// Where the bar puts its elements: icon, arrow, button, query edit frame and
// the two click rectangles for several skins; the rounded window region;
// empty paths; moving the bar with its owned windows; hiding it; and the
// keyboard focus, which a layout or a hidden refill leaves where it is.
#include "../../src/input/CGuiEdit.h"
#include "../../src/popup/CEngineList.h"
#include "../../src/popup/CSuggestionList.h"
#include "BarTestSupport.h"
#include "Pump.h"
#include <cstdint>
#include <functional>
#include <iterator>

namespace {

using LayoutTest = BarTest;

struct Size {
    int w, h;
};

// Images 0 x 0 are left out. The bar is 400 x 30 at (100, 200).
struct LayoutCase {
    const char* what;
    Size icon, arrow, button;
    int iconY, arrowX, arrowY, buttonX, buttonY;
    RECT editFrame; // screen
    RECT engineHit, buttonHit;
};

// clang-format off
const LayoutCase kLayouts[] = {
    // what, icon, arrow, button, iconY, arrowX, arrowY, buttonX, buttonY, edit frame, hit rects
    {"reference skin", {16, 16}, {7, 4}, {24, 24}, 7, 25, 13, 370, 3,
     {132, 207, 470, 221}, {6, 7, 32, 23}, {370, 3, 394, 27}},
    {"wide icon, narrow arrow", {24, 16}, {5, 4}, {24, 24}, 7, 33, 13, 370, 3,
     {138, 207, 470, 221}, {6, 7, 38, 23}, {370, 3, 394, 27}},
    {"odd icon height halves each term", {16, 17}, {7, 4}, {20, 21}, 7, 25, 13, 374, 5,
     {132, 207, 474, 221}, {6, 7, 32, 24}, {374, 5, 394, 26}},
    {"no icon", {0, 0}, {5, 4}, {24, 24}, 6, 25, 13, 370, 3,
     {130, 206, 470, 220}, {6, 6, 14, 6}, {370, 3, 394, 27}},
    {"no arrow", {24, 16}, {0, 0}, {24, 24}, 7, 25, 7, 370, 3,
     {132, 207, 470, 221}, {6, 7, 33, 23}, {370, 3, 394, 27}},
    {"no button", {16, 16}, {7, 4}, {0, 0}, 7, 25, 13, 0, 0,
     {132, 207, 478, 221}, {6, 7, 32, 23}, {0, 0, 0, 0}},
};
// clang-format on

TEST_F(LayoutTest, ElementsFollowTheSkin) {
    for (const LayoutCase& c : kLayouts) {
        SCOPED_TRACE(c.what);
        bar = std::make_unique<CSearchBar>();
        Create({0, 0, 10, 10});
        bar->SetBackgroundImage(SkinPng(400, 30, kBackgroundColor).c_str(), 0);
        if (c.icon.w)
            bar->SetEngineIconImage(SkinPng(c.icon.w, c.icon.h, kIconColor).c_str());
        if (c.arrow.w)
            bar->SetArrowImage(SkinPng(c.arrow.w, c.arrow.h, kArrowColor).c_str());
        if (c.button.w)
            bar->SetSearchButtonImage(SkinPng(c.button.w, c.button.h, kButtonColor).c_str());
        bar->SetPosition(kBarLeft, kBarTop);
        bar->UpdateLayout();
        const HBITMAP firstBuffer = bar->bufferBitmap;
        bar->UpdateLayout(); // a second layout changes nothing but the buffer

        EXPECT_EQ(0u, ::GetObjectType(firstBuffer));
        EXPECT_EQ(6, bar->iconX);
        EXPECT_EQ(c.iconY, bar->iconY);
        EXPECT_EQ(c.arrowX, bar->arrowX);
        EXPECT_EQ(c.arrowY, bar->arrowY);
        EXPECT_EQ(c.buttonX, bar->searchButtonX);
        EXPECT_EQ(c.buttonY, bar->searchButtonY);
        EXPECT_EQ(c.editFrame, WindowRectOf(bar->queryEdit->m_hWnd));
        EXPECT_EQ(c.editFrame.left, bar->editX);
        EXPECT_EQ(c.editFrame.top, bar->editY);
        EXPECT_EQ(c.engineHit, bar->engineHitRect);
        EXPECT_EQ(c.buttonHit, bar->searchButtonHitRect);
        EXPECT_EQ((RECT{100, 200, 500, 230}), WindowRectOf(BarHwnd()));
        BITMAP buffer{};
        ::GetObjectA(bar->bufferBitmap, sizeof(buffer), &buffer);
        EXPECT_EQ(400, buffer.bmWidth);
        EXPECT_EQ(30, buffer.bmHeight);
    }
}

TEST_F(LayoutTest, PositiveRadiusRoundsTheWindow) {
    const struct {
        int radius;
        bool rounded;
    } cases[] = {{0, false}, {-4, false}, {8, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.radius);
        bar = std::make_unique<CSearchBar>();
        Create();
        bar->SetBackgroundImage(SkinPng(400, 30, kBackgroundColor).c_str(), c.radius);
        HRGN region = ::CreateRectRgn(0, 0, 0, 0);
        const int kind = ::GetWindowRgn(BarHwnd(), region);
        if (!c.rounded) {
            EXPECT_EQ(ERROR, kind);
        } else {
            // Same area; Wine's EqualRgn also compares how the bands are cut.
            HRGN expected = ::CreateRoundRectRgn(0, 0, 400, 30, 8, 8);
            HRGN difference = ::CreateRectRgn(0, 0, 0, 0);
            EXPECT_EQ(NULLREGION, ::CombineRgn(difference, region, expected, RGN_XOR));
            ::DeleteObject(difference);
            ::DeleteObject(expected);
            EXPECT_FALSE(::PtInRegion(region, 0, 0));
            EXPECT_FALSE(::PtInRegion(region, 399, 29));
            EXPECT_TRUE(::PtInRegion(region, 3, 3));
            EXPECT_TRUE(::PtInRegion(region, 200, 0));
        }
        ::DeleteObject(region);
    }
}

// Each image and popup-skin operation with an empty or null path keeps
// what it had.
TEST_F(LayoutTest, EmptyPathChangesNothing) {
    Create();
    ApplyStandardSkin();
    bar->SetSuggestionListBackground(SkinPng(8, 8, 0xFF808080).c_str());
    const std::function<void(const char*)> slots[] = {
        [&](const char* p) { bar->SetBackgroundImage(p, 8); },
        [&](const char* p) { bar->SetActiveBackgroundImage(p); },
        [&](const char* p) { bar->SetEngineIconImage(p); },
        [&](const char* p) { bar->SetArrowImage(p); },
        [&](const char* p) { bar->SetSearchButtonImage(p); },
        [&](const char* p) { bar->SetEngineListBackground(p); },
        [&](const char* p) { bar->SetEngineListHighlight(p); },
        [&](const char* p) { bar->SetSuggestionListBackground(p); },
        [&](const char* p) { bar->SetSuggestionListHighlight(p); },
    };
    const auto state = [&] {
        return std::vector<std::string>{
            bar->backgroundPath,
            bar->activeBackgroundPath,
            bar->engineIconPath,
            bar->arrowPath,
            bar->searchButtonPath,
            bar->engineListBackgroundPath,
            bar->engineListHighlightPath,
            bar->suggestionListBackgroundPath,
            bar->suggestionListHighlightPath,
            bar->suggestionList->backgroundSkinPath,
            std::to_string(reinterpret_cast<uintptr_t>(bar->backgroundImage.bitmap)),
            std::to_string(reinterpret_cast<uintptr_t>(bar->arrowImage.bitmap)),
            std::to_string(bar->barWidth),
            std::to_string(bar->arrowX)};
    };
    const auto before = state();
    for (size_t i = 0; i < std::size(slots); ++i) {
        SCOPED_TRACE(i);
        slots[i]("");
        slots[i](nullptr);
        EXPECT_EQ(before, state());
    }
    HRGN region = ::CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(ERROR, ::GetWindowRgn(BarHwnd(), region));
    ::DeleteObject(region);
}

TEST_F(LayoutTest, SetPositionCarriesPopupsAndEditFrame) {
    ShowStandardBar();
    const RECT engineHit = bar->engineHitRect;
    bar->SetPosition(300, 100);
    EXPECT_EQ((RECT{300, 100, 700, 130}), WindowRectOf(BarHwnd()));
    const RECT engineList = WindowRectOf(bar->engineList->m_hWnd);
    const RECT suggestions = WindowRectOf(bar->suggestionList->m_hWnd);
    EXPECT_EQ(300, engineList.left);
    EXPECT_EQ(130, engineList.top);
    EXPECT_EQ(300, suggestions.left);
    EXPECT_EQ(130, suggestions.top);
    EXPECT_EQ((RECT{332, 107, 670, 121}), WindowRectOf(bar->queryEdit->m_hWnd));
    EXPECT_EQ(engineHit, bar->engineHitRect);
    EXPECT_EQ(25, bar->arrowX);
}

// Hiding the bar takes the edit frame along but leaves open popups open.
TEST_F(LayoutTest, HidingTheBarLeavesAnOpenPopupOpen) {
    ShowStandardBar();
    EXPECT_TRUE(::IsWindowVisible(bar->queryEdit->m_hWnd));
    OfferSuggestions({"one", "two"});
    bar->ShowBar(SW_HIDE);
    EXPECT_FALSE(::IsWindowVisible(BarHwnd()));
    EXPECT_FALSE(::IsWindowVisible(bar->queryEdit->m_hWnd));
    EXPECT_TRUE(SuggestionsVisible());
    bar->ShowBar(SW_SHOW);
    EXPECT_TRUE(::IsWindowVisible(BarHwnd()));
    EXPECT_TRUE(::IsWindowVisible(bar->queryEdit->m_hWnd));
}

// Resizing the bar, its edit frame and its hidden list must not activate
// them: the host keeps the focus until the host shows the suggestions.
TEST_F(LayoutTest, LayoutAndHiddenRefillLeaveTheHostsFocusAlone) {
    ShowStandardBar();
    HWND hostEdit = ::CreateWindowExA(0, "EDIT", nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 80, 20,
                                      host.hwnd(), nullptr, nullptr, nullptr);
    ::SetForegroundWindow(host.hwnd());
    ::SetFocus(hostEdit);
    ASSERT_TRUE(PumpUntil([&] { return ::GetFocus() == hostEdit; }));
    const auto hostKeepsFocus = [&] {
        PumpUntilIdle();
        return ::GetFocus() == hostEdit && ::GetActiveWindow() == host.hwnd();
    };
    bar->SetBackgroundImage(SkinPng(420, 34, kBackgroundColor).c_str(), 0);
    EXPECT_TRUE(hostKeepsFocus()) << "bar resized";
    bar->SetPosition(kBarLeft, kBarTop);
    bar->UpdateLayout();
    EXPECT_TRUE(hostKeepsFocus()) << "layout";
    bar->ClearSuggestions();
    bar->AddSuggestion("one");
    bar->AddSuggestion("two");
    EXPECT_TRUE(hostKeepsFocus()) << "hidden refill";
    bar->ShowSuggestions();
    EXPECT_TRUE(PumpUntil([&] { return ::GetFocus() == EditHwnd(); }));
    EXPECT_TRUE(SuggestionsVisible());
    EXPECT_EQ(50, WindowRectOf(bar->suggestionList->m_hWnd).bottom -
                      WindowRectOf(bar->suggestionList->m_hWnd).top);
    ::DestroyWindow(hostEdit);
}

} // namespace
