// Image files that are not what they claim, through every image slot and
// as engine icons: empty, cut short, not an image at all, a PNG declaring
// 20000 x 20000 pixels over a tiny picture, a folder, a missing file. Each
// loads as an image of 0 x 0 that draws nothing; the bar, sized by its
// main background, shrinks to 0 x 0 and comes back with a good skin; the
// huge one allocates nothing near its declared size.
#include "../../src/popup/CEngineList.h"
#include "../../src/popup/CSuggestionList.h"
#include "PngBytes.h"
#include "Pump.h"
#include "SkinnedBar.h"
#include "SuggestingHost.h"
#include "TestFiles.h"
#include <gtest/gtest.h>

namespace {

struct BadFile {
    const char* name;
    std::string path;
};

const std::vector<BadFile>& BadFiles() {
    static const std::vector<BadFile> files = [] {
        const std::string good = ReadFileBytes(SkinFiles::Get().background);
        return std::vector<BadFile>{
            {"empty", WriteFileBytes("bad-empty.png", "")},
            {"truncated", WriteFileBytes("bad-truncated.png", good.substr(0, good.size() / 2))},
            {"not an image", WriteFileBytes("bad-text.png", "just some text, not a picture\r\n")},
            {"20000 x 20000", WriteFileBytes("bad-huge.png", PngDeclaringSize(20000, 20000, 0))},
            {"20000 x 20000, one row",
             WriteFileBytes("bad-huge-row.png", PngDeclaringSize(20000, 20000, 1))},
            {"folder", ScratchDir()},
            {"missing", ScratchPath("no-such-image.png")},
        };
    }();
    return files;
}

// An image slot and the image it loads into.
struct ImageSlot {
    const char* name;
    void (*set)(CTavrel* bar, const char* path);
    const CSkinImage& (*image)(const CSearchBar& bar);
};

const ImageSlot kImageSlots[] = {
    {"background", [](CTavrel* b, const char* p) { b->SetBackgroundImage(p, 8); },
     [](const CSearchBar& b) -> const CSkinImage& { return b.backgroundImage; }},
    {"active background", [](CTavrel* b, const char* p) { b->SetActiveBackgroundImage(p); },
     [](const CSearchBar& b) -> const CSkinImage& { return b.activeBackgroundImage; }},
    {"engine icon", [](CTavrel* b, const char* p) { b->SetEngineIconImage(p); },
     [](const CSearchBar& b) -> const CSkinImage& { return b.engineIconImage; }},
    {"arrow", [](CTavrel* b, const char* p) { b->SetArrowImage(p); },
     [](const CSearchBar& b) -> const CSkinImage& { return b.arrowImage; }},
    {"search button", [](CTavrel* b, const char* p) { b->SetSearchButtonImage(p); },
     [](const CSearchBar& b) -> const CSkinImage& { return b.searchButtonImage; }},
    {"engine list background", [](CTavrel* b, const char* p) { b->SetEngineListBackground(p); },
     [](const CSearchBar& b) -> const CSkinImage& { return b.engineList->backgroundSkin; }},
    {"engine list highlight", [](CTavrel* b, const char* p) { b->SetEngineListHighlight(p); },
     [](const CSearchBar& b) -> const CSkinImage& { return b.engineList->highlightSkin; }},
    {"suggestion list background",
     [](CTavrel* b, const char* p) { b->SetSuggestionListBackground(p); },
     [](const CSearchBar& b) -> const CSkinImage& { return b.suggestionList->backgroundSkin; }},
    {"suggestion list highlight",
     [](CTavrel* b, const char* p) { b->SetSuggestionListHighlight(p); },
     [](const CSearchBar& b) -> const CSkinImage& { return b.suggestionList->highlightSkin; }},
};

SIZE WindowSize(HWND window) {
    RECT rect{};
    ::GetWindowRect(window, &rect);
    return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

class BadImage : public ::testing::Test {
protected:
    void SetUp() override {
        bar = MakeSkinnedBar(host.hwnd(), 100, 100, {{"Alpha", "http://alpha.test/?q="}});
        ASSERT_NE(nullptr, bar);
    }
    void TearDown() override { delete bar; }

    CTavrel* face() const { return bar; }

    // Paints the bar and both lists (shown, so that they paint at all).
    void PaintEverything() {
        face()->UpdateLayout();
        ::UpdateWindow(bar->m_hWnd);
        for (CWnd* list :
             {static_cast<CWnd*>(bar->engineList), static_cast<CWnd*>(bar->suggestionList)}) {
            list->ShowWindow(SW_SHOWNOACTIVATE);
            ::UpdateWindow(list->m_hWnd);
            list->ShowWindow(SW_HIDE);
        }
    }

    SuggestingHost host;
    CSearchBar* bar = nullptr;
};

} // namespace

TEST(PngBytes, BuildsFilesThatDecodersAccept) {
    EXPECT_EQ(0xCBF43926u, Crc32("123456789"));
    HDC screen = ::GetDC(nullptr);
    CSkinImage image;
    image.LoadFromFile(screen, WriteFileBytes("tiny-valid.png", TinyValidPng(3, 2)).c_str());
    ::ReleaseDC(nullptr, screen);
    EXPECT_EQ(3, image.GetWidth());
    EXPECT_EQ(2, image.GetHeight());
}

TEST_F(BadImage, EverySlotLoadsBadFilesAsNothing) {
    for (const BadFile& file : BadFiles()) {
        for (const ImageSlot& slot : kImageSlots) {
            SCOPED_TRACE(std::string(slot.name) + " from " + file.name);
            const size_t memoryBefore = PrivateBytes();
            slot.set(face(), file.path.c_str());
            const CSkinImage& image = slot.image(*bar);
            EXPECT_TRUE(image.IsLoaded());
            EXPECT_EQ(0, image.GetWidth());
            EXPECT_EQ(0, image.GetHeight());
            EXPECT_LT(PrivateBytes(), memoryBefore + 64 * 1024 * 1024);
        }
        PaintEverything();
        const SIZE shrunk = WindowSize(bar->m_hWnd);
        EXPECT_EQ(0, shrunk.cx);
        EXPECT_EQ(0, shrunk.cy);

        ApplySkin(face());
        face()->UpdateLayout();
        const SIZE restored = WindowSize(bar->m_hWnd);
        EXPECT_EQ(400, restored.cx);
        EXPECT_EQ(30, restored.cy);
    }
}

TEST_F(BadImage, BadEngineIconsGiveIconlessEngines) {
    int added = 0;
    for (const BadFile& file : BadFiles()) {
        SCOPED_TRACE(file.name);
        const std::string name = std::string("Engine ") + file.name;
        ASSERT_EQ(1, face()->AddEngine(file.path.c_str(), name.c_str(), "http://bad.test/?q="));
        ++added;
        const std::string ini =
            WriteFileBytes("bad-icon-" + std::to_string(added) + ".ini",
                           "[Select]\r\nIndex=" + std::to_string(added) + "\r\n");
        face()->SetSettingsFile(ini.c_str());
        EXPECT_EQ(name, face()->GetEngineName());
        EXPECT_TRUE(bar->engineIconImage.IsLoaded());
        EXPECT_EQ(0, bar->engineIconImage.GetWidth());
        const EngineItem* item = bar->engineList->GetItem(added);
        ASSERT_NE(nullptr, item);
        EXPECT_EQ(0, item->icon.GetWidth());
    }
    PaintEverything();
    EXPECT_EQ((1 + added) * bar->engineList->itemHeight, WindowSize(bar->engineList->m_hWnd).cy);
}
