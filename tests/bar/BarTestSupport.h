// Shared ground for the search bar tests: a recording host window, a set of
// generated skin images with distinct colours, a bar created under the host
// and laid out with them, the launch seam replaced by a recorder of URLs,
// and small helpers for rectangles, pixels, screen points and typing.
#pragma once
#include "../../src/bar/CSearchBar.h"
#include "MessageRecorder.h"
#include "Pixels.h"
#include <cstdint>
#include <memory>
#include <ostream>
#include <string>
#include <vector>
#include <windows.h>

bool operator==(const RECT& a, const RECT& b);
void PrintTo(const RECT& r, std::ostream* os);
RECT WindowRectOf(HWND window);
RECT ClientRectToScreen(HWND window, const RECT& client);
POINT CenterOf(const RECT& r);

// Skin colours, opaque unless named otherwise.
constexpr uint32_t kBackgroundColor = 0xFF2040C0;
constexpr uint32_t kActiveColor = 0xFFC04020;
constexpr uint32_t kIconColor = 0xFF00C000;
constexpr uint32_t kArrowColor = 0xFFE0E000;
constexpr uint32_t kButtonColor = 0xFFC000C0;

// Solid PNG of a given size and colour, written once per name.
std::string SkinPng(int width, int height, uint32_t argb);
// Each RGB channel of pixel within tolerance of argb's.
bool SameColor(uint32_t pixel, uint32_t argb, int tolerance = 4);

// Every ShellExecuteA that LaunchSearch makes while one of these lives is
// recorded (its file argument); the registry answers that the HTML open
// command exists, so the URL goes to the shell as it is.
class LaunchRecorder {
public:
    LaunchRecorder();
    ~LaunchRecorder();
    LaunchRecorder(const LaunchRecorder&) = delete;
    LaunchRecorder& operator=(const LaunchRecorder&) = delete;
    const std::vector<std::string>& Urls() const;
    void Clear();
};

// Types ASCII text through SendInput into whatever has the focus, without
// touching the foreground window (which would raise the host over the bar).
void TypeIntoFocus(const char* text);
void TapKey(WORD vk);

// A bar under a shown recording host; scenario steps pump until their
// effect is visible. The standard skin is the 400 x 30 layout of the
// reference case: icon 16 x 16, arrow 7 x 4, button 24 x 24, at (100, 200).
class BarTest : public ::testing::Test {
protected:
    static constexpr int kBarLeft = 100;
    static constexpr int kBarTop = 200;

    void SetUp() override;
    void TearDown() override;

    void Create(const RECT& placement = {kBarLeft, kBarTop, 400, 30});
    void ApplyStandardSkin();
    // Created, skinned, placed, laid out and shown.
    void ShowStandardBar();
    // Invalidates, paints at once and returns the back buffer.
    PixelImage PaintAndRead();
    // A client rectangle of the bar in screen coordinates, and its centre.
    POINT ScreenPointOf(const RECT& client) const;
    HWND BarHwnd() const { return bar->m_hWnd; }
    HWND EditHwnd() const;
    std::string FieldText() const;
    // The shown suggestion list's rows (none while it is hidden), and the
    // query in UTF-16.
    std::vector<std::wstring> ShownRows() const;
    std::wstring Query() const;
    // Gives the query field the focus and empties it with real keys
    // (select all, Delete); fails unless the field ends up empty.
    void ClearField();
    // Clicks into the query field and waits for the bar to turn active.
    void ClickIntoField();
    // The host's side of a suggestion cycle: clear, fill, show.
    void OfferSuggestions(const std::vector<const char*>& texts);
    bool SuggestionsVisible() const;
    bool EngineListVisible() const;
    static bool NoHooksInstalled();

    MessageRecorder host;
    std::unique_ptr<CSearchBar> bar;
    LaunchRecorder launches;
};
