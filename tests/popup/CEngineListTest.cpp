// CEngineList under a recording host window: rows and refusals, hover
// repaints, the choice by click (settings file and UM_ENGINE_CHOSEN), and
// every way it closes (outside press, UM_POPUP_CLOSE, losing activation).
#include "../../src/popup/CEngineList.h"
#include "../../src/frame/Messages.h"
#include "../../src/hooks/CPopupHook.h"
#include "../../src/input/CGuiEdit.h"
#include "Input.h"
#include "MessageRecorder.h"
#include "PopupTestSupport.h"
#include "Pump.h"
#include "TestFiles.h"
#include <gtest/gtest.h>
#include <string>

namespace {

constexpr int kLeft = 200;
constexpr int kTop = 150;

std::string ReadIndex(const std::string& iniPath) {
    char value[64] = {};
    ::GetPrivateProfileStringA("Select", "Index", "unset", value, sizeof(value), iniPath.c_str());
    return value;
}

class EngineListTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::SetWindowPos(host.hwnd(), HWND_TOP, 0, 0, 640, 480, SWP_SHOWWINDOW);
        BringToForeground(host.hwnd());
        ASSERT_TRUE(list.Create(host.hwnd(), 0, 0, 0, 0));
        icon = WriteSolidPng("engine-icon.png", 16, 16, 0xFF2040C0);
        list.SetBackgroundSkin(WriteSolidPng("engine-bg.png", 8, 8, 0xFFFFFFFF).c_str(), 0);
        list.SetHighlightSkin(WriteSolidPng("engine-hl.png", 8, 8, 0xFF00C000).c_str());
        settings = ScratchPath(
            std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + ".ini");
        ::DeleteFileA(settings.c_str());
        list.SetSettingsPath(settings.c_str());
        MoveTo(&list, kLeft, kTop);
        MoveMouseTo(600, 450); // over the host, away from where the list shows
        host.Clear();
    }
    void TearDown() override {
        list.Hide();
        CPopupHook().RemovePopupMouseHook();
    }

    void AddThree() {
        ASSERT_EQ(1, list.AddEngine(icon.c_str(), "Alpha", "http://a.example/?q="));
        ASSERT_EQ(1, list.AddEngine(icon.c_str(), "Beta", "http://b.example/?q="));
        ASSERT_EQ(1, list.AddEngine(icon.c_str(), "Gamma", "http://c.example/?q="));
    }
    void ShowPainted() {
        list.Show();
        ::UpdateWindow(list.m_hWnd);
        PumpUntilIdle();
        list.paints = 0;
    }
    // A screen point inside row i, x pixels from the list's left edge.
    static POINT RowPoint(int i, int x = 50) { return {kLeft + x, kTop + i * 25 + 12}; }

    MessageRecorder host;
    PaintCounting<CEngineList> list;
    std::string icon;
    std::string settings;
};

TEST_F(EngineListTest, StartsHiddenEmptyAndOwnedByItsParent) {
    EXPECT_FALSE(list.IsWindowVisible());
    EXPECT_EQ(host.hwnd(), ::GetParent(list.m_hWnd));
    RECT rect = WindowRectOf(list.m_hWnd);
    EXPECT_EQ(0, rect.right - rect.left);
    EXPECT_EQ(0, rect.bottom - rect.top);
    char className[32] = {};
    ::GetClassNameA(list.m_hWnd, className, sizeof(className));
    EXPECT_STREQ("GUI_AFXSELECT", className);
    EXPECT_EQ(-1, list.HitTest(CPoint(0, 0)));
    EXPECT_EQ(nullptr, list.GetItem(0));
}

TEST_F(EngineListTest, RowsFollowTheEnginesAdded) {
    AddThree();
    EXPECT_EQ((RECT{kLeft, kTop, kLeft + 100, kTop + 75}), WindowRectOf(list.m_hWnd));
    ShowPainted();
    const struct {
        int x, y, row;
    } probes[] = {{50, 0, 0},  {50, 24, 0},  {50, 25, 1},   {0, 49, 1},  {99, 50, 2},
                  {50, 74, 2}, {50, 75, -1}, {100, 30, -1}, {-1, 30, -1}};
    for (const auto& p : probes)
        EXPECT_EQ(p.row, list.HitTest(CPoint(p.x, p.y))) << p.x << ", " << p.y;
    EXPECT_EQ("Gamma", list.GetItem(2)->name);
    EXPECT_EQ(nullptr, list.GetItem(3));
    EXPECT_EQ(nullptr, list.GetItem(-1));
}

TEST_F(EngineListTest, RefusesEmptyAndDuplicateNames) {
    const struct {
        const char* iconPath;
        const char* name;
        int added;
    } cases[] = {
        {"", "Alpha", 1},      {icon.c_str(), "Alpha", 0}, {icon.c_str(), "alpha", 1},
        {icon.c_str(), "", 0}, {icon.c_str(), nullptr, 0}, {icon.c_str(), "Alpha ", 1},
    };
    int count = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name ? c.name : "(null)");
        EXPECT_EQ(c.added, list.AddEngine(c.iconPath, c.name, ""));
        count += c.added;
        EXPECT_EQ(count, list.GetCount());
        const RECT rect = WindowRectOf(list.m_hWnd);
        EXPECT_EQ(count * 25, rect.bottom - rect.top);
    }
    EXPECT_TRUE(list.HasEngine("alpha"));
    EXPECT_FALSE(list.HasEngine("ALPHA"));
}

TEST_F(EngineListTest, HoverRepaintsOnlyWhenTheRowChanges) {
    AddThree();
    ShowPainted();
    const struct {
        POINT at;
        int hover, paints;
    } moves[] = {
        {RowPoint(0, 20), 0, 1}, {RowPoint(0, 70), 0, 1}, {RowPoint(1, 70), 1, 2},
        {RowPoint(1, 10), 1, 2}, {RowPoint(2, 40), 2, 3}, {{kLeft + 300, kTop + 200}, 2, 3},
    };
    for (const auto& m : moves) {
        SCOPED_TRACE(m.at.y);
        MoveMouseTo(m.at.x, m.at.y);
        PumpUntilIdle();
        EXPECT_EQ(m.hover, list.hoverIndex);
        EXPECT_EQ(m.paints, list.paints);
    }
}

TEST_F(EngineListTest, MoveOverListShowsHandCursor) {
    AddThree();
    ShowPainted();
    MoveMouseTo(RowPoint(1).x, RowPoint(1).y);
    EXPECT_EQ(::LoadCursorA(nullptr, MAKEINTRESOURCEA(32649)), ::GetCursor());
}

TEST_F(EngineListTest, ClickOnRowStoresIndexAndReportsEntry) {
    AddThree();
    ShowPainted();
    WaitDoubleClickTime();
    ClickAt(RowPoint(2).x, RowPoint(2).y);
    PumpUntil([&] { return host.Count(UM_ENGINE_CHOSEN) > 0; });
    EXPECT_FALSE(list.IsWindowVisible());
    EXPECT_EQ(-1, list.hoverIndex);
    EXPECT_EQ(nullptr, CPopupHook::popupMouseHook);
    EXPECT_EQ("2", ReadIndex(settings));
    EXPECT_TRUE(host.Matches({{UM_ENGINE_CHOSEN, 0, reinterpret_cast<LPARAM>(list.GetItem(2))}}));
}

TEST_F(EngineListTest, ClickWithoutSettingsFileStillReportsEntry) {
    PaintCounting<CEngineList> bare;
    ASSERT_TRUE(bare.Create(host.hwnd(), 0, 0, 0, 0));
    ASSERT_EQ(1, bare.AddEngine(icon.c_str(), "Alpha", ""));
    MoveTo(&bare, kLeft, kTop);
    bare.Show();
    ::UpdateWindow(bare.m_hWnd);
    WaitDoubleClickTime();
    ClickAt(RowPoint(0).x, RowPoint(0).y);
    PumpUntil([&] { return host.Count(UM_ENGINE_CHOSEN) > 0; });
    EXPECT_TRUE(host.Matches({{UM_ENGINE_CHOSEN, 0, reinterpret_cast<LPARAM>(bare.GetItem(0))}}));
}

TEST_F(EngineListTest, BlankRowIgnoresClicks) {
    ASSERT_EQ(1, list.AddEngine(icon.c_str(), "Alpha", ""));
    ASSERT_EQ(1, list.AddEngine("", "Blank", "http://blank.example/"));
    ShowPainted();
    EXPECT_EQ(-1, list.HitTest(CPoint(50, 37)));
    WaitDoubleClickTime();
    ClickAt(RowPoint(1).x, RowPoint(1).y);
    PumpUntilIdle();
    EXPECT_TRUE(list.IsWindowVisible());
    EXPECT_TRUE(host.Matches({}));
    EXPECT_EQ("unset", ReadIndex(settings));
}

TEST_F(EngineListTest, PressOutsideClosesWithoutChoosing) {
    AddThree();
    for (bool right : {false, true}) {
        SCOPED_TRACE(right ? "right" : "left");
        ShowPainted();
        ASSERT_NE(nullptr, CPopupHook::popupMouseHook);
        WaitDoubleClickTime();
        ClickAt(500, 400, right);
        PumpUntil([&] { return !list.IsWindowVisible(); });
        EXPECT_FALSE(list.IsWindowVisible());
        EXPECT_EQ(nullptr, CPopupHook::popupMouseHook);
        EXPECT_TRUE(host.Matches({}));
        EXPECT_EQ("unset", ReadIndex(settings));
    }
}

TEST_F(EngineListTest, OnlyTheCloseTokenCloses) {
    AddThree();
    ShowPainted();
    list.hoverIndex = 1;
    list.PostMessage(UM_POPUP_CLOSE, 0, POPUP_CLOSE_TOKEN + 1);
    PumpUntilIdle();
    EXPECT_TRUE(list.IsWindowVisible());
    EXPECT_EQ(1, list.hoverIndex);
    list.PostMessage(UM_POPUP_CLOSE, 0, POPUP_CLOSE_TOKEN);
    PumpUntil([&] { return !list.IsWindowVisible(); });
    EXPECT_FALSE(list.IsWindowVisible());
    EXPECT_EQ(-1, list.hoverIndex);
    EXPECT_EQ(nullptr, CPopupHook::popupMouseHook);
}

TEST_F(EngineListTest, LosingApplicationActivationCloses) {
    AddThree();
    ShowPainted();
    OtherThreadWindow other;
    ::SetForegroundWindow(other.hwnd());
    PumpUntil([&] { return !list.IsWindowVisible(); });
    EXPECT_FALSE(list.IsWindowVisible());
    EXPECT_EQ(nullptr, CPopupHook::popupMouseHook);
}

TEST_F(EngineListTest, IconAndNameSitInTheirPlaces) {
    AddThree();
    list.Show();
    const PixelImage image = PaintAndRead(list.m_hWnd, list.bufferDC);
    for (int row = 0; row < 3; ++row) {
        SCOPED_TRACE(row);
        const int top = row * 25;
        // A 16 x 16 icon at (3, top + 4); the background around it.
        EXPECT_TRUE(IsNearColor(image.At(3, top + 4), 0x2040C0, 8));
        EXPECT_TRUE(IsNearColor(image.At(18, top + 19), 0x2040C0, 8));
        EXPECT_TRUE(IsNearColor(image.At(2, top + 4), 0xFFFFFF));
        EXPECT_TRUE(IsNearColor(image.At(19, top + 4), 0xFFFFFF));
        // The name starts right of the icon, at x 21.
        const int textLeft = LeftmostTextColumn(image, RECT{1, top + 1, 99, top + 24});
        EXPECT_GE(textLeft, 21);
        EXPECT_LE(textLeft, 24);
    }
}

TEST_F(EngineListTest, DestroyedWhileShownLeavesNoHook) {
    {
        CEngineList shown;
        ASSERT_TRUE(shown.Create(host.hwnd(), 0, 0, 0, 0));
        shown.AddEngine(icon.c_str(), "Alpha", "");
        shown.Show();
        EXPECT_NE(nullptr, CPopupHook::popupMouseHook);
    }
    EXPECT_EQ(nullptr, CPopupHook::popupMouseHook);
}

} // namespace
