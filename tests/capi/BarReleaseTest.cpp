// TavrelDestroyBar as hosts use it. Ten thousand bars made and destroyed
// one after the other (a thousand under emulation) give back every heap
// byte, GDI object, window and thread they took. A bar destroyed from the
// host's answer to its search, from the host window's WM_DESTROY, or while
// its own code runs (here: the focus change its click makes) goes with all
// its windows, the last only once its code has returned; the handle is
// refused at once and for good.
#include "CSuggestionServer.h"
#include "ProcessCounts.h"
#include "Pump.h"
#include "RefusedBar.h"
#include "TestFiles.h"
#include "tavrel_c.h"
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kFullCycles = 10000;
// Under full-system emulation a tenth of the cycles, as the long-use runs.
constexpr int kEmulatedCycles = 1000;
// Every this many cycles the bar asks the suggestion server before it goes.
constexpr int kAskingEvery = 1000;
// The growth of heap bytes allowed after the warm-up, per cycle: what
// LongUseTest allows, well below one leaked table entry or string a cycle.
constexpr size_t kHeapGrowthPerCycle = 384 * 1024 / 9000;
// GDI objects the process may make fewer of at the end than after the
// warm-up (caches of the system's own); one leaked object a cycle is
// thousands.
constexpr int kGdiSlack = 64;
// The most GDI objects made when measuring what is left (Wine allows some
// 65,000 a process, Windows 10,000 by default).
constexpr int kGdiProbeLimit = 100000;

int Cycles() {
    const char* emulated = std::getenv("TAVREL_EMULATED");
    if (!emulated || !*emulated)
        return kFullCycles;
    std::printf("[ emulated ] bar cycles scaled down: %d instead of %d\n", kEmulatedCycles,
                kFullCycles);
    return kEmulatedCycles;
}

// A plain host window; onMessage sees every message before the default.
struct HostWindow {
    HostWindow() {
        WNDCLASSW wc{};
        wc.lpfnWndProc = &Proc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"BarReleaseHost";
        ::RegisterClassW(&wc);
        hwnd = ::CreateWindowExW(0, wc.lpszClassName, L"host", WS_OVERLAPPEDWINDOW, 40, 40, 600,
                                 300, nullptr, nullptr, wc.hInstance, nullptr);
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        ::ShowWindow(hwnd, SW_SHOWNOACTIVATE);
    }
    ~HostWindow() {
        if (::IsWindow(hwnd))
            ::DestroyWindow(hwnd);
    }
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;

    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<HostWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
        if (self && self->onMessage)
            self->onMessage(message);
        return ::DefWindowProcW(window, message, wParam, lParam);
    }

    HWND hwnd = nullptr;
    std::function<void(UINT)> onMessage;
};

struct Skin {
    std::wstring background;
    std::wstring icon;
};

const Skin& SkinPictures() {
    static const Skin skin = [] {
        const std::string background = WriteSolidPng("release-bar.png", 400, 30, 0xFF336699);
        const std::string icon = WriteSolidPng("release-icon.png", 16, 16, 0xFFCC3311);
        return Skin{std::wstring(background.begin(), background.end()),
                    std::wstring(icon.begin(), icon.end())};
    }();
    return skin;
}

// A shown bar under host with a skin and one engine; null on failure.
TavrelBar* MakeBar(HWND host, const wchar_t* engineUrl) {
    TavrelBar* bar = TavrelCreate();
    const RECT placement = {100, 100, 400, 30};
    if (!bar || TavrelCreateBar(bar, host, &placement) != 1)
        return nullptr;
    TavrelSetBackgroundImageW(bar, SkinPictures().background.c_str(), 4);
    TavrelSetEngineIconImageW(bar, SkinPictures().icon.c_str());
    TavrelAddEngineW(bar, SkinPictures().icon.c_str(), L"Local", engineUrl);
    TavrelShowBar(bar, SW_SHOWNOACTIVATE);
    return bar;
}

BOOL CALLBACK CollectOwned(HWND window, LPARAM found) {
    auto& windows = *reinterpret_cast<std::vector<HWND>*>(found);
    if (::GetWindow(window, GW_OWNER) == windows.front())
        windows.push_back(window);
    return TRUE;
}

// The bar's window and the windows it owns (query field frame, lists).
std::vector<HWND> WindowsOf(TavrelBar* bar) {
    std::vector<HWND> windows = {TavrelGetWindowHandle(bar)};
    ::EnumThreadWindows(::GetCurrentThreadId(), &CollectOwned, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

int StillExisting(const std::vector<HWND>& windows) {
    int existing = 0;
    for (HWND window : windows)
        existing += ::IsWindow(window) ? 1 : 0;
    return existing;
}

// The edit control inside the bar's query field frame.
HWND QueryFieldOf(const std::vector<HWND>& windows) {
    for (HWND window : windows) {
        char name[32] = {};
        ::GetClassNameA(window, name, sizeof name);
        if (std::string(name) == "GUI_EDIT")
            return ::GetWindow(window, GW_CHILD);
    }
    return nullptr;
}

// A URL scheme of this test, registered as a URL protocol whose handler
// does nothing, so that searches really go through the shell.
struct NoOpUrlScheme {
    NoOpUrlScheme() {
        HKEY key = nullptr;
        ::RegCreateKeyExW(HKEY_CLASSES_ROOT, kKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                          nullptr);
        ::RegSetValueExW(key, L"URL Protocol", 0, REG_SZ, reinterpret_cast<const BYTE*>(L""),
                         sizeof(wchar_t));
        ::RegCloseKey(key);
        const wchar_t command[] = L"cmd.exe /c exit";
        ::RegSetValueW(HKEY_CLASSES_ROOT, L"tavrel-release-test\\shell\\open\\command", REG_SZ,
                       command, sizeof command);
    }
    ~NoOpUrlScheme() { ::RegDeleteTreeW(HKEY_CLASSES_ROOT, kKey); }
    static constexpr const wchar_t* kKey = L"tavrel-release-test";
};

} // namespace

TEST(BarRelease, TenThousandBarsComeAndGoLeavingNothingBehind) {
    CSuggestionServer server([](const std::string& query) {
        return std::vector<std::string>{query + " one", query + " two"};
    });
    ASSERT_TRUE(server.Start());
    HostWindow host;
    const int cycles = Cycles();
    const int warmUp = cycles / 10;
    size_t heapAfterWarmUp = 0;
    int windowsAfterWarmUp = 0, threadsAfterWarmUp = 0, gdiAfterWarmUp = 0;
    int asked = 0;
    const auto start = std::chrono::steady_clock::now();
    auto warmedUp = start;
    for (int i = 0; i < cycles; ++i) {
        TavrelBar* bar = MakeBar(host.hwnd, L"http://127.0.0.1:9/?q=");
        ASSERT_NE(nullptr, bar) << "cycle " << i;
        ASSERT_EQ(1, TavrelSetSuggestionUrlW(bar, 0, server.UrlTemplate().c_str()));
        if (i % kAskingEvery == kAskingEvery / 2) {
            // The query changes as by typing; the request is under way (or
            // answered) when the bar goes.
            const int before = server.Requests();
            ::SetWindowTextW(QueryFieldOf(WindowsOf(bar)), (L"q" + std::to_wstring(i)).c_str());
            ASSERT_TRUE(PumpUntil([&] { return server.Requests() > before; })) << "cycle " << i;
            ++asked;
        }
        ASSERT_EQ(1, TavrelDestroyBar(bar)) << "cycle " << i;
        PumpPending();
        if (i + 1 == warmUp) {
            PumpUntilIdle();
            heapAfterWarmUp = HeapBytesInUse();
            windowsAfterWarmUp = ThreadWindowCount();
            threadsAfterWarmUp = ProcessThreadCount();
            gdiAfterWarmUp = GdiHeadroom(kGdiProbeLimit);
            warmedUp = std::chrono::steady_clock::now();
        }
    }
    const double msPerCycle =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - warmedUp)
            .count() /
        (cycles - warmUp);
    // Cancelled requests' workers end by themselves within the time limit.
    EXPECT_TRUE(PumpUntil([&] { return ProcessThreadCount() <= threadsAfterWarmUp; }, 5000))
        << ProcessThreadCount() << " threads, " << threadsAfterWarmUp << " after the warm-up";
    PumpUntilIdle();
    const size_t heapAtEnd = HeapBytesInUse();
    const int gdiAtEnd = GdiHeadroom(kGdiProbeLimit);
    const size_t heapBound = kHeapGrowthPerCycle * static_cast<size_t>(cycles - warmUp);
    std::printf("[ cycles   ] %d bars, %d asked the server, %.2f ms a cycle after the warm-up\n",
                cycles, asked, msPerCycle);
    std::printf("[ left     ] heap bytes %zu -> %zu (%+lld; bound %zu), GDI objects still "
                "available %d -> %d, windows %d -> %d, threads %d -> %d\n",
                heapAfterWarmUp, heapAtEnd,
                static_cast<long long>(heapAtEnd) - static_cast<long long>(heapAfterWarmUp),
                heapBound, gdiAfterWarmUp, gdiAtEnd, windowsAfterWarmUp, ThreadWindowCount(),
                threadsAfterWarmUp, ProcessThreadCount());
    EXPECT_LT(heapAtEnd, heapAfterWarmUp + heapBound);
    EXPECT_GE(gdiAtEnd, gdiAfterWarmUp - kGdiSlack);
    EXPECT_EQ(windowsAfterWarmUp, ThreadWindowCount());
    EXPECT_EQ(cycles / kAskingEvery, asked);
}

TEST(BarRelease, DestroyedFromTheHostOrFromInsideItsOwnCode) {
    const NoOpUrlScheme scheme;
    const wchar_t kEngine[] = L"tavrel-release-test:q=";
    HostWindow host;

    // Null and never-given pointers are refused, whatever they point at.
    int notABar = 0;
    ExpectEveryFunctionRefuses(reinterpret_cast<TavrelBar*>(&notABar));

    // From the host's answer to the search: the bar goes at once.
    TavrelBar* searched = MakeBar(host.hwnd, kEngine);
    ASSERT_NE(nullptr, searched);
    std::vector<HWND> windows = WindowsOf(searched);
    ASSERT_EQ(4u, windows.size()) << "the bar, its query field and its two lists";
    int destroyed = -1, leftInside = -1;
    host.onMessage = [&](UINT message) {
        if (message != TAVREL_UM_SEARCH_LAUNCHED)
            return;
        destroyed = TavrelDestroyBar(searched);
        leftInside = StillExisting(windows);
    };
    ::SetWindowTextW(QueryFieldOf(windows), L"news");
    ::PostMessageW(windows.front(), TAVREL_UM_QUERY_COMMAND, 1, 0); // the search button's own
    ASSERT_TRUE(PumpUntil([&] { return destroyed != -1; }));
    EXPECT_EQ(1, destroyed);
    EXPECT_EQ(0, leftInside);
    ExpectEveryFunctionRefuses(searched);

    // From the WM_DESTROY of the host window, whose bar window the system
    // may have destroyed already; under Wine the windows the bar owns would
    // stay otherwise.
    auto closingHost = std::make_unique<HostWindow>();
    TavrelBar* closed = MakeBar(closingHost->hwnd, kEngine);
    ASSERT_NE(nullptr, closed);
    windows = WindowsOf(closed);
    destroyed = -1;
    closingHost->onMessage = [&](UINT message) {
        if (message == WM_DESTROY)
            destroyed = TavrelDestroyBar(closed);
    };
    ::DestroyWindow(closingHost->hwnd);
    EXPECT_EQ(1, destroyed);
    EXPECT_EQ(0, StillExisting(windows));
    ExpectEveryFunctionRefuses(closed);

    // While its own code runs: a click offered to the query field through
    // the pre-translation, and one the field's own window procedure takes,
    // move the focus away from the host, whose WM_KILLFOCUS destroys the
    // bar. The handle is refused at once; the windows stay until the bar's
    // code has returned and the message loop runs.
    const std::vector<std::function<void(HWND field)>> clicks = {
        [](HWND field) {
            MSG click = {field, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5), 0, {}};
            TavrelPreTranslateMessage(&click);
        },
        [](HWND field) { ::SendMessageW(field, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5)); },
    };
    for (size_t i = 0; i < clicks.size(); ++i) {
        TavrelBar* clicked = MakeBar(host.hwnd, kEngine);
        ASSERT_NE(nullptr, clicked);
        windows = WindowsOf(clicked);
        destroyed = leftInside = -1;
        HWND refusedInside = windows.front();
        host.onMessage = [&](UINT message) {
            if (message != WM_KILLFOCUS || destroyed != -1)
                return;
            destroyed = TavrelDestroyBar(clicked);
            leftInside = StillExisting(windows);
            refusedInside = TavrelGetWindowHandle(clicked);
        };
        ::SetActiveWindow(host.hwnd);
        ::SetFocus(host.hwnd);
        ASSERT_EQ(host.hwnd, ::GetFocus()) << "click " << i;
        clicks[i](QueryFieldOf(windows));
        EXPECT_EQ(1, destroyed) << "click " << i;
        EXPECT_EQ(4, leftInside) << "click " << i;
        EXPECT_EQ(nullptr, refusedInside) << "click " << i;
        EXPECT_TRUE(PumpUntil([&] { return StillExisting(windows) == 0; })) << "click " << i;
        ExpectEveryFunctionRefuses(clicked);
    }
    host.onMessage = nullptr;
}
