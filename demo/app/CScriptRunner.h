// CScriptRunner: the scripted run (--script OUTDIR). It drives the demo with
// real input, step by step: click into the query field, type a query, wait
// for the suggestions, step through them with Down, open the engine list by
// clicking the icon, choose the next engine, type a new query and press
// Enter. Each step waits, pumping messages, until the state it leads to can
// be seen (or a timeout passes) and may then photograph the screen around
// the window. The search URL is recorded by the demo itself standing in for
// the browser, unless the user asked for real opening (--open).
#pragma once
#include "CDemoLog.h"
#include "CMainWindow.h"
#include "CUnicodeHost.h"
#include "CWordList.h"
#include <functional>
#include <string>
#include <vector>

class CScriptRunner {
  public:
    CScriptRunner(CMainWindow& window, std::string outFolder, CDemoLog& log, bool recordUrls);
    // 0 when every step reached its state, 1 otherwise.
    int Run();
    // Run only the first step: the idle bar, photographed without the
    // rest of the window.
    void StopAfterIdleShot() { idleOnly = true; }
    // Names of the files a run writes into its folder (the log aside), so
    // that those of an earlier run can be removed first.
    static std::vector<std::string> OutputFiles();
    static constexpr const char* kUrlFile = "browser-urls.txt";

  private:
    struct Step {
        std::string title;
        std::function<void()> act;
        std::string expectation; // the state that ends the step, for the log
        std::function<bool()> reached;
        const char* screenshot; // file name, or null for none
        DWORD timeoutMs;
    };

    std::vector<Step> Steps();
    bool RunSteps();
    bool RunStep(const Step& step, int number);
    bool CheckRecordedUrl();
    // The second host, of the W functions: a query in other scripts with
    // its suggestions, photographed; nothing is searched.
    bool RunUnicodeHost();
    bool RunRightToLeftHost();
    // A third host, with the dark skin and light text styles: the query
    // with a suggestion highlighted, photographed.
    bool RunDarkHost();
    // A fourth host, whose bar asks a loopback server of the demo's own for
    // its suggestions: the server's rows, photographed.
    bool RunLiveHost();
    bool RunHistoryHost();
    bool ShowHostAndClickField(CUnicodeHost& host);
    // Empties the host's query field with keys and types the query.
    bool TypeIntoEmptyField(CUnicodeHost& host, const wchar_t* query);
    bool RunExtraHost(CUnicodeHost& host, const char* shot, bool highlight,
                      const wchar_t* query);
    void CaptureRegion(RECT region, const char* file);
    void Capture(const char* file);
    // The sizes and places of the bar and its query field, to the log.
    void LogSizes();

    HWND Bar() const;
    std::string QueryText() const;
    int Count(UINT notification) const;
    bool FieldHasFocus() const;
    void ClickIntoField();
    void ReplaceQuery(const char* text);
    POINT EngineIconPoint() const;
    POINT EngineRowPoint(int index) const;
    int NextEngineIndex() const;

    CMainWindow& window;
    std::string outFolder;
    std::string urlFile;
    CDemoLog& log;
    bool recordUrls;
    bool idleOnly = false;
    CWordList words;
    int targetEngine = 0;
    std::string finalQuery;
};
