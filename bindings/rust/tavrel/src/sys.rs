//! The declarations of tavrel_c.h, one for one: every function is
//! `extern "system"` (__stdcall on x86) and imported from TavrelC.dll under
//! its plain name. Narrow strings are in the ANSI code page, the `W`
//! functions take UTF-16.

use std::os::raw::{c_char, c_int, c_void};

pub type HWND = *mut c_void;
pub type WCHAR = u16;
pub type BOOL = c_int;
pub type DWORD = u32;

pub const TAVREL_VERSION_MAJOR: u32 = 1;
pub const TAVREL_VERSION_MINOR: u32 = 6;
pub const TAVREL_VERSION_PATCH: u32 = 0;
pub const TAVREL_VERSION: u32 =
    (TAVREL_VERSION_MAJOR << 16) | (TAVREL_VERSION_MINOR << 8) | TAVREL_VERSION_PATCH;

pub const TAVREL_UM_ENGINE_CHOSEN: u32 = 1124;
pub const TAVREL_UM_QUERY_COMMAND: u32 = 1125;
pub const TAVREL_UM_QUERY_CHANGED: u32 = 1126;
pub const TAVREL_UM_SEARCH_LAUNCHED: u32 = 1127;

pub const TAVREL_LIST_ENGINES: c_int = 0;
pub const TAVREL_LIST_SUGGESTIONS: c_int = 1;
pub const TAVREL_TEXT_BOLD: c_int = 1;
pub const TAVREL_TEXT_ITALIC: c_int = 2;
pub const TAVREL_TEXT_UNDERLINE: c_int = 4;
pub const TAVREL_TEXT_SIZE_MAX: c_int = 72;

pub const TAVREL_LAYOUT_AUTO: c_int = 0;
pub const TAVREL_LAYOUT_LTR: c_int = 1;
pub const TAVREL_LAYOUT_RTL: c_int = 2;

/// A search bar; only ever behind a pointer.
#[repr(C)]
pub struct TavrelBar {
    _private: [u8; 0],
}

/// The Win32 RECT; TavrelCreateBar reads its members as x, y, width, height.
#[repr(C)]
#[derive(Clone, Copy, Debug, Default, PartialEq, Eq)]
pub struct RECT {
    pub left: i32,
    pub top: i32,
    pub right: i32,
    pub bottom: i32,
}

#[repr(C)]
#[derive(Clone, Copy, Debug, Default)]
pub struct POINT {
    pub x: i32,
    pub y: i32,
}

/// The Win32 MSG.
#[repr(C)]
#[derive(Clone, Copy, Debug)]
pub struct MSG {
    pub hwnd: HWND,
    pub message: u32,
    pub w_param: usize,
    pub l_param: isize,
    pub time: u32,
    pub pt: POINT,
}

#[link(name = "TavrelC")]
extern "system" {
    pub fn TavrelStartup() -> c_int;
    pub fn TavrelCleanup();
    pub fn TavrelCreate() -> *mut TavrelBar;
    /// 1 when `bar` was a live bar (now destroyed), 0 for any other (1.4).
    pub fn TavrelDestroyBar(bar: *mut TavrelBar) -> c_int;

    pub fn TavrelSetBackgroundImage(bar: *mut TavrelBar, path: *const c_char, corner_radius: c_int);
    pub fn TavrelSetActiveBackgroundImage(bar: *mut TavrelBar, path: *const c_char);
    pub fn TavrelSetEngineIconImage(bar: *mut TavrelBar, path: *const c_char);
    pub fn TavrelSetArrowImage(bar: *mut TavrelBar, path: *const c_char);
    pub fn TavrelSetSearchButtonImage(bar: *mut TavrelBar, path: *const c_char);
    pub fn TavrelSetEngineListBackground(bar: *mut TavrelBar, path: *const c_char);
    pub fn TavrelSetEngineListHighlight(bar: *mut TavrelBar, path: *const c_char);
    pub fn TavrelSetSuggestionListBackground(bar: *mut TavrelBar, path: *const c_char);
    pub fn TavrelSetSuggestionListHighlight(bar: *mut TavrelBar, path: *const c_char);

    pub fn TavrelSetBackgroundImageW(bar: *mut TavrelBar, path: *const WCHAR, corner_radius: c_int);
    pub fn TavrelSetActiveBackgroundImageW(bar: *mut TavrelBar, path: *const WCHAR);
    pub fn TavrelSetEngineIconImageW(bar: *mut TavrelBar, path: *const WCHAR);
    pub fn TavrelSetArrowImageW(bar: *mut TavrelBar, path: *const WCHAR);
    pub fn TavrelSetSearchButtonImageW(bar: *mut TavrelBar, path: *const WCHAR);
    pub fn TavrelSetEngineListBackgroundW(bar: *mut TavrelBar, path: *const WCHAR);
    pub fn TavrelSetEngineListHighlightW(bar: *mut TavrelBar, path: *const WCHAR);
    pub fn TavrelSetSuggestionListBackgroundW(bar: *mut TavrelBar, path: *const WCHAR);
    pub fn TavrelSetSuggestionListHighlightW(bar: *mut TavrelBar, path: *const WCHAR);

    pub fn TavrelCreateBar(bar: *mut TavrelBar, host_window: HWND, placement: *const RECT) -> c_int;
    pub fn TavrelSetPosition(bar: *mut TavrelBar, x: c_int, y: c_int);
    pub fn TavrelUpdateLayout(bar: *mut TavrelBar);
    pub fn TavrelGetQueryText(bar: *mut TavrelBar, buffer: *mut c_char, size: c_int) -> c_int;
    pub fn TavrelGetQueryTextW(bar: *mut TavrelBar, buffer: *mut WCHAR, size: c_int) -> c_int;
    pub fn TavrelAddSuggestion(bar: *mut TavrelBar, text: *const c_char);
    pub fn TavrelAddSuggestionW(bar: *mut TavrelBar, text: *const WCHAR);
    pub fn TavrelClearSuggestions(bar: *mut TavrelBar);
    pub fn TavrelShowSuggestions(bar: *mut TavrelBar);
    pub fn TavrelAddEngine(
        bar: *mut TavrelBar,
        icon_path: *const c_char,
        name: *const c_char,
        url_prefix: *const c_char,
    ) -> c_int;
    pub fn TavrelAddEngineW(
        bar: *mut TavrelBar,
        icon_path: *const WCHAR,
        name: *const WCHAR,
        url_prefix: *const WCHAR,
    ) -> c_int;
    pub fn TavrelGetEngineName(bar: *mut TavrelBar) -> *const c_char;
    pub fn TavrelGetEngineUrl(bar: *mut TavrelBar) -> *const c_char;
    pub fn TavrelGetEngineNameW(bar: *mut TavrelBar) -> *const WCHAR;
    pub fn TavrelGetEngineUrlW(bar: *mut TavrelBar) -> *const WCHAR;
    pub fn TavrelGetEngineIndex(bar: *mut TavrelBar) -> c_int;
    pub fn TavrelSetSettingsFile(bar: *mut TavrelBar, ini_path: *const c_char);
    pub fn TavrelSetSettingsFileW(bar: *mut TavrelBar, ini_path: *const WCHAR);
    pub fn TavrelShowBar(bar: *mut TavrelBar, show_command: c_int);
    pub fn TavrelGetWindowHandle(bar: *mut TavrelBar) -> HWND;

    pub fn TavrelSetListTextStyle(
        bar: *mut TavrelBar,
        list: c_int,
        family: *const c_char,
        size: c_int,
        argb: DWORD,
        flags: c_int,
    ) -> c_int;
    pub fn TavrelSetListTextStyleW(
        bar: *mut TavrelBar,
        list: c_int,
        family: *const WCHAR,
        size: c_int,
        argb: DWORD,
        flags: c_int,
    ) -> c_int;
    pub fn TavrelSetListHighlightTextColor(bar: *mut TavrelBar, list: c_int, argb: DWORD) -> c_int;
    pub fn TavrelSetQueryFieldStyle(
        bar: *mut TavrelBar,
        family: *const c_char,
        size: c_int,
        text_rgb: DWORD,
        background_rgb: DWORD,
    ) -> c_int;
    pub fn TavrelSetQueryFieldStyleW(
        bar: *mut TavrelBar,
        family: *const WCHAR,
        size: c_int,
        text_rgb: DWORD,
        background_rgb: DWORD,
    ) -> c_int;

    pub fn TavrelSetSuggestionUrl(bar: *mut TavrelBar, engine_index: c_int, url_template: *const c_char)
        -> c_int;
    pub fn TavrelSetSuggestionUrlW(bar: *mut TavrelBar, engine_index: c_int, url_template: *const WCHAR)
        -> c_int;

    /// Recent searches (1.5).
    pub fn TavrelSetHistoryFileW(bar: *mut TavrelBar, path: *const WCHAR, max_entries: c_int) -> c_int;
    pub fn TavrelSetHistoryFile(bar: *mut TavrelBar, path: *const c_char, max_entries: c_int) -> c_int;
    pub fn TavrelClearHistory(bar: *mut TavrelBar) -> c_int;
    pub fn TavrelGetHistoryCount(bar: *mut TavrelBar) -> c_int;
    pub fn TavrelGetHistoryEntryW(bar: *mut TavrelBar, index: c_int, buffer: *mut WCHAR, size: c_int)
        -> c_int;

    /// Layout direction (1.6): a TAVREL_LAYOUT_ value.
    pub fn TavrelSetLayoutDirection(bar: *mut TavrelBar, direction: c_int) -> c_int;

    pub fn TavrelPreTranslateMessage(msg: *mut MSG) -> BOOL;
    pub fn TavrelGetVersion() -> DWORD;
}
