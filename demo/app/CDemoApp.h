// CDemoApp: the demo's application object. It reads the command line, starts
// the library's graphics support, makes the main window with its search bar
// and then either runs the ordinary message loop (interactive) or the
// script, after which it closes the window and ends with the script's
// verdict as the exit code. Started as the browser stand-in
// (--record-url), it only records the URL and ends. It owns the main window
// and the run's log.
#pragma once
#include "CDemoLog.h"
#include "CMainWindow.h"
#include "CUnicodeHost.h"
#include "DemoOptions.h"
#include <afxwin.h>
#include <memory>
#include <string>

class CDemoApp : public CWinApp {
  public:
    CDemoApp();

    BOOL InitInstance() override;
    int Run() override;
    int ExitInstance() override;

  private:
    bool StartGui();
    bool PrepareScriptFolder();
    bool CreateMainWindow(const CSkinFiles& skin, const CEngineCatalog& engines);
    void LogSetup(const CSkinFiles& skin, const std::string& settingsFile);
    // Tells the user: on the standard error stream, and in a message box
    // when nobody follows a script's log.
    void ReportError(const std::string& message);

    DemoOptions options;
    CDemoLog log; // declared before the window, which writes to it
    std::unique_ptr<CMainWindow> mainWindow;
    std::unique_ptr<CUnicodeHost> darkHost; // --theme dark, interactive
    bool guiStarted = false;
    int exitCode = 0;
};
