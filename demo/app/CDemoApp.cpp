// CDemoApp: start-up, the interactive or scripted run, and shut-down. The
// one application object of the program is defined here.
#include "CDemoApp.h"
#include "BarWindows.h"
#include "CBrowserStandIn.h"
#include "CScriptRunner.h"
#include "DemoPaths.h"
#include "MessagePump.h"
#include <cstdio>
#include <cstdlib>
#include <shlobj.h>

namespace {
// Where the main window's frame starts on the screen.
constexpr int kWindowLeft = 60;
constexpr int kWindowTop = 60;
const char kLogFile[] = "demo-log.txt";
} // namespace

CDemoApp theApp;

CDemoApp::CDemoApp() : CWinApp("Tavrel demo") {}

BOOL CDemoApp::InitInstance() {
    options = ParseDemoOptions(__argc, __argv);
    if (options.recordMode) {
        exitCode = CBrowserStandIn::Record(options.recordFile, options.recordUrl) ? 0 : 1;
        return FALSE;
    }
    if (!options.error.empty()) {
        ReportError(options.error + "\n" + DemoUsage());
        exitCode = 2;
        return FALSE;
    }
    if (options.Scripted() && !PrepareScriptFolder()) {
        exitCode = 1;
        return FALSE;
    }
    if (!StartGui()) {
        exitCode = 1;
        return FALSE;
    }
    const CSkinFiles skin(DefaultSkinFolder(), options.skinFolder);
    CEngineCatalog engines = CEngineCatalog::Defaults(skin);
    std::string error;
    if (!options.enginesFile.empty() && !engines.LoadIni(options.enginesFile, &error)) {
        ReportError(error);
        exitCode = 2;
        return FALSE;
    }
    if (!CreateMainWindow(skin, engines)) {
        exitCode = 1;
        return FALSE;
    }
    // The scripted tour makes its dark host itself, as one of its steps.
    if (options.darkTheme && !options.Scripted()) {
        darkHost = std::make_unique<CUnicodeHost>(CSkinFiles(DarkSkinFolder(), ""), true);
        const RECT main = WindowRectOf(mainWindow->m_hWnd);
        if (!darkHost->Create(main.left, main.bottom + 20))
            ReportError("the dark host could not make its bar");
    }
    return TRUE;
}

bool CDemoApp::StartGui() {
    if (CInitGui::Startup() != 1) {
        ReportError("the graphics support (GDI+) did not start");
        return false;
    }
    guiStarted = true;
    return true;
}

bool CDemoApp::PrepareScriptFolder() {
    options.scriptFolder = FullPath(options.scriptFolder);
    const int made = ::SHCreateDirectoryExA(nullptr, options.scriptFolder.c_str(), nullptr);
    if (made != ERROR_SUCCESS && made != ERROR_ALREADY_EXISTS && made != ERROR_FILE_EXISTS) {
        ReportError("cannot make the output folder " + options.scriptFolder);
        return false;
    }
    for (const std::string& file : CScriptRunner::OutputFiles())
        ::DeleteFileA((options.scriptFolder + "\\" + file).c_str());
    const std::string logPath = options.scriptFolder + "\\" + kLogFile;
    if (!log.Open(logPath)) {
        ReportError("cannot write the log " + logPath);
        return false;
    }
    return true;
}

bool CDemoApp::CreateMainWindow(const CSkinFiles& skin, const CEngineCatalog& engines) {
    mainWindow = std::make_unique<CMainWindow>();
    if (options.Scripted())
        mainWindow->SetLog(&log);
    if (!mainWindow->CreateAndShow(kWindowLeft, kWindowTop)) {
        ReportError("cannot create the main window");
        return false;
    }
    m_pMainWnd = mainWindow.get();
    // Keys go to the foreground window's thread. The window becomes the
    // foreground before the bar exists: under Wine, activating the host
    // later would stack it above its own bar.
    ::SetForegroundWindow(mainWindow->m_hWnd);
    const std::string settingsFile = SettingsFilePath();
    LogSetup(skin, settingsFile);
    if (!mainWindow->AttachSearchBar(skin, engines, settingsFile)) {
        ReportError("the library could not create the search bar");
        return false;
    }
    return true;
}

void CDemoApp::LogSetup(const CSkinFiles& skin, const std::string& settingsFile) {
    if (!options.Scripted())
        return;
    log.Write("Tavrel demo, scripted run; output in %s", options.scriptFolder.c_str());
    log.Write("skin: %s", skin.CustomFolder().empty() ? DefaultSkinFolder().c_str()
                                                      : skin.CustomFolder().c_str());
    for (const std::string& file : skin.DefaultsUsed())
        log.Write("skin: %s missing there, the default one is used", file.c_str());
    log.Write("settings file: %s",
              settingsFile.empty() ? "(no application-data folder)" : settingsFile.c_str());
}

int CDemoApp::Run() {
    if (!options.Scripted())
        return CWinApp::Run();
    CScriptRunner script(*mainWindow, options.scriptFolder, log, !options.openUrls);
    if (options.idleOnly)
        script.StopAfterIdleShot();
    exitCode = script.Run();
    log.Write(exitCode == 0 ? "script finished: every step reached its state"
                            : "script stopped: a step did not reach its state");
    if (!QuitRequested())
        mainWindow->DestroyWindow(); // posts WM_QUIT, which ends the loop below
    return CWinApp::Run();
}

int CDemoApp::ExitInstance() {
    const int loopResult = CWinApp::ExitInstance();
    if (guiStarted)
        CInitGui::Clearup();
    return options.Scripted() || exitCode != 0 ? exitCode : loopResult;
}

void CDemoApp::ReportError(const std::string& message) {
    std::fprintf(stderr, "tavrel_demo: %s\n", message.c_str());
    if (options.Scripted())
        log.Write("error: %s", message.c_str());
    else
        ::MessageBoxA(nullptr, message.c_str(), "Tavrel demo", MB_OK | MB_ICONERROR);
}
