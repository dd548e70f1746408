// Message maps. BEGIN_MESSAGE_MAP opens a static table of entries; each
// entry macro expands into a small function that unpacks wParam and lParam
// into the handler's typed arguments and calls the handler on ThisClass.
// Lookup walks the class's table, then its base class's, up to CWnd.
#pragma once
#include "AfxDefs.h"
#include "CPoint.h"
#include <windowsx.h>

// Calls the handler; returns its result as the message's result.
typedef LRESULT (*AFX_DISPATCH)(CWnd* pWnd, WPARAM wParam, LPARAM lParam);

struct AFX_MSGMAP_ENTRY {
    UINT nMessage;  // window message; 0 ends the table
    UINT nCode;     // notification code for WM_COMMAND entries
    UINT nID;       // control id for WM_COMMAND entries
    AFX_DISPATCH pfnDispatch;
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

#define DECLARE_MESSAGE_MAP()                                                                      \
protected:                                                                                         \
    static const AFX_MSGMAP* GetThisMessageMap();                                                  \
    const AFX_MSGMAP* GetMessageMap() const override;                                              \
                                                                                                   \
private:

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                                     \
    const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); }              \
    const AFX_MSGMAP* theClass::GetThisMessageMap() {                                              \
        typedef theClass ThisClass;                                                                \
        typedef baseClass TheBaseClass;                                                            \
        static const AFX_MSGMAP_ENTRY _messageEntries[] = {

#define END_MESSAGE_MAP()                                                                          \
    { 0, 0, 0, nullptr }                                                                           \
    }                                                                                              \
    ;                                                                                              \
    static_cast<void>(sizeof(ThisClass*));                                                         \
    static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &_messageEntries[0]};  \
    return &messageMap;                                                                            \
    }

#define AFX_THIS(pWnd) static_cast<ThisClass*>(pWnd)

#define ON_WM_CREATE()                                                                             \
    {WM_CREATE, 0, 0, [](CWnd* w, WPARAM, LPARAM l) -> LRESULT {                                   \
         return AFX_THIS(w)->OnCreate(reinterpret_cast<LPCREATESTRUCT>(l));                         \
     }},

#define ON_WM_PAINT()                                                                              \
    {WM_PAINT, 0, 0, [](CWnd* w, WPARAM, LPARAM) -> LRESULT {                                      \
         AFX_THIS(w)->OnPaint();                                                                   \
         return 0;                                                                                 \
     }},

#define AFX_MOUSE_ENTRY(msg, handler)                                                              \
    {msg, 0, 0, [](CWnd* w, WPARAM wp, LPARAM lp) -> LRESULT {                                     \
         AFX_THIS(w)->handler(static_cast<UINT>(wp), CPoint(GET_X_LPARAM(lp), GET_Y_LPARAM(lp)));  \
         return 0;                                                                                 \
     }},

#define ON_WM_LBUTTONDOWN() AFX_MOUSE_ENTRY(WM_LBUTTONDOWN, OnLButtonDown)
#define ON_WM_MOUSEMOVE() AFX_MOUSE_ENTRY(WM_MOUSEMOVE, OnMouseMove)

#define ON_WM_ACTIVATEAPP()                                                                        \
    {WM_ACTIVATEAPP, 0, 0, [](CWnd* w, WPARAM wp, LPARAM lp) -> LRESULT {                          \
         AFX_THIS(w)->OnActivateApp(static_cast<BOOL>(wp), static_cast<DWORD>(lp));                \
         return 0;                                                                                 \
     }},

// ON_MESSAGE(message, OnHandler): LRESULT OnHandler(WPARAM, LPARAM).
#define ON_MESSAGE(message, memberFxn)                                                             \
    {message, 0, 0,                                                                                \
     [](CWnd* w, WPARAM wp, LPARAM lp) -> LRESULT { return AFX_THIS(w)->memberFxn(wp, lp); }},

// ON_CONTROL(code, id, OnHandler): void OnHandler(), for WM_COMMAND
// notifications from the child control with that id.
#define ON_CONTROL(code, id, memberFxn)                                                            \
    {WM_COMMAND, static_cast<UINT>(code), static_cast<UINT>(id),                                   \
     [](CWnd* w, WPARAM, LPARAM) -> LRESULT {                                                      \
         AFX_THIS(w)->memberFxn();                                                                 \
         return 0;                                                                                 \
     }},

#define ON_EN_UPDATE(id, memberFxn) ON_CONTROL(EN_UPDATE, id, memberFxn)
