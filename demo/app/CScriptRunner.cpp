// CScriptRunner: the steps of the scripted tour, what each waits for, and
// the screenshots and checks between them.
#include "CScriptRunner.h"
#include "BarWindows.h"
#include "CBrowserStandIn.h"
#include "MessagePump.h"
#include "ScreenCapture.h"
#include "CSuggestionServer.h"
#include "CUnicodeHost.h"
#include "DemoPaths.h"
#include "SyntheticInput.h"
#include <utility>

namespace {
constexpr DWORD kStepTimeoutMs = 5000;
// The recorder is a new process; under Wine its start can take seconds.
constexpr DWORD kLaunchTimeoutMs = 20000;
// Room around the window in screenshots, for the bar's shadow.
constexpr int kScreenshotMargin = 10;

const char kFirstQuery[] = "ski";
const char kSecondQuery[] = "wind";

const char kIdleShot[] = "01-idle.png";
const char kActiveShot[] = "02-active.png";
const char kSuggestionsShot[] = "03-suggestions.png";
const char kHighlightShot[] = "04-suggestion-highlighted.png";
const char kEngineListShot[] = "05-engine-list.png";
const char kEngineChosenShot[] = "06-engine-chosen.png";
const char kNewQueryShot[] = "07-new-query.png";
const char kLaunchedShot[] = "08-search-launched.png";
const char kUnicodeShot[] = "10-unicode-query.png";
const char kDarkShot[] = "11-dark-suggestions.png";
const char kLiveShot[] = "12-live-suggestions.png";
const char kHistoryShot[] = "13-recent-searches.png";
const char kHistoryFile[] = "recent-searches.txt";
const char kRightToLeftShot[] = "14-right-to-left.png";
const wchar_t kRightToLeftQuery[] = L"سلام";
const wchar_t kRecentQueries[][8] = {L"wind", L"winter"};
const wchar_t kRecentPrefix[] = L"win";
const wchar_t kUnicodeQuery[] = L"мир";
const wchar_t kLiveQuery[] = L"wind";
const char kFailedShot[] = "failed-step.png";
} // namespace

CScriptRunner::CScriptRunner(CMainWindow& window, std::string outFolder, CDemoLog& log,
                             bool recordUrls)
    : window(window), outFolder(std::move(outFolder)), log(log), recordUrls(recordUrls) {
    urlFile = this->outFolder + "\\" + kUrlFile;
}

std::vector<std::string> CScriptRunner::OutputFiles() {
    return {kIdleShot,         kActiveShot,   kSuggestionsShot, kHighlightShot, kEngineListShot,
            kEngineChosenShot, kNewQueryShot, kLaunchedShot,    kUnicodeShot,   kDarkShot,
            kLiveShot,         kHistoryShot,  kRightToLeftShot, kHistoryFile,
            kFailedShot,       kUrlFile};
}

int CScriptRunner::Run() {
    if (idleOnly) {
        const bool reached = RunStep(Steps().front(), 1);
        LogSizes();
        return reached ? 0 : 1;
    }
    if (!recordUrls)
        return RunSteps() ? 0 : 1;
    // The handlers are restored when the stand-in goes, whatever the outcome.
    CBrowserStandIn standIn(urlFile);
    if (!standIn.Installed()) {
        log.Write("error: could not register the URL recorder as the browser; stopping so that "
                  "no real browser opens");
        return 1;
    }
    log.Write("the URL recorder stands in for the browser (%s)", urlFile.c_str());
    return RunSteps() ? 0 : 1;
}

bool CScriptRunner::RunSteps() {
    // Keys reach the thread of the foreground window; the library's hidden
    // popups may hold the activation, which is just as good.
    if (::GetWindowThreadProcessId(::GetForegroundWindow(), nullptr) != ::GetCurrentThreadId())
        log.Write("note: another program has the foreground; typed keys may go astray");
    int number = 0;
    for (const Step& step : Steps()) {
        if (!RunStep(step, ++number))
            return false;
    }
    return CheckRecordedUrl() && RunUnicodeHost() && RunDarkHost() && RunLiveHost() &&
           RunHistoryHost() && RunRightToLeftHost();
}

bool CScriptRunner::RunUnicodeHost() {
    if (!window.Skin())
        return false;
    log.Write("step: a second host, of the W functions, types a query in Cyrillic");
    CUnicodeHost host(*window.Skin());
    return RunExtraHost(host, kUnicodeShot, false, kUnicodeQuery);
}

bool CScriptRunner::RunDarkHost() {
    log.Write("step: a host with the dark skin and light text styles types a query in Cyrillic "
              "and highlights a suggestion");
    CUnicodeHost host(CSkinFiles(DarkSkinFolder(), ""), true);
    return RunExtraHost(host, kDarkShot, true, kUnicodeQuery);
}

bool CScriptRunner::RunLiveHost() {
    if (!window.Skin())
        return false;
    CSuggestionServer server([this](const std::string& query) { return words.Matches(query); });
    if (!server.Start()) {
        log.Write("error: the loopback suggestion server did not start");
        return false;
    }
    const std::wstring url = server.UrlTemplate();
    log.Write("step: a host whose bar asks a loopback server for live suggestions (%s)",
              std::string(url.begin(), url.end()).c_str());
    CUnicodeHost host(*window.Skin());
    host.UseSuggestionUrl(server.UrlTemplate());
    if (!RunExtraHost(host, kLiveShot, false, kLiveQuery))
        return false;
    log.Write("the bar asked the server %d time(s) while %d characters were typed; the host "
              "offered no suggestion of its own",
              server.Requests(), static_cast<int>(std::wstring(kLiveQuery).size()));
    return server.Requests() >= 1;
}

// Searches twice, then types the start of both: the recent rows lead the
// host's own, marked with a clock; Shift+Delete removes the highlighted one.
bool CScriptRunner::RunHistoryHost() {
    if (!window.Skin())
        return false;
    const std::string file = outFolder + "\\" + kHistoryFile;
    ::DeleteFileA(file.c_str());
    log.Write("step: a host with recent searches (%s) searches twice", file.c_str());
    CUnicodeHost host(*window.Skin());
    host.UseHistoryFile(std::wstring(file.begin(), file.end()));
    if (!ShowHostAndClickField(host))
        return false;
    for (const wchar_t* query : kRecentQueries) {
        const int searches = host.SearchesLaunched();
        if (!TypeIntoEmptyField(host, query))
            return false;
        TapKey(VK_RETURN);
        if (!PumpUntil([&] { return host.SearchesLaunched() > searches; }, kStepTimeoutMs)) {
            log.Write("step failed: the search was not launched");
            Capture(kFailedShot);
            return false;
        }
    }
    if (!TypeIntoEmptyField(host, kRecentPrefix) ||
        !PumpUntil([&] { return IsShown(FindSuggestionList(host.Bar())); }, kStepTimeoutMs)) {
        log.Write("step failed: no recent searches offered");
        Capture(kFailedShot);
        return false;
    }
    PumpUntilIdle(150, 2000);
    RECT region = WindowRectOf(host.Window());
    const RECT list = WindowRectOf(FindSuggestionList(host.Bar()));
    ::UnionRect(&region, &region, &list);
    CaptureRegion(region, kHistoryShot);
    log.Write("the two searches are offered above the host's suggestions; screenshot taken");
    TapKey(VK_DOWN);
    if (!PumpUntil([&] { return host.Query() == kRecentQueries[1]; }, kStepTimeoutMs)) {
        log.Write("step failed: Down highlighted no recent search");
        Capture(kFailedShot);
        return false;
    }
    TapKey(VK_DELETE, VK_SHIFT);
    if (!PumpUntil([&] { return host.HistoryCount() == 1; }, kStepTimeoutMs)) {
        log.Write("step failed: Shift+Delete removed no recent search");
        Capture(kFailedShot);
        return false;
    }
    log.Write("Shift+Delete removed the newest search; one is left in %s", kHistoryFile);
    return true;
}

// A window laid out right to left: the bar mirrors with it, and its field
// and suggestions read right to left, a Latin row among them included.
bool CScriptRunner::RunRightToLeftHost() {
    if (!window.Skin())
        return false;
    log.Write("step: a host laid out right to left types a query in Arabic");
    CUnicodeHost host(*window.Skin());
    host.UseRightToLeftLayout();
    return RunExtraHost(host, kRightToLeftShot, true, kRightToLeftQuery);
}

bool CScriptRunner::TypeIntoEmptyField(CUnicodeHost& host, const wchar_t* query) {
    const HWND edit = FindQueryEdit(host.Bar());
    ::SetFocus(edit);
    TapKey(VK_HOME);
    TapKey(VK_END, VK_SHIFT);
    TapKey(VK_DELETE);
    if (!PumpUntil([&] { return ::GetFocus() == edit && host.Query().empty(); },
                   kStepTimeoutMs)) {
        log.Write("step failed: the host's query field could not be emptied");
        return false;
    }
    PumpUntilIdle(100, 1000);
    TypeUnicode(query);
    if (!PumpUntil([&] { return host.Query() == query; }, kStepTimeoutMs)) {
        log.Write("step failed: the typed query is not in the field");
        Capture(kFailedShot);
        return false;
    }
    PumpUntilIdle(100, 1000);
    return true;
}

// The host below the main window, then a click into its query field.
bool CScriptRunner::ShowHostAndClickField(CUnicodeHost& host) {
    const RECT main = WindowRectOf(window.m_hWnd);
    if (!host.Create(main.left, main.bottom + 20)) {
        log.Write("error: the host could not make its bar");
        return false;
    }
    PumpUntilIdle(150, 2000);
    WaitDoubleClickTime();
    ClickAt(CentreOf(WindowRectOf(FindQueryFrame(host.Bar()))));
    return true;
}

bool CScriptRunner::RunExtraHost(CUnicodeHost& host, const char* shot, bool highlight,
                                 const wchar_t* query) {
    if (!ShowHostAndClickField(host))
        return false;
    const HWND edit = FindQueryEdit(host.Bar());
    if (!PumpUntil([edit] { return ::GetFocus() == edit; }, kStepTimeoutMs)) {
        log.Write("step failed: the host's query field has no focus");
        return false;
    }
    TypeUnicode(query);
    if (!PumpUntil([&] { return host.Query() == query &&
                                IsShown(FindSuggestionList(host.Bar())); },
                   kStepTimeoutMs)) {
        log.Write("step failed: the query and its suggestions are not shown");
        Capture(kFailedShot);
        return false;
    }
    const int changes = host.QueryChanges();
    if (highlight) {
        // Down highlights the first suggestion and puts it into the field.
        TapKey(VK_DOWN);
        if (!PumpUntil([&] { return host.Query() != query; }, kStepTimeoutMs)) {
            log.Write("step failed: Down highlighted no suggestion");
            Capture(kFailedShot);
            return false;
        }
    }
    RECT region = WindowRectOf(host.Window());
    const RECT list = WindowRectOf(FindSuggestionList(host.Bar()));
    ::UnionRect(&region, &region, &list);
    CaptureRegion(region, shot);
    log.Write("the host's query is the one typed (%d query changes); screenshot taken", changes);
    return true;
}

bool CScriptRunner::RunStep(const Step& step, int number) {
    log.Write("step %d: %s", number, step.title.c_str());
    if (step.act)
        step.act();
    if (!PumpUntil(step.reached, step.timeoutMs)) {
        log.Write("step %d failed: %s (not seen within %lu ms)", number, step.expectation.c_str(),
                  static_cast<unsigned long>(step.timeoutMs));
        Capture(kFailedShot);
        return false;
    }
    log.Write("step %d done: %s", number, step.expectation.c_str());
    if (step.screenshot)
        Capture(step.screenshot);
    return true;
}

std::vector<CScriptRunner::Step> CScriptRunner::Steps() {
    const std::vector<std::string> firstMatches = words.Matches(kFirstQuery);
    const std::string secondMatch = firstMatches.size() > 1 ? firstMatches[1] : "";
    return {
        {"the demo window with its bar", nullptr, "the bar and its query field are shown",
         [this] { return IsShown(Bar()) && IsShown(FindQueryFrame(Bar())); }, kIdleShot,
         kStepTimeoutMs},
        {"move the window by (12, 8)",
         [this] {
             const RECT frame = WindowRectOf(window.m_hWnd);
             ::SetWindowPos(window.m_hWnd, nullptr, frame.left + 12, frame.top + 8, 0, 0,
                            SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
         },
         "the bar follows to its place in the window",
         [this] {
             const RECT bar = WindowRectOf(Bar());
             const POINT place = window.BarScreenPosition();
             return bar.left == place.x && bar.top == place.y;
         },
         nullptr, kStepTimeoutMs},
        {"click into the query field", [this] { ClickIntoField(); },
         "the query field has the keyboard focus", [this] { return FieldHasFocus(); }, kActiveShot,
         kStepTimeoutMs},
        {std::string("type \"") + kFirstQuery + "\"", [] { TypeText(kFirstQuery); },
         std::string("the query reads \"") + kFirstQuery + "\" and the suggestion list is shown",
         [this] {
             return QueryText() == kFirstQuery && Count(UM_QUERY_CHANGED) >= 1 &&
                    IsShown(FindSuggestionList(Bar()));
         },
         kSuggestionsShot, kStepTimeoutMs},
        {"press Down twice",
         [] {
             TapKey(VK_DOWN);
             TapKey(VK_DOWN);
         },
         "the second suggestion, \"" + secondMatch + "\", is in the query field",
         [this, secondMatch] { return !secondMatch.empty() && QueryText() == secondMatch; },
         kHighlightShot, kStepTimeoutMs},
        {"click the engine icon", [this] { ClickAt(EngineIconPoint()); },
         "the engine list is shown", [this] { return IsShown(FindEngineList(Bar())); }, nullptr,
         kStepTimeoutMs},
        {"point at the next engine",
         [this] {
             targetEngine = NextEngineIndex();
             MoveMouseTo(EngineRowPoint(targetEngine));
         },
         "the engine list is still shown", [this] { return IsShown(FindEngineList(Bar())); },
         kEngineListShot, kStepTimeoutMs},
        {"choose that engine", [this] { ClickAt(EngineRowPoint(targetEngine)); },
         "UM_ENGINE_CHOSEN arrived and the bar reports the chosen index",
         [this] {
             return Count(UM_ENGINE_CHOSEN) >= 1 && window.Bar()->GetEngineIndex() == targetEngine;
         },
         kEngineChosenShot, kStepTimeoutMs},
        {std::string("type a new query, \"") + kSecondQuery + "\"",
         [this] { ReplaceQuery(kSecondQuery); },
         std::string("the query reads \"") + kSecondQuery + "\" and the suggestion list is shown",
         [this] { return QueryText() == kSecondQuery && IsShown(FindSuggestionList(Bar())); },
         kNewQueryShot, kStepTimeoutMs},
        {"press Enter",
         [this] {
             finalQuery = QueryText();
             TapKey(VK_RETURN);
         },
         recordUrls ? "UM_SEARCH_LAUNCHED arrived and the browser stand-in recorded a URL"
                    : "UM_SEARCH_LAUNCHED arrived",
         [this] {
             return Count(UM_SEARCH_LAUNCHED) >= 1 &&
                    (!recordUrls || !CBrowserStandIn::Recorded(urlFile).empty());
         },
         kLaunchedShot, kLaunchTimeoutMs},
    };
}

// The URL is the current engine's prefix followed by the query; the demo's
// queries are plain letters, which the library passes on unchanged.
bool CScriptRunner::CheckRecordedUrl() {
    if (!recordUrls) {
        log.Write("the URL was handed to the real browser (--open)");
        return true;
    }
    const std::vector<std::string> urls = CBrowserStandIn::Recorded(urlFile);
    const std::string expected = window.Bar()->GetEngineUrl() + finalQuery;
    for (const std::string& url : urls)
        log.Write("browser launcher received: %s", url.c_str());
    if (urls.size() != 1 || urls.front() != expected) {
        log.Write("error: expected exactly one URL, %s", expected.c_str());
        return false;
    }
    return true;
}

void CScriptRunner::Capture(const char* file) {
    // Let the X server catch up with the last paints before reading it.
    PumpUntilIdle(150, 2000);
    // The idle-only run photographs the bar alone, on the window's band.
    RECT region = BarFootprint(Bar());
    if (!idleOnly) {
        const RECT frame = WindowRectOf(window.m_hWnd);
        ::UnionRect(&region, &region, &frame);
    }
    CaptureRegion(region, file);
}

void CScriptRunner::CaptureRegion(RECT region, const char* file) {
    PumpUntilIdle(150, 2000);
    ::InflateRect(&region, kScreenshotMargin, kScreenshotMargin);
    const std::string path = outFolder + "\\" + file;
    if (CaptureScreenRegion(region, path))
        log.Write("screenshot %s", file);
    else
        log.Write("error: could not write screenshot %s", path.c_str());
}

void CScriptRunner::LogSizes() {
    const RECT bar = WindowRectOf(Bar());
    const RECT field = WindowRectOf(FindQueryFrame(Bar()));
    log.Write("bar %ld x %ld at (%ld, %ld); query field %ld x %ld at (%ld, %ld)",
              bar.right - bar.left, bar.bottom - bar.top, bar.left, bar.top,
              field.right - field.left, field.bottom - field.top, field.left, field.top);
}

HWND CScriptRunner::Bar() const {
    return window.Bar()->GetWindowHandle();
}

std::string CScriptRunner::QueryText() const {
    std::string text;
    window.Bar()->GetQueryText(text);
    return text;
}

int CScriptRunner::Count(UINT notification) const {
    return window.NotificationCount(notification);
}

bool CScriptRunner::FieldHasFocus() const {
    const HWND edit = FindQueryEdit(Bar());
    return edit && ::GetFocus() == edit;
}

void CScriptRunner::ClickIntoField() {
    // An earlier click at the same spot would turn this one into a double
    // click, which selects a word instead of placing the caret.
    WaitDoubleClickTime();
    ClickAt(CentreOf(WindowRectOf(FindQueryFrame(Bar()))));
}

void CScriptRunner::ReplaceQuery(const char* text) {
    ClickIntoField();
    if (!PumpUntil([this] { return FieldHasFocus(); }, kStepTimeoutMs))
        log.Write("note: the query field did not take the focus");
    TapKey(VK_HOME);
    TapKey(VK_END, VK_SHIFT); // select the old query; typing replaces it
    TypeText(text);
}

// The engine area's click rectangle spans the icon and the arrow and is as
// high as the icon, which the bar centres vertically; a point a few pixels
// into the icon on the bar's middle line lies inside it for any icon.
POINT CScriptRunner::EngineIconPoint() const {
    const RECT bar = WindowRectOf(Bar());
    return POINT{bar.left + 10, bar.top + (bar.bottom - bar.top) / 2};
}

// The engine list has one row per engine, all of the same height.
POINT CScriptRunner::EngineRowPoint(int index) const {
    const RECT list = WindowRectOf(FindEngineList(Bar()));
    const int rows = static_cast<int>(window.EngineCount());
    const int rowHeight = rows > 0 ? (list.bottom - list.top) / rows : 0;
    return POINT{list.left + (list.right - list.left) / 2,
                 list.top + index * rowHeight + rowHeight / 2};
}

int CScriptRunner::NextEngineIndex() const {
    const int count = static_cast<int>(window.EngineCount());
    return count > 0 ? (window.Bar()->GetEngineIndex() + 1) % count : 0;
}
