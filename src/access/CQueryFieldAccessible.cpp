// CQueryFieldAccessible: the system's object for the edit control, made
// once with CreateStdAccessibleObject and released on disconnection; each
// answer is forwarded to it except the name.
#include "CQueryFieldAccessible.h"
#include <afxwin.h>

CQueryFieldAccessible::CQueryFieldAccessible(CWnd* edit) : window(edit->m_hWnd) {
    ::CreateStdAccessibleObject(window, OBJID_CLIENT, __uuidof(IAccessible),
                                reinterpret_cast<void**>(&system));
}

CQueryFieldAccessible::~CQueryFieldAccessible() {
    ForgetSource();
}

void CQueryFieldAccessible::ForgetSource() {
    if (system)
        system->Release();
    system = nullptr;
    window = nullptr;
}

template <class Call> HRESULT CQueryFieldAccessible::Forward(long id, Call call) const {
    if (!system)
        return E_FAIL;
    VARIANT child;
    ReturnChildId(id, &child);
    return call(system, child);
}

long CQueryFieldAccessible::ChildCount() const {
    long count = 0;
    if (system)
        system->get_accChildCount(&count);
    return count;
}

HRESULT CQueryFieldAccessible::Name(long id, BSTR* name) const {
    if (id == CHILDID_SELF)
        return ReturnText(L"Search query", name);
    return Forward(id, [&](IAccessible* s, VARIANT child) { return s->get_accName(child, name); });
}

HRESULT CQueryFieldAccessible::Value(long id, BSTR* value) const {
    return Forward(id,
                   [&](IAccessible* s, VARIANT child) { return s->get_accValue(child, value); });
}

HRESULT CQueryFieldAccessible::Role(long id, VARIANT* role) const {
    return Forward(id, [&](IAccessible* s, VARIANT child) { return s->get_accRole(child, role); });
}

HRESULT CQueryFieldAccessible::State(long id, VARIANT* state) const {
    return Forward(id,
                   [&](IAccessible* s, VARIANT child) { return s->get_accState(child, state); });
}

HRESULT CQueryFieldAccessible::KeyboardShortcut(long id, BSTR* shortcut) const {
    return Forward(id, [&](IAccessible* s, VARIANT child) {
        return s->get_accKeyboardShortcut(child, shortcut);
    });
}

HRESULT CQueryFieldAccessible::Focus(VARIANT* child) const {
    return system ? system->get_accFocus(child) : E_FAIL;
}

HRESULT CQueryFieldAccessible::Selection(VARIANT* children) const {
    return system ? system->get_accSelection(children) : E_FAIL;
}

HRESULT CQueryFieldAccessible::DefaultAction(long id, BSTR* action) const {
    return Forward(
        id, [&](IAccessible* s, VARIANT child) { return s->get_accDefaultAction(child, action); });
}

HRESULT CQueryFieldAccessible::Location(long id, RECT& screen) const {
    long x = 0, y = 0, w = 0, h = 0;
    const HRESULT located = Forward(
        id, [&](IAccessible* s, VARIANT child) { return s->accLocation(&x, &y, &w, &h, child); });
    screen = RECT{x, y, x + w, y + h};
    return located;
}

HRESULT CQueryFieldAccessible::HitTest(POINT screen, VARIANT* child) const {
    return system ? system->accHitTest(screen.x, screen.y, child) : E_FAIL;
}

HRESULT CQueryFieldAccessible::DoDefaultAction(long id) {
    return Forward(id, [](IAccessible* s, VARIANT child) { return s->accDoDefaultAction(child); });
}
