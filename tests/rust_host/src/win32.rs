//! The few Win32 functions and structures the host needs beyond the crate.
#![allow(non_snake_case, clippy::upper_case_acronyms)]

use std::os::raw::c_void;
use tavrel::{HWND, MSG};

pub type HKEY = *mut c_void;
pub type WndProc = unsafe extern "system" fn(HWND, u32, usize, isize) -> isize;

pub const WS_OVERLAPPEDWINDOW: u32 = 0x00CF_0000;
pub const GW_OWNER: u32 = 4;
pub const GW_CHILD: u32 = 5;
pub const PM_REMOVE: u32 = 1;
pub const QS_ALLINPUT: u32 = 0x04FF;
pub const SW_SHOW: i32 = 5;
pub const INPUT_KEYBOARD: u32 = 1;
pub const KEYEVENTF_KEYUP: u32 = 2;
pub const VK_RETURN: u16 = 0x0D;
pub const VK_DOWN: u16 = 0x28;
pub const REG_SZ: u32 = 1;
// (HKEY)(LONG)0x80000000: sign-extended where pointers have 64 bits.
pub const HKEY_CLASSES_ROOT: HKEY = 0x8000_0000u32 as i32 as isize as HKEY;

#[repr(C)]
pub struct WNDCLASSW {
    pub style: u32,
    pub wnd_proc: Option<WndProc>,
    pub cls_extra: i32,
    pub wnd_extra: i32,
    pub instance: *mut c_void,
    pub icon: *mut c_void,
    pub cursor: *mut c_void,
    pub background: *mut c_void,
    pub menu_name: *const u16,
    pub class_name: *const u16,
}

#[repr(C)]
#[derive(Default)]
pub struct RECT {
    pub left: i32,
    pub top: i32,
    pub right: i32,
    pub bottom: i32,
}

#[repr(C)]
pub struct KEYBDINPUT {
    pub vk: u16,
    pub scan: u16,
    pub flags: u32,
    pub time: u32,
    pub extra_info: usize,
}

/// An INPUT holding a KEYBDINPUT: the union is as large as MOUSEINPUT, 8
/// bytes longer.
#[repr(C)]
pub struct INPUT {
    pub kind: u32,
    pub ki: KEYBDINPUT,
    pub padding: [u8; 8],
}

#[link(name = "user32")]
extern "system" {
    pub fn RegisterClassW(class: *const WNDCLASSW) -> u16;
    pub fn CreateWindowExW(
        ex_style: u32,
        class: *const u16,
        title: *const u16,
        style: u32,
        x: i32,
        y: i32,
        width: i32,
        height: i32,
        parent: HWND,
        menu: *mut c_void,
        instance: *mut c_void,
        param: *mut c_void,
    ) -> HWND;
    pub fn DefWindowProcW(hwnd: HWND, msg: u32, w_param: usize, l_param: isize) -> isize;
    pub fn DestroyWindow(hwnd: HWND) -> i32;
    pub fn PeekMessageW(msg: *mut MSG, hwnd: HWND, first: u32, last: u32, remove: u32) -> i32;
    pub fn TranslateMessage(msg: *const MSG) -> i32;
    pub fn DispatchMessageW(msg: *const MSG) -> isize;
    pub fn MsgWaitForMultipleObjects(count: u32, handles: *const c_void, all: i32, ms: u32, mask: u32) -> u32;
    pub fn FindWindowExW(parent: HWND, after: HWND, class: *const u16, title: *const u16) -> HWND;
    pub fn GetWindow(hwnd: HWND, relation: u32) -> HWND;
    pub fn IsWindowVisible(hwnd: HWND) -> i32;
    pub fn IsWindow(hwnd: HWND) -> i32;
    pub fn GetWindowRect(hwnd: HWND, rect: *mut RECT) -> i32;
    pub fn SetForegroundWindow(hwnd: HWND) -> i32;
    pub fn GetForegroundWindow() -> HWND;
    pub fn SetFocus(hwnd: HWND) -> HWND;
    pub fn SendInput(count: u32, inputs: *const INPUT, size: i32) -> u32;
    pub fn MapVirtualKeyW(code: u32, map_type: u32) -> u32;
}

#[link(name = "advapi32")]
extern "system" {
    pub fn RegQueryValueW(key: HKEY, sub_key: *const u16, value: *mut u16, size: *mut i32) -> i32;
    pub fn RegSetValueW(key: HKEY, sub_key: *const u16, kind: u32, data: *const u16, size: u32) -> i32;
    pub fn RegDeleteKeyW(key: HKEY, sub_key: *const u16) -> i32;
}

#[link(name = "kernel32")]
extern "system" {
    pub fn GetModuleHandleW(name: *const u16) -> *mut c_void;
}

pub fn wide(text: &str) -> Vec<u16> {
    text.encode_utf16().chain(Some(0)).collect()
}
