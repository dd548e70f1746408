// CMainWindow: the host window, its search bar, its answers to the bar's
// notifications and its status panel.
#include "CMainWindow.h"

namespace {
const char kClassName[] = "TavrelDemoHost";
constexpr size_t kRecentShown = 5;
constexpr int kLineHeight = 17;
constexpr int kPanelTop = 340; // below the tallest suggestion list (11 rows)
// The band behind the bar, from the top of the client area.
constexpr int kHeaderHeight = 64;
// Dark, because an X server without a compositing manager (Xvfb, where the
// scripted run takes its screenshots) shows a layered window's
// half-transparent pixels over black: on a dark band that is almost what a
// compositing desktop shows, so the bar's anti-aliased edges and glow look
// the same there as on Windows.
const COLORREF kHeaderColour = RGB(0x20, 0x24, 0x2B);
const COLORREF kWindowColour = RGB(0xE9, 0xED, 0xF2);
const COLORREF kPanelColour = RGB(0xFA, 0xFB, 0xFD);
const COLORREF kPanelEdge = RGB(0xC8, 0xD0, 0xDA);
const COLORREF kTextColour = RGB(0x26, 0x2E, 0x38);
const COLORREF kHintColour = RGB(0x6A, 0x75, 0x82);

const char* NotificationName(UINT message) {
    switch (message) {
    case UM_ENGINE_CHOSEN:
        return "UM_ENGINE_CHOSEN";
    case UM_QUERY_COMMAND:
        return "UM_QUERY_COMMAND";
    case UM_QUERY_CHANGED:
        return "UM_QUERY_CHANGED";
    case UM_SEARCH_LAUNCHED:
        return "UM_SEARCH_LAUNCHED";
    default:
        return "?";
    }
}

BOOL RegisterHostClass() {
    WNDCLASSA wc{};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = ::DefWindowProcA; // the framework binds its own on creation
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.hIcon = ::LoadIconA(nullptr, IDI_APPLICATION);
    wc.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = kClassName;
    return AfxRegisterClass(&wc);
}

void FillSolid(HDC dc, const RECT& rect, COLORREF colour) {
    const HBRUSH brush = ::CreateSolidBrush(colour);
    ::FillRect(dc, &rect, brush);
    ::DeleteObject(brush);
}

void DrawLine(HDC dc, int x, int y, const std::string& text, COLORREF colour) {
    ::SetTextColor(dc, colour);
    ::TextOutA(dc, x, y, text.c_str(), static_cast<int>(text.size()));
}
} // namespace

BEGIN_MESSAGE_MAP(CMainWindow, CWnd)
ON_WM_PAINT()
ON_MESSAGE(WM_SIZE, OnPlacementChanged)
ON_MESSAGE(WM_MOVE, OnPlacementChanged)
ON_MESSAGE(WM_DESTROY, OnDestroyWindow)
ON_MESSAGE(UM_QUERY_CHANGED, OnQueryChanged)
ON_MESSAGE(UM_ENGINE_CHOSEN, OnEngineChosen)
ON_MESSAGE(UM_QUERY_COMMAND, OnQueryCommand)
ON_MESSAGE(UM_SEARCH_LAUNCHED, OnSearchLaunched)
END_MESSAGE_MAP()

CMainWindow::CMainWindow() = default;

// The window goes before the font it paints with.
CMainWindow::~CMainWindow() {
    if (m_hWnd)
        DestroyWindow();
    if (font)
        ::DeleteObject(font);
}

BOOL CMainWindow::CreateAndShow(int x, int y) {
    if (!RegisterHostClass())
        return FALSE;
    const HDC screen = ::GetDC(nullptr);
    dpi = ::GetDeviceCaps(screen, LOGPIXELSX);
    ::ReleaseDC(nullptr, screen);
    font = ::CreateFontA(-Scaled(13), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                         OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                         DEFAULT_PITCH | FF_SWISS, "Tahoma");
    const DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    RECT frame = {0, 0, Scaled(kClientWidth), Scaled(kClientHeight)};
    ::AdjustWindowRectEx(&frame, style, FALSE, 0);
    if (!CreateEx(0, kClassName, "Tavrel demo", style, x, y, frame.right - frame.left,
                  frame.bottom - frame.top, nullptr, nullptr))
        return FALSE;
    ShowWindow(SW_SHOW);
    ::UpdateWindow(m_hWnd);
    return TRUE;
}

bool CMainWindow::AttachSearchBar(const CSkinFiles& skin, const CEngineCatalog& engines,
                                  const std::string& settingsFile) {
    this->skin = skin;
    bar = CTavrel::CreateTavrel();
    const POINT at = BarScreenPosition();
    // Width and height 0: the background picture gives the bar its size.
    const RECT placement = {at.x, at.y, 0, 0};
    if (!bar || bar->CreateBar(m_hWnd, &placement) != 1) {
        if (log)
            log->Write("error: the library could not create the search bar");
        return false;
    }
    bar->SetBackgroundImage(skin.Path(CSkinFiles::kBackground).c_str(), skin.CornerRadius());
    bar->SetActiveBackgroundImage(skin.Path(CSkinFiles::kActiveBackground).c_str());
    bar->SetEngineIconImage(skin.Path(CSkinFiles::kEngineIcon).c_str());
    bar->SetArrowImage(skin.Path(CSkinFiles::kArrow).c_str());
    bar->SetSearchButtonImage(skin.Path(CSkinFiles::kSearchButton).c_str());
    bar->SetEngineListBackground(skin.Path(CSkinFiles::kEngineList).c_str());
    bar->SetEngineListHighlight(skin.Path(CSkinFiles::kEngineListHighlight).c_str());
    bar->SetSuggestionListBackground(skin.Path(CSkinFiles::kSuggestionList).c_str());
    bar->SetSuggestionListHighlight(skin.Path(CSkinFiles::kSuggestionListHighlight).c_str());
    for (const EngineEntry& engine : engines.Entries()) {
        const int added =
            bar->AddEngine(engine.iconPath.c_str(), engine.name.c_str(), engine.urlPrefix.c_str());
        if (added)
            ++engineCount;
        if (log)
            log->Write("engine %s: %s, icon %s, URL prefix %s", added ? "added" : "refused",
                       engine.name.c_str(), engine.iconPath.c_str(), engine.urlPrefix.c_str());
    }
    // After the engines: the stored index must name a registered engine.
    if (!settingsFile.empty())
        bar->SetSettingsFile(settingsFile.c_str());
    PlaceBar();
    bar->ShowBar(SW_SHOW);
    Invalidate();
    return true;
}

bool CMainWindow::HasBarWindow() const {
    return bar && ::IsWindow(bar->GetWindowHandle());
}

POINT CMainWindow::BarScreenPosition() const {
    POINT at = {Scaled(kBarOffset.x), Scaled(kBarOffset.y)};
    ::ClientToScreen(m_hWnd, &at);
    return at;
}

void CMainWindow::PlaceBar() {
    if (!HasBarWindow() || ::IsIconic(m_hWnd))
        return;
    const POINT at = BarScreenPosition();
    bar->SetPosition(at.x, at.y);
    bar->UpdateLayout();
}

int CMainWindow::NotificationCount(UINT message) const {
    const auto it = counts.find(message);
    return it == counts.end() ? 0 : it->second;
}

std::string CMainWindow::QueryText() const {
    std::string query;
    if (bar)
        bar->GetQueryText(query);
    return query;
}

std::string CMainWindow::EngineLine() const {
    if (!bar)
        return "Engine: none";
    return std::string("Engine: ") + bar->GetEngineName() + "  (index " +
           std::to_string(bar->GetEngineIndex()) + ")  " + bar->GetEngineUrl();
}

size_t CMainWindow::OfferSuggestions(const std::string& query) {
    const std::vector<std::string> matches = words.Matches(query);
    bar->ClearSuggestions();
    for (const std::string& word : matches)
        bar->AddSuggestion(word.c_str());
    if (!matches.empty())
        bar->ShowSuggestions();
    return matches.size();
}

void CMainWindow::RecordNotification(UINT message, WPARAM wParam, LPARAM lParam,
                                     const std::string& details) {
    ++counts[message];
    const std::string line = std::string(NotificationName(message)) + ": " + details;
    if (log)
        log->Write("notification %s (%u, wParam %lu, lParam %ld): %s", NotificationName(message),
                   message, static_cast<unsigned long>(wParam), static_cast<long>(lParam),
                   details.c_str());
    recent.push_back(line);
    while (recent.size() > kRecentShown)
        recent.pop_front();
    const RECT panel = StatusPanelRect();
    InvalidateRect(&panel, FALSE);
}

LRESULT CMainWindow::OnQueryChanged(WPARAM wParam, LPARAM lParam) {
    if (!bar)
        return 0;
    const std::string query = QueryText();
    const size_t offered = OfferSuggestions(query);
    RecordNotification(UM_QUERY_CHANGED, wParam, lParam,
                       "query \"" + query + "\", " + std::to_string(offered) + " suggestions");
    return 0;
}

LRESULT CMainWindow::OnEngineChosen(WPARAM wParam, LPARAM lParam) {
    if (!bar)
        return 0;
    RecordNotification(UM_ENGINE_CHOSEN, wParam, lParam,
                       std::string("now ") + bar->GetEngineName() + " (index " +
                           std::to_string(bar->GetEngineIndex()) + ")");
    return 0;
}

LRESULT CMainWindow::OnQueryCommand(WPARAM wParam, LPARAM lParam) {
    RecordNotification(UM_QUERY_COMMAND, wParam, lParam,
                       "search button clicked, query \"" + QueryText() + "\"");
    return 0;
}

LRESULT CMainWindow::OnSearchLaunched(WPARAM wParam, LPARAM lParam) {
    if (!bar)
        return 0;
    RecordNotification(UM_SEARCH_LAUNCHED, wParam, lParam,
                       "\"" + QueryText() + "\" sent to " + bar->GetEngineName());
    return 0;
}

LRESULT CMainWindow::OnPlacementChanged(WPARAM, LPARAM) {
    PlaceBar();
    return 0;
}

LRESULT CMainWindow::OnDestroyWindow(WPARAM, LPARAM) {
    ::PostQuitMessage(0);
    return 0;
}

RECT CMainWindow::StatusPanelRect() const {
    return RECT{Scaled(kBarOffset.x), Scaled(kPanelTop), Scaled(kClientWidth - kBarOffset.x),
                Scaled(kClientHeight - 10)};
}

void CMainWindow::OnPaint() {
    CPaintDC paint(this);
    RECT client;
    GetClientRect(&client);
    FillSolid(paint, client, kWindowColour);
    const RECT header = {client.left, client.top, client.right, Scaled(kHeaderHeight)};
    FillSolid(paint, header, kHeaderColour);
    const HGDIOBJ oldFont = ::SelectObject(paint, font);
    ::SetBkMode(paint, TRANSPARENT);
    DrawLine(paint, Scaled(kBarOffset.x + 4), Scaled(kHeaderHeight + 10),
             "Type a query; choose an engine with a click on the icon or F4.", kHintColour);
    PaintStatusPanel(paint);
    ::SelectObject(paint, oldFont);
}

void CMainWindow::PaintStatusPanel(HDC dc) const {
    const RECT panel = StatusPanelRect();
    FillSolid(dc, panel, kPanelEdge);
    const RECT inside = {panel.left + 1, panel.top + 1, panel.right - 1, panel.bottom - 1};
    FillSolid(dc, inside, kPanelColour);
    const int x = inside.left + Scaled(8);
    int y = inside.top + Scaled(6);
    DrawLine(dc, x, y, EngineLine(), kTextColour);
    y += Scaled(kLineHeight + 4);
    DrawLine(dc, x, y, "Notifications, newest last:", kHintColour);
    for (const std::string& line : recent) {
        y += Scaled(kLineHeight);
        DrawLine(dc, x, y, line, kTextColour);
    }
}
