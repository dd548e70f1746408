#include "PopupTestSupport.h"
#include "Pump.h"
#include <algorithm>
#include <cstdlib>

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

PixelImage PaintAndRead(HWND window, HDC bufferDC) {
    ::InvalidateRect(window, nullptr, TRUE);
    ::UpdateWindow(window);
    return ReadMemoryDC(bufferDC);
}

bool IsTextPixel(uint32_t pixel) {
    return std::max({PixelImage::Red(pixel), PixelImage::Green(pixel), PixelImage::Blue(pixel)}) <
           128;
}

int CountTextPixels(const PixelImage& image, const RECT& area) {
    int count = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            count += IsTextPixel(image.At(x, y));
    return count;
}

int LeftmostTextColumn(const PixelImage& image, const RECT& area) {
    for (int x = area.left; x < area.right; ++x)
        for (int y = area.top; y < area.bottom; ++y)
            if (IsTextPixel(image.At(x, y)))
                return x;
    return -1;
}

int RightmostTextColumn(const PixelImage& image, const RECT& area) {
    for (int x = area.right - 1; x >= area.left; --x)
        for (int y = area.top; y < area.bottom; ++y)
            if (IsTextPixel(image.At(x, y)))
                return x;
    return -1;
}

bool IsNearColor(uint32_t pixel, uint32_t rgb, int tolerance) {
    auto within = [&](int a, int b) { return std::abs(a - b) <= tolerance; };
    return within(PixelImage::Red(pixel), (rgb >> 16) & 0xFF) &&
           within(PixelImage::Green(pixel), (rgb >> 8) & 0xFF) &&
           within(PixelImage::Blue(pixel), rgb & 0xFF);
}

int CountNearColor(const PixelImage& image, const RECT& area, uint32_t rgb) {
    int count = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            count += IsNearColor(image.At(x, y), rgb);
    return count;
}

namespace {
LRESULT CALLBACK OtherWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY)
        ::PostQuitMessage(0);
    return ::DefWindowProcA(hwnd, message, wParam, lParam);
}
} // namespace

OtherThreadWindow::OtherThreadWindow() {
    ready = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    thread = ::CreateThread(nullptr, 0, &Run, this, 0, nullptr);
    ::WaitForSingleObject(ready, 5000);
}

OtherThreadWindow::~OtherThreadWindow() {
    if (window)
        ::PostMessageA(window, WM_CLOSE, 0, 0);
    // The other thread sends activation messages to this one on its way
    // out, so this thread keeps pumping while it waits.
    const DWORD start = ::GetTickCount();
    while (::MsgWaitForMultipleObjects(1, &thread, FALSE, 100, QS_ALLINPUT) != WAIT_OBJECT_0 &&
           ::GetTickCount() - start < 5000)
        PumpPending();
    PumpUntilIdle();
    ::CloseHandle(thread);
    ::CloseHandle(ready);
}

DWORD WINAPI OtherThreadWindow::Run(void* param) {
    auto* self = static_cast<OtherThreadWindow*>(param);
    WNDCLASSA wc{};
    wc.lpfnWndProc = &OtherWindowProc;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.lpszClassName = "TavrelTestOtherThread";
    ::RegisterClassA(&wc); // fails harmlessly when already registered
    self->window = ::CreateWindowExA(0, wc.lpszClassName, "other", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                     800, 700, 200, 100, nullptr, nullptr, wc.hInstance, nullptr);
    ::SetEvent(self->ready);
    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0)
        ::DispatchMessageA(&msg);
    return 0;
}
