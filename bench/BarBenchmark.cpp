// BarBenchmark: times a search bar under the real platform, with
// QueryPerformanceCounter, as medians over repeated runs:
//   - one bar paint (Compose with its layered update) of a 400 x 30 skin,
//     left to right and mirrored, against a naive paint that decodes
//     every image and draws it with GDI+ each time (the cost the prepared
//     memory DCs avoid) and against a bare layered update of a ready
//     buffer (the floor);
//   - a key press (SendInput) until the host has UM_QUERY_CHANGED, and the
//     whole keystroke round trip until the suggestion list is repainted
//     with the host's answer, against the same round trip through the
//     platform's own EDIT and LISTBOX and through the shell's autocomplete
//     drop-down;
//   - creating a bar with a full skin, up to its first paint;
//   - filling and showing eleven suggestions, up to the list's paint,
//     against a LISTBOX popup of the same size doing the same;
//   - memory and GDI and USER objects per bar, measured in a child process
//     of its own (the GDI probe would slow everything measured after it);
//   - live suggestions from a loopback server: from the last byte of an
//     answer to the list painted with its rows, and the host thread's busy
//     time per keystroke with and without a suggestion URL.
// Our figures and their native peers are taken in alternation, run by run,
// so that both see the same load. It prints a Markdown table and, given a
// path, writes it there; TAVREL_BENCH_MACHINE names the machine in it.
//   bar_benchmark [OUTPUT.md]
//   bar_benchmark --footprint FILE   (the child: writes the figures to FILE)
#include "../src/bar/CSearchBar.h"
#include "../src/input/CGuiEdit.h"
#include "../src/popup/CEngineList.h"
#include "../src/popup/CSuggestionList.h"
#include "../src/render/GdiPlus.h"
#include "CSuggestionServer.h"
#include "ProcessCounts.h"
#include <algorithm>
#include <cstdio>
#include <functional>
#include <cstdlib>
#include <objbase.h>
#include <psapi.h>
#include <shldisp.h>
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

// Two bodies timed in alternation, run by run, so that both see the same
// load: a figure and the floor or peer it is compared with.
void TimeAlternating(int iterations, const std::function<void()>& first,
                     const std::function<void()>& second, Timing& firstTiming,
                     Timing& secondTiming) {
    std::vector<double> firstRuns, secondRuns;
    for (int run = 0; run < kRuns; ++run) {
        for (auto [body, runs] : {std::pair{&first, &firstRuns}, std::pair{&second, &secondRuns}}) {
            const double start = NowMs();
            for (int i = 0; i < iterations; ++i)
                (*body)();
            runs->push_back((NowMs() - start) / iterations);
        }
    }
    firstTiming = Summarize(firstRuns);
    secondTiming = Summarize(secondRuns);
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

// The text of suggestion i of a host's answer number round.
std::string Proposal(int round, int i) {
    return "suggestion " + std::to_string(round) + "." + std::to_string(i);
}

// A suggesting host's answer: the list cleared, filled and shown.
void RefillBar(CSearchBar& bar, int round) {
    bar.ClearSuggestions();
    for (int i = 0; i < CSuggestionList::MaxItems; ++i)
        bar.AddSuggestion(Proposal(round, i).c_str());
    bar.ShowSuggestions();
}

// The same answer given with the platform's LISTBOX.
void RefillNative(HWND list, int round) {
    ::ShowWindow(list, SW_HIDE);
    ::SendMessageA(list, LB_RESETCONTENT, 0, 0);
    for (int i = 0; i < CSuggestionList::MaxItems; ++i)
        ::SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Proposal(round, i).c_str()));
    ::ShowWindow(list, SW_SHOWNOACTIVATE);
}

// A host window that notes when each UM_QUERY_CHANGED arrives and, while it
// serves a bar, answers it at once with eleven suggestions; changes of its
// own EDIT it answers the same way in its LISTBOX.
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
        nativeEdit = ::CreateWindowExA(0, "EDIT", nullptr, WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL,
                                       kBarX, kBarY + 350, 400, 24, window, nullptr,
                                       wc.hInstance, nullptr);
        // A drop-down as a native host would make one: an owned popup of
        // the bar's list size, rows as high as the bar's.
        nativeList = ::CreateWindowExA(WS_EX_TOOLWINDOW, "LISTBOX", nullptr,
                                       WS_POPUP | WS_BORDER | LBS_NOINTEGRALHEIGHT, kBarX,
                                       kBarY + 30, 400, CSuggestionList::MaxItems * 25, window,
                                       nullptr, wc.hInstance, nullptr);
        ::SendMessageA(nativeList, LB_SETITEMHEIGHT, 0, 25);
    }
    ~Host() {
        ::DestroyWindow(nativeList);
        ::DestroyWindow(window);
    }
    HWND hwnd() const { return window; }
    static double lastQueryChangedMs;
    static CSearchBar* served; // answered when set
    static int answers;
    static HWND nativeEdit;
    static HWND nativeList;

private:
    static LRESULT CALLBACK WndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == UM_QUERY_CHANGED) {
            lastQueryChangedMs = NowMs();
            if (served)
                RefillBar(*served, ++answers);
            return 0;
        }
        if (message == WM_COMMAND && HIWORD(wParam) == EN_CHANGE &&
            reinterpret_cast<HWND>(lParam) == nativeEdit && nativeEdit) {
            RefillNative(nativeList, ++answers);
            return 0;
        }
        return ::DefWindowProcA(hwnd, message, wParam, lParam);
    }
    HWND window = nullptr;
};
double Host::lastQueryChangedMs = 0;
CSearchBar* Host::served = nullptr;
int Host::answers = 0;
HWND Host::nativeEdit = nullptr;
HWND Host::nativeList = nullptr;

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

// A window that shows what it was last asked to paint.
bool Painted(HWND window) {
    return ::IsWindowVisible(window) && !::GetUpdateRect(window, nullptr, FALSE);
}

void FocusInForeground(HWND host, HWND field) {
    ::SetForegroundWindow(host);
    PumpUntil([&] { return ::GetForegroundWindow() == host; });
    ::SetFocus(field);
    PumpUntil([&] { return ::GetFocus() == field; });
}

void TapKey(WORD vk) {
    SendKey(vk, false);
    SendKey(vk, true);
}

// From SendInput of a key to the host's UM_QUERY_CHANGED, per key.
Timing KeyToQueryChanged(CSearchBar& bar, HWND host) {
    FocusInForeground(host, bar.queryEdit->GetEditHwnd());
    std::vector<double> latencies;
    for (int i = 0; i < 2 * kRuns + 1; ++i) {
        Host::lastQueryChangedMs = 0;
        const double start = NowMs();
        TapKey('A');
        if (PumpUntil([] { return Host::lastQueryChangedMs != 0; }))
            latencies.push_back(Host::lastQueryChangedMs - start);
        PumpUntil([] { return false; }, 20); // let the release and repaint settle
    }
    return latencies.empty() ? Timing{} : Summarize(latencies);
}

// One keystroke round trip: from SendInput of a key into field until the
// host has answered and list shows its answer painted.
bool TimeRoundTrip(HWND host, HWND field, HWND list, std::vector<double>& times) {
    if (::GetFocus() != field)
        FocusInForeground(host, field);
    PumpUntil([] { return false; }, 20); // nothing of the last key left
    const int answered = Host::answers;
    const double start = NowMs();
    TapKey('A');
    if (!PumpUntil([&] { return Host::answers > answered && Painted(list); }))
        return false;
    times.push_back(NowMs() - start);
    return true;
}

// The bar's round trip and the native one, in alternation.
void KeystrokeRoundTrips(CSearchBar& bar, HWND host, Timing& ours, Timing& native) {
    std::vector<double> oursRuns, nativeRuns;
    Host::served = &bar;
    for (int i = 0; i < 2 * kRuns + 1; ++i) {
        TimeRoundTrip(host, bar.queryEdit->GetEditHwnd(), bar.suggestionList->m_hWnd, oursRuns);
        TimeRoundTrip(host, Host::nativeEdit, Host::nativeList, nativeRuns);
    }
    Host::served = nullptr;
    bar.ClearSuggestions();
    ::ShowWindow(Host::nativeList, SW_HIDE);
    PumpPending();
    if (!oursRuns.empty())
        ours = Summarize(oursRuns);
    if (!nativeRuns.empty())
        native = Summarize(nativeRuns);
}

// The bar's round trip with the most recent searches a bar keeps, none of
// which begins with the typed text after the first key: every keystroke
// compares the query with all of them.
Timing RoundTripsWithHistory(CSearchBar& bar, HWND host) {
    wchar_t folder[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, folder);
    const std::wstring path = std::wstring(folder) + L"tavrel-bench-history.txt";
    std::string content = "# Tavrel recent searches 1\n";
    for (int i = 0; i < CHistoryFile::kMostEntries; ++i)
        content += "a" + std::to_string(i) + " earlier search\n";
    const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    const bool ready = file != INVALID_HANDLE_VALUE &&
                       ::WriteFile(file, content.data(), static_cast<DWORD>(content.size()),
                                   &written, nullptr) &&
                       written == content.size();
    if (file != INVALID_HANDLE_VALUE)
        ::CloseHandle(file);
    std::vector<double> runs;
    if (ready && bar.SetHistoryFileW(path.c_str(), CHistoryFile::kMostEntries) &&
        bar.history.Count() == CHistoryFile::kMostEntries) {
        Host::served = &bar;
        for (int i = 0; i < 2 * kRuns + 1; ++i)
            TimeRoundTrip(host, bar.queryEdit->GetEditHwnd(), bar.suggestionList->m_hWnd, runs);
        Host::served = nullptr;
    }
    bar.SetHistoryFileW(nullptr, 0);
    bar.ClearSuggestions();
    ::DeleteFileW(path.c_str());
    PumpPending();
    return runs.empty() ? Timing{} : Summarize(runs);
}

// ---- The shell's autocomplete ----------------------------------------------

// The eleven strings the drop-down offers, all starting with "s".
class SuggestionStrings : public IEnumString {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (iid == IID_IUnknown || iid == IID_IEnumString) {
            *object = static_cast<IEnumString*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override { return --references; } // lives on the stack
    HRESULT STDMETHODCALLTYPE Next(ULONG count, LPOLESTR* strings, ULONG* fetched) override {
        ULONG given = 0;
        for (; given < count && next < CSuggestionList::MaxItems; ++given, ++next) {
            const std::string text = Proposal(0, next);
            const std::wstring wide(text.begin(), text.end());
            auto* copy = static_cast<LPOLESTR>(::CoTaskMemAlloc((wide.size() + 1) * sizeof(WCHAR)));
            std::copy(wide.c_str(), wide.c_str() + wide.size() + 1, copy);
            strings[given] = copy;
        }
        if (fetched)
            *fetched = given;
        return given == count ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override {
        next += static_cast<int>(count);
        return next <= CSuggestionList::MaxItems ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Reset() override {
        next = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Clone(IEnumString** clone) override {
        *clone = nullptr;
        return E_NOTIMPL;
    }

private:
    ULONG references = 1;
    int next = 0;
};

struct VisibleWindows {
    HWND except[64];
    int count = 0;
    HWND found = nullptr;
};

BOOL CALLBACK FindNewlyVisible(HWND window, LPARAM data) {
    auto* windows = reinterpret_cast<VisibleWindows*>(data);
    if (!::IsWindowVisible(window))
        return TRUE;
    for (int i = 0; i < windows->count; ++i)
        if (windows->except[i] == window)
            return TRUE;
    windows->found = window;
    return FALSE;
}

BOOL CALLBACK NoteVisible(HWND window, LPARAM data) {
    auto* windows = reinterpret_cast<VisibleWindows*>(data);
    if (::IsWindowVisible(window) && windows->count < 64)
        windows->except[windows->count++] = window;
    return TRUE;
}

BOOL CALLBACK FindUnpainted(HWND window, LPARAM unpainted) {
    if (::IsWindowVisible(window) && ::GetUpdateRect(window, nullptr, FALSE)) {
        *reinterpret_cast<bool*>(unpainted) = true;
        return FALSE;
    }
    return TRUE;
}

// A shown window whose children, too, are painted.
bool PaintedWithChildren(HWND window) {
    bool unpainted = false;
    ::EnumChildWindows(window, &FindUnpainted, reinterpret_cast<LPARAM>(&unpainted));
    return Painted(window) && !unpainted;
}

// From SendInput of "s" into an EDIT with the shell's autocomplete until
// its drop-down is shown and painted. False when the platform has none.
bool AutoCompleteRoundTrip(HWND host, Timing& result) {
    static const CLSID kAutoComplete = {
        0x00BB2763, 0x6A77, 0x11D0, {0xA5, 0x35, 0x00, 0xC0, 0x4F, 0xD7, 0xD0, 0x62}};
    static const IID kAutoComplete2 = {
        0xEAC04BC0, 0x3791, 0x11D2, {0xBB, 0x95, 0x00, 0x60, 0x97, 0x7B, 0x46, 0x4C}};
    HWND edit = ::CreateWindowExA(0, "EDIT", nullptr, WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL,
                                  kBarX, kBarY + 400, 400, 24, host, nullptr, nullptr, nullptr);
    IAutoComplete2* autoComplete = nullptr;
    SuggestionStrings strings;
    bool available = SUCCEEDED(::CoCreateInstance(kAutoComplete, nullptr, CLSCTX_INPROC_SERVER,
                                                  kAutoComplete2,
                                                  reinterpret_cast<void**>(&autoComplete))) &&
                     SUCCEEDED(autoComplete->Init(edit, &strings, nullptr, nullptr)) &&
                     SUCCEEDED(autoComplete->SetOptions(ACO_AUTOSUGGEST));
    std::vector<double> times;
    if (available) {
        FocusInForeground(host, edit);
        VisibleWindows before;
        ::EnumThreadWindows(::GetCurrentThreadId(), &NoteVisible, reinterpret_cast<LPARAM>(&before));
        const auto dropDown = [&] {
            VisibleWindows now = before;
            ::EnumThreadWindows(::GetCurrentThreadId(), &FindNewlyVisible,
                                reinterpret_cast<LPARAM>(&now));
            return now.found;
        };
        for (int i = 0; i < 2 * kRuns + 1; ++i) {
            ::SetWindowTextA(edit, "");
            PumpUntil([&] { return !dropDown(); }, 500);
            PumpUntil([] { return false; }, 20);
            const double start = NowMs();
            TapKey('S');
            if (PumpUntil([&] {
                    HWND shown = dropDown();
                    return shown && PaintedWithChildren(shown);
                }))
                times.push_back(NowMs() - start);
        }
        ::SetWindowTextA(edit, "");
    }
    if (autoComplete)
        autoComplete->Release();
    ::DestroyWindow(edit);
    PumpUntil([] { return false; }, 50);
    if (times.empty())
        return false;
    result = Summarize(times);
    return true;
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

// Filling and showing the bar's list and the native LISTBOX, to their
// paints, in alternation: kRuns runs of four refills each.
void FillAndShowSuggestions(CSearchBar& bar, Timing& ours, Timing& native) {
    int round = 0;
    TimeAlternating(
        4,
        [&] {
            RefillBar(bar, ++round);
            ::UpdateWindow(bar.suggestionList->m_hWnd);
        },
        [&] {
            RefillNative(Host::nativeList, ++round);
            ::UpdateWindow(Host::nativeList);
        },
        ours, native);
    ::ShowWindow(Host::nativeList, SW_HIDE);
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
    const int windowsBefore = ThreadWindowCount();
    const size_t bytesBefore = PrivateBytes();
    makeBars();
    Footprint result;
    result.bytes = (static_cast<double>(PrivateBytes()) - static_cast<double>(bytesBefore)) / kBars;
    result.windows = static_cast<double>(ThreadWindowCount() - windowsBefore) / kBars;
    result.gdiReported = (::GetGuiResources(process, GR_GDIOBJECTS) - gdiBefore) / kBars;
    result.userReported = (::GetGuiResources(process, GR_USEROBJECTS) - userBefore) / kBars;
    const int headroomBefore = GdiHeadroom(200000);
    makeBars();
    result.gdiObjects = static_cast<double>(headroomBefore - GdiHeadroom(200000)) / kBars;
    for (CSearchBar* bar : bars)
        delete bar;
    PumpPending();
    return result;
}

// The footprint is measured in a child process: its GDI probe leaves the
// process's handle table and heap in a state that slows the GDI work of
// everything measured after it, and the bars made before it would hide
// memory that freed heap can serve.
bool WriteFootprint(const char* path, const Skin& skin) {
    Host host;
    const Footprint f = PerBar(host.hwnd(), skin);
    FILE* file = std::fopen(path, "wb");
    if (!file)
        return false;
    std::fprintf(file, "%f %f %f %lu %lu\n", f.bytes, f.gdiObjects, f.windows,
                 static_cast<unsigned long>(f.gdiReported),
                 static_cast<unsigned long>(f.userReported));
    std::fclose(file);
    return true;
}

bool FootprintOfChild(Footprint& f) {
    char program[MAX_PATH];
    ::GetModuleFileNameA(nullptr, program, MAX_PATH);
    const std::string path = TempPath("bench-footprint.txt");
    std::string command = std::string("\"") + program + "\" --footprint \"" + path + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!::CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &process))
        return false;
    ::WaitForSingleObject(process.hProcess, INFINITE);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return false;
    unsigned long gdi = 0, user = 0;
    const bool read = std::fscanf(file, "%lf %lf %lf %lu %lu", &f.bytes, &f.gdiObjects, &f.windows,
                                  &gdi, &user) == 5;
    std::fclose(file);
    ::DeleteFileA(path.c_str());
    f.gdiReported = gdi;
    f.userReported = user;
    return read;
}

// ---- Live suggestions ------------------------------------------------------

struct LiveTimings {
    Timing lastByteToTaken, lastByteToPaint, keystrokeWithUrl, keystrokeWithoutUrl, pauseEnd;
};

double TicksToMs(long long ticks) {
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    return static_cast<double>(ticks) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

// The loopback server's answer for a query: eleven rows.
std::vector<std::string> LiveRows(const std::string& query) {
    std::vector<std::string> rows;
    for (int i = 0; i < CSuggestionList::MaxItems; ++i)
        rows.push_back(query + " " + std::to_string(i));
    return rows;
}

// The host's loop, timing what the host thread spends handling messages
// (waiting excluded): the pause's timer apart from everything else.
struct BusyTime {
    double handling = 0;
    double pauseTimer = 0;
    double answerTaken = 0; // when the fetcher's message was taken from the queue
    bool queryChanged = false;
    bool keyReleased = false;
};

void PumpTimed(BusyTime& busy) {
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        const double start = NowMs();
        if (!AfxPreTranslateMessage(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
        const double took = NowMs() - start;
        (msg.message == WM_TIMER ? busy.pauseTimer : busy.handling) += took;
        busy.queryChanged |= msg.message == UM_QUERY_CHANGED;
        busy.keyReleased |= msg.message == WM_KEYUP;
        if (msg.message == UM_LIVE_SUGGESTIONS)
            busy.answerTaken = start;
    }
}

bool PumpTimedUntil(BusyTime& busy, const std::function<bool()>& condition) {
    const DWORD start = ::GetTickCount();
    while (!condition()) {
        if (::GetTickCount() - start > 3000)
            return false;
        PumpTimed(busy);
        if (!condition())
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
    }
    return true;
}

// One key typed into the field: the host thread's busy time from the key's
// press to the host's UM_QUERY_CHANGED and the key's release, handled.
bool KeystrokeBusy(HWND field, BusyTime& busy) {
    PumpUntil([] { return false; }, 20); // nothing of the last key left
    if (::GetFocus() != field)
        return false;
    busy = BusyTime{};
    TapKey('A');
    if (!PumpTimedUntil(busy, [&] { return busy.queryChanged && busy.keyReleased; }))
        return false;
    PumpTimed(busy); // what the two left queued
    return true;
}

void SetSuggestionUrls(CSearchBar& bar, const wchar_t* urlTemplate) {
    for (int engine = 0; engine < bar.engineList->GetCount(); ++engine)
        bar.SetSuggestionUrlW(engine, urlTemplate);
}

// In alternation, a key without a suggestion URL and one with it, whose
// answer then fills the list: kRuns runs of each, and more.
bool LiveSuggestionRuns(CSearchBar& bar, HWND host, LiveTimings& result) {
    CSuggestionServer server(&LiveRows);
    if (!server.Start())
        return false;
    const std::wstring url = server.UrlTemplate();
    const HWND field = bar.queryEdit->GetEditHwnd();
    FocusInForeground(host, field);
    std::vector<double> without, with, lastByteTaken, lastByte, pauseEnd;
    for (int run = 0; run < 2 * kRuns + 1; ++run) {
        // A short query of this run's own, as typed (longer rows cost the
        // list's paint more).
        const std::wstring seed = L"we" + std::to_wstring(run);
        bar.queryEdit->suppressNotify = 1;
        bar.queryEdit->SetTextW(seed);
        bar.queryEdit->suppressNotify = 0;
        ::SendMessageW(field, EM_SETSEL, seed.size(), seed.size());
        BusyTime busy;
        SetSuggestionUrls(bar, nullptr);
        if (KeystrokeBusy(field, busy))
            without.push_back(busy.handling);
        SetSuggestionUrls(bar, url.c_str());
        if (!KeystrokeBusy(field, busy))
            continue;
        with.push_back(busy.handling);
        std::wstring query;
        bar.GetQueryTextW(query);
        const std::string first = LiveRows(std::string(query.begin(), query.end())).front();
        const std::wstring expected(first.begin(), first.end());
        busy.handling = 0;
        const HWND list = bar.suggestionList->m_hWnd;
        if (PumpTimedUntil(busy, [&] {
                return bar.suggestionList->GetCount() == CSuggestionList::MaxItems &&
                       bar.suggestionList->GetItem(0)->textW == expected && Painted(list);
            })) {
            const double sent = TicksToMs(server.LastAnswerSent());
            lastByte.push_back(NowMs() - sent);
            lastByteTaken.push_back(busy.answerTaken - sent);
            pauseEnd.push_back(busy.pauseTimer);
        }
    }
    SetSuggestionUrls(bar, nullptr);
    bar.ClearSuggestions();
    if (without.empty() || with.empty() || lastByte.empty())
        return false;
    result = {Summarize(lastByteTaken), Summarize(lastByte), Summarize(with), Summarize(without),
              Summarize(pauseEnd)};
    return true;
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
    Timing paint, naive, floor, key, create, suggestions, nativeSuggestions;
    Timing paintRightToLeft, floorRightToLeft;
    Timing roundTrip, nativeRoundTrip, autoComplete, roundTripWithHistory;
    bool autoCompleteAvailable = false;
    Footprint footprint;
    LiveTimings live;
    bool liveMeasured = false;
};

#ifdef _WIN64
const char kArch[] = "x64";
#else
const char kArch[] = "x86";
#endif

// One table row: architecture, what, median, spread, ratio to its peer.
std::string Row(const char* what, const Timing& t, const std::string& ratio) {
    return std::string("| ") + kArch + " | " + what + " | " + Ms(t) + " | " + Spread(t) + " | " +
           ratio + " |\n";
}

std::string Ratio(const Timing& t, const Timing& peer, const char* peerName) {
    return peer.median > 0 ? Fixed(t.median / peer.median, 2) + " x " + peerName : "";
}

std::string Report(const Results& r) {
    const char* machine = std::getenv("TAVREL_BENCH_MACHINE");
    std::ostringstream out;
    out << "## " << kArch << ", " << Today() << "\n\n"
        << "Machine: " << (machine && *machine ? machine : "not named") << "; " << Platform()
        << " as seen by the program; " << ::GetSystemMetrics(SM_CXSCREEN) << " x "
        << ::GetSystemMetrics(SM_CYSCREEN) << " screen. Times are medians over " << kRuns
        << " runs or more (spread: the fastest and slowest run).\n\n"
        << "| Arch | Measurement | Median | Spread (ms) | Ratio |\n"
        << "|---|---|---|---|---|\n"
        << Row("Bar paint, 400 x 30 (Compose and layered update)", r.paint,
               Ratio(r.paint, r.floor, "floor"))
        << Row("Bar paint, right to left (mirrored), 400 x 30", r.paintRightToLeft,
               Ratio(r.paintRightToLeft, r.floorRightToLeft, "floor"))
        << Row("Naive paint (decode and draw every image with GDI+)", r.naive,
               Ratio(r.naive, r.floor, "floor"))
        << Row("Floor: layered update of a ready buffer", r.floor, "1 x floor")
        << Row("Key press (SendInput) to host's UM_QUERY_CHANGED", r.key, "")
        << Row("Keystroke round trip: key press to the list repainted with the host's 11 "
               "suggestions",
               r.roundTrip, Ratio(r.roundTrip, r.nativeRoundTrip, "native"))
        << Row("Keystroke round trip as above, with 1,000 recent searches compared on every key",
               r.roundTripWithHistory, Ratio(r.roundTripWithHistory, r.nativeRoundTrip, "native"))
        << Row("Native round trip: key press in an EDIT to a LISTBOX popup repainted with 11 "
               "strings",
               r.nativeRoundTrip, "1 x native")
        << (r.autoCompleteAvailable
                ? Row("Shell autocomplete (IAutoComplete2): key press to its drop-down painted",
                      r.autoComplete, Ratio(r.autoComplete, r.nativeRoundTrip, "native"))
                : std::string("| ") + kArch +
                      " | Shell autocomplete (IAutoComplete2) | not available | | |\n")
        << Row("Create a bar with a full skin, to its first paint", r.create, "")
        << Row("Fill and show 11 suggestions, to the list's paint", r.suggestions,
               Ratio(r.suggestions, r.nativeSuggestions, "LISTBOX"))
        << Row("LISTBOX popup of the same size: fill and show 11 strings, to its paint",
               r.nativeSuggestions, "1 x LISTBOX")
        << "\n| Arch | Per bar (average of 20, with 20 or 40 others made before) | Value |\n"
        << "|---|---|---|\n"
        << "| " << kArch << " | Private memory | " << Fixed(r.footprint.bytes / 1024, 1) << " KB |\n"
        << "| " << kArch << " | GDI objects (headroom used) | " << Fixed(r.footprint.gdiObjects, 1)
        << " |\n"
        << "| " << kArch << " | GDI objects (GetGuiResources) | " << r.footprint.gdiReported
        << " |\n"
        << "| " << kArch << " | Windows (USER objects) | " << Fixed(r.footprint.windows, 1)
        << " |\n"
        << "| " << kArch << " | USER objects (GetGuiResources) | " << r.footprint.userReported
        << " |\n";
    if (r.liveMeasured)
        out << "\n| Arch | Live suggestions (loopback server, 11 rows) | Median | Spread (ms) | Ratio |\n"
            << "|---|---|---|---|---|\n"
            << Row("Last byte of the answer to the bar's thread taking it (read, parsed, posted)",
                   r.live.lastByteToTaken, "")
            << Row("Last byte of the answer to the list painted with its rows", r.live.lastByteToPaint,
                   "")
            << Row("Host thread per keystroke, no suggestion URL (key press to UM_QUERY_CHANGED "
                   "and key release handled)",
                   r.live.keystrokeWithoutUrl, "")
            << Row("Host thread per keystroke, with a suggestion URL", r.live.keystrokeWithUrl,
                   Ratio(r.live.keystrokeWithUrl, r.live.keystrokeWithoutUrl, "without"))
            << Row("Host thread at the end of the pause (URL built, request started)",
                   r.live.pauseEnd, "");
    else
        out << "\n| " << kArch << " | Live suggestions | not measured | | |\n";
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
        if (argc > 2 && std::string(argv[1]) == "--footprint") {
            status = WriteFootprint(argv[2], skin) ? 0 : 1;
            CInitGui::Clearup();
            return status;
        }
        ::CoInitialize(nullptr);
        Results results;
        if (!FootprintOfChild(results.footprint))
            std::fprintf(stderr, "the footprint could not be measured\n");
        Host host;
        CSearchBar* bar = MakeBar(host.hwnd(), skin);
        if (!bar) {
            std::fprintf(stderr, "the bar could not be created\n");
            return 1;
        }
        PumpUntil([] { return false; }, 200);
        TimeAlternating(
            200, [&] { LibraryPaint(*bar); }, [&] { LayeredUpdate(*bar); }, results.paint,
            results.floor);
        // The same bar mirrored, against a floor of its own measured beside it.
        bar->SetLayoutDirection(CSearchBar::kLayoutRightToLeft);
        PumpUntil([] { return false; }, 200);
        TimeAlternating(
            200, [&] { LibraryPaint(*bar); }, [&] { LayeredUpdate(*bar); },
            results.paintRightToLeft, results.floorRightToLeft);
        bar->SetLayoutDirection(CSearchBar::kLayoutLeftToRight);
        PumpUntil([] { return false; }, 200);
        results.naive = TimeRuns(20, [&] { NaivePaint(*bar, skin); });
        results.key = KeyToQueryChanged(*bar, host.hwnd());
        KeystrokeRoundTrips(*bar, host.hwnd(), results.roundTrip, results.nativeRoundTrip);
        results.roundTripWithHistory = RoundTripsWithHistory(*bar, host.hwnd());
        results.autoCompleteAvailable = AutoCompleteRoundTrip(host.hwnd(), results.autoComplete);
        FillAndShowSuggestions(*bar, results.suggestions, results.nativeSuggestions);
        bar->ClearSuggestions();
        results.create = CreateFullBar(host.hwnd(), skin);
        results.liveMeasured = LiveSuggestionRuns(*bar, host.hwnd(), results.live);
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
        ::CoUninitialize();
    }
    CInitGui::Clearup();
    return status;
}
