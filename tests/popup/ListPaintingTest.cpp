// Painting and back-buffer handling shared by both popup lists, read from
// the pixels of each list's back buffer after a real WM_PAINT: the
// highlight behind the hovered row only, the one-pixel frame, text in every
// row, rows mirrored right to left, and the buffer's bitmaps replaced and
// released.
#include "../../src/hooks/CPopupHook.h"
#include "../../src/input/CGuiEdit.h"
#include "../../src/popup/CEngineList.h"
#include "../../src/popup/CSuggestionList.h"
#include "Input.h"
#include "MessageRecorder.h"
#include "PopupTestSupport.h"
#include "Pump.h"
#include "TestFiles.h"
#include <gtest/gtest.h>
#include <string>
#include <type_traits>

namespace {

constexpr uint32_t kBackground = 0xFFFFFF;
constexpr uint32_t kHighlight = 0x00C000;
constexpr uint32_t kFrame = 0x333333;
constexpr uint32_t kIcon = 0x2040C0;

template <class List> class ListPaintingTest : public ::testing::Test {
protected:
    static constexpr bool kEngines = std::is_same<List, CEngineList>::value;
    static constexpr int kWidth = kEngines ? 100 : 180;

    void SetUp() override {
        ::SetWindowPos(host.hwnd(), HWND_TOP, 0, 0, 640, 480, SWP_SHOWWINDOW);
        MoveMouseTo(600, 450); // keep the pointer off the list
        ASSERT_TRUE(list.Create(host.hwnd(), 0, 0, 0, 0));
        list.SetBackgroundSkin(
            WriteSolidPng("paint-bg.png", 8, 8, 0xFF000000 | kBackground).c_str(), 0);
        list.SetHighlightSkin(WriteSolidPng("paint-hl.png", 8, 8, 0xFF000000 | kHighlight).c_str());
        if constexpr (!kEngines)
            list.SetListWidth(kWidth);
        MoveTo(&list, 120, 100);
    }
    void TearDown() override {
        list.Hide();
        CPopupHook().RemoveBarMouseHook();
    }

    int AddRow(const char* text) {
        if constexpr (kEngines) {
            static const std::string icon =
                WriteSolidPng("paint-icon.png", 16, 16, 0xFF000000 | kIcon);
            return list.AddEngine(icon.c_str(), text, "");
        } else {
            return list.AddSuggestion(text);
        }
    }
    void AddThreeRows() {
        for (const char* text : {"Alpha", "Beta", "Gamma"})
            ASSERT_EQ(1, AddRow(text));
    }
    PixelImage ShowAndRead() {
        list.Show();
        return PaintAndRead(list.m_hWnd, list.bufferDC);
    }

    MessageRecorder host;
    List list;
};

using ListTypes = ::testing::Types<CEngineList, CSuggestionList>;
TYPED_TEST_SUITE(ListPaintingTest, ListTypes);

TYPED_TEST(ListPaintingTest, HighlightOnlyBehindTheHoveredRow) {
    this->AddThreeRows();
    for (int hovered : {-1, 0, 2}) {
        SCOPED_TRACE(hovered);
        this->list.hoverIndex = hovered;
        const PixelImage image = this->ShowAndRead();
        for (int row = 0; row < 3; ++row) {
            // Two pixels below the row's top: clear of text and frame.
            const uint32_t expected = row == hovered ? kHighlight : kBackground;
            const int top = row * 25;
            EXPECT_TRUE(IsNearColor(image.At(this->kWidth / 2, top + 2), expected)) << row;
            EXPECT_TRUE(IsNearColor(image.At(this->kWidth - 3, top + 23), expected)) << row;
        }
    }
}

TYPED_TEST(ListPaintingTest, FrameOnTheOutermostPixels) {
    this->AddThreeRows();
    this->list.hoverIndex = 0; // the frame is drawn over the highlight too
    const PixelImage image = this->ShowAndRead();
    ASSERT_EQ(this->kWidth, image.width);
    ASSERT_EQ(75, image.height);
    int misses = 0;
    for (int x = 0; x < image.width; ++x)
        misses += !IsNearColor(image.At(x, 0), kFrame) + !IsNearColor(image.At(x, 74), kFrame);
    for (int y = 0; y < image.height; ++y)
        misses += !IsNearColor(image.At(0, y), kFrame) +
                  !IsNearColor(image.At(image.width - 1, y), kFrame);
    EXPECT_EQ(0, misses);
    // Just inside the frame the skins show.
    EXPECT_TRUE(IsNearColor(image.At(1, 1), kHighlight));
    EXPECT_TRUE(IsNearColor(image.At(image.width - 2, 73), kBackground));
}

TYPED_TEST(ListPaintingTest, TextInEveryRow) {
    this->AddThreeRows();
    const PixelImage image = this->ShowAndRead();
    for (int row = 0; row < 3; ++row) {
        const int top = row * 25;
        EXPECT_GT(CountTextPixels(image, RECT{1, top + 1, this->kWidth - 1, top + 24}), 10) << row;
    }
}

// Right to left, read from the same rows before and after the switch: each
// row's text (Latin too) ends as far from the right edge as it started from
// the left, an engine's icon and a recent search's clock move to the right
// end, the highlight stays on its row, the row that hit-testing, screen
// readers and the mouse find is the one drawn there, and switching back
// paints the left-to-right pixels exactly.
TYPED_TEST(ListPaintingTest, RightToLeftMirrorsEveryRowAndSwitchesBack) {
    this->AddThreeRows();
    if constexpr (!TestFixture::kEngines)
        this->list.SetRecentRows({L"Recent"});
    this->list.hoverIndex = 1;
    const PixelImage ltr = this->ShowAndRead();
    EXPECT_FALSE(this->list.IsRightToLeft());
    this->list.SetRightToLeft(true);
    EXPECT_TRUE(this->list.IsRightToLeft());
    EXPECT_TRUE(::GetUpdateRect(this->list.m_hWnd, nullptr, FALSE)) << "a shown list repaints";
    const PixelImage rtl = PaintAndRead(this->list.m_hWnd, this->list.bufferDC);
    const int w = this->kWidth;
    ASSERT_EQ(w, rtl.width);
    const int rows = this->list.GetCount();
    for (int row = 0; row < rows; ++row) {
        SCOPED_TRACE(row);
        const int top = row * 25;
        const RECT inner = {1, top + 1, w - 1, top + 24};
        const int ltrLeft = LeftmostTextColumn(ltr, inner);
        const int ltrRight = RightmostTextColumn(ltr, inner);
        const int rtlLeft = LeftmostTextColumn(rtl, inner);
        const int rtlRight = RightmostTextColumn(rtl, inner);
        ASSERT_GE(ltrLeft, 0);
        ASSERT_GE(rtlLeft, 0);
        EXPECT_NEAR(w - 1 - ltrLeft, rtlRight, 2);
        EXPECT_NEAR(ltrRight - ltrLeft, rtlRight - rtlLeft, 4);
        EXPECT_GT(rtlLeft, ltrLeft);
        // The skins are drawn as they are, the highlight behind its row.
        const uint32_t skin = row == 1 ? kHighlight : kBackground;
        EXPECT_TRUE(IsNearColor(rtl.At(2, top + 2), skin));
        EXPECT_TRUE(IsNearColor(rtl.At(w - 3, top + 23), skin));
        // The row found where its text is drawn, by hit-testing, by screen
        // readers and by the mouse.
        const POINT ink = {(rtlLeft + rtlRight) / 2, top + 12};
        EXPECT_EQ(row, this->list.HitTest(ink));
        const RECT rowRect = this->list.RowRect(row);
        EXPECT_TRUE(::PtInRect(&rowRect, POINT{rtlLeft, top + 1}));
        EXPECT_TRUE(::PtInRect(&rowRect, POINT{rtlRight, top + 23}));
        ::SendMessageA(this->list.m_hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(ink.x, ink.y));
        EXPECT_EQ(row, this->list.hoverIndex);
        if constexpr (TestFixture::kEngines) {
            const RECT leftHalf = {1, top + 1, w / 2, top + 24};
            const RECT rightHalf = {w / 2, top + 1, w - 1, top + 24};
            EXPECT_EQ(256, CountNearColor(ltr, leftHalf, kIcon));
            EXPECT_EQ(0, CountNearColor(rtl, leftHalf, kIcon));
            EXPECT_EQ(256, CountNearColor(rtl, rightHalf, kIcon));
            EXPECT_EQ(row, this->list.HitTest(POINT{w - 3 - 8, top + 12})); // on the icon
        }
    }
    if constexpr (!TestFixture::kEngines) {
        // The recent row's clock: at the right end, a gap before its text.
        EXPECT_GT(CountTextPixels(rtl, RECT{w - 14, 1, w - 3, 24}), 10);
        EXPECT_EQ(0, CountTextPixels(rtl, RECT{w - 17, 1, w - 15, 24}));
        EXPECT_EQ(0, CountTextPixels(rtl, RECT{3, 1, 14, 24}));
    }

    this->list.hoverIndex = 1;
    this->list.SetRightToLeft(false);
    const PixelImage back = PaintAndRead(this->list.m_hWnd, this->list.bufferDC);
    EXPECT_TRUE(back.pixels == ltr.pixels) << "left to right again paints as before";
}

TYPED_TEST(ListPaintingTest, BufferIsReplacedForNewRowsAndReleasedWithTheList) {
    ASSERT_EQ(1, this->AddRow("Alpha"));
    this->ShowAndRead();
    for (const char* text : {"Beta", "Gamma"}) {
        const HBITMAP previous = this->list.bufferBitmap;
        ASSERT_EQ(1, this->AddRow(text));
        EXPECT_EQ(0u, ::GetObjectType(previous)); // the old bitmap is gone
        this->ShowAndRead();                      // the paint makes the new one
        EXPECT_EQ(this->list.bufferBitmap, ::GetCurrentObject(this->list.bufferDC, OBJ_BITMAP));
        BITMAP info{};
        ::GetObjectA(this->list.bufferBitmap, sizeof(info), &info);
        EXPECT_EQ(this->kWidth, info.bmWidth);
        EXPECT_EQ(this->list.height, info.bmHeight);
    }

    auto* doomed = new TypeParam;
    ASSERT_TRUE(doomed->Create(this->host.hwnd(), 0, 0, 0, 0));
    if constexpr (std::is_same<TypeParam, CEngineList>::value) {
        doomed->AddEngine("", "Alpha", "");
    } else {
        doomed->SetListWidth(50);
        doomed->AddSuggestion("alpha");
    }
    doomed->Show();
    ::UpdateWindow(doomed->m_hWnd);
    const HDC bufferDC = doomed->bufferDC;
    const HBITMAP bufferBitmap = doomed->bufferBitmap;
    ASSERT_EQ(static_cast<DWORD>(OBJ_MEMDC), ::GetObjectType(bufferDC));
    ASSERT_EQ(static_cast<DWORD>(OBJ_BITMAP), ::GetObjectType(bufferBitmap));
    delete doomed;
    EXPECT_EQ(0u, ::GetObjectType(bufferDC));
    EXPECT_EQ(0u, ::GetObjectType(bufferBitmap));
}

TYPED_TEST(ListPaintingTest, ListWithoutWindowStillTakesEntries) {
    TypeParam unmade; // its window was never created
    for (const char* text : {"Alpha", "Beta"}) {
        if constexpr (std::is_same<TypeParam, CEngineList>::value)
            EXPECT_EQ(1, unmade.AddEngine("", text, ""));
        else
            EXPECT_EQ(1, unmade.AddSuggestion(text));
    }
    EXPECT_EQ(2, unmade.GetCount());
    EXPECT_EQ(nullptr, unmade.bufferBitmap);
    EXPECT_EQ(-1, unmade.HitTest(CPoint(5, 5)));
}

} // namespace
