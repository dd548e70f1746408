// Package tavrel binds the C interface of the Tavrel search bar
// (TavrelC.dll, tavrel_c.h) for Go programs on Windows, with the standard
// library alone: no cgo. Strings cross as UTF-16 through the interface's W
// functions, so any Go string (valid UTF-8 without NUL) reaches the bar
// intact; the narrow twins, bound to the ANSI code page, are left out.
//
// TavrelC.dll is loaded on first use from the program's folder or the
// system's search path; Load reports up front whether it and every function
// the package calls are there. Everything, including the message loop that
// calls PreTranslateMessage, must run on one OS thread: call
// runtime.LockOSThread in main (or in init) before Startup.
package tavrel

import (
	"errors"
	"fmt"
	"syscall"
	"unsafe"
)

// The interface version this package was written against.
const (
	VersionMajor = 1
	VersionMinor = 6
	VersionPatch = 0
	Version      = VersionMajor<<16 | VersionMinor<<8 | VersionPatch
)

// Messages the bar posts to the host window (wParam 0, lParam 0 unless
// stated).
const (
	UMEngineChosen   = 1124 // the user chose another engine
	UMQueryCommand   = 1125 // the search button was clicked
	UMQueryChanged   = 1126 // the user changed the query (lParam 1)
	UMSearchLaunched = 1127 // a search URL was handed to the browser
)

// Text styles (SetListTextStyle and the others): the two lists, the flags
// of a list's text, and the largest size.
const (
	ListEngines     = 0
	ListSuggestions = 1
	TextBold        = 1
	TextItalic      = 2
	TextUnderline   = 4
	TextSizeMax     = 72
)

// Layout directions (SetLayoutDirection).
const (
	LayoutAuto = 0 // right to left when the host window has WS_EX_LAYOUTRTL at CreateBar
	LayoutLTR  = 1
	LayoutRTL  = 2
)

var dll = syscall.NewLazyDLL("TavrelC.dll")

func proc(name string) *syscall.LazyProc { return dll.NewProc(name) }

var (
	procStartup                      = proc("TavrelStartup")
	procCleanup                      = proc("TavrelCleanup")
	procCreate                       = proc("TavrelCreate")
	procCreateBar                    = proc("TavrelCreateBar")
	procDestroyBar                   = proc("TavrelDestroyBar")
	procSetBackgroundImageW          = proc("TavrelSetBackgroundImageW")
	procSetActiveBackgroundImageW    = proc("TavrelSetActiveBackgroundImageW")
	procSetEngineIconImageW          = proc("TavrelSetEngineIconImageW")
	procSetArrowImageW               = proc("TavrelSetArrowImageW")
	procSetSearchButtonImageW        = proc("TavrelSetSearchButtonImageW")
	procSetEngineListBackgroundW     = proc("TavrelSetEngineListBackgroundW")
	procSetEngineListHighlightW      = proc("TavrelSetEngineListHighlightW")
	procSetSuggestionListBackgroundW = proc("TavrelSetSuggestionListBackgroundW")
	procSetSuggestionListHighlightW  = proc("TavrelSetSuggestionListHighlightW")
	procSetPosition                  = proc("TavrelSetPosition")
	procUpdateLayout                 = proc("TavrelUpdateLayout")
	procGetQueryTextW                = proc("TavrelGetQueryTextW")
	procAddSuggestionW               = proc("TavrelAddSuggestionW")
	procClearSuggestions             = proc("TavrelClearSuggestions")
	procShowSuggestions              = proc("TavrelShowSuggestions")
	procAddEngineW                   = proc("TavrelAddEngineW")
	procGetEngineNameW               = proc("TavrelGetEngineNameW")
	procGetEngineUrlW                = proc("TavrelGetEngineUrlW")
	procGetEngineIndex               = proc("TavrelGetEngineIndex")
	procSetSettingsFileW             = proc("TavrelSetSettingsFileW")
	procShowBar                      = proc("TavrelShowBar")
	procGetWindowHandle              = proc("TavrelGetWindowHandle")
	procSetListTextStyleW            = proc("TavrelSetListTextStyleW")
	procSetListHighlightTextColor    = proc("TavrelSetListHighlightTextColor")
	procSetQueryFieldStyleW          = proc("TavrelSetQueryFieldStyleW")
	procSetSuggestionURLW            = proc("TavrelSetSuggestionUrlW")
	procSetHistoryFileW              = proc("TavrelSetHistoryFileW")
	procClearHistory                 = proc("TavrelClearHistory")
	procGetHistoryCount              = proc("TavrelGetHistoryCount")
	procGetHistoryEntryW             = proc("TavrelGetHistoryEntryW")
	procSetLayoutDirection           = proc("TavrelSetLayoutDirection")
	procPreTranslateMessage          = proc("TavrelPreTranslateMessage")
	procGetVersion                   = proc("TavrelGetVersion")
)

var allProcs = []*syscall.LazyProc{
	procStartup, procCleanup, procCreate, procCreateBar, procDestroyBar, procSetBackgroundImageW,
	procSetActiveBackgroundImageW, procSetEngineIconImageW, procSetArrowImageW,
	procSetSearchButtonImageW, procSetEngineListBackgroundW, procSetEngineListHighlightW,
	procSetSuggestionListBackgroundW, procSetSuggestionListHighlightW, procSetPosition,
	procUpdateLayout, procGetQueryTextW, procAddSuggestionW, procClearSuggestions,
	procShowSuggestions, procAddEngineW, procGetEngineNameW, procGetEngineUrlW,
	procGetEngineIndex, procSetSettingsFileW, procShowBar, procGetWindowHandle,
	procSetListTextStyleW, procSetListHighlightTextColor, procSetQueryFieldStyleW,
	procSetSuggestionURLW, procSetHistoryFileW, procClearHistory, procGetHistoryCount,
	procGetHistoryEntryW, procSetLayoutDirection, procPreTranslateMessage, procGetVersion,
}

// Errors of the functions whose C counterpart reports failure.
var (
	ErrStartup        = errors.New("tavrel: TavrelStartup failed")
	ErrCreate         = errors.New("tavrel: TavrelCreate gave no bar")
	ErrCreateBar      = errors.New("tavrel: the bar window could not be created")
	ErrEngineRejected = errors.New("tavrel: engine not added (empty or repeated name, or no window yet)")
	ErrIncompatible   = errors.New("tavrel: TavrelC.dll has another major version")
	ErrStyleRejected  = errors.New("tavrel: text style refused (unknown list or flag, size or colour out of range)")
	ErrSuggestionURL  = errors.New("tavrel: suggestion URL refused (no such engine, or not http(s) with {searchTerms})")
	ErrHistoryFile    = errors.New("tavrel: history file refused (maxEntries out of range, a folder, or not a history file)")
	ErrHistoryOff     = errors.New("tavrel: no history file is named")
	ErrLayout         = errors.New("tavrel: layout direction refused (not LayoutAuto, LayoutLTR or LayoutRTL)")
)

// Load loads TavrelC.dll and finds every function this package calls. The
// other functions load lazily and panic where the DLL or a function is
// missing; Startup calls Load first, so a program that starts with Startup
// gets an error instead.
func Load() error {
	if err := dll.Load(); err != nil {
		return err
	}
	for _, p := range allProcs {
		if err := p.Find(); err != nil {
			return err
		}
	}
	if LoadedVersion()>>16 != VersionMajor {
		return fmt.Errorf("%w: %#x", ErrIncompatible, LoadedVersion())
	}
	return nil
}

// Startup loads the DLL (see Load) and starts the graphics support for the
// process. Call once, before the first bar.
func Startup() error {
	if err := Load(); err != nil {
		return err
	}
	if r, _, _ := procStartup.Call(); r != 1 {
		return ErrStartup
	}
	return nil
}

// Cleanup stops the graphics support; call once no bar will draw again.
func Cleanup() { procCleanup.Call() }

// LoadedVersion is the interface version of the loaded DLL (Version's
// layout).
func LoadedVersion() uint32 {
	r, _, _ := procGetVersion.Call()
	return uint32(r)
}

// Rect is a placement: position and size in screen pixels.
type Rect struct{ X, Y, Width, Height int32 }

// Point and Msg have the layout of the Win32 POINT and MSG.
type Point struct{ X, Y int32 }

type Msg struct {
	Hwnd    syscall.Handle
	Message uint32
	WParam  uintptr
	LParam  uintptr
	Time    uint32
	Pt      Point
}

// PreTranslateMessage offers a message to the bar's windows before the host
// dispatches it; true when they consumed it (then skip TranslateMessage and
// DispatchMessage).
func PreTranslateMessage(msg *Msg) bool {
	r, _, _ := procPreTranslateMessage.Call(uintptr(unsafe.Pointer(msg)))
	return r != 0
}

// Bar is one search bar. It lives until Close or the end of the process.
type Bar struct{ handle uintptr }

// New makes a bar without a window; CreateBar gives it one.
func New() (*Bar, error) {
	r, _, _ := procCreate.Call()
	if r == 0 {
		return nil, ErrCreate
	}
	return &Bar{handle: r}, nil
}

// Close destroys the bar (TavrelDestroyBar): its windows, pictures and
// live-suggestion requests go. It may be called from the host's answer to
// any of the bar's messages and from the host window's WM_DESTROY, and more
// than once: the DLL never gives a handle twice and refuses a destroyed
// one, so afterwards every method of the bar does nothing and answers its
// zero value or an error. It returns nil (Bar is an io.Closer).
func (b *Bar) Close() error {
	procDestroyBar.Call(b.handle)
	return nil
}

// CreateBar creates the bar's window, owned by host, at placement.
func (b *Bar) CreateBar(host syscall.Handle, placement Rect) error {
	// The C interface reads a RECT whose members it takes as x, y, width
	// and height; Rect has that layout.
	r, _, _ := procCreateBar.Call(b.handle, uintptr(host), uintptr(unsafe.Pointer(&placement)))
	if r != 1 {
		return ErrCreateBar
	}
	return nil
}

// utf16 converts s for a W function; a string holding NUL cannot cross.
func utf16(s string) (*uint16, error) {
	p, err := syscall.UTF16PtrFromString(s)
	if err != nil {
		return nil, fmt.Errorf("tavrel: %q: %w", s, err)
	}
	return p, nil
}

// callText calls a W function that takes the bar and one string.
func (b *Bar) callText(p *syscall.LazyProc, text string) error {
	t, err := utf16(text)
	if err != nil {
		return err
	}
	p.Call(b.handle, uintptr(unsafe.Pointer(t)))
	return nil
}

// SetBackgroundImage sets the main background, which fixes the bar's size;
// a radius above 0 rounds the corners. An empty path changes nothing, as it
// does for every skin image.
func (b *Bar) SetBackgroundImage(path string, cornerRadius int) error {
	t, err := utf16(path)
	if err != nil {
		return err
	}
	procSetBackgroundImageW.Call(b.handle, uintptr(unsafe.Pointer(t)), uintptr(cornerRadius))
	return nil
}

func (b *Bar) SetActiveBackgroundImage(path string) error {
	return b.callText(procSetActiveBackgroundImageW, path)
}
func (b *Bar) SetEngineIconImage(path string) error {
	return b.callText(procSetEngineIconImageW, path)
}
func (b *Bar) SetArrowImage(path string) error { return b.callText(procSetArrowImageW, path) }
func (b *Bar) SetSearchButtonImage(path string) error {
	return b.callText(procSetSearchButtonImageW, path)
}

// The four list images may be given before CreateBar.
func (b *Bar) SetEngineListBackground(path string) error {
	return b.callText(procSetEngineListBackgroundW, path)
}
func (b *Bar) SetEngineListHighlight(path string) error {
	return b.callText(procSetEngineListHighlightW, path)
}
func (b *Bar) SetSuggestionListBackground(path string) error {
	return b.callText(procSetSuggestionListBackgroundW, path)
}
func (b *Bar) SetSuggestionListHighlight(path string) error {
	return b.callText(procSetSuggestionListHighlightW, path)
}

// SetPosition moves the bar with its query field and lists, keeping the
// size.
func (b *Bar) SetPosition(x, y int) { procSetPosition.Call(b.handle, uintptr(x), uintptr(y)) }

// UpdateLayout lays the bar out from its size and skins and repaints it.
func (b *Bar) UpdateLayout() { procUpdateLayout.Call(b.handle) }

// QueryText is the text in the query field.
func (b *Bar) QueryText() string {
	text, _ := copyOut(func(buffer *uint16, size int) int {
		r, _, _ := procGetQueryTextW.Call(b.handle, uintptr(unsafe.Pointer(buffer)), uintptr(size))
		return int(int32(r))
	})
	return text
}

// copyOut reads a text that a function copies as snprintf does (the full
// length back), growing the buffer until it fits; false when get answers
// a negative length.
func copyOut(get func(buffer *uint16, size int) int) (string, bool) {
	buffer := make([]uint16, 64)
	for {
		length := get(&buffer[0], len(buffer))
		if length < 0 {
			return "", false
		}
		if length < len(buffer) {
			return syscall.UTF16ToString(buffer[:length]), true
		}
		buffer = make([]uint16, length+1)
	}
}

func (b *Bar) AddSuggestion(text string) error { return b.callText(procAddSuggestionW, text) }
func (b *Bar) ClearSuggestions()               { procClearSuggestions.Call(b.handle) }
func (b *Bar) ShowSuggestions()                { procShowSuggestions.Call(b.handle) }

// AddEngine registers an engine after CreateBar; the first becomes current.
// A search opens urlPrefix with the query, UTF-8 and percent-encoded, in
// place of every {searchTerms} or, without one, appended.
func (b *Bar) AddEngine(iconPath, name, urlPrefix string) error {
	icon, err := utf16(iconPath)
	if err != nil {
		return err
	}
	n, err := utf16(name)
	if err != nil {
		return err
	}
	url, err := utf16(urlPrefix)
	if err != nil {
		return err
	}
	r, _, _ := procAddEngineW.Call(b.handle, uintptr(unsafe.Pointer(icon)),
		uintptr(unsafe.Pointer(n)), uintptr(unsafe.Pointer(url)))
	if r != 1 {
		return ErrEngineRejected
	}
	return nil
}

// EngineName and EngineURL describe the current engine ("" with none).
func (b *Bar) EngineName() string { return b.wideResult(procGetEngineNameW) }
func (b *Bar) EngineURL() string  { return b.wideResult(procGetEngineUrlW) }

// wideResult copies the NUL-terminated UTF-16 text a function returns; the
// bar's copy is valid only until the engine changes, the Go string for ever.
func (b *Bar) wideResult(p *syscall.LazyProc) string {
	r, _, _ := p.Call(b.handle)
	if r == 0 {
		return ""
	}
	// Read through the variable's address: the text lives in the DLL's
	// memory, which Go's garbage collector neither owns nor moves.
	start := *(**uint16)(unsafe.Pointer(&r))
	length := 0
	for *(*uint16)(unsafe.Add(unsafe.Pointer(start), 2*length)) != 0 {
		length++
	}
	return syscall.UTF16ToString(unsafe.Slice(start, length))
}

// EngineIndex is the chosen engine's index as last read from the settings
// file.
func (b *Bar) EngineIndex() int {
	r, _, _ := procGetEngineIndex.Call(b.handle)
	return int(int32(r))
}

// SetSettingsFile names the INI file that keeps the chosen engine and makes
// the engine stored there current; call after the engines are added.
func (b *Bar) SetSettingsFile(iniPath string) error {
	return b.callText(procSetSettingsFileW, iniPath)
}

// ShowBar shows or hides the bar and its query field (a SW_ command).
func (b *Bar) ShowBar(showCommand int) { procShowBar.Call(b.handle, uintptr(showCommand)) }

// Window is the bar's window, 0 before CreateBar succeeded.
func (b *Bar) Window() syscall.Handle {
	r, _, _ := procGetWindowHandle.Call(b.handle)
	return syscall.Handle(r)
}

// SetListTextStyle sets a list's row text (ListEngines or ListSuggestions):
// font family ("" for the default), size in pixels at 96 DPI (1 to
// TextSizeMax), colour as 0xAARRGGBB (an alpha of 0 counts as opaque) and
// Text flags.
func (b *Bar) SetListTextStyle(list int, family string, size int, argb uint32, flags int) error {
	f, err := utf16(family)
	if err != nil {
		return err
	}
	r, _, _ := procSetListTextStyleW.Call(b.handle, uintptr(list), uintptr(unsafe.Pointer(f)),
		uintptr(size), uintptr(argb), uintptr(flags))
	return styleResult(r)
}

// SetListHighlightTextColor sets the highlighted row's text colour
// (0xAARRGGBB) of a list.
func (b *Bar) SetListHighlightTextColor(list int, argb uint32) error {
	r, _, _ := procSetListHighlightTextColor.Call(b.handle, uintptr(list), uintptr(argb))
	return styleResult(r)
}

// SetQueryFieldStyle sets the query field's font and its text and
// background colours (0x00BBGGRR, as the Win32 RGB macro makes them).
func (b *Bar) SetQueryFieldStyle(family string, size int, textRGB, backgroundRGB uint32) error {
	f, err := utf16(family)
	if err != nil {
		return err
	}
	r, _, _ := procSetQueryFieldStyleW.Call(b.handle, uintptr(unsafe.Pointer(f)), uintptr(size),
		uintptr(textRGB), uintptr(backgroundRGB))
	return styleResult(r)
}

func styleResult(r uintptr) error {
	if r != 1 {
		return ErrStyleRejected
	}
	return nil
}

// SetHistoryFile turns recent searches on with the file at path (UTF-8,
// created at the first search), keeping at most maxEntries (1 to 1000; 0
// for 100). "" turns them off and leaves the file alone. Entries never
// leave the machine.
func (b *Bar) SetHistoryFile(path string, maxEntries int) error {
	t, err := utf16(path)
	if err != nil {
		return err
	}
	r, _, _ := procSetHistoryFileW.Call(b.handle, uintptr(unsafe.Pointer(t)), uintptr(maxEntries))
	if r != 1 {
		return ErrHistoryFile
	}
	return nil
}

// ClearHistory forgets every recent search, in memory and in the file.
func (b *Bar) ClearHistory() error {
	if r, _, _ := procClearHistory.Call(b.handle); r != 1 {
		return ErrHistoryOff
	}
	return nil
}

// History is the recent searches, newest first.
func (b *Bar) History() []string {
	r, _, _ := procGetHistoryCount.Call(b.handle)
	entries := make([]string, 0, int(int32(r)))
	for i := 0; i < int(int32(r)); i++ {
		entry, ok := copyOut(func(buffer *uint16, size int) int {
			n, _, _ := procGetHistoryEntryW.Call(b.handle, uintptr(i), uintptr(unsafe.Pointer(buffer)),
				uintptr(size))
			return int(int32(n))
		})
		if ok {
			entries = append(entries, entry)
		}
	}
	return entries
}

// SetLayoutDirection lays the bar out left to right, right to left (mirrored,
// with a right-aligned field and lists) or, with LayoutAuto, as its host
// window is; before or after CreateBar, shown at once.
func (b *Bar) SetLayoutDirection(direction int) error {
	if r, _, _ := procSetLayoutDirection.Call(b.handle, uintptr(direction)); r != 1 {
		return ErrLayout
	}
	return nil
}

// SetSuggestionURL makes the bar fetch live suggestions for engine
// engineIndex (counted in the order added) from urlTemplate, an http:// or
// https:// URL holding {searchTerms}; "" removes it. Every query the user
// types then goes to that server: ask the user first.
func (b *Bar) SetSuggestionURL(engineIndex int, urlTemplate string) error {
	t, err := utf16(urlTemplate)
	if err != nil {
		return err
	}
	r, _, _ := procSetSuggestionURLW.Call(b.handle, uintptr(engineIndex), uintptr(unsafe.Pointer(t)))
	if r != 1 {
		return ErrSuggestionURL
	}
	return nil
}
