// Private window messages between the library's windows and hooks. The four
// that reach the host are declared in Tavrel.h.
#pragma once
#include "Tavrel.h"

enum : UINT {
    UM_EDIT_UPDATED = 1129,   // query edit frame -> bar (0, 1)
    UM_POPUP_CLOSE = 6024,    // mouse hooks -> popup (0, 200)
    UM_POPUP_KEY = 6025,      // keyboard hook -> suggestion list (0, key)
    UM_BAR_DEACTIVATE = 6026, // bar mouse hook -> bar (0, 0)
    UM_FIELD_FONT = 6027,     // query edit frame -> itself: fit the font to the text (0, 0)
    UM_WIDE_CHAR = 6028,      // character hook: a WM_CHAR the code page cannot carry
    UM_WIDE_IME_CHAR = 6029,  // character hook: a WM_IME_CHAR the code page cannot carry
    UM_LIVE_SUGGESTIONS = 6030, // suggestion fetcher -> bar: a request ended (id, 0)
    UM_COMPOSITION = 6031,    // query field -> its frame -> bar: an input method's composition
                              // opened (1, 0) or closed (0, 1 when the text changed, else 0)
};

// lParam of UM_POPUP_CLOSE; a popup ignores any other value.
constexpr LPARAM POPUP_CLOSE_TOKEN = 200;
