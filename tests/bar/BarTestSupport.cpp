#include "BarTestSupport.h"
#include "../../src/hooks/CPopupHook.h"
#include "../../src/input/CGuiEdit.h"
#include "../../src/launch/LaunchSearch.h"
#include "../../src/popup/CEngineList.h"
#include "../../src/popup/CSuggestionList.h"
#include "Input.h"
#include "Pump.h"
#include "TestFiles.h"
#include <cstdio>
#include <cstdlib>
#include <set>

bool operator==(const RECT& a, const RECT& b) {
    return ::EqualRect(&a, &b) != 0;
}

void PrintTo(const RECT& r, std::ostream* os) {
    *os << "{" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << "}";
}

RECT WindowRectOf(HWND window) {
    RECT rect{};
    ::GetWindowRect(window, &rect);
    return rect;
}

RECT ClientRectToScreen(HWND window, const RECT& client) {
    RECT screen = client;
    ::MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&screen), 2);
    return screen;
}

POINT CenterOf(const RECT& r) {
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

std::string SkinPng(int width, int height, uint32_t argb) {
    static std::set<std::string> written;
    char name[64];
    std::snprintf(name, sizeof(name), "skin-%dx%d-%08X.png", width, height,
                  static_cast<unsigned>(argb));
    if (written.insert(name).second)
        return WriteSolidPng(name, width, height, argb);
    return ScratchPath(name);
}

bool SameColor(uint32_t pixel, uint32_t argb, int tolerance) {
    for (int shift : {16, 8, 0}) {
        const int a = static_cast<int>((pixel >> shift) & 0xFF);
        const int b = static_cast<int>((argb >> shift) & 0xFF);
        if (std::abs(a - b) > tolerance)
            return false;
    }
    return true;
}

namespace {
std::vector<std::string> g_urls;
LaunchSeam g_realCalls{};

LSTATUS WINAPI OpenAnyKey(HKEY, LPCSTR, PHKEY key) {
    *key = reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x7100));
    return ERROR_SUCCESS;
}
LSTATUS WINAPI OpenAnyKeyEx(HKEY, LPCSTR, DWORD, REGSAM, PHKEY key) {
    *key = reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x7200));
    return ERROR_SUCCESS;
}
LSTATUS WINAPI CloseAnyKey(HKEY) {
    return ERROR_SUCCESS;
}
HINSTANCE WINAPI RecordShellExecute(HWND, LPCSTR, LPCSTR file, LPCSTR, LPCSTR, INT) {
    g_urls.push_back(file ? file : "(null)");
    return reinterpret_cast<HINSTANCE>(static_cast<ULONG_PTR>(33));
}
} // namespace

LaunchRecorder::LaunchRecorder() {
    const LaunchSeam fake{&OpenAnyKey, &OpenAnyKeyEx, &CloseAnyKey, &RecordShellExecute};
    g_realCalls = SetLaunchSeam(&fake);
    g_urls.clear();
}

LaunchRecorder::~LaunchRecorder() {
    SetLaunchSeam(&g_realCalls);
}

const std::vector<std::string>& LaunchRecorder::Urls() const {
    return g_urls;
}

void LaunchRecorder::Clear() {
    g_urls.clear();
}

void TapKey(WORD vk) {
    KeyDown(vk);
    KeyUp(vk);
}

void TypeIntoFocus(const char* text) {
    for (const char* p = text; *p; ++p) {
        const SHORT scan = ::VkKeyScanA(*p);
        const bool shift = HIBYTE(scan) & 1;
        if (shift)
            KeyDown(VK_SHIFT);
        TapKey(LOBYTE(scan));
        if (shift)
            KeyUp(VK_SHIFT);
    }
}

void BarTest::SetUp() {
    ::SetWindowPos(host.hwnd(), HWND_TOP, 0, 0, 640, 480, SWP_SHOWWINDOW);
    BringToForeground(host.hwnd());
    MoveMouseTo(600, 450); // over the host, away from the bar and its lists
    bar = std::make_unique<CSearchBar>();
    host.Clear();
}

void BarTest::TearDown() {
    bar.reset();
    PumpUntilIdle();
}

void BarTest::Create(const RECT& placement) {
    ASSERT_EQ(1, bar->CreateBar(host.hwnd(), &placement));
}

void BarTest::ApplyStandardSkin() {
    bar->SetBackgroundImage(SkinPng(400, 30, kBackgroundColor).c_str(), 0);
    bar->SetActiveBackgroundImage(SkinPng(400, 30, kActiveColor).c_str());
    bar->SetEngineIconImage(SkinPng(16, 16, kIconColor).c_str());
    bar->SetArrowImage(SkinPng(7, 4, kArrowColor).c_str());
    bar->SetSearchButtonImage(SkinPng(24, 24, kButtonColor).c_str());
    bar->SetPosition(kBarLeft, kBarTop);
    bar->UpdateLayout();
}

void BarTest::ShowStandardBar() {
    Create();
    ApplyStandardSkin();
    bar->ShowBar(SW_SHOW);
    PumpUntilIdle();
    host.Clear();
}

PixelImage BarTest::PaintAndRead() {
    bar->Invalidate(FALSE);
    ::UpdateWindow(BarHwnd());
    return ReadMemoryDC(bar->bufferDC);
}

POINT BarTest::ScreenPointOf(const RECT& client) const {
    return CenterOf(ClientRectToScreen(BarHwnd(), client));
}

HWND BarTest::EditHwnd() const {
    return bar->queryEdit->GetEditHwnd();
}

std::string BarTest::FieldText() const {
    std::string text;
    bar->GetQueryText(text);
    return text;
}

std::vector<std::wstring> BarTest::ShownRows() const {
    std::vector<std::wstring> rows;
    if (SuggestionsVisible())
        for (int i = 0; i < bar->suggestionList->GetCount(); ++i)
            rows.push_back(bar->suggestionList->GetItem(i)->textW);
    return rows;
}

std::wstring BarTest::Query() const {
    std::wstring text;
    bar->GetQueryTextW(text);
    return text;
}

void BarTest::ClearField() {
    ::SetFocus(EditHwnd());
    TapKey(VK_HOME);
    KeyDown(VK_SHIFT);
    TapKey(VK_END);
    KeyUp(VK_SHIFT);
    TapKey(VK_DELETE);
    ASSERT_TRUE(PumpUntil([&] { return Query().empty(); }));
}

void BarTest::ClickIntoField() {
    const POINT at = CenterOf(WindowRectOf(bar->queryEdit->m_hWnd));
    WaitDoubleClickTime(); // an earlier click there would make this one a double click
    ClickAt(at.x, at.y);
    ASSERT_TRUE(PumpUntil([&] { return bar->active == 1 && ::GetFocus() == EditHwnd(); }));
}

void BarTest::OfferSuggestions(const std::vector<const char*>& texts) {
    bar->ClearSuggestions();
    for (const char* text : texts)
        bar->AddSuggestion(text);
    bar->ShowSuggestions();
    ASSERT_TRUE(PumpUntil([&] { return SuggestionsVisible(); }));
    PumpUntilIdle(); // painted, so its rows can be hit
}

bool BarTest::SuggestionsVisible() const {
    return bar->suggestionList && ::IsWindowVisible(bar->suggestionList->m_hWnd);
}

bool BarTest::EngineListVisible() const {
    return bar->engineList && ::IsWindowVisible(bar->engineList->m_hWnd);
}

bool BarTest::NoHooksInstalled() {
    return !CPopupHook::keyboardHook && !CPopupHook::popupMouseHook && !CPopupHook::barMouseHook;
}
