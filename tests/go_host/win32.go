package main

// The few Win32 functions and structures the host needs beyond the
// bindings, called through syscall alone.

import (
	"syscall"
	"unsafe"
)

var (
	user32   = syscall.NewLazyDLL("user32.dll")
	advapi32 = syscall.NewLazyDLL("advapi32.dll")
	kernel32 = syscall.NewLazyDLL("kernel32.dll")

	procRegisterClassExW          = user32.NewProc("RegisterClassExW")
	procCreateWindowExW           = user32.NewProc("CreateWindowExW")
	procDefWindowProcW            = user32.NewProc("DefWindowProcW")
	procDestroyWindow             = user32.NewProc("DestroyWindow")
	procPeekMessageW              = user32.NewProc("PeekMessageW")
	procTranslateMessage          = user32.NewProc("TranslateMessage")
	procDispatchMessageW          = user32.NewProc("DispatchMessageW")
	procMsgWaitForMultipleObjects = user32.NewProc("MsgWaitForMultipleObjects")
	procFindWindowExW             = user32.NewProc("FindWindowExW")
	procGetWindow                 = user32.NewProc("GetWindow")
	procIsWindowVisible           = user32.NewProc("IsWindowVisible")
	procIsWindow                  = user32.NewProc("IsWindow")
	procGetWindowRect             = user32.NewProc("GetWindowRect")
	procSetForegroundWindow       = user32.NewProc("SetForegroundWindow")
	procGetForegroundWindow       = user32.NewProc("GetForegroundWindow")
	procSetFocus                  = user32.NewProc("SetFocus")
	procSendInput                 = user32.NewProc("SendInput")
	procMapVirtualKeyW            = user32.NewProc("MapVirtualKeyW")
	procRegQueryValueW            = advapi32.NewProc("RegQueryValueW")
	procRegSetValueW              = advapi32.NewProc("RegSetValueW")
	procRegDeleteKeyW             = advapi32.NewProc("RegDeleteKeyW")
	procGetModuleHandleW          = kernel32.NewProc("GetModuleHandleW")
)

const (
	wsOverlappedWindow = 0x00CF0000
	gwOwner            = 4
	gwChild            = 5
	pmRemove           = 1
	qsAllInput         = 0x04FF
	swShow             = 5
	inputKeyboard      = 1
	keyEventKeyUp      = 2
	vkReturn           = 0x0D
	vkDown             = 0x28
	regSz              = 1
	hkeyClassesRoot    = ^uintptr(0x7FFFFFFF) // (HKEY)(LONG)0x80000000, sign-extended on x64
)

type rect struct{ Left, Top, Right, Bottom int32 }

type wndClassEx struct {
	Size       uint32
	Style      uint32
	WndProc    uintptr
	ClsExtra   int32
	WndExtra   int32
	Instance   uintptr
	Icon       uintptr
	Cursor     uintptr
	Background uintptr
	MenuName   *uint16
	ClassName  *uint16
	IconSm     uintptr
}

// keyInput has the layout of an INPUT holding a KEYBDINPUT. The union
// starts at the alignment of its pointer-sized members (offset 8 on x64, 4
// on x86), which a nested struct holding a uintptr gets, and is as large as
// its largest member, MOUSEINPUT, 8 bytes longer.
type keyInput struct {
	Type uint32
	Key  keybdInput
	_    [8]byte
}

type keybdInput struct {
	Vk, Scan  uint16
	Flags     uint32
	Time      uint32
	ExtraInfo uintptr
}

func wide(s string) *uint16 {
	p, err := syscall.UTF16PtrFromString(s)
	if err != nil {
		panic(err)
	}
	return p
}

func ptr(p *uint16) uintptr { return uintptr(unsafe.Pointer(p)) }

func windowOf(r uintptr) syscall.Handle { return syscall.Handle(r) }

func createHostWindow(proc func(hwnd syscall.Handle, msg uint32, wParam, lParam uintptr) uintptr) syscall.Handle {
	instance, _, _ := procGetModuleHandleW.Call(0)
	class := wndClassEx{
		WndProc:   syscall.NewCallback(proc),
		Instance:  instance,
		ClassName: wide("GO_HOST"),
	}
	class.Size = uint32(unsafe.Sizeof(class))
	procRegisterClassExW.Call(uintptr(unsafe.Pointer(&class)))
	hwnd, _, _ := procCreateWindowExW.Call(0, ptr(class.ClassName), ptr(wide("Go host")),
		wsOverlappedWindow, 50, 50, 600, 300, 0, 0, instance, 0)
	return windowOf(hwnd)
}

func defWindowProc(hwnd syscall.Handle, msg uint32, wParam, lParam uintptr) uintptr {
	r, _, _ := procDefWindowProcW.Call(uintptr(hwnd), uintptr(msg), wParam, lParam)
	return r
}

func destroyWindow(hwnd syscall.Handle) { procDestroyWindow.Call(uintptr(hwnd)) }

func isWindow(hwnd syscall.Handle) bool {
	r, _, _ := procIsWindow.Call(uintptr(hwnd))
	return r != 0
}

func isWindowVisible(hwnd syscall.Handle) bool {
	r, _, _ := procIsWindowVisible.Call(uintptr(hwnd))
	return r != 0
}

func windowRect(hwnd syscall.Handle) rect {
	var rc rect
	procGetWindowRect.Call(uintptr(hwnd), uintptr(unsafe.Pointer(&rc)))
	return rc
}

func getWindow(hwnd syscall.Handle, relation uintptr) syscall.Handle {
	r, _, _ := procGetWindow.Call(uintptr(hwnd), relation)
	return windowOf(r)
}

// findOwned is the first top-level window of the class owned by owner (and
// visible, if asked), or 0.
func findOwned(className string, owner syscall.Handle, visibleOnly bool) syscall.Handle {
	class := wide(className)
	var found uintptr
	for {
		found, _, _ = procFindWindowExW.Call(0, found, ptr(class), 0)
		if found == 0 {
			return 0
		}
		hwnd := windowOf(found)
		if getWindow(hwnd, gwOwner) == owner && (!visibleOnly || isWindowVisible(hwnd)) {
			return hwnd
		}
	}
}

func setForegroundWindow(hwnd syscall.Handle) { procSetForegroundWindow.Call(uintptr(hwnd)) }
func foregroundWindow() syscall.Handle {
	r, _, _ := procGetForegroundWindow.Call()
	return windowOf(r)
}
func setFocus(hwnd syscall.Handle) { procSetFocus.Call(uintptr(hwnd)) }

// pressKey sends one key down and up as real input.
func pressKey(vk uint16) {
	scan, _, _ := procMapVirtualKeyW.Call(uintptr(vk), 0)
	keys := [2]keyInput{
		{Type: inputKeyboard, Key: keybdInput{Vk: vk, Scan: uint16(scan)}},
		{Type: inputKeyboard, Key: keybdInput{Vk: vk, Scan: uint16(scan), Flags: keyEventKeyUp}},
	}
	sent, _, _ := procSendInput.Call(2, uintptr(unsafe.Pointer(&keys[0])), unsafe.Sizeof(keys[0]))
	check(sent == 2, "SendInput took both key events")
}

// Registry values under HKEY_CLASSES_ROOT, the default value of a key.
func regQueryValue(key string) (string, bool) {
	buffer := make([]uint16, 1024)
	size := int32(len(buffer) * 2)
	r, _, _ := procRegQueryValueW.Call(hkeyClassesRoot, ptr(wide(key)),
		uintptr(unsafe.Pointer(&buffer[0])), uintptr(unsafe.Pointer(&size)))
	return syscall.UTF16ToString(buffer), r == 0
}

func regSetValue(key, value string) {
	v, _ := syscall.UTF16FromString(value)
	procRegSetValueW.Call(hkeyClassesRoot, ptr(wide(key)), regSz, uintptr(unsafe.Pointer(&v[0])),
		uintptr(2*(len(v)-1)))
}

func regDeleteKey(key string) { procRegDeleteKeyW.Call(hkeyClassesRoot, ptr(wide(key))) }
