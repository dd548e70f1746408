/* Tavrel's C interface (TavrelC.dll): the search bar for programs written in
 * C or in any language that calls plain DLL functions, and for C++ programs
 * built with another compiler or standard library than Tavrel.dll.
 *
 * Every function is __stdcall (WINAPI) and exported under its plain name on
 * x86 and x64 alike, so GetProcAddress(module, "TavrelStartup") works on
 * both. A null bar makes every function do nothing and return 0 (or null).
 * No C++ exception leaves this interface: a bar window that cannot be
 * created is reported as 0.
 *
 * Strings: every function that takes or returns a string comes twice. The
 * plain one takes narrow strings in the system ANSI code page, converted as
 * the system's own ...A functions convert; its twin with the suffix W (from
 * version 1.1) takes UTF-16 (const WCHAR*), with the same arguments in the
 * same order and the same meaning. The bar keeps every text in UTF-16, so
 * the two kinds may be mixed on one bar; a narrow function gives a text
 * that the code page cannot hold with the system's default character.
 * Search URLs (see TavrelAddEngine): an engine URL holding {searchTerms}
 * gets the query there, in UTF-8, percent-encoded; any other engine URL has
 * the query appended, percent-encoded, in the code page's bytes for an
 * engine registered with TavrelAddEngine and in UTF-8 for one registered
 * with TavrelAddEngineW.
 *
 * Calling order: TavrelStartup once; TavrelCreate; TavrelCreateBar; the skin
 * images (TavrelSetBackgroundImage first); TavrelAddEngine for each engine;
 * TavrelSetSettingsFile; TavrelSetPosition; TavrelUpdateLayout;
 * TavrelShowBar. The bar posts the TAVREL_UM_ messages below to the host
 * window. The host's message loop calls TavrelPreTranslateMessage for every
 * message before TranslateMessage and DispatchMessage, and skips those two
 * when it answers nonzero. Everything runs on the thread that created the
 * bar. TavrelDestroyBar when the bar is no longer wanted; TavrelCleanup once
 * no bar will draw again. */
#ifndef TAVREL_C_H
#define TAVREL_C_H

#include <windows.h>

#ifdef TAVREL_C_BUILDING
#define TAVREL_C_API
#else
#define TAVREL_C_API __declspec(dllimport)
#endif

/* The interface's version: TAVREL_VERSION is what a program was compiled
 * against, TavrelGetVersion() what the loaded DLL implements; a different
 * major part means an incompatible DLL. */
#define TAVREL_VERSION_MAJOR 1
#define TAVREL_VERSION_MINOR 6
#define TAVREL_VERSION_PATCH 0
#define TAVREL_VERSION                                                                             \
    ((TAVREL_VERSION_MAJOR << 16) | (TAVREL_VERSION_MINOR << 8) | TAVREL_VERSION_PATCH)

/* Posted to the host window; wParam 0, lParam 0 unless stated. */
#define TAVREL_UM_ENGINE_CHOSEN 1124   /* the user chose another engine */
#define TAVREL_UM_QUERY_COMMAND 1125   /* the search button was clicked */
#define TAVREL_UM_QUERY_CHANGED 1126   /* the user changed the query (lParam 1) */
#define TAVREL_UM_SEARCH_LAUNCHED 1127 /* a search URL was handed to the browser */

#ifdef __cplusplus
extern "C" {
#endif

/* A search bar: an opaque handle, not an address. It lives until
 * TavrelDestroyBar (from version 1.4) or the end of the process. Handles
 * are never given twice, so a handle kept after TavrelDestroyBar, like a
 * null one or one this library never gave, makes every function do
 * nothing and return 0 (or null). */
typedef struct TavrelBar TavrelBar;

/* Starts the graphics support for the process: 1 on success, 0 on failure. */
TAVREL_C_API int WINAPI TavrelStartup(void);
/* Stops it; call once no bar will draw again. */
TAVREL_C_API void WINAPI TavrelCleanup(void);
/* A new bar (no window yet), or null. */
TAVREL_C_API TavrelBar* WINAPI TavrelCreate(void);
/* Releases a bar (1.4): destroys its windows, cancels its live-suggestion
 * requests, releases its pictures and frees it; from then on the handle is
 * refused like a null one. It may be called from the host's answer to any
 * of the bar's messages and from the host window's WM_DESTROY. Called while
 * the bar's own code runs (from a message the bar made the system send, or
 * from a nested message loop inside it), the bar is refused at once but
 * freed only once that code has returned, by the thread's message loop.
 * Answers 1 when the handle named a live bar and 0, doing nothing, for a
 * null, already destroyed or never given handle, so that a caller can tell
 * a stale handle from a live one. */
TAVREL_C_API int WINAPI TavrelDestroyBar(TavrelBar* bar);

/* Skin images: an empty or null path changes nothing. The main background
 * fixes the bar's size; a radius above 0 rounds the window's corners. The
 * four list images may be given before TavrelCreateBar, the others after. */
TAVREL_C_API void WINAPI TavrelSetBackgroundImage(TavrelBar* bar, const char* path,
                                                  int cornerRadius);
TAVREL_C_API void WINAPI TavrelSetActiveBackgroundImage(TavrelBar* bar, const char* path);
TAVREL_C_API void WINAPI TavrelSetEngineIconImage(TavrelBar* bar, const char* path);
TAVREL_C_API void WINAPI TavrelSetArrowImage(TavrelBar* bar, const char* path);
TAVREL_C_API void WINAPI TavrelSetSearchButtonImage(TavrelBar* bar, const char* path);
TAVREL_C_API void WINAPI TavrelSetEngineListBackground(TavrelBar* bar, const char* path);
TAVREL_C_API void WINAPI TavrelSetEngineListHighlight(TavrelBar* bar, const char* path);
TAVREL_C_API void WINAPI TavrelSetSuggestionListBackground(TavrelBar* bar, const char* path);
TAVREL_C_API void WINAPI TavrelSetSuggestionListHighlight(TavrelBar* bar, const char* path);
/* The same with UTF-16 paths (1.1); files are opened by these names. */
TAVREL_C_API void WINAPI TavrelSetBackgroundImageW(TavrelBar* bar, const WCHAR* path,
                                                   int cornerRadius);
TAVREL_C_API void WINAPI TavrelSetActiveBackgroundImageW(TavrelBar* bar, const WCHAR* path);
TAVREL_C_API void WINAPI TavrelSetEngineIconImageW(TavrelBar* bar, const WCHAR* path);
TAVREL_C_API void WINAPI TavrelSetArrowImageW(TavrelBar* bar, const WCHAR* path);
TAVREL_C_API void WINAPI TavrelSetSearchButtonImageW(TavrelBar* bar, const WCHAR* path);
TAVREL_C_API void WINAPI TavrelSetEngineListBackgroundW(TavrelBar* bar, const WCHAR* path);
TAVREL_C_API void WINAPI TavrelSetEngineListHighlightW(TavrelBar* bar, const WCHAR* path);
TAVREL_C_API void WINAPI TavrelSetSuggestionListBackgroundW(TavrelBar* bar, const WCHAR* path);
TAVREL_C_API void WINAPI TavrelSetSuggestionListHighlightW(TavrelBar* bar, const WCHAR* path);

/* Creates the bar window, owned by hostWindow; the four members of placement
 * are x, y, width and height in screen coordinates. 1 created, 0 failed. */
TAVREL_C_API int WINAPI TavrelCreateBar(TavrelBar* bar, HWND hostWindow, const RECT* placement);
/* Moves the bar and its query field and lists, keeping the size. */
TAVREL_C_API void WINAPI TavrelSetPosition(TavrelBar* bar, int x, int y);
/* Lays the bar out from its current size and skins, then repaints. */
TAVREL_C_API void WINAPI TavrelUpdateLayout(TavrelBar* bar);
/* Copies at most size - 1 bytes of the query text and a NUL into buffer and
 * returns the full length of the text (without the NUL), as snprintf does:
 * TavrelGetQueryText(bar, NULL, 0) asks for the length. A null buffer or a
 * size of 0 or less writes nothing. */
TAVREL_C_API int WINAPI TavrelGetQueryText(TavrelBar* bar, char* buffer, int size);
/* The same in UTF-16 (1.1): size and result count WCHARs. */
TAVREL_C_API int WINAPI TavrelGetQueryTextW(TavrelBar* bar, WCHAR* buffer, int size);
/* The suggestion list: append a text, empty and hide it, show it. */
TAVREL_C_API void WINAPI TavrelAddSuggestion(TavrelBar* bar, const char* text);
TAVREL_C_API void WINAPI TavrelAddSuggestionW(TavrelBar* bar, const WCHAR* text);
TAVREL_C_API void WINAPI TavrelClearSuggestions(TavrelBar* bar);
TAVREL_C_API void WINAPI TavrelShowSuggestions(TavrelBar* bar);
/* Registers an engine, listed in the order added; the first becomes current.
 * 1 added; 0 for an empty or already registered name, before the window
 * exists, or for a urlPrefix that is neither empty nor a web address
 * (http:// or https://, any case) nor a scheme the system registers as a
 * URL protocol: paths, UNC names, file: and unregistered schemes are
 * refused, since the shell would start or open them. A search opens urlPrefix with the query in place of every
 * {searchTerms} in it, written in UTF-8; without {searchTerms} the query is
 * appended, in the code page's bytes (TavrelAddEngine) or in UTF-8
 * (TavrelAddEngineW). Either way every byte of the query outside
 * A-Z a-z 0-9 - . _ ~ is written as %XX. */
TAVREL_C_API int WINAPI TavrelAddEngine(TavrelBar* bar, const char* iconPath, const char* name,
                                        const char* urlPrefix);
TAVREL_C_API int WINAPI TavrelAddEngineW(TavrelBar* bar, const WCHAR* iconPath, const WCHAR* name,
                                         const WCHAR* urlPrefix);
/* The current engine's name and URL prefix: the bar's own copies, valid until
 * the current engine changes. */
TAVREL_C_API const char* WINAPI TavrelGetEngineName(TavrelBar* bar);
TAVREL_C_API const char* WINAPI TavrelGetEngineUrl(TavrelBar* bar);
TAVREL_C_API const WCHAR* WINAPI TavrelGetEngineNameW(TavrelBar* bar);
TAVREL_C_API const WCHAR* WINAPI TavrelGetEngineUrlW(TavrelBar* bar);
/* The chosen engine's index as last read from the settings file. */
TAVREL_C_API int WINAPI TavrelGetEngineIndex(TavrelBar* bar);
/* Names the INI file that keeps the chosen engine ([Select] Index) and makes
 * the engine stored there current; call after the engines are added. */
TAVREL_C_API void WINAPI TavrelSetSettingsFile(TavrelBar* bar, const char* iniPath);
/* The same with a UTF-16 file name (1.1); the file's format and, for an
 * existing file, its encoding stay as they are. */
TAVREL_C_API void WINAPI TavrelSetSettingsFileW(TavrelBar* bar, const WCHAR* iniPath);
/* ShowWindow on the bar and its query field with this command (SW_SHOW...). */
TAVREL_C_API void WINAPI TavrelShowBar(TavrelBar* bar, int showCommand);
/* The bar's window, or null before TavrelCreateBar succeeded. */
TAVREL_C_API HWND WINAPI TavrelGetWindowHandle(TavrelBar* bar);

/* Text styles (1.2). Each answers 1 when applied and 0, changing nothing,
 * for a null bar or an argument out of range. A bar that is given none
 * looks as before. Sizes are pixels at 96 DPI (1 to TAVREL_TEXT_SIZE_MAX)
 * and grow with the bar's DPI scale like every other size; a null or empty
 * family means the default one, and a family that is not installed is
 * replaced by an installed one. A style may be set before or after
 * TavrelCreateBar and shows at once, also in an open list. */
#define TAVREL_LIST_ENGINES 0     /* the engine list */
#define TAVREL_LIST_SUGGESTIONS 1 /* the suggestion list */
#define TAVREL_TEXT_BOLD 1
#define TAVREL_TEXT_ITALIC 2
#define TAVREL_TEXT_UNDERLINE 4
#define TAVREL_TEXT_SIZE_MAX 72
/* A list's row text: family, size, colour as 0xAARRGGBB (an alpha of 0
 * counts as opaque) and TAVREL_TEXT_ flags; other flag bits are refused.
 * Rows whose characters the family lacks still draw with another family.
 * The narrow form takes the family in the ANSI code page. The two lists'
 * styles are independent. */
TAVREL_C_API int WINAPI TavrelSetListTextStyle(TavrelBar* bar, int list, const char* family,
                                               int size, DWORD argb, int flags);
TAVREL_C_API int WINAPI TavrelSetListTextStyleW(TavrelBar* bar, int list, const WCHAR* family,
                                                int size, DWORD argb, int flags);
/* The highlighted row's text colour (0xAARRGGBB); until set, the row text's
 * colour. */
TAVREL_C_API int WINAPI TavrelSetListHighlightTextColor(TavrelBar* bar, int list, DWORD argb);
/* The query field's font and its text and background colours (COLORREF,
 * RGB(r, g, b); a value with its top byte set is refused). The caret and the
 * selected text keep the system's colours. */
TAVREL_C_API int WINAPI TavrelSetQueryFieldStyle(TavrelBar* bar, const char* family, int size,
                                                 COLORREF textRgb, COLORREF backgroundRgb);
TAVREL_C_API int WINAPI TavrelSetQueryFieldStyleW(TavrelBar* bar, const WCHAR* family, int size,
                                                  COLORREF textRgb, COLORREF backgroundRgb);

/* Live suggestions (1.3): the bar asks a suggestion URL of the current
 * engine itself and shows the rows of its answer, exactly as if the host
 * had called TavrelClearSuggestions, TavrelAddSuggestion for each row and
 * TavrelShowSuggestions. engineIndex counts the engines in the order they
 * were added. urlTemplate starts with http:// or https:// (in any case) and
 * holds {searchTerms}, which each request fills with the query as UTF-8,
 * percent-encoded as in search URLs. After each change of the query by the
 * user (when the host receives TAVREL_UM_QUERY_CHANGED, which it still
 * does) and a pause in typing of at most 100 ms, the bar asks the URL, one
 * request at a time, off the host's thread; a request not answered within
 * 2 seconds is abandoned. An answer is used when its status is 200, its
 * body at most 256 KiB and it is a JSON array whose second element is an
 * array ("application/x-suggestions+json": ["que", ["query", "queen"]]):
 * its strings, at most 11, become the rows, shown only if the query, the
 * engine and the keyboard focus in the query field are still those of the
 * request; an empty array hides the list, anything else changes nothing
 * but hiding rows of an older query. Every query the user types goes to
 * the engine: ask the user first. A null or empty template removes the
 * engine's URL. 1 when accepted; 0 for a null bar, an engine that does not
 * exist or a template that is not one, and then nothing changes. The
 * narrow form takes the template in the ANSI code page. */
TAVREL_C_API int WINAPI TavrelSetSuggestionUrl(TavrelBar* bar, int engineIndex,
                                               const char* urlTemplate);
TAVREL_C_API int WINAPI TavrelSetSuggestionUrlW(TavrelBar* bar, int engineIndex,
                                                const WCHAR* urlTemplate);

/* Recent searches (1.5), off until a file is named. With a file, every
 * search the bar launches records its query, trimmed of spaces at both
 * ends (an empty one is not recorded): an entry equal to it ignoring case
 * moves to the front with the new spelling, and the oldest beyond
 * maxEntries go. The file is written, as a whole new copy put in its place,
 * before TAVREL_UM_SEARCH_LAUNCHED is posted; a failed write keeps the old
 * file. While the user types, the list shows up to 3 recent searches that
 * begin with the text (ignoring case) above the host's or the live rows,
 * which do not repeat them; Down in the empty field shows the newest 11.
 * Recent rows show a clock before their text, MSAA describes them as
 * "Recent search", and Shift+Delete on a highlighted one removes it.
 * The file is UTF-8: the line "# Tavrel recent searches 1", then one entry
 * a line, newest first; it is read at most 1 MiB far, and read again
 * before each change, so bars sharing one file keep each other's entries.
 * Entries never leave the machine.
 *
 * TavrelSetHistoryFileW names the file (created at the first search) and
 * the most entries kept, 1 to 1000 (0: 100); 1 on success, 0 and nothing
 * changed for a bad argument, a folder, or an existing non-empty file that
 * is not a history file. A null or empty path turns history off and leaves
 * the file alone. The narrow form takes the path in the ANSI code page. */
TAVREL_C_API int WINAPI TavrelSetHistoryFileW(TavrelBar* bar, const WCHAR* path, int maxEntries);
TAVREL_C_API int WINAPI TavrelSetHistoryFile(TavrelBar* bar, const char* path, int maxEntries);
/* Forgets every entry, in memory and in the file; 1 when history is on. */
TAVREL_C_API int WINAPI TavrelClearHistory(TavrelBar* bar);
/* The number of entries, and one of them (0 is the newest) copied as
 * TavrelGetQueryTextW does; -1 for an index that names no entry. */
TAVREL_C_API int WINAPI TavrelGetHistoryCount(TavrelBar* bar);
TAVREL_C_API int WINAPI TavrelGetHistoryEntryW(TavrelBar* bar, int index, WCHAR* buffer,
                                               int size);

/* Layout direction (1.6). TAVREL_LAYOUT_AUTO, the default, lays the bar out
 * right to left when its host window has WS_EX_LAYOUTRTL when
 * TavrelCreateBar runs, else left to right. Right to left mirrors every
 * position within the bar: the engine icon and its arrow at the right end,
 * the search button at the left end, the query field between them, with
 * its clicks and accessible locations; the pictures are drawn as they are.
 * The query field is right-aligned with right-to-left reading order, and
 * both lists are right-aligned with the bar. Keys work as in a
 * left-to-right bar. It may be called before or after TavrelCreateBar and
 * shows at once; the field keeps its text, selection and focus. 1 when
 * applied; 0, changing nothing, for another value or a null or stale bar. */
#define TAVREL_LAYOUT_AUTO 0
#define TAVREL_LAYOUT_LTR 1
#define TAVREL_LAYOUT_RTL 2
TAVREL_C_API int WINAPI TavrelSetLayoutDirection(TavrelBar* bar, int direction);

/* Offers a message to the bar's windows before the host dispatches it;
 * nonzero when they consumed it. A null msg answers FALSE. */
TAVREL_C_API BOOL WINAPI TavrelPreTranslateMessage(MSG* msg);
/* TAVREL_VERSION of the loaded DLL. */
TAVREL_C_API DWORD WINAPI TavrelGetVersion(void);

#ifdef __cplusplus
}
#endif

#endif /* TAVREL_C_H */
