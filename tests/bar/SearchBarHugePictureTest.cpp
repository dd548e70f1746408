// A valid picture far beyond the size bound (20000 x 20000 black pixels,
// 2.5 MB of deflate that the decoder would spend half a minute and gigabytes
// on) wherever a skin names one: as the background, as an engine's icon
// chosen from the keyboard, as the scaled variant a change of DPI reloads.
// Each time the host's thread is back within 100 ms, the picture loads as a
// file that does not decode (0 x 0, nothing drawn from it, a variant falls
// back to the named file) and the bar goes on searching.
#include "../../src/frame/Messages.h"
#include "../../src/popup/CEngineList.h"
#include "../../src/render/ScaledSkinFile.h"
#include "../reliability/PngBytes.h"
#include "BarTestSupport.h"
#include "Input.h"
#include "Pump.h"
#include "TestFiles.h"

#include <chrono>

namespace {

constexpr long long kPromptMs = 100;
const RecordedMessage kEngineChosen{UM_ENGINE_CHOSEN, 0, 0};

const std::string& HugePngBytes() {
    static const std::string bytes = CompressedBlackPng(20000, 20000);
    return bytes;
}

template <class Call> long long MillisecondsOf(Call call) {
    const auto start = std::chrono::steady_clock::now();
    call();
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 start)
        .count();
}

class HugePictureTest : public BarTest {
protected:
    void SetUp() override {
        BarTest::SetUp();
        hugePath = WriteFileBytes("huge-20000.png", HugePngBytes());
    }
    // A search typed into the field reaches the shell with this prefix.
    void ExpectSearchWorks(const std::string& prefix) {
        ClickIntoField();
        TypeIntoFocus("abc");
        TapKey(VK_RETURN);
        ASSERT_TRUE(PumpUntil([&] { return !launches.Urls().empty(); }));
        PumpUntilIdle();
        EXPECT_EQ(std::vector<std::string>{prefix + "abc"}, launches.Urls());
        EXPECT_EQ(1u, host.Count(UM_SEARCH_LAUNCHED));
    }
    static SIZE SizeOf(const CSkinImage& image) { return SIZE{image.GetWidth(), image.GetHeight()}; }

    std::string hugePath;
};

bool operator==(const SIZE& a, const SIZE& b) { return a.cx == b.cx && a.cy == b.cy; }

} // namespace

TEST_F(HugePictureTest, BackgroundIsRefusedAtOnce) {
    ShowStandardBar();
    EXPECT_LT(MillisecondsOf([&] { bar->SetBackgroundImage(hugePath.c_str(), 0); }), kPromptMs);
    EXPECT_TRUE(bar->backgroundImage.IsLoaded());
    EXPECT_TRUE((SIZE{0, 0}) == SizeOf(bar->backgroundImage));
    bar->UpdateLayout();
    const RECT empty = WindowRectOf(BarHwnd());
    EXPECT_EQ(0, empty.right - empty.left); // sized by its background, as for a broken file
    EXPECT_EQ(0, empty.bottom - empty.top);

    bar->SetBackgroundImage(SkinPng(400, 30, kBackgroundColor).c_str(), 0);
    bar->UpdateLayout();
    EXPECT_EQ((RECT{kBarLeft, kBarTop, kBarLeft + 400, kBarTop + 30}), WindowRectOf(BarHwnd()));
    EXPECT_TRUE(SameColor(PaintAndRead().At(200, 2), kBackgroundColor));
    ExpectSearchWorks("http://search.tavrel.invalid/s?tn=quenlarbo_pg&wd=");
}

TEST_F(HugePictureTest, EngineWithAHugeIconIsChosenFromTheKeyboard) {
    ShowStandardBar();
    ASSERT_EQ(1, bar->AddEngine(SkinPng(16, 16, 0xFF0000F0).c_str(), "Alpha",
                                "http://alpha.invalid/?q="));
    int added = 0;
    EXPECT_LT(MillisecondsOf([&] {
                  added = bar->AddEngine(hugePath.c_str(), "Huge", "http://huge.invalid/?q=");
              }),
              kPromptMs);
    ASSERT_EQ(1, added);
    const EngineItem* item = bar->engineList->GetItem(1);
    ASSERT_NE(nullptr, item);
    EXPECT_TRUE(item->icon.IsLoaded()); // a row that can be chosen, with a blank icon
    EXPECT_TRUE((SIZE{0, 0}) == SizeOf(item->icon));

    ClickIntoField();
    TapKey(VK_F4);
    ASSERT_TRUE(PumpUntil([&] { return EngineListVisible(); }));
    TapKey(VK_DOWN);
    ASSERT_TRUE(PumpUntil([&] { return bar->engineList->hoverIndex == 1; }));
    host.Clear();
    TapKey(VK_RETURN);
    ASSERT_TRUE(PumpUntil([&] { return !host.Messages().empty(); }));
    PumpUntilIdle();
    EXPECT_TRUE(host.Matches({kEngineChosen}));
    EXPECT_FALSE(EngineListVisible());
    EXPECT_STREQ("Huge", bar->GetEngineName());
    EXPECT_TRUE((SIZE{0, 0}) == SizeOf(bar->engineIconImage));
    // Where Alpha's blue icon was, the (active) background shows: nothing is drawn.
    const uint32_t atIcon = PaintAndRead().At(bar->iconX + 8, bar->iconY + 8);
    EXPECT_TRUE(SameColor(atIcon, kActiveColor)) << std::hex << atIcon;
    host.Clear();
    ExpectSearchWorks("http://huge.invalid/?q=");
}

// The bar reloads its pictures at 200% when the host's monitor changes; the
// background's scale-200 variant is huge, so the 1x file is scaled instead.
// A reload itself takes tens of milliseconds (more under emulation): the
// variant may add at most 100 ms to one without it.
TEST_F(HugePictureTest, DpiChangeFallsBackFromAHugeVariant) {
    const std::string background = WriteSolidPng("huge-variant.png", 400, 30, kBackgroundColor);
    ShowStandardBar();
    bar->SetBackgroundImage(background.c_str(), 0);
    bar->UpdateLayout();
    ASSERT_EQ(400, bar->backgroundImage.GetWidth());
    const auto changeDpi = [&](WORD dpi) {
        RECT suggested{kBarLeft, kBarTop, kBarLeft + 4 * dpi, kBarTop + 30 * dpi / 96};
        return MillisecondsOf([&] {
            ::SendMessageA(BarHwnd(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                           reinterpret_cast<LPARAM>(&suggested));
        });
    };
    const long long withoutVariant = changeDpi(192);
    changeDpi(96);
    ASSERT_TRUE(::CopyFileA(hugePath.c_str(), ScaledVariantPath(background, 200).c_str(), FALSE));

    EXPECT_LT(changeDpi(192), withoutVariant + kPromptMs);
    EXPECT_TRUE((SIZE{800, 60}) == SizeOf(bar->backgroundImage));
    EXPECT_EQ((RECT{kBarLeft, kBarTop, kBarLeft + 800, kBarTop + 60}), WindowRectOf(BarHwnd()));
    const PixelImage painted = PaintAndRead();
    ASSERT_EQ(800, painted.width);
    EXPECT_TRUE(SameColor(painted.At(400, 4), kBackgroundColor)); // not the variant's black
    EXPECT_TRUE(SameColor(painted.At(799, 59), kBackgroundColor));
    ExpectSearchWorks("http://search.tavrel.invalid/s?tn=quenlarbo_pg&wd=");
}
