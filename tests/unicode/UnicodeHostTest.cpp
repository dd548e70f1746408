// A host that uses only the W functions of the C interface runs whole
// searches in Russian and in Chinese, with real input: its skins and its
// settings file lie in a folder named "Настройки-日本", its engines are
// registered with UTF-16 names (one URL with {searchTerms}, one to append
// to), the query is typed with KEYEVENTF_UNICODE, Unicode suggestions are
// stepped with Down and searched with Enter, and the browser (the shell's
// handler for https URLs: launch_recorder) receives the exact UTF-8 URL.
// The Russian search runs under a Unicode message loop (GetMessageW's
// kind), the Chinese one under an ANSI loop (PeekMessageA, DispatchMessageA)
// in which every character outside code page 1252 would otherwise become
// '?'. A second bar restores the chosen engine from the settings file, and
// a screen reader gets the Unicode texts.
#include "TestFiles.h"
#include "tavrel_c.h"

#include <gtest/gtest.h>
#include <oleacc.h>
#include <functional>
#include <memory>
#include <string>
#include <vector>
#include <windows.h>

namespace {

const wchar_t kFolderName[] = L"Настройки-日本";
const wchar_t kTemplateUrl[] = L"https://example.org/s?q={searchTerms}&hl=ru";
const wchar_t kAppendUrl[] = L"https://example.org/find?term=";
const char kRussianUrl[] =
    "https://example.org/s?q=%D0%9F%D1%80%D0%B8%D0%B2%D0%B5%D1%82%20%D0%BC%D0%B8%D1%80&hl=ru";
const char kChineseUrl[] = "https://example.org/find?term=%E6%9D%B1%E4%BA%AC";

std::wstring Widen(const std::string& ascii) {
    return std::wstring(ascii.begin(), ascii.end());
}

// ---- The host: a Unicode window that answers every query change ----

TavrelBar* g_bar = nullptr;
int g_queryChanges = 0;
int g_searches = 0;
int g_engineChoices = 0;
std::vector<std::wstring> g_suggestionTails; // appended to the query

std::wstring QueryOf(TavrelBar* bar) {
    const int length = TavrelGetQueryTextW(bar, nullptr, 0);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    TavrelGetQueryTextW(bar, &text[0], length + 1);
    text.resize(static_cast<size_t>(length));
    return text;
}

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case TAVREL_UM_QUERY_CHANGED: {
        ++g_queryChanges;
        const std::wstring query = QueryOf(g_bar);
        TavrelClearSuggestions(g_bar);
        for (const std::wstring& tail : g_suggestionTails)
            TavrelAddSuggestionW(g_bar, (query + tail).c_str());
        TavrelShowSuggestions(g_bar);
        return 0;
    }
    case TAVREL_UM_SEARCH_LAUNCHED:
        ++g_searches;
        return 0;
    case TAVREL_UM_ENGINE_CHOSEN:
        ++g_engineChoices;
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

// ---- Message loops: pre-translation first, as every host must ----

void PumpWide() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (!TavrelPreTranslateMessage(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
}

void PumpNarrow() {
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (!TavrelPreTranslateMessage(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
}

using Pump = void (*)();

bool PumpUntil(Pump pump, const std::function<bool()>& done, DWORD timeoutMs = 5000) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        pump();
        if (done())
            return true;
        if (::GetTickCount() - start >= timeoutMs)
            return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

// ---- The bar's windows, keys and typing ----

HWND OwnedWindow(TavrelBar* bar, const wchar_t* className, bool visibleOnly) {
    HWND found = nullptr;
    while ((found = ::FindWindowExW(nullptr, found, className, nullptr)) != nullptr)
        if (::GetWindow(found, GW_OWNER) == TavrelGetWindowHandle(bar) &&
            (!visibleOnly || ::IsWindowVisible(found)))
            return found;
    return nullptr;
}

// Wine drops keys for a thread without the foreground window: the field's
// own frame is activated (the host would be raised over the bar).
void FocusQueryField(TavrelBar* bar, Pump pump) {
    HWND frame = OwnedWindow(bar, L"GUI_EDIT", false);
    ASSERT_NE(nullptr, frame);
    ::SetForegroundWindow(frame);
    ASSERT_TRUE(PumpUntil(pump, [&] { return ::GetForegroundWindow() == frame; }));
    ::SetFocus(::GetWindow(frame, GW_CHILD));
}

void SendKeys(std::vector<INPUT> keys) {
    ::SendInput(static_cast<UINT>(keys.size()), keys.data(), sizeof(INPUT));
}

void PressKey(WORD vk) {
    INPUT down{}, up{};
    down.type = up.type = INPUT_KEYBOARD;
    down.ki.wVk = up.ki.wVk = vk;
    down.ki.wScan = up.ki.wScan = static_cast<WORD>(::MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    up.ki.dwFlags = KEYEVENTF_KEYUP;
    SendKeys({down, up});
}

// One character at a time, each taken before the next, as a user types.
void TypeUnicode(const std::wstring& text, Pump pump) {
    for (size_t i = 0; i < text.size(); ++i) {
        INPUT down{}, up{};
        down.type = up.type = INPUT_KEYBOARD;
        down.ki.wScan = up.ki.wScan = text[i];
        down.ki.dwFlags = KEYEVENTF_UNICODE;
        up.ki.dwFlags = KEYEVENTF_UNICODE | KEYEVENTF_KEYUP;
        const int changes = g_queryChanges;
        SendKeys({down, up});
        ASSERT_TRUE(PumpUntil(pump, [&] { return g_queryChanges > changes; }))
            << "character " << i << " was not taken";
    }
}

// ---- The browser stand-in and the recorded URL ----

// Wine's HKEY_CLASSES_ROOT shows the machine's classes; each old value
// is put back afterwards.
class HandlerOverride {
public:
    HandlerOverride(const std::wstring& key, const std::wstring& command) : key(key) {
        LONG size = 0;
        existed = ::RegQueryValueW(HKEY_CLASSES_ROOT, key.c_str(), nullptr, &size) == ERROR_SUCCESS;
        if (existed) {
            std::vector<wchar_t> old(static_cast<size_t>(size) / sizeof(wchar_t) + 1, L'\0');
            ::RegQueryValueW(HKEY_CLASSES_ROOT, key.c_str(), old.data(), &size);
            oldValue = old.data();
        }
        Set(command);
    }
    ~HandlerOverride() {
        if (existed)
            Set(oldValue);
        else
            ::RegDeleteKeyW(HKEY_CLASSES_ROOT, key.c_str());
    }
    HandlerOverride(const HandlerOverride&) = delete;
    HandlerOverride& operator=(const HandlerOverride&) = delete;

private:
    void Set(const std::wstring& value) {
        ::RegSetValueW(HKEY_CLASSES_ROOT, key.c_str(), REG_SZ, value.c_str(),
                       static_cast<DWORD>(value.size() * sizeof(wchar_t)));
    }
    std::wstring key;
    bool existed = false;
    std::wstring oldValue;
};

std::wstring ProgramFolder() {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder = path;
    return folder.substr(0, folder.find_last_of(L"\\/"));
}

// ---- Screen reader texts ----

std::wstring AccessibleText(HWND window, long child, bool value) {
    IAccessible* object = nullptr;
    const HRESULT found = ::AccessibleObjectFromWindow(
        window, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
        reinterpret_cast<void**>(&object));
    if (FAILED(found) || !object)
        return L"(no object: " + std::to_wstring(static_cast<unsigned long>(found)) + L")";
    VARIANT id;
    ::VariantInit(&id);
    id.vt = VT_I4;
    id.lVal = child;
    BSTR text = nullptr;
    const HRESULT asked = value ? object->get_accValue(id, &text) : object->get_accName(id, &text);
    std::wstring result = SUCCEEDED(asked) && text ? std::wstring(text) : L"(none)";
    ::SysFreeString(text);
    object->Release();
    return result;
}

class UnicodeHost : public ::testing::Test {
protected:
    void SetUp() override {
        ::CoInitialize(nullptr);
        g_queryChanges = g_searches = g_engineChoices = 0;
        folder = Widen(ScratchDir()) + L"\\" + kFolderName;
        ::CreateDirectoryW(folder.c_str(), nullptr);
        // The skin, generated beside the scratch files, then moved in.
        const struct {
            const char* name;
            int width, height;
            uint32_t argb;
        } skins[] = {{"bar.png", 400, 30, 0xFF336699},   {"active.png", 400, 30, 0xFF3366FF},
                     {"engine.png", 16, 16, 0xFFFF0000}, {"arrow.png", 7, 4, 0xFF000000},
                     {"search.png", 24, 24, 0xFF00FF00}, {"list.png", 10, 10, 0xFFFFFFFF},
                     {"highlight.png", 10, 10, 0xFFC0E0FF}};
        for (const auto& skin : skins) {
            const std::string made = WriteSolidPng(skin.name, skin.width, skin.height, skin.argb);
            ASSERT_TRUE(::CopyFileW(Widen(made).c_str(), InFolder(Widen(skin.name)).c_str(), FALSE));
        }
        settings = InFolder(L"поиск-検索.ini");
        ::DeleteFileW(settings.c_str());

        WNDCLASSW wc{};
        wc.lpfnWndProc = HostProc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"UNICODE_HOST";
        ::RegisterClassW(&wc);
        host = ::CreateWindowExW(0, L"UNICODE_HOST", L"Хост 主机", WS_OVERLAPPEDWINDOW, 50, 50, 600,
                                 300, nullptr, nullptr, wc.hInstance, nullptr);
        ASSERT_NE(nullptr, host);
        ::ShowWindow(host, SW_SHOWNOACTIVATE);

        urlFile = ScratchPath("unicode-url.txt");
        ::DeleteFileA(urlFile.c_str());
        const std::wstring handler = L"\"" + ProgramFolder() + L"\\launch_recorder.exe\" \"" +
                                     Widen(urlFile) + L"\" \"%1\"";
        https = std::make_unique<HandlerOverride>(L"https\\shell\\open\\command", handler);
        html = std::make_unique<HandlerOverride>(L"htmlfile\\shell\\open\\command", handler);
    }
    void TearDown() override {
        https.reset();
        html.reset();
        if (host)
            ::DestroyWindow(host);
        PumpWide();
        ::CoUninitialize();
    }

    std::wstring InFolder(const std::wstring& name) const { return folder + L"\\" + name; }

    // Every operation through a W function (the rest take no strings).
    TavrelBar* MakeBar(int y) {
        TavrelBar* bar = TavrelCreate();
        EXPECT_NE(nullptr, bar);
        TavrelSetEngineListBackgroundW(bar, InFolder(L"list.png").c_str());
        TavrelSetEngineListHighlightW(bar, InFolder(L"highlight.png").c_str());
        TavrelSetSuggestionListBackgroundW(bar, InFolder(L"list.png").c_str());
        TavrelSetSuggestionListHighlightW(bar, InFolder(L"highlight.png").c_str());
        const RECT placement = {100, y, 300, 30};
        EXPECT_EQ(1, TavrelCreateBar(bar, host, &placement));
        TavrelSetBackgroundImageW(bar, InFolder(L"bar.png").c_str(), 8);
        TavrelSetActiveBackgroundImageW(bar, InFolder(L"active.png").c_str());
        TavrelSetEngineIconImageW(bar, InFolder(L"engine.png").c_str());
        TavrelSetArrowImageW(bar, InFolder(L"arrow.png").c_str());
        TavrelSetSearchButtonImageW(bar, InFolder(L"search.png").c_str());
        EXPECT_EQ(1, TavrelAddEngineW(bar, InFolder(L"engine.png").c_str(), L"Поиск", kTemplateUrl));
        EXPECT_EQ(1, TavrelAddEngineW(bar, InFolder(L"engine.png").c_str(), L"搜索", kAppendUrl));
        EXPECT_EQ(0, TavrelAddEngineW(bar, nullptr, L"搜索", L"")); // the name is taken
        TavrelSetSettingsFileW(bar, settings.c_str());
        TavrelSetPosition(bar, 120, y);
        TavrelUpdateLayout(bar);
        TavrelShowBar(bar, SW_SHOW);
        return bar;
    }

    bool Recorded(const char* url) const { return ReadFileBytes(urlFile) == url; }

    // Types the query (each change answered with query + tail for each
    // tail), steps to the first suggestion with Down and searches with Enter.
    void Search(const std::wstring& typed, const std::vector<std::wstring>& tails, Pump pump,
                const char* url) {
        g_suggestionTails = tails;
        FocusQueryField(g_bar, pump);
        TypeUnicode(typed, pump);
        ASSERT_TRUE(PumpUntil(pump, [&] {
            return QueryOf(g_bar) == typed && OwnedWindow(g_bar, L"GUI_AFXSELECT", true);
        })) << "the field holds " << QueryOf(g_bar).size() << " units";
        shownSuggestions = OwnedWindow(g_bar, L"GUI_AFXSELECT", true);
        PressKey(VK_DOWN);
        ASSERT_TRUE(PumpUntil(pump, [&] { return QueryOf(g_bar) == typed + tails[0]; }));
        const int searches = g_searches;
        ::DeleteFileA(urlFile.c_str());
        PressKey(VK_RETURN);
        ASSERT_TRUE(PumpUntil(pump, [&] { return g_searches > searches && Recorded(url); }, 20000))
            << "recorded: " << ReadFileBytes(urlFile);
    }

    HWND shownSuggestions = nullptr;
    std::wstring folder;
    std::wstring settings;
    std::string urlFile;
    HWND host = nullptr;
    std::unique_ptr<HandlerOverride> https;
    std::unique_ptr<HandlerOverride> html;
};

} // namespace

TEST_F(UnicodeHost, SearchesInRussianAndChineseFromAFolderInThoseScripts) {
    g_bar = MakeBar(110);
    RECT window{};
    ::GetWindowRect(TavrelGetWindowHandle(g_bar), &window);
    EXPECT_EQ(400, window.right - window.left); // the skin came from the folder
    EXPECT_EQ(0, TavrelGetEngineIndex(g_bar));
    EXPECT_STREQ(L"Поиск", TavrelGetEngineNameW(g_bar));
    EXPECT_STREQ(kTemplateUrl, TavrelGetEngineUrlW(g_bar));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES != ::GetFileAttributesW(settings.c_str()), true);

    // Russian, through a Unicode loop, with the template engine.
    Search(L"Привет", {L" мир", L" мир перевод"}, PumpWide, kRussianUrl);
    EXPECT_EQ(L"Привет мир", AccessibleText(TavrelGetWindowHandle(g_bar), 2, true));

    // The other engine, from the keyboard: F4 opens the list, Down, Enter.
    FocusQueryField(g_bar, PumpNarrow);
    PressKey(VK_F4);
    ASSERT_TRUE(PumpUntil(PumpNarrow, [] { return OwnedWindow(g_bar, L"GUI_AFXSELECT", true); }));
    PressKey(VK_DOWN);
    PressKey(VK_RETURN);
    ASSERT_TRUE(PumpUntil(PumpNarrow, [] { return g_engineChoices == 1; }));
    EXPECT_EQ(1, TavrelGetEngineIndex(g_bar));
    EXPECT_STREQ(L"搜索", TavrelGetEngineNameW(g_bar));
    EXPECT_EQ(L"搜索", AccessibleText(TavrelGetWindowHandle(g_bar), 1, true));

    // Chinese, through an ANSI loop, with the engine that appends.
    ::SetWindowTextW(::GetWindow(OwnedWindow(g_bar, L"GUI_EDIT", false), GW_CHILD), L"");
    Search(L"東", {L"京", L"京タワー"}, PumpNarrow, kChineseUrl);
    EXPECT_EQ(L"東京タワー", AccessibleText(shownSuggestions, 2, false));

    // The narrow side sees the same query in code page 1252.
    char narrow[16] = {};
    EXPECT_EQ(2, TavrelGetQueryText(g_bar, narrow, sizeof narrow));
    EXPECT_STREQ("??", narrow);

    // The settings file keeps its format; a new bar restores the engine.
    HANDLE file = ::CreateFileW(settings.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    char bytes[64] = {};
    DWORD read = 0;
    ::ReadFile(file, bytes, sizeof bytes - 1, &read, nullptr);
    ::CloseHandle(file);
    EXPECT_STREQ("[Select]\r\nIndex=1\r\n", bytes);
    TavrelBar* second = MakeBar(200);
    EXPECT_EQ(1, TavrelGetEngineIndex(second));
    EXPECT_STREQ(L"搜索", TavrelGetEngineNameW(second));
    EXPECT_STREQ(kAppendUrl, TavrelGetEngineUrlW(second));
}

TEST(UnicodeCInterface, NullBarsAndBuffers) {
    EXPECT_EQ(0, TavrelGetQueryTextW(nullptr, nullptr, 0));
    EXPECT_EQ(0, TavrelAddEngineW(nullptr, L"i", L"n", L"u"));
    EXPECT_EQ(nullptr, TavrelGetEngineNameW(nullptr));
    EXPECT_EQ(nullptr, TavrelGetEngineUrlW(nullptr));
    TavrelSetBackgroundImageW(nullptr, L"x", 1);
    TavrelSetSettingsFileW(nullptr, L"x");
    TavrelAddSuggestionW(nullptr, L"x");
    // Before the window: no engine, the query is empty, the buffer gets a NUL.
    TavrelBar* bar = TavrelCreate();
    ASSERT_NE(nullptr, bar);
    EXPECT_EQ(0, TavrelAddEngineW(bar, nullptr, L"Имя", L"https://x.test/?q="));
    WCHAR buffer[4] = {L'x', L'x', L'x', L'x'};
    EXPECT_EQ(0, TavrelGetQueryTextW(bar, buffer, 4));
    EXPECT_EQ(L'\0', buffer[0]); // no field yet: the empty text
    EXPECT_EQ(L'x', buffer[1]);
    EXPECT_STREQ(L"", TavrelGetEngineNameW(bar));
}
