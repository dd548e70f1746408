//! The Tavrel search bar for Rust programs on Windows, over its C interface
//! (TavrelC.dll). [`sys`] declares tavrel_c.h as it is; [`Bar`] and the
//! functions here wrap it safely, with `&str` in and `String` out through
//! the UTF-16 (`W`) functions.
//!
//! A bar belongs to the thread that created it ([`Bar`] is neither `Send`
//! nor `Sync`), and that thread's message loop offers every message to
//! [`pre_translate_message`] before dispatching it.

pub mod sys;

use std::fmt;
use std::ptr::NonNull;

pub use sys::{
    MSG, TAVREL_LAYOUT_AUTO, TAVREL_LAYOUT_LTR, TAVREL_LAYOUT_RTL, TAVREL_LIST_ENGINES, TAVREL_LIST_SUGGESTIONS, TAVREL_TEXT_BOLD, TAVREL_TEXT_ITALIC,
    TAVREL_TEXT_SIZE_MAX, TAVREL_TEXT_UNDERLINE, TAVREL_UM_ENGINE_CHOSEN, TAVREL_UM_QUERY_CHANGED,
    TAVREL_UM_QUERY_COMMAND, TAVREL_UM_SEARCH_LAUNCHED, TAVREL_VERSION, HWND,
};

/// What a call that the C interface reports as failed, or a string that
/// cannot cross it, gives.
#[derive(Debug, Clone, PartialEq, Eq)]
pub enum Error {
    Startup,
    Create,
    CreateBar,
    /// An empty or already registered engine name, or no window yet.
    EngineRejected,
    /// The string holds NUL, which ends a C string early.
    InteriorNul(String),
    /// An unknown list or flag, or a size or colour out of range.
    StyleRejected,
    /// No such engine, or not an http(s) URL holding `{searchTerms}`.
    SuggestionUrlRejected,
    HistoryFileRejected,
    HistoryOff,
    /// Not TAVREL_LAYOUT_AUTO, TAVREL_LAYOUT_LTR or TAVREL_LAYOUT_RTL.
    LayoutRejected,
}

impl fmt::Display for Error {
    fn fmt(&self, f: &mut fmt::Formatter<'_>) -> fmt::Result {
        match self {
            Error::Startup => f.write_str("TavrelStartup failed"),
            Error::Create => f.write_str("TavrelCreate gave no bar"),
            Error::CreateBar => f.write_str("the bar window could not be created"),
            Error::EngineRejected => f.write_str("engine not added (empty or repeated name, or no window yet)"),
            Error::InteriorNul(s) => write!(f, "{s:?} holds NUL"),
            Error::StyleRejected => f.write_str("text style refused (unknown list or flag, size or colour out of range)"),
            Error::SuggestionUrlRejected => {
                f.write_str("suggestion URL refused (no such engine, or not http(s) with {searchTerms})")
            }
            Error::HistoryFileRejected => {
                f.write_str("history file refused (maxEntries out of range, a folder, or not a history file)")
            }
            Error::HistoryOff => f.write_str("no history file is named"),
            Error::LayoutRejected => f.write_str("layout direction refused (not AUTO, LTR or RTL)"),
        }
    }
}

impl std::error::Error for Error {}

/// Starts the graphics support for the process; once, before the first bar.
pub fn startup() -> Result<(), Error> {
    if unsafe { sys::TavrelStartup() } == 1 {
        Ok(())
    } else {
        Err(Error::Startup)
    }
}

/// Stops it; call once no bar will draw again.
pub fn cleanup() {
    unsafe { sys::TavrelCleanup() }
}

/// The interface version of the loaded DLL (`TAVREL_VERSION`'s layout).
pub fn loaded_version() -> u32 {
    unsafe { sys::TavrelGetVersion() }
}

/// Offers a message to the bar's windows before the host dispatches it;
/// true when they consumed it (then skip TranslateMessage and
/// DispatchMessage).
pub fn pre_translate_message(msg: &mut MSG) -> bool {
    unsafe { sys::TavrelPreTranslateMessage(msg) != 0 }
}

/// A placement in screen pixels.
#[derive(Clone, Copy, Debug, Default, PartialEq, Eq)]
pub struct Placement {
    pub x: i32,
    pub y: i32,
    pub width: i32,
    pub height: i32,
}

/// A text that `get` copies as snprintf does (the full length back), read
/// with a buffer grown until it fits; None when `get` answers a negative
/// length.
fn copy_out(get: impl Fn(*mut u16, i32) -> i32) -> Option<String> {
    let mut buffer = vec![0u16; 64];
    loop {
        let length = usize::try_from(get(buffer.as_mut_ptr(), buffer.len() as i32)).ok()?;
        if length < buffer.len() {
            return Some(String::from_utf16_lossy(&buffer[..length]));
        }
        buffer = vec![0u16; length + 1];
    }
}

fn wide(text: &str) -> Result<Vec<u16>, Error> {
    if text.contains('\0') {
        return Err(Error::InteriorNul(text.to_owned()));
    }
    Ok(text.encode_utf16().chain(Some(0)).collect())
}

/// Copies a NUL-terminated UTF-16 text the DLL owns.
unsafe fn from_wide(text: *const u16) -> String {
    if text.is_null() {
        return String::new();
    }
    let mut length = 0;
    while *text.add(length) != 0 {
        length += 1;
    }
    String::from_utf16_lossy(std::slice::from_raw_parts(text, length))
}

fn style_result(applied: i32) -> Result<(), Error> {
    if applied == 1 {
        Ok(())
    } else {
        Err(Error::StyleRejected)
    }
}

/// One search bar. Dropping it destroys it (`TavrelDestroyBar`): its windows,
/// pictures and live-suggestion requests go.
pub struct Bar {
    raw: NonNull<sys::TavrelBar>,
}

impl Drop for Bar {
    fn drop(&mut self) {
        unsafe { sys::TavrelDestroyBar(self.ptr()) };
    }
}

type SetText = unsafe extern "system" fn(*mut sys::TavrelBar, *const u16);

impl Bar {
    /// A bar without a window; [`Bar::create_bar`] gives it one.
    pub fn new() -> Result<Bar, Error> {
        NonNull::new(unsafe { sys::TavrelCreate() }).map(|raw| Bar { raw }).ok_or(Error::Create)
    }

    fn ptr(&self) -> *mut sys::TavrelBar {
        self.raw.as_ptr()
    }

    /// The C interface's handle, for the [`sys`] functions. It stays refused
    /// by every one of them once the bar is dropped: handles are never given
    /// twice.
    pub fn as_raw(&self) -> *mut sys::TavrelBar {
        self.ptr()
    }

    fn set_text(&self, function: SetText, text: &str) -> Result<(), Error> {
        let text = wide(text)?;
        unsafe { function(self.ptr(), text.as_ptr()) };
        Ok(())
    }

    /// Creates the bar's window, owned by `host`.
    pub fn create_bar(&self, host: HWND, placement: Placement) -> Result<(), Error> {
        let rect = sys::RECT {
            left: placement.x,
            top: placement.y,
            right: placement.width,
            bottom: placement.height,
        };
        match unsafe { sys::TavrelCreateBar(self.ptr(), host, &rect) } {
            1 => Ok(()),
            _ => Err(Error::CreateBar),
        }
    }

    /// The main background fixes the bar's size; a radius above 0 rounds
    /// its corners. An empty path changes nothing, for every skin image.
    pub fn set_background_image(&self, path: &str, corner_radius: i32) -> Result<(), Error> {
        let path = wide(path)?;
        unsafe { sys::TavrelSetBackgroundImageW(self.ptr(), path.as_ptr(), corner_radius) };
        Ok(())
    }

    pub fn set_active_background_image(&self, path: &str) -> Result<(), Error> {
        self.set_text(sys::TavrelSetActiveBackgroundImageW, path)
    }
    pub fn set_engine_icon_image(&self, path: &str) -> Result<(), Error> {
        self.set_text(sys::TavrelSetEngineIconImageW, path)
    }
    pub fn set_arrow_image(&self, path: &str) -> Result<(), Error> {
        self.set_text(sys::TavrelSetArrowImageW, path)
    }
    pub fn set_search_button_image(&self, path: &str) -> Result<(), Error> {
        self.set_text(sys::TavrelSetSearchButtonImageW, path)
    }
    /// The four list images may be given before [`Bar::create_bar`].
    pub fn set_engine_list_background(&self, path: &str) -> Result<(), Error> {
        self.set_text(sys::TavrelSetEngineListBackgroundW, path)
    }
    pub fn set_engine_list_highlight(&self, path: &str) -> Result<(), Error> {
        self.set_text(sys::TavrelSetEngineListHighlightW, path)
    }
    pub fn set_suggestion_list_background(&self, path: &str) -> Result<(), Error> {
        self.set_text(sys::TavrelSetSuggestionListBackgroundW, path)
    }
    pub fn set_suggestion_list_highlight(&self, path: &str) -> Result<(), Error> {
        self.set_text(sys::TavrelSetSuggestionListHighlightW, path)
    }

    /// Moves the bar with its query field and lists, keeping the size.
    pub fn set_position(&self, x: i32, y: i32) {
        unsafe { sys::TavrelSetPosition(self.ptr(), x, y) }
    }

    /// Lays the bar out from its size and skins and repaints it.
    pub fn update_layout(&self) {
        unsafe { sys::TavrelUpdateLayout(self.ptr()) }
    }

    /// The text in the query field.
    pub fn query_text(&self) -> String {
        copy_out(|buffer, size| unsafe { sys::TavrelGetQueryTextW(self.ptr(), buffer, size) })
            .unwrap_or_default()
    }

    /// Turns recent searches on with the file at `path` (UTF-8, created at
    /// the first search), keeping at most `max_entries` (1 to 1000; 0 for
    /// 100); "" turns them off and leaves the file alone. Entries never
    /// leave the machine.
    pub fn set_history_file(&self, path: &str, max_entries: i32) -> Result<(), Error> {
        let path = wide(path)?;
        match unsafe { sys::TavrelSetHistoryFileW(self.ptr(), path.as_ptr(), max_entries) } {
            1 => Ok(()),
            _ => Err(Error::HistoryFileRejected),
        }
    }

    /// Lays the bar out left to right, right to left (mirrored, with a
    /// right-aligned field and lists) or, with `TAVREL_LAYOUT_AUTO`, as its
    /// host window is; before or after `create_bar`, shown at once.
    pub fn set_layout_direction(&self, direction: i32) -> Result<(), Error> {
        match unsafe { sys::TavrelSetLayoutDirection(self.ptr(), direction) } {
            1 => Ok(()),
            _ => Err(Error::LayoutRejected),
        }
    }

    /// Forgets every recent search, in memory and in the file.
    pub fn clear_history(&self) -> Result<(), Error> {
        match unsafe { sys::TavrelClearHistory(self.ptr()) } {
            1 => Ok(()),
            _ => Err(Error::HistoryOff),
        }
    }

    /// The recent searches, newest first.
    pub fn history(&self) -> Vec<String> {
        let count = unsafe { sys::TavrelGetHistoryCount(self.ptr()) }.max(0);
        (0..count)
            .filter_map(|index| {
                copy_out(|buffer, size| unsafe {
                    sys::TavrelGetHistoryEntryW(self.ptr(), index, buffer, size)
                })
            })
            .collect()
    }

    pub fn add_suggestion(&self, text: &str) -> Result<(), Error> {
        self.set_text(sys::TavrelAddSuggestionW, text)
    }
    pub fn clear_suggestions(&self) {
        unsafe { sys::TavrelClearSuggestions(self.ptr()) }
    }
    pub fn show_suggestions(&self) {
        unsafe { sys::TavrelShowSuggestions(self.ptr()) }
    }

    /// Registers an engine after [`Bar::create_bar`]; the first becomes
    /// current. A search opens `url_prefix` with the query, UTF-8 and
    /// percent-encoded, in place of every `{searchTerms}` or, without one,
    /// appended.
    pub fn add_engine(&self, icon_path: &str, name: &str, url_prefix: &str) -> Result<(), Error> {
        let (icon, name, url) = (wide(icon_path)?, wide(name)?, wide(url_prefix)?);
        match unsafe { sys::TavrelAddEngineW(self.ptr(), icon.as_ptr(), name.as_ptr(), url.as_ptr()) } {
            1 => Ok(()),
            _ => Err(Error::EngineRejected),
        }
    }

    /// The current engine's name ("" with none).
    pub fn engine_name(&self) -> String {
        unsafe { from_wide(sys::TavrelGetEngineNameW(self.ptr())) }
    }
    /// The current engine's URL prefix ("" with none).
    pub fn engine_url(&self) -> String {
        unsafe { from_wide(sys::TavrelGetEngineUrlW(self.ptr())) }
    }
    /// The chosen engine's index as last read from the settings file.
    pub fn engine_index(&self) -> i32 {
        unsafe { sys::TavrelGetEngineIndex(self.ptr()) }
    }

    /// Names the INI file that keeps the chosen engine and makes the engine
    /// stored there current; call after the engines are added.
    pub fn set_settings_file(&self, ini_path: &str) -> Result<(), Error> {
        self.set_text(sys::TavrelSetSettingsFileW, ini_path)
    }

    /// Shows or hides the bar and its query field (a SW_ command).
    pub fn show_bar(&self, show_command: i32) {
        unsafe { sys::TavrelShowBar(self.ptr(), show_command) }
    }

    /// A list's row text (`TAVREL_LIST_ENGINES` or `TAVREL_LIST_SUGGESTIONS`):
    /// font family ("" for the default), size in pixels at 96 DPI (1 to
    /// `TAVREL_TEXT_SIZE_MAX`), colour as 0xAARRGGBB (an alpha of 0 counts
    /// as opaque) and `TAVREL_TEXT_` flags.
    pub fn set_list_text_style(&self, list: i32, family: &str, size: i32, argb: u32, flags: i32)
        -> Result<(), Error> {
        let family = wide(family)?;
        style_result(unsafe {
            sys::TavrelSetListTextStyleW(self.ptr(), list, family.as_ptr(), size, argb, flags)
        })
    }
    /// The highlighted row's text colour (0xAARRGGBB) of a list.
    pub fn set_list_highlight_text_color(&self, list: i32, argb: u32) -> Result<(), Error> {
        style_result(unsafe { sys::TavrelSetListHighlightTextColor(self.ptr(), list, argb) })
    }
    /// The query field's font and its text and background colours
    /// (0x00BBGGRR, as the Win32 RGB macro makes them).
    pub fn set_query_field_style(&self, family: &str, size: i32, text_rgb: u32, background_rgb: u32)
        -> Result<(), Error> {
        let family = wide(family)?;
        style_result(unsafe {
            sys::TavrelSetQueryFieldStyleW(self.ptr(), family.as_ptr(), size, text_rgb, background_rgb)
        })
    }

    /// Makes the bar fetch live suggestions for engine `engine_index`
    /// (counted in the order added) from `url_template`, an http:// or
    /// https:// URL holding `{searchTerms}`; "" removes it. Every query the
    /// user types then goes to that server: ask the user first.
    pub fn set_suggestion_url(&self, engine_index: i32, url_template: &str) -> Result<(), Error> {
        let url = wide(url_template)?;
        match unsafe { sys::TavrelSetSuggestionUrlW(self.ptr(), engine_index, url.as_ptr()) } {
            1 => Ok(()),
            _ => Err(Error::SuggestionUrlRejected),
        }
    }

    /// The bar's window, null before [`Bar::create_bar`] succeeded.
    pub fn window(&self) -> HWND {
        unsafe { sys::TavrelGetWindowHandle(self.ptr()) }
    }
}
