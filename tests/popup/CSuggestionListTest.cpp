// CSuggestionList under a recording host window that plays the bar: the
// eleven-entry limit, arrow keys through the real keyboard hook, Enter, a
// click, Clear, the highlight left over from a longer list, and closing.
#include "../../src/popup/CSuggestionList.h"
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
#include <vector>

namespace {

constexpr int kLeft = 100;
constexpr int kTop = 150;
constexpr int kWidth = 200;

class SuggestionListTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::SetWindowPos(host.hwnd(), HWND_TOP, 0, 0, 640, 480, SWP_SHOWWINDOW);
        BringToForeground(host.hwnd());
        MoveMouseTo(600, 450); // over the host, away from where the list shows
        ASSERT_TRUE(list.Create(host.hwnd(), 0, 0, 0, 0));
        list.owner = CWnd::FromHandle(host.hwnd());
        list.SetBackgroundSkin(WriteSolidPng("suggest-bg.png", 8, 8, 0xFFFFFFFF).c_str(), 0);
        list.SetHighlightSkin(WriteSolidPng("suggest-hl.png", 8, 8, 0xFF00C000).c_str());
        list.SetListWidth(kWidth);
        MoveTo(&list, kLeft, kTop);
        host.Clear();
    }
    void TearDown() override {
        list.Hide();
        CPopupHook().RemoveBarMouseHook();
    }

    void Fill(const std::vector<const char*>& texts) {
        for (const char* text : texts)
            ASSERT_EQ(1, list.AddSuggestion(text));
    }
    void FillThree() { Fill({"alpha", "beta", "gamma"}); }
    void ShowPainted() {
        list.Show();
        ::UpdateWindow(list.m_hWnd);
        PumpUntilIdle();
    }
    RecordedMessage Command(WPARAM command) const {
        return {UM_QUERY_COMMAND, command, reinterpret_cast<LPARAM>(&list.currentText)};
    }
    int Height() const {
        const RECT rect = WindowRectOf(list.m_hWnd);
        return rect.bottom - rect.top;
    }

    MessageRecorder host;
    CSuggestionList list;
};

TEST_F(SuggestionListTest, HoldsElevenEntries) {
    for (int i = 0; i < 11; ++i)
        EXPECT_EQ(1, list.AddSuggestion(("entry " + std::to_string(i)).c_str()));
    EXPECT_EQ(0, list.AddSuggestion("one too many"));
    EXPECT_EQ(11, list.GetCount());
    list.Show(); // a hidden list's window takes its size when shown
    EXPECT_EQ((RECT{kLeft, kTop, kLeft + kWidth, kTop + 275}), WindowRectOf(list.m_hWnd));
}

TEST_F(SuggestionListTest, RefusesEmptyAndDuplicateTexts) {
    const struct {
        const char* text;
        int added;
    } cases[] = {{"alpha", 1}, {"alpha", 0}, {"Alpha", 1}, {"", 0}, {nullptr, 0}, {"alpha ", 1}};
    int count = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text ? c.text : "(null)");
        EXPECT_EQ(c.added, list.AddSuggestion(c.text));
        count += c.added;
        EXPECT_EQ(count, list.GetCount());
        EXPECT_EQ(count * 25, list.height);
    }
    list.Show();
    EXPECT_EQ(count * 25, Height());
}

TEST_F(SuggestionListTest, ShowInstallsHooksForOwnerAndList) {
    FillThree();
    list.Show();
    EXPECT_TRUE(list.IsWindowVisible());
    EXPECT_NE(nullptr, CPopupHook::keyboardHook);
    EXPECT_NE(nullptr, CPopupHook::barMouseHook);
    EXPECT_EQ(host.hwnd(), CPopupHook::barWnd);
    EXPECT_EQ(list.m_hWnd, CPopupHook::popupWnd);
    list.Hide();
    EXPECT_FALSE(list.IsWindowVisible());
    EXPECT_EQ(nullptr, CPopupHook::keyboardHook);
    EXPECT_NE(nullptr, CPopupHook::barMouseHook); // the bar removes its own
}

TEST_F(SuggestionListTest, ArrowKeysStepWrapAndPostTheText) {
    FillThree();
    ShowPainted();
    const struct {
        WORD key;
        int index;
    } steps[] = {{VK_DOWN, 0}, {VK_DOWN, 1}, {VK_DOWN, 2}, {VK_DOWN, 0},
                 {VK_UP, 2},   {VK_UP, 1},   {VK_UP, 0},   {VK_UP, 2}};
    for (const auto& step : steps) {
        SCOPED_TRACE(step.index);
        PressKey(host.hwnd(), step.key);
        PumpUntil([&] { return !host.Messages().empty(); });
        EXPECT_TRUE(host.Matches({Command(0)}));
        EXPECT_EQ(step.index, list.hoverIndex);
        EXPECT_EQ(list.GetItem(step.index)->text, list.currentText);
    }
    EXPECT_TRUE(list.IsWindowVisible());

    list.hoverIndex = -1;
    PressKey(host.hwnd(), VK_UP);
    PumpUntil([&] { return !host.Messages().empty(); });
    EXPECT_TRUE(host.Matches({Command(0)}));
    EXPECT_EQ("gamma", list.currentText);
}

TEST_F(SuggestionListTest, EnterSearchesWithTheHighlightedText) {
    FillThree();
    ShowPainted();
    list.hoverIndex = 1;
    PressKey(host.hwnd(), VK_RETURN);
    PumpUntil([&] { return !host.Messages().empty(); });
    EXPECT_TRUE(host.Matches({Command(1)}));
    EXPECT_EQ("beta", list.currentText);
    EXPECT_EQ(-1, list.hoverIndex);
    EXPECT_FALSE(list.IsWindowVisible());
    EXPECT_EQ(nullptr, CPopupHook::keyboardHook);
}

TEST_F(SuggestionListTest, EnterWithoutHighlightKeepsTheText) {
    FillThree();
    ShowPainted();
    list.currentText = "typed by the user";
    PressKey(host.hwnd(), VK_RETURN);
    PumpUntil([&] { return !host.Messages().empty(); });
    EXPECT_TRUE(host.Matches({Command(1)}));
    EXPECT_EQ("typed by the user", list.currentText);
    EXPECT_FALSE(list.IsWindowVisible());
}

TEST_F(SuggestionListTest, ClickTakesTheEntryAndSearches) {
    FillThree();
    ShowPainted();
    WaitDoubleClickTime();
    ClickAt(kLeft + 60, kTop + 2 * 25 + 12);
    PumpUntil([&] { return !host.Messages().empty(); });
    EXPECT_TRUE(host.Matches({Command(2)}));
    EXPECT_EQ("gamma", list.currentText);
    EXPECT_EQ(-1, list.hoverIndex);
    EXPECT_FALSE(list.IsWindowVisible());
    EXPECT_EQ(nullptr, CPopupHook::keyboardHook);

    // Closed, it no longer follows the keys.
    PressKey(host.hwnd(), VK_DOWN);
    PressKey(host.hwnd(), VK_RETURN);
    EXPECT_TRUE(host.Matches({}));
}

TEST_F(SuggestionListTest, ClearHidesAndShrinksButKeepsHighlight) {
    FillThree();
    ShowPainted();
    list.hoverIndex = 2;
    list.currentText = "beta";
    list.Clear();
    EXPECT_EQ(0, list.GetCount());
    EXPECT_EQ(0, list.height);
    EXPECT_FALSE(list.IsWindowVisible());
    EXPECT_EQ(nullptr, CPopupHook::keyboardHook);
    EXPECT_EQ(2, list.hoverIndex);
    EXPECT_EQ("beta", list.currentText);
    list.Show(); // shown again without rows: zero high
    EXPECT_EQ((RECT{kLeft, kTop, kLeft + kWidth, kTop}), WindowRectOf(list.m_hWnd));
}

// A highlight left over from a longer list that names no entry of the new
// one counts as no highlight: Down goes to the first entry, Up to the last.
TEST_F(SuggestionListTest, ArrowKeysAfterRefillWithFewerEntries) {
    const struct {
        int oldIndex;
        WORD key;
        int index;
    } cases[] = {{5, VK_DOWN, 0}, {5, VK_UP, 2}, {3, VK_DOWN, 0}, {3, VK_UP, 2},
                 {1, VK_DOWN, 2}, {1, VK_UP, 0}, {0, VK_UP, 2},   {2, VK_DOWN, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.oldIndex) + (c.key == VK_DOWN ? " down" : " up"));
        Fill({"a", "b", "c", "d", "e", "f"});
        list.hoverIndex = c.oldIndex;
        list.Clear();
        FillThree();
        list.SendMessage(UM_POPUP_KEY, 0, c.key);
        PumpUntilIdle();
        EXPECT_EQ(c.index, list.hoverIndex);
        EXPECT_EQ(list.GetItem(c.index)->text, list.currentText);
        EXPECT_TRUE(host.Matches({Command(0)}));
        list.Clear();
    }
}

TEST_F(SuggestionListTest, ArrowKeysOnEmptyListChangeNothing) {
    list.currentText = "kept";
    for (int oldIndex : {-1, 4}) {
        list.hoverIndex = oldIndex;
        for (WPARAM key : {VK_DOWN, VK_UP}) {
            list.SendMessage(UM_POPUP_KEY, 0, static_cast<LPARAM>(key));
            EXPECT_EQ(oldIndex, list.hoverIndex);
        }
    }
    list.SendMessage(UM_POPUP_KEY, 0, 'A');
    PumpUntilIdle();
    EXPECT_EQ("kept", list.currentText);
    EXPECT_TRUE(host.Matches({}));
}

TEST_F(SuggestionListTest, SetListWidthLeavesZeroHeightUntilNextEntry) {
    FillThree();
    list.SetListWidth(300);
    EXPECT_EQ((RECT{kLeft, kTop, kLeft + 300, kTop}), WindowRectOf(list.m_hWnd));
    EXPECT_EQ(75, list.height);
    ASSERT_EQ(1, list.AddSuggestion("delta"));
    list.Show();
    EXPECT_EQ((RECT{kLeft, kTop, kLeft + 300, kTop + 100}), WindowRectOf(list.m_hWnd));
}

TEST_F(SuggestionListTest, OnlyTheCloseTokenCloses) {
    FillThree();
    ShowPainted();
    list.hoverIndex = 1;
    list.PostMessage(UM_POPUP_CLOSE, 0, 0);
    PumpUntilIdle();
    EXPECT_TRUE(list.IsWindowVisible());
    EXPECT_EQ(1, list.hoverIndex);
    list.PostMessage(UM_POPUP_CLOSE, 0, POPUP_CLOSE_TOKEN);
    PumpUntil([&] { return !list.IsWindowVisible(); });
    EXPECT_FALSE(list.IsWindowVisible());
    EXPECT_EQ(-1, list.hoverIndex);
    EXPECT_EQ(nullptr, CPopupHook::keyboardHook);
}

TEST_F(SuggestionListTest, LosingApplicationActivationCloses) {
    FillThree();
    ShowPainted();
    list.hoverIndex = 1;
    {
        OtherThreadWindow other;
        ::SetForegroundWindow(other.hwnd());
        PumpUntil([&] { return !list.IsWindowVisible(); });
    }
    EXPECT_FALSE(list.IsWindowVisible());
    EXPECT_EQ(-1, list.hoverIndex);
    EXPECT_EQ(nullptr, CPopupHook::keyboardHook);

    PressKey(host.hwnd(), VK_DOWN);
    EXPECT_TRUE(host.Matches({}));
}

TEST_F(SuggestionListTest, LongTextIsCutAtTheRightEdgeOnOneLine) {
    list.itemHeight = 60; // room below the line for a second one, were it wrapped
    Fill({"wide wide wide wide wide wide wide wide wide wide wide wide wide"});
    list.Show();
    const PixelImage image = PaintAndRead(list.m_hWnd, list.bufferDC);
    const int textTop = 30 - 6;
    // Text reaches the last columns inside the frame...
    EXPECT_GT(CountTextPixels(image, RECT{kWidth - 12, textTop, kWidth - 1, textTop + 16}), 0);
    // ...and nothing is drawn below the first line.
    EXPECT_EQ(0, CountTextPixels(image, RECT{1, textTop + 17, kWidth - 1, 59}));
}

TEST_F(SuggestionListTest, DestroyedWhileShownLeavesNoKeyboardHook) {
    {
        CSuggestionList shown;
        ASSERT_TRUE(shown.Create(host.hwnd(), 0, 0, 0, 0));
        shown.SetListWidth(100);
        shown.AddSuggestion("alpha");
        shown.Show();
        EXPECT_NE(nullptr, CPopupHook::keyboardHook);
    }
    EXPECT_EQ(nullptr, CPopupHook::keyboardHook);
}

} // namespace
