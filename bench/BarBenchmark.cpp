// BarBenchmark: times a search bar under the real platform, with
// QueryPerformanceCounter, as medians over repeated runs:
//   - one bar paint (Compose with its layered update) of a 400 x 30 skin,
//     against a naive paint that decodes every image and draws it with
//     GDI+ each time (the cost the prepared memory DCs avoid) and against a
//     bare layered update of a ready buffer (the floor);
//   - a key press (SendInput) until the host has UM_QUERY_CHANGED;
//   - creating a bar with a full skin, up to its first paint;
//   - filling and showing eleven suggestions, up to the list's paint;
//   - memory and GDI and USER objects per bar.
// It prints a Markdown table and, given a path, writes it there.
//   bar_benchmark [OUTPUT.md]
#include "../src/bar/CSearchBar.h"
#include "../src/input/CGuiEdit.h"
#include "../src/popup/CEngineList.h"
#include "../src/popup/CSuggestionList.h"
#include "../src/render/GdiPlus.h"
#include <algorithm>
#include <cstdio>
#include <functional>
#include <psapi.h>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr int kRuns = 15;
constexpr int kBarX = 100;
constexpr int kBarY = 100;

// ---- Time ----------------------------------------------------------------

double NowMs() {
    static const double ticksPerMs = [] {
        LARGE_INTEGER frequency;
        ::QueryPerformanceFrequency(&frequency);
        return static_cast<double>(frequency.QuadPart) / 1000.0;
    }();
    LARGE_INTEGER now;
    ::QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / ticksPerMs;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// A measured quantity: the median of its runs, and their spread.
struct Timing {
    double median = 0;
    double low = 0;
    double high = 0;
};

Timing Summarize(const std::vector<double>& runs) {
    return {Median(runs), *std::min_element(runs.begin(), runs.end()),
            *std::max_element(runs.begin(), runs.end())};
}

// kRuns runs of `iterations` calls each; the time per call of every run.
Timing TimeRuns(int iterations, const std::function<void()>& body) {
    std::vector<double> perCall;
    for (int run = 0; run < kRuns; ++run) {
        const double start = NowMs();
        for (int i = 0; i < iterations; ++i)
            body();
        perCall.push_back((NowMs() - start) / iterations);
    }
    return Summarize(perCall);
}

// ---- Messages ----------------------------------------------------------------

// The host's loop: the framework's pre-translation first, as the bar needs.
void PumpPending() {
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (!AfxPreTranslateMessage(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
}

bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs = 3000) {
    const DWORD start = ::GetTickCount();
    while (!condition()) {
        if (::GetTickCount() - start > timeoutMs)
            return false;
        PumpPending();
        if (!condition())
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
    }
    return true;
}

// A host window that notes when each UM_QUERY_CHANGED arrives.
class Host {
public:
    Host() {
        WNDCLASSA wc{};
        wc.lpfnWndProc = &WndProc;
        wc.hInstance = ::GetModuleHandleA(nullptr);
        wc.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        wc.lpszClassName = "TavrelBenchmarkHost";
        ::RegisterClassA(&wc);
        window =
            ::CreateWindowExA(0, wc.lpszClassName, "benchmark", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0,
                              0, 900, 600, nullptr, nullptr, wc.hInstance, nullptr);
    }
    ~Host() { ::DestroyWindow(window); }
    HWND hwnd() const { return window; }
    static double lastQueryChangedMs;

private:
    static LRESULT CALLBACK WndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == UM_QUERY_CHANGED) {
            lastQueryChangedMs = NowMs();
            return 0;
        }
        return ::DefWindowProcA(hwnd, message, wParam, lParam);
    }
    HWND window = nullptr;
};
double Host::lastQueryChangedMs = 0;

// ---- Skin ----------------------------------------------------------------

std::string TempPath(const std::string& name) {
    char folder[MAX_PATH];
    ::GetTempPathA(MAX_PATH, folder);
    return std::string(folder) + name;
}

std::wstring Widen(const std::string& text) {
    return std::wstring(text.begin(), text.end()); // temp paths are ASCII here
}

// A PNG of one colour, through GDI+'s own encoder.
std::string WritePng(const std::string& name, int width, int height, Gdiplus::ARGB color) {
    const std::string path = TempPath(name);
    UINT count = 0, size = 0;
    Gdiplus::GetImageEncodersSize(&count, &size);
    std::vector<char> buffer(size);
    auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    Gdiplus::GetImageEncoders(count, size, codecs);
    Gdiplus::Bitmap bitmap(width, height, PixelFormat32bppARGB);
    Gdiplus::Graphics(&bitmap).Clear(Gdiplus::Color(color));
    for (UINT i = 0; i < count; ++i)
        if (std::wstring(codecs[i].MimeType) == L"image/png")
            bitmap.Save(Widen(path).c_str(), &codecs[i].Clsid, nullptr);
    return path;
}

struct Skin {
    std::string background = WritePng("bench-background.png", 400, 30, 0xFFDDE4EE);
    std::string active = WritePng("bench-active.png", 400, 30, 0x80FFFFFF);
    std::string icon = WritePng("bench-icon.png", 16, 16, 0xFFCC3311);
    std::string arrow = WritePng("bench-arrow.png", 7, 4, 0xFF202020);
    std::string button = WritePng("bench-button.png", 24, 24, 0xFF2266CC);
    std::string listBackground = WritePng("bench-list.png", 10, 10, 0xFFFFFFFF);
    std::string listHighlight = WritePng("bench-highlight.png", 10, 10, 0xFFC8DCF0);
    std::string settings = TempPath("bench-settings.ini");
};

// A bar as a host makes one: every slot in the documented order, shown and
// painted once.
CSearchBar* MakeBar(HWND host, const Skin& skin) {
    CTavrel* bar = CTavrel::CreateTavrel();
    const RECT placement = {kBarX, kBarY, 400, 30};
    if (!bar || !bar->CreateBar(host, &placement))
        return nullptr;
    bar->SetBackgroundImage(skin.background.c_str(), 6);
    bar->SetActiveBackgroundImage(skin.active.c_str());
    bar->SetEngineIconImage(skin.icon.c_str());
    bar->SetArrowImage(skin.arrow.c_str());
    bar->SetSearchButtonImage(skin.button.c_str());
    bar->SetEngineListBackground(skin.listBackground.c_str());
    bar->SetEngineListHighlight(skin.listHighlight.c_str());
    bar->SetSuggestionListBackground(skin.listBackground.c_str());
    bar->SetSuggestionListHighlight(skin.listHighlight.c_str());
    bar->AddEngine(skin.icon.c_str(), "First", "http://first.invalid/?q=");
    bar->AddEngine(skin.icon.c_str(), "Second", "http://second.invalid/?q=");
    bar->AddEngine(skin.icon.c_str(), "Third", "http://third.invalid/?q=");
    bar->SetSettingsFile(skin.settings.c_str());
    bar->SetPosition(kBarX, kBarY);
    bar->UpdateLayout();
    bar->ShowBar(SW_SHOW);
    ::UpdateWindow(bar->GetWindowHandle());
    return static_cast<CSearchBar*>(bar);
}

// ---- Paint ---------------------------------------------------------------

void LayeredUpdate(CSearchBar& bar) {
    RECT window{};
    ::GetWindowRect(bar.m_hWnd, &window);
    POINT destination = {window.left, window.top};
    SIZE size = {bar.barWidth, bar.barHeight};
    POINT source = {0, 0};
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    ::UpdateLayeredWindow(bar.m_hWnd, bar.windowDC, &destination, &size, bar.bufferDC, &source, 0,
                          &blend, ULW_ALPHA);
}

// What the bar does on WM_PAINT, less the paint DC's bookkeeping.
void LibraryPaint(CSearchBar& bar) {
    Gdiplus::Graphics graphics(bar.bufferDC);
    bar.Compose(&graphics);
}

// The same picture made the naive way: every file decoded and drawn with
// GDI+ on every paint.
void NaivePaint(CSearchBar& bar, const Skin& skin) {
    struct Item {
        const std::string* path;
        int x, y, w, h;
    };
    const Item items[] = {
        {&skin.background, 0, 0, bar.barWidth, bar.barHeight},
        {&skin.icon, bar.iconX, bar.iconY, 16, 16},
        {&skin.arrow, bar.arrowX, bar.arrowY, 7, 4},
        {&skin.button, bar.searchButtonX, bar.searchButtonY, 24, 24},
    };
    {
        Gdiplus::Graphics graphics(bar.bufferDC);
        for (const Item& item : items) {
            Gdiplus::Bitmap image(Widen(*item.path).c_str());
            graphics.DrawImage(&image, item.x, item.y, item.w, item.h);
        }
    }
    LayeredUpdate(bar);
}

// ---- Input -------------------------------------------------------------------

void SendKey(WORD vk, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.wScan = static_cast<WORD>(::MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    ::SendInput(1, &input, sizeof(input));
}

// From SendInput of a key to the host's UM_QUERY_CHANGED, per key.
Timing KeyToQueryChanged(CSearchBar& bar, HWND host) {
    ::SetForegroundWindow(host);
    PumpUntil([&] { return ::GetForegroundWindow() == host; });
    HWND field = bar.queryEdit->GetEditHwnd();
    ::SetFocus(field);
    PumpUntil([&] { return ::GetFocus() == field; });
    std::vector<double> latencies;
    for (int i = 0; i < 2 * kRuns + 1; ++i) {
        Host::lastQueryChangedMs = 0;
        const double start = NowMs();
        SendKey('A', false);
        SendKey('A', true);
        if (PumpUntil([] { return Host::lastQueryChangedMs != 0; }))
            latencies.push_back(Host::lastQueryChangedMs - start);
        PumpUntil([] { return false; }, 20); // let the release and repaint settle
    }
    return latencies.empty() ? Timing{} : Summarize(latencies);
}

// ---- Creation and suggestions ------------------------------------------------

Timing CreateFullBar(HWND host, const Skin& skin) {
    std::vector<double> times;
    for (int run = 0; run < kRuns; ++run) {
        const double start = NowMs();
        CSearchBar* bar = MakeBar(host, skin);
        times.push_back(NowMs() - start);
        delete bar;
        PumpPending();
    }
    return Summarize(times);
}

Timing FillAndShowSuggestions(CSearchBar& bar) {
    int round = 0;
    return TimeRuns(4, [&] {
        ++round;
        bar.ClearSuggestions();
        for (int i = 0; i < 11; ++i)
            bar.AddSuggestion(
                ("suggestion " + std::to_string(round) + "." + std::to_string(i)).c_str());
        bar.ShowSuggestions();
        ::UpdateWindow(bar.suggestionList->m_hWnd);
    });
}

// ---- Footprint -----------------------------------------------------------

size_t PrivateBytes() {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof(counters);
    ::GetProcessMemoryInfo(::GetCurrentProcess(),
                           reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof(counters));
    // Wine leaves PrivateUsage at 0; PagefileUsage is the same figure.
    return counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage;
}

// How many more GDI objects the process can hold now: GDI+ and Wine keep
// no count (GetGuiResources answers 0 under Wine), so the headroom is
// measured by allocating until the system refuses, then freeing.
int GdiHeadroom() {
    HDC screen = ::GetDC(nullptr);
    std::vector<HBITMAP> made;
    while (made.size() < 200000) {
        HBITMAP bitmap = ::CreateCompatibleBitmap(screen, 1, 1);
        if (!bitmap)
            break;
        made.push_back(bitmap);
    }
    for (HBITMAP bitmap : made)
        ::DeleteObject(bitmap);
    ::ReleaseDC(nullptr, screen);
    return static_cast<int>(made.size());
}

BOOL CALLBACK CountWindow(HWND, LPARAM count) {
    ++*reinterpret_cast<int*>(count);
    return TRUE;
}

BOOL CALLBACK CountWindowAndChildren(HWND window, LPARAM count) {
    ++*reinterpret_cast<int*>(count);
    ::EnumChildWindows(window, &CountWindow, count);
    return TRUE;
}

// The windows of this thread, top-level and child.
int ThreadWindows() {
    int count = 0;
    ::EnumThreadWindows(::GetCurrentThreadId(), &CountWindowAndChildren,
                        reinterpret_cast<LPARAM>(&count));
    return count;
}

struct Footprint {
    double bytes = 0;
    double gdiObjects = 0;
    double windows = 0;
    DWORD gdiReported = 0; // GetGuiResources, per bar
    DWORD userReported = 0;
};

// Twenty bars are made first and kept, so that memory which earlier work
// freed, and the next allocations would reuse, is taken up; then twenty
// more are measured for memory and windows, and twenty more for GDI
// objects (whose probe frees a great deal of memory itself).
Footprint PerBar(HWND host, const Skin& skin) {
    constexpr int kBars = 20;
    HANDLE process = ::GetCurrentProcess();
    std::vector<CSearchBar*> bars;
    const auto makeBars = [&] {
        for (int i = 0; i < kBars; ++i)
            bars.push_back(MakeBar(host, skin));
        PumpPending();
    };
    makeBars();
    const DWORD gdiBefore = ::GetGuiResources(process, GR_GDIOBJECTS);
    const DWORD userBefore = ::GetGuiResources(process, GR_USEROBJECTS);
    const int windowsBefore = ThreadWindows();
    const size_t bytesBefore = PrivateBytes();
    makeBars();
    Footprint result;
    result.bytes = (static_cast<double>(PrivateBytes()) - static_cast<double>(bytesBefore)) / kBars;
    result.windows = static_cast<double>(ThreadWindows() - windowsBefore) / kBars;
    result.gdiReported = (::GetGuiResources(process, GR_GDIOBJECTS) - gdiBefore) / kBars;
    result.userReported = (::GetGuiResources(process, GR_USEROBJECTS) - userBefore) / kBars;
    const int headroomBefore = GdiHeadroom();
    makeBars();
    result.gdiObjects = static_cast<double>(headroomBefore - GdiHeadroom()) / kBars;
    for (CSearchBar* bar : bars)
        delete bar;
    PumpPending();
    return result;
}

// ---- Report ----------------------------------------------------------------

std::string Fixed(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof(text), "%.*f", decimals, value);
    return text;
}

std::string Ms(const Timing& t) {
    return Fixed(t.median, 3) + " ms";
}

std::string Spread(const Timing& t) {
    return Fixed(t.low, 3) + " - " + Fixed(t.high, 3);
}

std::string Platform() {
    typedef const char*(CDECL * WineVersion)();
    const auto version = reinterpret_cast<WineVersion>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleA("ntdll.dll"), "wine_get_version")));
    return version ? std::string("Wine ") + version() : std::string("Windows");
}

std::string Today() {
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    char text[32];
    std::snprintf(text, sizeof(text), "%04u-%02u-%02u", now.wYear, now.wMonth, now.wDay);
    return text;
}

struct Results {
    Timing paint, naive, floor, key, create, suggestions;
    Footprint footprint;
};

std::string Report(const Results& r) {
#ifdef _WIN64
    const char* arch = "x64";
#else
    const char* arch = "x86";
#endif
    std::ostringstream out;
    out << "## " << arch << ", " << Today() << "\n\n"
        << Platform() << ", " << ::GetSystemMetrics(SM_CXSCREEN) << " x "
        << ::GetSystemMetrics(SM_CYSCREEN) << " screen. Times are medians over " << kRuns
        << " runs (spread: the fastest and slowest run).\n\n"
        << "| Measurement | Median | Spread (ms) | vs naive paint | vs floor |\n"
        << "|---|---|---|---|---|\n"
        << "| Bar paint, 400 x 30 (Compose and layered update) | " << Ms(r.paint) << " | "
        << Spread(r.paint) << " | " << Fixed(r.paint.median / r.naive.median, 3) << " | "
        << Fixed(r.paint.median / r.floor.median, 2) << " |\n"
        << "| Naive paint (decode and draw every image with GDI+) | " << Ms(r.naive) << " | "
        << Spread(r.naive) << " | 1 | " << Fixed(r.naive.median / r.floor.median, 2) << " |\n"
        << "| Floor: layered update of a ready buffer | " << Ms(r.floor) << " | " << Spread(r.floor)
        << " | " << Fixed(r.floor.median / r.naive.median, 3) << " | 1 |\n"
        << "| Key press (SendInput) to host's UM_QUERY_CHANGED | " << Ms(r.key) << " | "
        << Spread(r.key) << " | | |\n"
        << "| Create a bar with a full skin, to its first paint | " << Ms(r.create) << " | "
        << Spread(r.create) << " | | |\n"
        << "| Fill and show 11 suggestions, to the list's paint | " << Ms(r.suggestions) << " | "
        << Spread(r.suggestions) << " | | |\n\n"
        << "| Per bar (average of 20, with 20 or 40 others made before) | Value |\n|---|---|\n"
        << "| Private memory | " << Fixed(r.footprint.bytes / 1024, 1) << " KB |\n"
        << "| GDI objects (headroom used) | " << Fixed(r.footprint.gdiObjects, 1) << " |\n"
        << "| GDI objects (GetGuiResources) | " << r.footprint.gdiReported << " |\n"
        << "| Windows (USER objects) | " << Fixed(r.footprint.windows, 1) << " |\n"
        << "| USER objects (GetGuiResources) | " << r.footprint.userReported << " |\n";
    return out.str();
}

} // namespace

int main(int argc, char** argv) {
    if (!CInitGui::Startup()) {
        std::fprintf(stderr, "GDI+ did not start\n");
        return 1;
    }
    int status = 0;
    {
        const Skin skin;
        Host host;
        CSearchBar* bar = MakeBar(host.hwnd(), skin);
        if (!bar) {
            std::fprintf(stderr, "the bar could not be created\n");
            return 1;
        }
        PumpUntil([] { return false; }, 200);
        Results results;
        // First, while no bar has been made and freed: freed heap would be
        // reused by the next bars and hide their memory.
        results.footprint = PerBar(host.hwnd(), skin);
        results.paint = TimeRuns(200, [&] { LibraryPaint(*bar); });
        results.naive = TimeRuns(20, [&] { NaivePaint(*bar, skin); });
        results.floor = TimeRuns(200, [&] { LayeredUpdate(*bar); });
        results.key = KeyToQueryChanged(*bar, host.hwnd());
        results.suggestions = FillAndShowSuggestions(*bar);
        bar->ClearSuggestions();
        results.create = CreateFullBar(host.hwnd(), skin);
        delete bar;

        const std::string report = Report(results);
        std::fputs(report.c_str(), stdout);
        if (argc > 1) {
            if (FILE* file = std::fopen(argv[1], "wb")) {
                std::fputs(report.c_str(), file);
                std::fclose(file);
            } else {
                std::fprintf(stderr, "cannot write %s\n", argv[1]);
                status = 1;
            }
        }
    }
    CInitGui::Clearup();
    return status;
}
