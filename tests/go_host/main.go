// A host written in Go against the bindings of the C interface alone. It
// runs the typical search: skins, two engines, a settings file (with a
// Cyrillic name) choosing the second, suggestions fed on UMQueryChanged,
// real keys (two letters, Down, Enter) and a second search by Enter in the
// field, which only the pre-translation in the message loop sees. The first
// suggestion is not ASCII, so the URL carries it in UTF-8. The shell's
// handlers for http URLs and HTML documents start this same program as
// "PROGRAM --record FILE URL" meanwhile, standing in for the browser. Exit
// code 0 when every check holds.
package main

import (
	"errors"
	"fmt"
	"os"
	"path/filepath"
	"runtime"
	"syscall"
	"time"
	"unsafe"

	"tavrel"
)

const (
	enginePrefix = "http://second.test/?q="
	searchURL    = enginePrefix + "ab%20caf%C3%A9"
	secondEngine = "Второй"
)

// The bar, its windows and the message loop live on one OS thread.
func init() { runtime.LockOSThread() }

var failures int

func check(ok bool, what string) {
	if !ok {
		_, file, line, _ := runtime.Caller(1)
		fmt.Printf("host: %s:%d: failed: %s\n", filepath.Base(file), line, what)
		failures++
	}
}

// ---- The host window and its answers to the bar ----

var (
	bar                                   *tavrel.Bar
	queryChanges, searches, engineChoices int
)

func suggest(query string) {
	bar.ClearSuggestions()
	check(bar.AddSuggestion(query+" café") == nil, "add the first suggestion")
	check(bar.AddSuggestion(query+" maps") == nil, "add the second suggestion")
	bar.ShowSuggestions()
}

func hostProc(hwnd syscall.Handle, msg uint32, wParam, lParam uintptr) uintptr {
	switch msg {
	case tavrel.UMQueryChanged:
		queryChanges++
		suggest(bar.QueryText())
		return 0
	case tavrel.UMSearchLaunched:
		searches++
		return 0
	case tavrel.UMEngineChosen:
		engineChoices++
		return 0
	}
	return defWindowProc(hwnd, msg, wParam, lParam)
}

// ---- The message loop: pre-translation first, as every host must ----

func pumpPending() {
	var msg tavrel.Msg
	for {
		r, _, _ := procPeekMessageW.Call(uintptr(unsafe.Pointer(&msg)), 0, 0, 0, pmRemove)
		if r == 0 {
			return
		}
		if !tavrel.PreTranslateMessage(&msg) {
			procTranslateMessage.Call(uintptr(unsafe.Pointer(&msg)))
			procDispatchMessageW.Call(uintptr(unsafe.Pointer(&msg)))
		}
	}
}

// pumpUntil pumps until done holds (true) or the timeout passes (false).
func pumpUntil(done func() bool, timeout time.Duration) bool {
	deadline := time.Now().Add(timeout)
	for {
		pumpPending()
		if done() {
			return true
		}
		if time.Now().After(deadline) {
			return false
		}
		procMsgWaitForMultipleObjects.Call(0, 0, 0, 10, qsAllInput)
	}
}

// ---- Files: skins, settings, the recorded URLs ----

var scratch = os.TempDir()
var urlFile = filepath.Join(scratch, "go_host_urls.txt")

// writeBmp writes an opaque 32-bit BMP of one colour.
func writeBmp(name string, width, height int, rgb uint32) string {
	const headers = 14 + 40
	pixels := width * height * 4
	data := make([]byte, headers+pixels)
	put16 := func(at int, v uint16) { data[at], data[at+1] = byte(v), byte(v>>8) }
	put32 := func(at int, v uint32) {
		put16(at, uint16(v))
		put16(at+2, uint16(v>>16))
	}
	put16(0, 0x4D42)
	put32(2, uint32(len(data)))
	put32(10, headers)
	put32(14, 40)
	put32(18, uint32(width))
	put32(22, uint32(height))
	put16(26, 1)
	put16(28, 32)
	for i := headers; i < len(data); i += 4 {
		put32(i, rgb)
	}
	path := filepath.Join(scratch, name)
	check(os.WriteFile(path, data, 0o644) == nil, "write "+name)
	return path
}

func recorded() string {
	text, _ := os.ReadFile(urlFile)
	return string(text)
}

// recordURL is record mode: the shell started this program for a URL.
func recordURL(file, url string) int {
	f, err := os.OpenFile(file, os.O_APPEND|os.O_CREATE|os.O_WRONLY, 0o644)
	if err != nil {
		return 1
	}
	defer f.Close()
	fmt.Fprintln(f, url)
	return 0
}

// ---- The browser stand-in as the shell's handler ----

// Wine's HKEY_CLASSES_ROOT shows only the machine's classes, so the
// handlers are set there; each old value is put back afterwards.
var handlerKeys = []string{`http\shell\open\command`, `htmlfile\shell\open\command`}

type savedHandler struct {
	command string
	present bool
}

func installBrowserStandIn() []savedHandler {
	self, err := os.Executable()
	check(err == nil, "find this program")
	command := fmt.Sprintf(`"%s" --record "%s" "%%1"`, self, urlFile)
	saved := make([]savedHandler, len(handlerKeys))
	for i, key := range handlerKeys {
		saved[i].command, saved[i].present = regQueryValue(key)
		regSetValue(key, command)
	}
	return saved
}

func removeBrowserStandIn(saved []savedHandler) {
	for i, key := range handlerKeys {
		if saved[i].present {
			regSetValue(key, saved[i].command)
		} else {
			regDeleteKey(key)
		}
	}
}

// ---- Looking at the bar's windows and typing ----

func suggestionListShown() bool { return findOwned("GUI_AFXSELECT", bar.Window(), true) != 0 }

// Wine drops keys for a thread without the foreground window: activate the
// field's own frame (activating the host would raise it over the bar under
// Wine), then focus the edit control inside it.
func focusQueryField() {
	frame := findOwned("GUI_EDIT", bar.Window(), false)
	setForegroundWindow(frame)
	check(pumpUntil(func() bool { return foregroundWindow() == frame }, 3*time.Second),
		"the query field's frame becomes the foreground window")
	setFocus(getWindow(frame, gwChild))
}

// ---- The checks ----

func setUpBar(host syscall.Handle) {
	var err error
	bar, err = tavrel.New()
	check(err == nil, "create a bar")
	if err != nil {
		return
	}
	list := writeBmp("go-list.bmp", 10, 10, 0xEEEEEE)
	icon := writeBmp("go-icon.bmp", 16, 16, 0xFF0000)
	for _, set := range []func(string) error{bar.SetEngineListBackground,
		bar.SetEngineListHighlight, bar.SetSuggestionListBackground,
		bar.SetSuggestionListHighlight} {
		check(set(list) == nil, "set a list image")
	}
	check(bar.CreateBar(host, tavrel.Rect{X: 100, Y: 100, Width: 300, Height: 30}) == nil,
		"create the bar window")
	check(bar.SetBackgroundImage(writeBmp("go-bar.bmp", 400, 30, 0x336699), 8) == nil,
		"set the background")
	check(bar.SetActiveBackgroundImage(writeBmp("go-active.bmp", 400, 30, 0x3366FF)) == nil,
		"set the active background")
	check(bar.SetEngineIconImage(icon) == nil, "set the engine icon")
	check(bar.SetArrowImage(writeBmp("go-arrow.bmp", 7, 4, 0)) == nil, "set the arrow")
	check(bar.SetSearchButtonImage(writeBmp("go-button.bmp", 24, 24, 0x00FF00)) == nil,
		"set the search button")
	rc := windowRect(bar.Window())
	check(rc.Right-rc.Left == 400 && rc.Bottom-rc.Top == 30, "the bar has the background's size")

	check(bar.AddEngine(icon, "First", "http://first.test/?q=") == nil, "add the first engine")
	check(errors.Is(bar.AddEngine(icon, "First", "http://again.test/?q="),
		tavrel.ErrEngineRejected), "a repeated engine name is an error")
	check(bar.AddEngine(icon, secondEngine, enginePrefix) == nil, "add the second engine")
	check(bar.AddSuggestion("a\x00b") != nil, "a string holding NUL is an error")
	// A suggestion URL for the engine that will not be current (nothing is
	// asked), refused ones, and its removal.
	check(bar.SetSuggestionURL(0, "HTTP://127.0.0.1:9/complete?q={searchTerms}") == nil,
		"a suggestion URL is accepted")
	check(errors.Is(bar.SetSuggestionURL(0, "http://127.0.0.1:9/complete?q="), tavrel.ErrSuggestionURL),
		"a suggestion URL without {searchTerms} is an error")
	check(errors.Is(bar.SetSuggestionURL(2, "http://127.0.0.1:9/?q={searchTerms}"),
		tavrel.ErrSuggestionURL), "a suggestion URL for no engine is an error")
	check(bar.SetSuggestionURL(0, "") == nil, "a suggestion URL is removed")
	check(bar.SetListTextStyle(tavrel.ListSuggestions, "DejaVu Sans", 13, 0xFF202020,
		tavrel.TextBold) == nil, "a list text style is applied")
	check(errors.Is(bar.SetListTextStyle(tavrel.ListEngines, "", tavrel.TextSizeMax+1, 0, 0),
		tavrel.ErrStyleRejected), "a text size out of range is an error")
	check(bar.SetListHighlightTextColor(tavrel.ListSuggestions, 0xFF000000) == nil,
		"a highlight text colour is applied")
	check(bar.SetQueryFieldStyle("", 13, 0x202020, 0xFFFFFF) == nil, "a field style is applied")
	check(errors.Is(bar.SetLayoutDirection(tavrel.LayoutRTL+1), tavrel.ErrLayout),
		"an unknown layout direction is an error")
	check(bar.SetLayoutDirection(tavrel.LayoutLTR) == nil, "a layout direction is applied")
	settings := filepath.Join(scratch, "поиск.ini")
	check(os.WriteFile(settings, []byte("[Select]\r\nIndex=1\r\n"), 0o644) == nil,
		"write the settings file")
	check(bar.SetSettingsFile(settings) == nil, "name the settings file")
	check(bar.EngineIndex() == 1, "the settings file chose engine 1")
	check(bar.EngineName() == secondEngine, "the current engine's name: "+bar.EngineName())
	check(bar.EngineURL() == enginePrefix, "the current engine's URL: "+bar.EngineURL())
	bar.SetPosition(120, 110)
	bar.UpdateLayout()
	bar.ShowBar(swShow)
	check(isWindowVisible(bar.Window()), "the bar is visible")
}

func runSearches() {
	shownFor := func(changes int, query string) func() bool {
		return func() bool {
			return queryChanges == changes && suggestionListShown() && bar.QueryText() == query
		}
	}
	recordedTimes := func(n int) func() bool {
		want := ""
		for i := 0; i < n; i++ {
			want += searchURL + "\n"
		}
		return func() bool { return searches == n && recorded() == want }
	}
	focusQueryField()
	pressKey('A')
	check(pumpUntil(shownFor(1, "a"), 5*time.Second), "suggestions for \"a\"")
	pressKey('B')
	check(pumpUntil(shownFor(2, "ab"), 5*time.Second), "suggestions for \"ab\"")
	pressKey(vkDown)
	check(pumpUntil(func() bool { return bar.QueryText() == "ab café" }, 5*time.Second),
		"Down puts the first suggestion into the field")
	pressKey(vkReturn) // taken by the open list
	check(pumpUntil(recordedTimes(1), 20*time.Second), "the first search reached the browser")
	check(!suggestionListShown(), "the suggestion list closed")

	focusQueryField()
	pressKey(vkReturn) // list closed: the bar's pre-translation takes it
	check(pumpUntil(recordedTimes(2), 20*time.Second), "the second search reached the browser")
	check(queryChanges == 2 && engineChoices == 0, "two query changes, no engine choice")
}

// Close takes the bar's windows along; later calls do nothing and answer
// zero values, a second Close included.
func closeBar() {
	window := bar.Window()
	check(bar.Close() == nil, "close the bar")
	check(!isWindow(window), "the bar's window went with it")
	check(bar.Window() == 0 && bar.QueryText() == "" && bar.EngineName() == "",
		"a closed bar answers zero values")
	check(errors.Is(bar.AddEngine("", "Third", "http://third.test/?q="), tavrel.ErrEngineRejected),
		"a closed bar takes no engine")
	check(bar.Close() == nil, "close the bar again")
}

func main() {
	if len(os.Args) == 4 && os.Args[1] == "--record" {
		os.Exit(recordURL(os.Args[2], os.Args[3]))
	}
	check(tavrel.Startup() == nil, "start up (TavrelC.dll and every function found)")
	if failures > 0 {
		os.Exit(1)
	}
	check(tavrel.LoadedVersion() == tavrel.Version, "the DLL has the bindings' version")
	os.Remove(urlFile)
	saved := installBrowserStandIn()
	host := createHostWindow(hostProc)
	setUpBar(host)
	if failures == 0 {
		runSearches()
	}
	if failures > 0 {
		fmt.Printf("host: recorded %q\n", recorded())
	}
	removeBrowserStandIn(saved)
	closeBar()
	destroyWindow(host)
	tavrel.Cleanup()
	if failures > 0 {
		fmt.Println("host: FAILED")
		os.Exit(1)
	}
	fmt.Println("host: ok")
}
