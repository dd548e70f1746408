//! A host written in Rust against the tavrel crate alone. It runs the
//! typical search: skins, two engines, a settings file (with a Cyrillic
//! name) choosing the second, suggestions fed on TAVREL_UM_QUERY_CHANGED,
//! real keys (two letters, Down, Enter) and a second search by Enter in the
//! field, which only the pre-translation in the message loop sees. The first
//! suggestion is not ASCII, so the URL carries it in UTF-8. The shell's
//! handlers for http URLs and HTML documents start this same program as
//! "PROGRAM --record FILE URL" meanwhile, standing in for the browser. Exit
//! code 0 when every check holds.

mod win32;

use std::cell::{Cell, RefCell};
use std::io::Write;
use std::path::PathBuf;
use std::ptr::null_mut;
use std::rc::Rc;
use std::time::{Duration, Instant};
use tavrel::{Bar, Error, Placement, HWND, MSG};
use win32::*;

const ENGINE_PREFIX: &str = "http://second.test/?q=";
const SEARCH_URL: &str = "http://second.test/?q=ab%20caf%C3%A9";
const SECOND_ENGINE: &str = "Второй";

thread_local! {
    static BAR: RefCell<Option<Rc<Bar>>> = RefCell::new(None);
    static FAILURES: Cell<u32> = Cell::new(0);
    static QUERY_CHANGES: Cell<u32> = Cell::new(0);
    static SEARCHES: Cell<u32> = Cell::new(0);
    static ENGINE_CHOICES: Cell<u32> = Cell::new(0);
}

#[track_caller]
fn check(ok: bool, what: &str) {
    if !ok {
        println!("host: line {}: failed: {}", std::panic::Location::caller().line(), what);
        FAILURES.with(|f| f.set(f.get() + 1));
    }
}

fn failures() -> u32 {
    FAILURES.with(|f| f.get())
}

fn count(counter: &'static std::thread::LocalKey<Cell<u32>>) -> u32 {
    counter.with(|c| c.get())
}

fn bump(counter: &'static std::thread::LocalKey<Cell<u32>>) {
    counter.with(|c| c.set(c.get() + 1));
}

fn bar() -> Rc<Bar> {
    BAR.with(|b| b.borrow().clone().expect("the bar exists"))
}

// ---- The host window and its answers to the bar ----

fn suggest(bar: &Bar, query: &str) {
    bar.clear_suggestions();
    check(bar.add_suggestion(&format!("{query} café")).is_ok(), "add the first suggestion");
    check(bar.add_suggestion(&format!("{query} maps")).is_ok(), "add the second suggestion");
    bar.show_suggestions();
}

unsafe extern "system" fn host_proc(hwnd: HWND, msg: u32, w_param: usize, l_param: isize) -> isize {
    match msg {
        tavrel::TAVREL_UM_QUERY_CHANGED => {
            bump(&QUERY_CHANGES);
            let bar = bar();
            suggest(&bar, &bar.query_text());
            0
        }
        tavrel::TAVREL_UM_SEARCH_LAUNCHED => {
            bump(&SEARCHES);
            0
        }
        tavrel::TAVREL_UM_ENGINE_CHOSEN => {
            bump(&ENGINE_CHOICES);
            0
        }
        _ => DefWindowProcW(hwnd, msg, w_param, l_param),
    }
}

fn create_host_window() -> HWND {
    let class_name = wide("RUST_HOST");
    unsafe {
        let instance = GetModuleHandleW(std::ptr::null());
        let class = WNDCLASSW {
            style: 0,
            wnd_proc: Some(host_proc),
            cls_extra: 0,
            wnd_extra: 0,
            instance,
            icon: null_mut(),
            cursor: null_mut(),
            background: null_mut(),
            menu_name: std::ptr::null(),
            class_name: class_name.as_ptr(),
        };
        RegisterClassW(&class);
        CreateWindowExW(0, class_name.as_ptr(), wide("Rust host").as_ptr(), WS_OVERLAPPEDWINDOW,
            50, 50, 600, 300, null_mut(), null_mut(), instance, null_mut())
    }
}

// ---- The message loop: pre-translation first, as every host must ----

fn pump_pending() {
    let mut msg: MSG = unsafe { std::mem::zeroed() };
    while unsafe { PeekMessageW(&mut msg, null_mut(), 0, 0, PM_REMOVE) } != 0 {
        if !tavrel::pre_translate_message(&mut msg) {
            unsafe {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
        }
    }
}

/// Pumps until `done` holds (true) or the timeout passes (false).
fn pump_until(done: impl Fn() -> bool, timeout: Duration) -> bool {
    let start = Instant::now();
    loop {
        pump_pending();
        if done() {
            return true;
        }
        if start.elapsed() >= timeout {
            return false;
        }
        unsafe { MsgWaitForMultipleObjects(0, std::ptr::null(), 0, 10, QS_ALLINPUT) };
    }
}

// ---- Files: skins, settings, the recorded URLs ----

fn scratch(name: &str) -> PathBuf {
    std::env::temp_dir().join(name)
}

fn url_file() -> PathBuf {
    scratch("rust_host_urls.txt")
}

/// Writes an opaque 32-bit BMP of one colour and gives its path.
fn write_bmp(name: &str, width: u32, height: u32, rgb: u32) -> String {
    let mut data = Vec::new();
    let pixels = width * height * 4;
    data.extend_from_slice(b"BM");
    for value in [54 + pixels, 0, 54, 40, width, height] {
        data.extend_from_slice(&value.to_le_bytes());
    }
    data.extend_from_slice(&1u16.to_le_bytes());
    data.extend_from_slice(&32u16.to_le_bytes());
    data.extend_from_slice(&[0u8; 24]);
    for _ in 0..width * height {
        data.extend_from_slice(&rgb.to_le_bytes());
    }
    let path = scratch(name);
    check(std::fs::write(&path, data).is_ok(), name);
    path.to_string_lossy().into_owned()
}

fn recorded() -> String {
    std::fs::read_to_string(url_file()).unwrap_or_default()
}

/// Record mode: the shell started this program for a URL.
fn record_url(file: &str, url: &str) -> i32 {
    let file = std::fs::OpenOptions::new().create(true).append(true).open(file);
    match file.and_then(|mut f| writeln!(f, "{url}")) {
        Ok(()) => 0,
        Err(_) => 1,
    }
}

// ---- The browser stand-in as the shell's handler ----

// Wine's HKEY_CLASSES_ROOT shows only the machine's classes, so the
// handlers are set there; each old value is put back afterwards.
const HANDLER_KEYS: [&str; 2] = ["http\\shell\\open\\command", "htmlfile\\shell\\open\\command"];

fn reg_query_value(key: &str) -> Option<Vec<u16>> {
    let mut buffer = vec![0u16; 1024];
    let mut size = (buffer.len() * 2) as i32;
    let rc = unsafe { RegQueryValueW(HKEY_CLASSES_ROOT, wide(key).as_ptr(), buffer.as_mut_ptr(), &mut size) };
    (rc == 0).then(|| buffer)
}

fn reg_set_value(key: &str, value: &[u16]) {
    let length = value.iter().position(|&c| c == 0).unwrap_or(value.len());
    unsafe { RegSetValueW(HKEY_CLASSES_ROOT, wide(key).as_ptr(), REG_SZ, value.as_ptr(), (length * 2) as u32) };
}

fn install_browser_stand_in() -> Vec<Option<Vec<u16>>> {
    let program = std::env::current_exe().expect("this program's path");
    let command = format!("\"{}\" --record \"{}\" \"%1\"", program.display(), url_file().display());
    HANDLER_KEYS
        .iter()
        .map(|key| {
            let old = reg_query_value(key);
            reg_set_value(key, &wide(&command));
            old
        })
        .collect()
}

fn remove_browser_stand_in(saved: Vec<Option<Vec<u16>>>) {
    for (key, old) in HANDLER_KEYS.iter().zip(saved) {
        match old {
            Some(value) => reg_set_value(key, &value),
            None => unsafe {
                RegDeleteKeyW(HKEY_CLASSES_ROOT, wide(key).as_ptr());
            },
        }
    }
}

// ---- Looking at the bar's windows and typing ----

fn find_owned(class_name: &str, owner: HWND, visible_only: bool) -> HWND {
    let class = wide(class_name);
    let mut found = null_mut();
    loop {
        found = unsafe { FindWindowExW(null_mut(), found, class.as_ptr(), std::ptr::null()) };
        if found.is_null()
            || (unsafe { GetWindow(found, GW_OWNER) } == owner
                && (!visible_only || unsafe { IsWindowVisible(found) } != 0))
        {
            return found;
        }
    }
}

fn suggestion_list_shown(bar: &Bar) -> bool {
    !find_owned("GUI_AFXSELECT", bar.window(), true).is_null()
}

/// Wine drops keys for a thread without the foreground window: activate the
/// field's own frame (activating the host would raise it over the bar under
/// Wine), then focus the edit control inside it.
fn focus_query_field(bar: &Bar) {
    let frame = find_owned("GUI_EDIT", bar.window(), false);
    unsafe { SetForegroundWindow(frame) };
    check(pump_until(|| unsafe { GetForegroundWindow() } == frame, Duration::from_secs(3)),
        "the query field's frame becomes the foreground window");
    unsafe { SetFocus(GetWindow(frame, GW_CHILD)) };
}

fn press_key(vk: u16) {
    let scan = unsafe { MapVirtualKeyW(u32::from(vk), 0) } as u16;
    let key = |flags| INPUT {
        kind: INPUT_KEYBOARD,
        ki: KEYBDINPUT { vk, scan, flags, time: 0, extra_info: 0 },
        padding: [0; 8],
    };
    let keys = [key(0), key(KEYEVENTF_KEYUP)];
    let sent = unsafe { SendInput(2, keys.as_ptr(), std::mem::size_of::<INPUT>() as i32) };
    check(sent == 2, "SendInput took both key events");
}

// ---- The checks ----

fn set_up_bar(bar: &Bar, host: HWND) {
    let list = write_bmp("rs-list.bmp", 10, 10, 0xEEEEEE);
    let icon = write_bmp("rs-icon.bmp", 16, 16, 0xFF0000);
    check(bar.set_engine_list_background(&list).is_ok(), "engine list background");
    check(bar.set_engine_list_highlight(&list).is_ok(), "engine list highlight");
    check(bar.set_suggestion_list_background(&list).is_ok(), "suggestion list background");
    check(bar.set_suggestion_list_highlight(&list).is_ok(), "suggestion list highlight");
    let placement = Placement { x: 100, y: 100, width: 300, height: 30 };
    check(bar.create_bar(host, placement).is_ok(), "create the bar window");
    check(bar.set_background_image(&write_bmp("rs-bar.bmp", 400, 30, 0x336699), 8).is_ok(), "background");
    check(bar.set_active_background_image(&write_bmp("rs-active.bmp", 400, 30, 0x3366FF)).is_ok(),
        "active background");
    check(bar.set_engine_icon_image(&icon).is_ok(), "engine icon");
    check(bar.set_arrow_image(&write_bmp("rs-arrow.bmp", 7, 4, 0)).is_ok(), "arrow");
    check(bar.set_search_button_image(&write_bmp("rs-button.bmp", 24, 24, 0x00FF00)).is_ok(),
        "search button");
    let mut rc = RECT::default();
    unsafe { GetWindowRect(bar.window(), &mut rc) };
    check(rc.right - rc.left == 400 && rc.bottom - rc.top == 30, "the bar has the background's size");

    check(bar.add_engine(&icon, "First", "http://first.test/?q=").is_ok(), "add the first engine");
    check(bar.add_engine(&icon, "First", "http://again.test/?q=") == Err(Error::EngineRejected),
        "a repeated engine name is an error");
    check(bar.add_engine(&icon, SECOND_ENGINE, ENGINE_PREFIX).is_ok(), "add the second engine");
    check(matches!(bar.add_suggestion("a\0b"), Err(Error::InteriorNul(_))), "a string holding NUL is an error");
    // A suggestion URL for the engine that will not be current (nothing is
    // asked), refused ones, and its removal; the text styles.
    check(bar.set_suggestion_url(0, "https://127.0.0.1:9/complete?q={searchTerms}").is_ok(),
        "a suggestion URL is accepted");
    check(bar.set_suggestion_url(0, "ftp://127.0.0.1:9/?q={searchTerms}") == Err(Error::SuggestionUrlRejected),
        "a suggestion URL that is not http(s) is an error");
    check(bar.set_suggestion_url(-1, "http://127.0.0.1:9/?q={searchTerms}") == Err(Error::SuggestionUrlRejected),
        "a suggestion URL for no engine is an error");
    check(bar.set_suggestion_url(0, "").is_ok(), "a suggestion URL is removed");
    check(bar.set_list_text_style(tavrel::TAVREL_LIST_ENGINES, "DejaVu Sans", 13, 0xFF202020,
        tavrel::TAVREL_TEXT_ITALIC).is_ok(), "a list text style is applied");
    check(bar.set_list_text_style(tavrel::TAVREL_LIST_SUGGESTIONS, "", 13, 0, 8) == Err(Error::StyleRejected),
        "an unknown text flag is an error");
    check(bar.set_list_highlight_text_color(tavrel::TAVREL_LIST_ENGINES, 0xFF000000).is_ok(),
        "a highlight text colour is applied");
    check(bar.set_query_field_style("", 13, 0x0020_2020, 0x00FF_FFFF).is_ok(), "a field style is applied");
    check(bar.set_layout_direction(tavrel::TAVREL_LAYOUT_RTL + 1) == Err(Error::LayoutRejected),
        "an unknown layout direction is an error");
    check(bar.set_layout_direction(tavrel::TAVREL_LAYOUT_LTR).is_ok(), "a layout direction is applied");
    let settings = scratch("поиск.ini");
    check(std::fs::write(&settings, "[Select]\r\nIndex=1\r\n").is_ok(), "write the settings file");
    check(bar.set_settings_file(&settings.to_string_lossy()).is_ok(), "name the settings file");
    check(bar.engine_index() == 1, "the settings file chose engine 1");
    check(bar.engine_name() == SECOND_ENGINE, &format!("the current engine's name: {}", bar.engine_name()));
    check(bar.engine_url() == ENGINE_PREFIX, &format!("the current engine's URL: {}", bar.engine_url()));
    bar.set_position(120, 110);
    bar.update_layout();
    bar.show_bar(SW_SHOW);
    check(unsafe { IsWindowVisible(bar.window()) } != 0, "the bar is visible");
}

fn run_searches(bar: &Bar) {
    let shown_for = |changes: u32, query: &'static str| {
        move || count(&QUERY_CHANGES) == changes && suggestion_list_shown(bar) && bar.query_text() == query
    };
    let recorded_times = |n: u32| move || count(&SEARCHES) == n && recorded() == format!("{SEARCH_URL}\n").repeat(n as usize);
    let wait = Duration::from_secs(5);
    focus_query_field(bar);
    press_key(b'A'.into());
    check(pump_until(shown_for(1, "a"), wait), "suggestions for \"a\"");
    press_key(b'B'.into());
    check(pump_until(shown_for(2, "ab"), wait), "suggestions for \"ab\"");
    press_key(VK_DOWN);
    check(pump_until(|| bar.query_text() == "ab café", wait), "Down puts the first suggestion into the field");
    press_key(VK_RETURN); // taken by the open list
    check(pump_until(recorded_times(1), Duration::from_secs(20)), "the first search reached the browser");
    check(!suggestion_list_shown(bar), "the suggestion list closed");

    focus_query_field(bar);
    press_key(VK_RETURN); // list closed: the bar's pre-translation takes it
    check(pump_until(recorded_times(2), Duration::from_secs(20)), "the second search reached the browser");
    check(count(&QUERY_CHANGES) == 2 && count(&ENGINE_CHOICES) == 0, "two query changes, no engine choice");
}

// Dropping the last reference destroys the bar with its windows; its handle
// is refused afterwards.
fn drop_bar(bar: Rc<Bar>) {
    let (raw, window) = (bar.as_raw(), bar.window());
    drop(bar);
    check(unsafe { IsWindow(window) } == 0, "the bar's window went with it");
    check(unsafe { tavrel::sys::TavrelGetWindowHandle(raw) }.is_null(), "a dropped bar's handle is refused");
    check(unsafe { tavrel::sys::TavrelGetEngineIndex(raw) } == 0, "a dropped bar answers 0");
    check(unsafe { tavrel::sys::TavrelDestroyBar(raw) } == 0, "a dropped bar is not destroyed twice");
}

fn main() {
    let args: Vec<String> = std::env::args().collect();
    if args.len() == 4 && args[1] == "--record" {
        std::process::exit(record_url(&args[2], &args[3]));
    }
    check(tavrel::loaded_version() == tavrel::TAVREL_VERSION, "the DLL has the crate's version");
    check(tavrel::startup().is_ok(), "start up");
    let _ = std::fs::remove_file(url_file());
    let saved = install_browser_stand_in();
    let host = create_host_window();
    match Bar::new() {
        Ok(bar) => {
            let bar = Rc::new(bar);
            BAR.with(|b| *b.borrow_mut() = Some(bar.clone()));
            set_up_bar(&bar, host);
            if failures() == 0 {
                run_searches(&bar);
            }
            BAR.with(|b| *b.borrow_mut() = None);
            drop_bar(bar);
        }
        Err(error) => check(false, &format!("create a bar: {error}")),
    }
    if failures() > 0 {
        println!("host: recorded {:?}", recorded());
    }
    remove_browser_stand_in(saved);
    unsafe { DestroyWindow(host) };
    tavrel::cleanup();
    println!("host: {}", if failures() > 0 { "FAILED" } else { "ok" });
    std::process::exit(if failures() > 0 { 1 } else { 0 });
}
