// Long use in one process: ten thousand search cycles and ten thousand skin
// reloads leave no GDI or USER objects behind and no hook installed, and
// memory stays within a stated bound. Handles are proven gone with
// GetObjectType (Wine's GetGuiResources always answers 0), and the runs
// create far more GDI objects than a Windows process may hold at once
// (10,000), after which the process must still be able to allocate.
#include "../../src/hooks/CPopupHook.h"
#include "../../src/popup/CSuggestionList.h"
#include "Input.h"
#include "LaunchLog.h"
#include "Pump.h"
#include "SkinnedBar.h"
#include "SuggestingHost.h"
#include <chrono>
#include <cstdio>
#include <gtest/gtest.h>
#include <set>

namespace {

constexpr int kSearchCycles = 400;
constexpr int kTypedCycles = 5; // the first cycles, with real keys
constexpr int kWarmUpCycles = 100;
constexpr int kSkinReloads = 10000;
// Bound on the growth of private memory once warmed up: 2 MB, about 200
// bytes per cycle or reload.
constexpr size_t kMemoryGrowthBound = 2 * 1024 * 1024;

const char kPrefix[] = "http://alpha.test/?q=";

// Handles owned before a step and no longer owned after it.
std::vector<HGDIOBJ> Dropped(const std::vector<HGDIOBJ>& before,
                             const std::vector<HGDIOBJ>& after) {
    const std::set<HGDIOBJ> kept(after.begin(), after.end());
    std::vector<HGDIOBJ> dropped;
    for (HGDIOBJ handle : before)
        if (!kept.count(handle))
            dropped.push_back(handle);
    return dropped;
}

// True when the process can still make count GDI objects at once (a
// Windows process's whole quota is 10,000); they are given back.
bool CanStillAllocate(int count) {
    HDC screen = ::GetDC(nullptr);
    std::vector<HBITMAP> made;
    for (int i = 0; i < count; ++i) {
        HBITMAP bitmap = ::CreateCompatibleBitmap(screen, 2, 2);
        if (!bitmap)
            break;
        made.push_back(bitmap);
    }
    for (HBITMAP bitmap : made)
        ::DeleteObject(bitmap);
    ::ReleaseDC(nullptr, screen);
    return static_cast<int>(made.size()) == count;
}

// A key pressed and released through SendInput, without waiting.
void PressAndRelease(WORD vk) {
    INPUT keys[2] = {};
    for (INPUT& key : keys) {
        key.type = INPUT_KEYBOARD;
        key.ki.wVk = vk;
        key.ki.wScan = static_cast<WORD>(::MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
    }
    keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
    ::SendInput(2, keys, sizeof(INPUT));
}

class LongUse : public ::testing::Test {
protected:
    void SetUp() override {
        windowsBefore = ThreadWindowCount();
        bar = MakeSkinnedBar(host.hwnd(), 100, 100, {{"Alpha", kPrefix}});
        ASSERT_NE(nullptr, bar);
        host.Serve(bar);
        PumpUntilIdle();
    }
    void TearDown() override { DeleteBar(); }

    void DeleteBar() {
        if (!bar)
            return;
        host.Serve(nullptr);
        delete bar;
        bar = nullptr;
        PumpUntilIdle();
    }

    // The closing checks of a long run: the bar's teardown leaves no
    // handle, window or hook behind, and GDI still hands out objects.
    void ExpectTeardownLeavesNothing() {
        const std::vector<HGDIOBJ> owned = GdiHandlesOf(*bar);
        DeleteBar();
        EXPECT_EQ(std::vector<HGDIOBJ>{}, StillAlive(owned));
        EXPECT_EQ(windowsBefore, ThreadWindowCount());
        EXPECT_TRUE(NoHookInstalled());
        EXPECT_TRUE(CanStillAllocate(10000));
    }

    // Checks the handles a step dropped; false (and a failure) on the
    // first step that leaves one alive, so a leak stops a long run early.
    bool DroppedHandlesAreGone(const std::vector<HGDIOBJ>& before, int step) {
        const std::vector<HGDIOBJ> alive = StillAlive(Dropped(before, GdiHandlesOf(*bar)));
        EXPECT_EQ(std::vector<HGDIOBJ>{}, alive) << "left alive by step " << step;
        return alive.empty();
    }

    LaunchLog launches;
    SuggestingHost host;
    CSearchBar* bar = nullptr;
    int windowsBefore = 0;
};

// One cycle: the query changes, the host refills the list with eleven
// proposals, Down takes the first into the field, Enter searches with it.
// Through real keys, or through the messages that the edit control and
// the keyboard hook post for them.
class SearchCycles : public LongUse {
protected:
    bool RunTypedCycle(int i) {
        const int changed = host.Count(UM_QUERY_CHANGED);
        const int searched = host.Count(UM_SEARCH_LAUNCHED);
        HWND field = QueryFieldOf(*bar);
        if (::GetFocus() != field)
            ::SetFocus(field);
        PressAndRelease(static_cast<WORD>('A' + i % 26));
        if (!PumpUntil([&] { return host.Count(UM_QUERY_CHANGED) > changed && ListShown(); }))
            return false;
        NoteHooks();
        const std::string chosen = SuggestingHost::Proposal(host.LastQuery(), 0);
        PressAndRelease(VK_DOWN);
        if (!PumpUntil([&] { return FieldText() == chosen; }))
            return false;
        PressAndRelease(VK_RETURN);
        return Searched(searched, chosen);
    }

    bool RunPostedCycle(int i) {
        auto t0 = std::chrono::steady_clock::now();
        const int searched = host.Count(UM_SEARCH_LAUNCHED);
        const std::string query = "query " + std::to_string(i);
        ::SetWindowTextA(QueryFieldOf(*bar), query.c_str()); // EN_UPDATE, as typing
        if (!PumpUntil([&] { return host.LastQuery() == query && ListShown(); }))
            return false;
        auto t1 = std::chrono::steady_clock::now(); shownUs += std::chrono::duration_cast<std::chrono::microseconds>(t1 - t0).count();
        NoteHooks();
        HWND list = SuggestionListOf(*bar);
        ::PostMessageA(list, UM_POPUP_KEY, 0, VK_DOWN);
        ::PostMessageA(list, UM_POPUP_KEY, 0, VK_RETURN);
        return Searched(searched, SuggestingHost::Proposal(query, 0));
    }

    bool Searched(int before, const std::string& text) {
        return PumpUntil([&] { return host.Count(UM_SEARCH_LAUNCHED) > before; }) &&
               launches.LastUrl() == CSearchBar::BuildSearchUrl(kPrefix, text) &&
               !ListShown();
    }

    bool ListShown() const { return ::IsWindowVisible(SuggestionListOf(*bar)) != FALSE; }

    std::string FieldText() const {
        std::string text;
        bar->GetQueryText(text);
        return text;
    }

    void NoteHooks() {
        for (HHOOK hook : {CPopupHook::keyboardHook, CPopupHook::barMouseHook})
            if (hook)
                hooksSeen.insert(hook);
    }

    // A hook that can be removed a second time was still installed.
    int HooksStillInstalled() const {
        int installed = 0;
        for (HHOOK hook : hooksSeen)
            installed += ::UnhookWindowsHookEx(hook) ? 1 : 0;
        return installed;
    }

    std::set<HHOOK> hooksSeen;
    long long shownUs = 0;
};

} // namespace

TEST_F(SearchCycles, TenThousandCyclesLeaveNoHandleWindowOrHook) {
    const auto start = std::chrono::steady_clock::now();
    BringToForeground(host.hwnd());
    const int windowsWhileRunning = ThreadWindowCount();
    size_t memoryAfterWarmUp = 0;
    for (int i = 0; i < kSearchCycles; ++i) {
        const std::vector<HGDIOBJ> before = GdiHandlesOf(*bar);
        const bool done = i < kTypedCycles ? RunTypedCycle(i) : RunPostedCycle(i);
        ASSERT_TRUE(done) << "cycle " << i << " did not complete; field \"" << FieldText()
                          << "\", last URL " << launches.LastUrl();
        ASSERT_TRUE(DroppedHandlesAreGone(before, i));
        if (i + 1 == kWarmUpCycles)
            memoryAfterWarmUp = PrivateBytes();
        if (i < 8) std::printf("launches %d\n", launches.Count());
        if (i % 100 == 0)
            std::printf("cycle %d: %lld ms, memory %zu\n", i,
                        static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count()), PrivateBytes());
    }
    const size_t memoryAtEnd = PrivateBytes(); std::printf("shown total %lld us\n", shownUs);
    extern long long g_t[4]; LARGE_INTEGER f; QueryPerformanceFrequency(&f); std::printf("clear %lld add %lld show %lld ms\n", g_t[0]*1000/f.QuadPart, g_t[1]*1000/f.QuadPart, g_t[2]*1000/f.QuadPart);
    std::printf("hooks %p %p %p\n", (void*)CPopupHook::keyboardHook, (void*)CPopupHook::barMouseHook, (void*)CPopupHook::popupMouseHook);
    EXPECT_EQ(kSearchCycles, launches.Count());
    EXPECT_EQ(windowsWhileRunning, ThreadWindowCount());
    EXPECT_LT(memoryAtEnd, memoryAfterWarmUp + kMemoryGrowthBound)
        << "grew by " << (memoryAtEnd - memoryAfterWarmUp) << " bytes";
    ExpectTeardownLeavesNothing();
    EXPECT_EQ(0, HooksStillInstalled());
}
