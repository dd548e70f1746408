// The bar as assistive technology sees it: the tree of the bar and its two
// lists with roles, names, states, locations, hit-testing and default
// actions; a keyboard session that chooses an engine, with the WinEvents an
// out-of-context hook receives; disconnection when the windows go; and a
// client in another process reading the suggestion list.
#include "../../src/popup/CEngineList.h"
#include "../../src/popup/CSuggestionList.h"
#include "../bar/BarTestSupport.h"
#include "AccessProbe.h"
#include "Input.h"
#include "Pump.h"
#include "TestFiles.h"
#include <cstring>

namespace {

const RecordedMessage kEngineChosen{UM_ENGINE_CHOSEN, 0, 0};
const RecordedMessage kLaunched{UM_SEARCH_LAUNCHED, 0, 0};
const RecordedMessage kButtonClicked{UM_QUERY_COMMAND, 0, 0};
using Strings = std::vector<std::string>;
using Events = std::vector<WinEventRecord>;
constexpr long kSelectable = STATE_SYSTEM_SELECTABLE;
constexpr long kHighlighted =
    STATE_SYSTEM_SELECTABLE | STATE_SYSTEM_SELECTED | STATE_SYSTEM_FOCUSED;

class AccessTest : public BarTest {
protected:
    void SetUp() override {
        ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        BarTest::SetUp();
    }
    void TearDown() override {
        BarTest::TearDown();
        ::CoUninitialize();
    }

    // The standard bar with four engines, Beta without an icon (a blank
    // row that neither clicks nor keys can choose), and a settings file.
    void ShowBarWithEngines() {
        ShowStandardBar();
        const std::string icon = SkinPng(16, 16, kIconColor);
        bar->AddEngine(icon.c_str(), "Alpha", "http://alpha.invalid/?q=");
        bar->AddEngine("", "Beta", "http://beta.invalid/?q=");
        bar->AddEngine(icon.c_str(), "Gamma", "http://gamma.invalid/?q=");
        bar->AddEngine(icon.c_str(), "Delta", "http://delta.invalid/?q=");
        settings = ScratchPath("access.ini");
        ::DeleteFileA(settings.c_str());
        bar->SetSettingsFile(settings.c_str());
        PumpUntilIdle();
        host.Clear();
    }
    std::string StoredIndex() const {
        char text[16] = {};
        ::GetPrivateProfileStringA("Select", "Index", "", text, sizeof(text), settings.c_str());
        return text;
    }
    void PutText(const char* text) {
        ::SetWindowTextA(EditHwnd(), text);
        PumpUntilIdle();
        host.Clear();
    }
    void ClickOnBar(const RECT& client) {
        const POINT at = ScreenPointOf(client);
        WaitDoubleClickTime();
        ClickAt(at.x, at.y);
    }
    void AltKey(WORD vk) {
        KeyDown(VK_MENU);
        TapKey(vk);
        KeyUp(VK_MENU);
    }
    HWND EngineListHwnd() const { return bar->engineList->m_hWnd; }
    HWND SuggestionListHwnd() const { return bar->suggestionList->m_hWnd; }
    int EngineHighlight() const { return bar->engineList->hoverIndex; }

    std::string settings;
};

TEST_F(AccessTest, TreeOfTheBarAndItsLists) {
    ShowBarWithEngines();
    const AccRef barObject = ClientObject(BarHwnd());
    ASSERT_TRUE(barObject);
    IAccessible* b = barObject.get();
    EXPECT_EQ(ROLE_SYSTEM_TOOLBAR, RoleOf(b));
    EXPECT_EQ(L"Search", NameOf(b));
    EXPECT_EQ((Strings{"1", "object", "3"}), ChildrenOf(b));

    EXPECT_EQ(ROLE_SYSTEM_BUTTONDROPDOWN, RoleOf(b, 1));
    EXPECT_EQ(L"Search engine", NameOf(b, 1));
    EXPECT_EQ(L"Alpha", ValueOf(b, 1));
    EXPECT_EQ(L"Open", DefaultActionOf(b, 1));
    EXPECT_EQ(STATE_SYSTEM_HASPOPUP | STATE_SYSTEM_COLLAPSED, StateOf(b, 1));
    EXPECT_EQ(ClientRectToScreen(BarHwnd(), bar->engineHitRect), LocationOf(b, 1));
    EXPECT_EQ(ROLE_SYSTEM_PUSHBUTTON, RoleOf(b, 3));
    EXPECT_EQ(L"Search", NameOf(b, 3));
    EXPECT_EQ(L"Press", DefaultActionOf(b, 3));
    EXPECT_EQ(ClientRectToScreen(BarHwnd(), bar->searchButtonHitRect), LocationOf(b, 3));

    // The query field is the edit control's own object, named.
    const AccRef field = ChildObject(b, 2);
    ASSERT_TRUE(field);
    EXPECT_EQ(ROLE_SYSTEM_TEXT, RoleOf(field.get()));
    EXPECT_EQ(L"Search query", NameOf(field.get()));
    EXPECT_EQ(L"Search query", NameOf(b, 2));
    EXPECT_EQ(WindowRectOf(EditHwnd()), LocationOf(field.get()));

    EXPECT_EQ("1", HitTestAt(b, ScreenPointOf(bar->engineHitRect)));
    EXPECT_EQ("3", HitTestAt(b, ScreenPointOf(bar->searchButtonHitRect)));
    EXPECT_EQ("object", HitTestAt(b, CenterOf(WindowRectOf(EditHwnd()))));
    EXPECT_EQ("0", HitTestAt(b, ScreenPointOf(RECT{1, 1, 3, 3})));
    EXPECT_EQ("empty", HitTestAt(b, POINT{kBarLeft - 5, kBarTop + 5}));

    // The engine chooser's default action opens the list on the current
    // engine; a row's default action is a click on it.
    EXPECT_EQ(S_OK, b->accDoDefaultAction(ChildId(1)));
    ASSERT_TRUE(PumpUntil([&] { return EngineListVisible(); }));
    PumpUntilIdle(); // painted, so its rows can be hit
    EXPECT_EQ(STATE_SYSTEM_HASPOPUP | STATE_SYSTEM_EXPANDED, StateOf(b, 1));
    const AccRef engines = ClientObject(EngineListHwnd());
    ASSERT_TRUE(engines);
    IAccessible* e = engines.get();
    EXPECT_EQ(ROLE_SYSTEM_LIST, RoleOf(e));
    EXPECT_EQ(L"Search engines", NameOf(e));
    EXPECT_EQ((Strings{"1", "2", "3", "4"}), ChildrenOf(e));
    EXPECT_EQ(ROLE_SYSTEM_LISTITEM, RoleOf(e, 3));
    EXPECT_EQ(L"Gamma", NameOf(e, 3));
    EXPECT_EQ(kHighlighted, StateOf(e, 1));
    EXPECT_EQ(STATE_SYSTEM_UNAVAILABLE, StateOf(e, 2));
    EXPECT_EQ(kSelectable, StateOf(e, 3));
    VARIANT focus;
    e->get_accFocus(&focus);
    EXPECT_EQ("1", Describe(focus));
    const RECT list = WindowRectOf(EngineListHwnd());
    EXPECT_EQ((RECT{list.left, list.top + 50, list.left + 100, list.top + 75}), LocationOf(e, 3));
    EXPECT_EQ("3", HitTestAt(e, POINT{list.left + 50, list.top + 62}));
    EXPECT_EQ("0", HitTestAt(e, POINT{list.left + 50, list.top + 37})); // the blank row
    EXPECT_EQ(L"Click", DefaultActionOf(e, 3));
    EXPECT_EQ(DISP_E_MEMBERNOTFOUND, e->accDoDefaultAction(ChildId(2)));
    EXPECT_EQ(E_INVALIDARG, e->accDoDefaultAction(ChildId(5)));
    EXPECT_EQ(S_OK, e->accDoDefaultAction(ChildId(3)));
    ASSERT_TRUE(PumpUntil([&] { return !host.Messages().empty(); }));
    PumpUntilIdle();
    EXPECT_TRUE(host.Matches({kEngineChosen}));
    EXPECT_FALSE(EngineListVisible());
    EXPECT_EQ("2", StoredIndex());
    EXPECT_EQ(L"Gamma", ValueOf(b, 1));

    // The suggestion list, its events for the arrow keys and the mouse, and
    // a row's default action, which searches.
    ClickIntoField();
    PutText("abc");
    const AccRef suggestions = ClientObject(SuggestionListHwnd());
    ASSERT_TRUE(suggestions);
    IAccessible* s = suggestions.get();
    WinEventRecorder events({SuggestionListHwnd()});
    OfferSuggestions({"abc one", "abc two", "abc three"});
    EXPECT_EQ(ROLE_SYSTEM_LIST, RoleOf(s));
    EXPECT_EQ(L"Suggestions", NameOf(s));
    EXPECT_EQ((Strings{"1", "2", "3"}), ChildrenOf(s));
    EXPECT_EQ(L"abc two", NameOf(s, 2));
    EXPECT_EQ(kSelectable, StateOf(s, 1));
    TapKey(VK_DOWN);
    ASSERT_TRUE(PumpUntil([&] { return FieldText() == "abc one"; }));
    EXPECT_EQ((Events{{EVENT_OBJECT_SELECTION, SuggestionListHwnd(), OBJID_CLIENT, 1},
                      {EVENT_OBJECT_FOCUS, SuggestionListHwnd(), OBJID_CLIENT, 1}}),
              events.Take(2));
    EXPECT_EQ(kHighlighted, StateOf(s, 1));
    VARIANT selection;
    s->get_accSelection(&selection);
    EXPECT_EQ("1", Describe(selection));
    const RECT rows = WindowRectOf(SuggestionListHwnd());
    MoveMouseTo(rows.left + 60, rows.top + 37);
    EXPECT_EQ((Events{{EVENT_OBJECT_SELECTION, SuggestionListHwnd(), OBJID_CLIENT, 2},
                      {EVENT_OBJECT_FOCUS, SuggestionListHwnd(), OBJID_CLIENT, 2}}),
              events.Take(2));
    launches.Clear();
    host.Clear();
    EXPECT_EQ(S_OK, s->accDoDefaultAction(ChildId(3)));
    ASSERT_TRUE(PumpUntil([&] { return !launches.Urls().empty(); }));
    PumpUntilIdle();
    EXPECT_EQ(Strings{"http://gamma.invalid/?q=abc%20three"}, launches.Urls());
    EXPECT_TRUE(host.Matches({kLaunched}));
    EXPECT_FALSE(SuggestionsVisible());

    // The search button's default action is its click.
    launches.Clear();
    EXPECT_EQ(S_OK, b->accDoDefaultAction(ChildId(3)));
    ASSERT_TRUE(PumpUntil([&] { return host.Messages().size() >= 2; }));
    EXPECT_TRUE(host.Matches({kButtonClicked, kLaunched}));
    EXPECT_EQ(Strings{"http://gamma.invalid/?q=abc%20three"}, launches.Urls());
}

// Every key of the engine list, opened by the keys and by the mouse; the
// host hears only of the choices, exactly as after a click on a row.
TEST_F(AccessTest, KeyboardSessionChoosesAnEngine) {
    ShowBarWithEngines();
    ClickIntoField();
    PutText("abc");
    WinEventRecorder events({BarHwnd(), EngineListHwnd()});
    const auto rowEvents = [&](long child) {
        return Events{{EVENT_OBJECT_SELECTION, EngineListHwnd(), OBJID_CLIENT, child},
                      {EVENT_OBJECT_FOCUS, EngineListHwnd(), OBJID_CLIENT, child}};
    };

    TapKey(VK_F4);
    ASSERT_TRUE(PumpUntil([&] { return EngineListVisible(); }));
    EXPECT_EQ(0, EngineHighlight()); // the current engine
    EXPECT_EQ(rowEvents(1), events.Take(2));
    TapKey(VK_DOWN);
    EXPECT_TRUE(PumpUntil([&] { return EngineHighlight() == 2; })); // Beta is skipped
    EXPECT_EQ(rowEvents(3), events.Take(2));
    TapKey(VK_DOWN);
    EXPECT_TRUE(PumpUntil([&] { return EngineHighlight() == 3; }));
    TapKey(VK_DOWN);
    PumpUntilIdle();
    EXPECT_EQ(3, EngineHighlight()); // stops at the end
    TapKey(VK_UP);
    EXPECT_TRUE(PumpUntil([&] { return EngineHighlight() == 2; }));
    Events downThenUp = rowEvents(4);
    for (const WinEventRecord& r : rowEvents(3))
        downThenUp.push_back(r);
    EXPECT_EQ(downThenUp, events.Take(4));
    TapKey(VK_RETURN);
    ASSERT_TRUE(PumpUntil([&] { return !host.Messages().empty(); }));
    PumpUntilIdle();
    EXPECT_TRUE(host.Matches({kEngineChosen}));
    EXPECT_TRUE(launches.Urls().empty());
    EXPECT_FALSE(EngineListVisible());
    EXPECT_EQ("2", StoredIndex());
    EXPECT_STREQ("Gamma", bar->GetEngineName());
    EXPECT_EQ(2, bar->GetEngineIndex());
    EXPECT_EQ(EditHwnd(), ::GetFocus());
    EXPECT_EQ("abc", FieldText());
    EXPECT_EQ((Events{{EVENT_OBJECT_VALUECHANGE, BarHwnd(), OBJID_CLIENT, 1}}), events.Take(1));

    // Alt+Down opens on the new engine; Escape and Alt+Up close it unchosen.
    for (const WORD closeKey : {WORD(VK_ESCAPE), WORD(VK_UP)}) {
        AltKey(VK_DOWN);
        ASSERT_TRUE(PumpUntil([&] { return EngineListVisible(); }));
        EXPECT_EQ(2, EngineHighlight());
        if (closeKey == VK_UP)
            AltKey(VK_UP);
        else
            TapKey(closeKey);
        EXPECT_TRUE(PumpUntil([&] { return !EngineListVisible(); }));
        PumpUntilIdle();
        EXPECT_TRUE(host.Matches({}));
        EXPECT_EQ(EditHwnd(), ::GetFocus());
    }
    EXPECT_TRUE(launches.Urls().empty());
    EXPECT_EQ("2", StoredIndex());

    // Opened by the mouse: Enter with nothing highlighted only closes; Up
    // from nothing starts at the bottom.
    ClickOnBar(bar->engineHitRect);
    ASSERT_TRUE(PumpUntil([&] { return EngineListVisible(); }));
    EXPECT_EQ(-1, EngineHighlight());
    TapKey(VK_RETURN);
    EXPECT_TRUE(PumpUntil([&] { return !EngineListVisible(); }));
    PumpUntilIdle();
    EXPECT_TRUE(host.Matches({}));
    ClickOnBar(bar->engineHitRect);
    ASSERT_TRUE(PumpUntil([&] { return EngineListVisible(); }));
    TapKey(VK_UP);
    EXPECT_TRUE(PumpUntil([&] { return EngineHighlight() == 3; }));
    TapKey(VK_RETURN);
    ASSERT_TRUE(PumpUntil([&] { return !host.Messages().empty(); }));
    PumpUntilIdle();
    EXPECT_TRUE(host.Matches({kEngineChosen}));
    EXPECT_EQ("3", StoredIndex());
    EXPECT_TRUE(launches.Urls().empty());

    // With no list open, Enter searches as before.
    TapKey(VK_RETURN);
    ASSERT_TRUE(PumpUntil([&] { return !host.Messages().empty(); }));
    EXPECT_TRUE(host.Matches({kLaunched}));
    EXPECT_EQ(Strings{"http://delta.invalid/?q=abc"}, launches.Urls());
}

// The windows hold one object each however often it is asked for; once a
// window goes, its object answers RPC_E_DISCONNECTED and the client holds
// the last reference.
TEST_F(AccessTest, ObjectsOutliveTheirWindowsDisconnected) {
    ShowBarWithEngines();
    AccRef first = ClientObject(SuggestionListHwnd());
    ASSERT_TRUE(first);
    const ULONG references = first->AddRef();
    first->Release();
    for (int cycle = 0; cycle < 40; ++cycle) {
        OfferSuggestions({"abc one", "abc two"});
        const AccRef again = ClientObject(SuggestionListHwnd());
        ASSERT_EQ(first.get(), again.get());
        EXPECT_EQ(L"abc two", NameOf(again.get(), 2));
        bar->ClearSuggestions();
        EXPECT_EQ(E_INVALIDARG, again->accDoDefaultAction(ChildId(1))); // rows gone
    }
    EXPECT_EQ(references, first->AddRef());
    first->Release();

    AccRef barObject = ClientObject(BarHwnd());
    AccRef engines = ClientObject(EngineListHwnd());
    AccRef field = ChildObject(barObject.get(), 2);
    ASSERT_TRUE(barObject && engines && field);
    ::DestroyWindow(BarHwnd()); // as when the host goes; the bar object lives on
    PumpUntilIdle();
    AccRef* const objects[] = {&barObject, &first, &engines, &field};
    bar.reset();
    for (AccRef* object : objects) {
        IAccessible* o = object->get();
        long count = 0;
        BSTR name = nullptr;
        VARIANT result;
        ::VariantInit(&result);
        long x, y, w, h;
        EXPECT_EQ(RPC_E_DISCONNECTED, o->get_accChildCount(&count));
        EXPECT_EQ(RPC_E_DISCONNECTED, o->get_accName(ChildId(CHILDID_SELF), &name));
        EXPECT_EQ(nullptr, name);
        EXPECT_EQ(RPC_E_DISCONNECTED, o->get_accState(ChildId(1), &result));
        EXPECT_EQ(RPC_E_DISCONNECTED, o->accLocation(&x, &y, &w, &h, ChildId(1)));
        EXPECT_EQ(RPC_E_DISCONNECTED, o->accHitTest(kBarLeft + 5, kBarTop + 5, &result));
        EXPECT_EQ(RPC_E_DISCONNECTED, o->get_accFocus(&result));
        EXPECT_EQ(RPC_E_DISCONNECTED, o->accDoDefaultAction(ChildId(1)));
        EXPECT_EQ(2u, o->AddRef());
        EXPECT_EQ(1u, o->Release());
    }
}

// A screen reader runs in a process of its own: access_client reads the
// suggestion list of this process through AccessibleObjectFromWindow.
TEST_F(AccessTest, ClientInAnotherProcessReadsTheSuggestions) {
    ShowBarWithEngines();
    ClickIntoField();
    PutText("abc");
    OfferSuggestions({"abc one", "abc two", "abc three"});
    TapKey(VK_DOWN);
    TapKey(VK_DOWN);
    ASSERT_TRUE(PumpUntil([&] { return FieldText() == "abc two"; }));

    char folder[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, folder, MAX_PATH);
    *std::strrchr(folder, '\\') = '\0';
    const std::string output = ScratchPath("access-client.txt");
    ::DeleteFileA(output.c_str());
    std::string command = "\"" + std::string(folder) + "\\access_client.exe\" " +
                          std::to_string(reinterpret_cast<ULONG_PTR>(SuggestionListHwnd())) +
                          " \"" + output + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(::CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                 &startup, &process));
    // The client's calls arrive as messages to this thread: pump meanwhile.
    EXPECT_TRUE(PumpUntil(
        [&] { return ::WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0; }, 30000));
    DWORD exitCode = 1;
    ::GetExitCodeProcess(process.hProcess, &exitCode);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    EXPECT_EQ(0u, exitCode);
    const std::string selectable = std::to_string(kSelectable);
    EXPECT_EQ("Suggestions|" + std::to_string(ROLE_SYSTEM_LIST) + "|3\n" + "abc one|" + selectable +
                  "\n" + "abc two|" + std::to_string(kHighlighted) + "\n" + "abc three|" +
                  selectable + "\n",
              ReadFileBytes(output));
}

} // namespace
