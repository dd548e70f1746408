// CMainWindow: the demo's host window. It owns the place of the search bar
// (a fixed spot near the top of its client area), makes the bar in the
// calling order the library expects, answers the bar's notifications (a
// changed query gets the word list's suggestions; a chosen engine shows in
// the status panel), lists every notification in the status panel and the
// run's log, and lays the bar out again whenever the window moves or
// changes size. The bar is an owned top-level window, so it is placed in
// screen coordinates. The window owns its status font; the bar itself
// belongs to the library, which never releases it. Like any DPI-aware
// program it draws its own window at the screen's DPI (sizes below are at
// 96 DPI); the bar follows the same DPI by itself.
#pragma once
#include "CDemoLog.h"
#include "CEngineCatalog.h"
#include "CSkinFiles.h"
#include <optional>
#include "CWordList.h"
#include "Tavrel.h"
#include <afxwin.h>
#include <deque>
#include <map>
#include <string>

class CMainWindow : public CWnd {
  public:
    CMainWindow();
    ~CMainWindow() override;

    // Creates the window with its client area at the fixed demo size and
    // its frame's top-left at (x, y), and shows it.
    BOOL CreateAndShow(int x, int y);
    // Makes and shows the bar; false (with the reason in the log) when the
    // library could not make it.
    bool AttachSearchBar(const CSkinFiles& skin, const CEngineCatalog& engines,
                         const std::string& settingsFile);
    // The scripted run's log; null (the default) logs nothing.
    void SetLog(CDemoLog* runLog) { log = runLog; }

    CTavrel* Bar() const { return bar; }
    // The skin the bar was made with; null before AttachSearchBar.
    const CSkinFiles* Skin() const { return skin ? &*skin : nullptr; }
    // How many engines the bar accepted.
    size_t EngineCount() const { return engineCount; }
    // How many of the given notification have arrived.
    int NotificationCount(UINT message) const;
    // The screen point where the bar's top-left corner belongs.
    POINT BarScreenPosition() const;

    // A size at 96 DPI in pixels of the screen's DPI.
    int Scaled(int pixels) const { return ::MulDiv(pixels, dpi, 96); }

    static constexpr int kClientWidth = 460;
    static constexpr int kClientHeight = 490;
    static constexpr POINT kBarOffset = {20, 20};

  protected:
    afx_msg void OnPaint();
    afx_msg LRESULT OnPlacementChanged(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnDestroyWindow(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnQueryChanged(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnEngineChosen(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnQueryCommand(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnSearchLaunched(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

  private:
    bool HasBarWindow() const;
    void PlaceBar();
    size_t OfferSuggestions(const std::string& query);
    std::string QueryText() const;
    std::string EngineLine() const;
    void RecordNotification(UINT message, WPARAM wParam, LPARAM lParam, const std::string& details);
    void PaintStatusPanel(HDC dc) const;
    RECT StatusPanelRect() const;

    CTavrel* bar = nullptr;
    std::optional<CSkinFiles> skin;
    CWordList words;
    CDemoLog* log = nullptr;
    size_t engineCount = 0;
    std::map<UINT, int> counts;
    std::deque<std::string> recent; // newest last
    HFONT font = nullptr;
    int dpi = 96;
};
