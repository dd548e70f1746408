// Long use in one process: ten thousand search cycles and ten thousand skin
// reloads (a thousand each under emulation) leave no GDI or USER objects behind and no hook installed, and
// memory stays within a stated bound. Handles are proven gone with
// GetObjectType (Wine's GetGuiResources always answers 0), and each run
// creates far more GDI objects than a Windows process may hold at once
// (10,000), after which the process must still be able to make that many.
#include "../../src/hooks/CPopupHook.h"
#include "Input.h"
#include "LaunchLog.h"
#include "Pump.h"
#include "SkinnedBar.h"
#include "SuggestingHost.h"
#include "TestFiles.h"
#include <gtest/gtest.h>
#include <cstdio>
#include <cstdlib>
#include <set>

namespace {

constexpr int kFullCycles = 10000;
// Under full-system emulation (x86 on a machine whose kernel runs no 32-bit
// programs) every cycle is many times slower; there the long-use runs take
// a tenth of the cycles, and say so.
constexpr int kEmulatedCycles = 1000;
constexpr int kTypedCycles = 300; // the first cycles, with real keys
// Bound on the growth of the bytes allocated in the process's heaps after
// the warm-up: 43 bytes a cycle or reload (384 KB over 9,000), in proportion for
// other runs, so that leaking one suggestion
// entry (some 64 bytes) each time exceeds it at any cycle count. Heap bytes
// are counted block by block, not in the whole pages that private memory
// grows by, so the bound holds for the short runs too: one more page
// committed is not a leak.
constexpr size_t kMemoryGrowthPerCycle = 384 * 1024 / 9000;

int LongUseCycles() {
    static const int cycles = [] {
        const char* emulated = std::getenv("TAVREL_EMULATED");
        if (!emulated || !*emulated)
            return kFullCycles;
        std::printf("[ emulated ] long-use runs scaled down: %d cycles instead of %d\n",
                    kEmulatedCycles, kFullCycles);
        return kEmulatedCycles;
    }();
    return cycles;
}
// The warm-up: the cycles with real keys, whose input leaves a varying
// amount of memory in use until they end, and a tenth of the run after them.
int WarmUpCycles() { return kTypedCycles + LongUseCycles() / 10; }
size_t MemoryGrowthBound() {
    return kMemoryGrowthPerCycle * static_cast<size_t>(LongUseCycles() - WarmUpCycles());
}
constexpr int kWindowsGdiQuota = 10000;

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
        ParkPointer();
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

    // False, with a failure, on the first step that dropped a handle
    // without deleting it, so that a leak ends a long run at once.
    bool DroppedHandlesAreGone(const std::vector<HGDIOBJ>& before, int step) {
        const std::vector<HGDIOBJ> alive = StillAlive(Dropped(before, GdiHandlesOf(*bar)));
        EXPECT_EQ(std::vector<HGDIOBJ>{}, alive) << "left alive by step " << step;
        return alive.empty();
    }

    void NoteMemory(int step) {
        if (step + 1 == WarmUpCycles())
            memoryAfterWarmUp = HeapBytesInUse();
    }

    // The closing checks of a long run: memory within the bound, and the
    // bar's teardown leaves no handle, window or hook, and GDI still hands
    // out a whole quota of objects.
    void ExpectNothingLeft() {
        const size_t memoryAtEnd = HeapBytesInUse();
        const long long growth = static_cast<long long>(memoryAtEnd) -
                                 static_cast<long long>(memoryAfterWarmUp);
        std::printf("[ memory   ] heap bytes after the warm-up %zu, at the end %zu (%+lld; bound %zu)\n",
                    memoryAfterWarmUp, memoryAtEnd, growth, MemoryGrowthBound());
        EXPECT_LT(memoryAtEnd, memoryAfterWarmUp + MemoryGrowthBound())
            << "grew by " << growth << " bytes";
        const std::vector<HGDIOBJ> owned = GdiHandlesOf(*bar);
        DeleteBar();
        EXPECT_EQ(std::vector<HGDIOBJ>{}, StillAlive(owned));
        EXPECT_EQ(windowsBefore, ThreadWindowCount());
        EXPECT_TRUE(NoHookInstalled());
        EXPECT_EQ(kWindowsGdiQuota, GdiHeadroom(kWindowsGdiQuota));
    }

    LaunchLog launches;
    SuggestingHost host;
    CSearchBar* bar = nullptr;
    int windowsBefore = 0;
    size_t memoryAfterWarmUp = 0;
};

// One cycle: the query changes, the host refills the suggestion list, Down
// takes the first proposal into the field, Enter searches with it. Real
// keys for the first cycles; then the messages the edit control and the
// keyboard hook post for those keys.
class SearchCycles : public LongUse {
protected:
    void SetUp() override {
        LongUse::SetUp();
        BringToForeground(host.hwnd());
    }

    // Each refill's proposals: the full eleven now and then, else one, to
    // keep ten thousand cycles within two minutes (every row added resizes
    // a window, which costs an X server round trip under Wine).
    static int ProposalsFor(int cycle) { return cycle % 100 == 0 ? 11 : 1; }

    bool RunTypedCycle(int i) {
        const int changed = host.Count(UM_QUERY_CHANGED);
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
        return Searched(chosen);
    }

    bool RunPostedCycle(int i) {
        const std::string query = "query " + std::to_string(i);
        ::SetWindowTextA(QueryFieldOf(*bar), query.c_str()); // EN_UPDATE, as typing
        if (!PumpUntil([&] { return host.LastQuery() == query && ListShown(); }))
            return false;
        NoteHooks();
        HWND list = SuggestionListOf(*bar);
        ::PostMessageA(list, UM_POPUP_KEY, 0, VK_DOWN);
        ::PostMessageA(list, UM_POPUP_KEY, 0, VK_RETURN);
        return Searched(SuggestingHost::Proposal(query, 0));
    }

    // Exactly one more search, with the chosen text; the list closed and
    // the keyboard hook it had installed removed.
    bool Searched(const std::string& text) {
        const int expected = ++searches;
        return PumpUntil([&] { return host.Count(UM_SEARCH_LAUNCHED) >= expected; }) &&
               host.Count(UM_SEARCH_LAUNCHED) == expected && launches.Count() == expected &&
               launches.LastUrl() == CSearchBar::BuildSearchUrl(kPrefix, text) && !ListShown() &&
               KeyboardHookRemoved();
    }

    // A hook that can be removed once more had been left installed.
    bool KeyboardHookRemoved() const {
        return cycleKeyboardHook && !CPopupHook::keyboardHook &&
               !::UnhookWindowsHookEx(cycleKeyboardHook);
    }

    bool ListShown() const { return ::IsWindowVisible(SuggestionListOf(*bar)) != FALSE; }

    std::string FieldText() const {
        std::string text;
        bar->GetQueryText(text);
        return text;
    }

    // The hooks the open list has: a new keyboard hook each time, and the
    // bar mouse hook, which stays until the bar is deleted.
    void NoteHooks() {
        cycleKeyboardHook = CPopupHook::keyboardHook;
        if (CPopupHook::barMouseHook)
            barHooksSeen.insert(CPopupHook::barMouseHook);
    }

    int BarHooksStillInstalled() const {
        int installed = 0;
        for (HHOOK hook : barHooksSeen)
            installed += ::UnhookWindowsHookEx(hook) ? 1 : 0;
        return installed;
    }

    int searches = 0;
    HHOOK cycleKeyboardHook = nullptr;
    std::set<HHOOK> barHooksSeen;
};

// Reloads cycle through the nine skin slots, alternating between two
// files for each; every tenth new main background is laid out and painted
// (as often as that, since a layout and paint cost ten reloads under Wine).
class SkinReloads : public LongUse {
protected:
    struct Slot {
        const char* name;
        void (*set)(CTavrel* bar, const char* path);
        std::string files[2];
    };

    static std::vector<Slot> Slots() {
        const SkinFiles& skin = SkinFiles::Get();
        const std::string background2 = WriteSolidPng("reload-background.png", 400, 30, 0xFF8899AA);
        const std::string small2 = WriteSolidPng("reload-small.png", 16, 16, 0xFF11AA22);
        return {
            {"background",
             [](CTavrel* b, const char* p) { b->SetBackgroundImage(p, 0); },
             {skin.background, background2}},
            {"active",
             [](CTavrel* b, const char* p) { b->SetActiveBackgroundImage(p); },
             {skin.activeBackground, background2}},
            {"icon",
             [](CTavrel* b, const char* p) { b->SetEngineIconImage(p); },
             {skin.icon, small2}},
            {"arrow", [](CTavrel* b, const char* p) { b->SetArrowImage(p); }, {skin.arrow, small2}},
            {"button",
             [](CTavrel* b, const char* p) { b->SetSearchButtonImage(p); },
             {skin.button, small2}},
            {"engine list",
             [](CTavrel* b, const char* p) { b->SetEngineListBackground(p); },
             {skin.listBackground, small2}},
            {"engine highlight",
             [](CTavrel* b, const char* p) { b->SetEngineListHighlight(p); },
             {skin.listHighlight, small2}},
            {"suggestion list",
             [](CTavrel* b, const char* p) { b->SetSuggestionListBackground(p); },
             {skin.listBackground, small2}},
            {"suggestion highlight",
             [](CTavrel* b, const char* p) { b->SetSuggestionListHighlight(p); },
             {skin.listHighlight, small2}},
        };
    }
};

} // namespace

TEST_F(SearchCycles, TenThousandCyclesLeaveNoHandleWindowOrHook) {
    const int windowsWhileRunning = ThreadWindowCount();
    for (int i = 0; i < LongUseCycles(); ++i) {
        host.Serve(bar, ProposalsFor(i));
        const std::vector<HGDIOBJ> before = GdiHandlesOf(*bar);
        const bool done = i < kTypedCycles ? RunTypedCycle(i) : RunPostedCycle(i);
        ASSERT_TRUE(done) << "cycle " << i << ": field \"" << FieldText() << "\", "
                          << launches.Count() << " launches, last " << launches.LastUrl();
        ASSERT_TRUE(DroppedHandlesAreGone(before, i));
        NoteMemory(i);
    }
    EXPECT_EQ(windowsWhileRunning, ThreadWindowCount());
    ExpectNothingLeft();
    EXPECT_EQ(0, BarHooksStillInstalled());
}

TEST_F(SkinReloads, TenThousandReloadsLeaveNoHandle) {
    const std::vector<Slot> slots = Slots();
    for (int i = 0; i < LongUseCycles(); ++i) {
        const Slot& slot = slots[static_cast<size_t>(i) % slots.size()];
        const std::string& file = slot.files[(i / slots.size()) % 2];
        const std::vector<HGDIOBJ> before = GdiHandlesOf(*bar);
        slot.set(bar, file.c_str());
        if (i % (10 * slots.size()) == 0) {
            bar->UpdateLayout();
            ::UpdateWindow(bar->GetWindowHandle());
        }
        PumpPending(); // as a host's loop would, between its calls
        ASSERT_TRUE(DroppedHandlesAreGone(before, i)) << slot.name;
        NoteMemory(i);
    }
    // The last reloads took: every image is loaded at its file's size.
    EXPECT_EQ(400, bar->backgroundImage.GetWidth());
    EXPECT_TRUE(bar->searchButtonImage.IsLoaded());
    RECT window{};
    ::GetWindowRect(bar->GetWindowHandle(), &window);
    EXPECT_EQ(400, window.right - window.left);
    ExpectNothingLeft();
}
