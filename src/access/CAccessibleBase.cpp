// CAccessibleBase: reference counting, IDispatch without a type library,
// the WM_GETOBJECT answer, disconnection, the checks every IAccessible call
// passes before a derived class answers, and result helpers.
#include "CAccessibleBase.h"

namespace {
// Starts a call that takes a child id and returns through out: checks the
// pointer and clears what it points to.
template <class Out> bool ClearOut(Out* out) {
    if (!out)
        return false;
    *out = Out();
    return true;
}
} // namespace

CAccessibleBase::CAccessibleBase() = default;
CAccessibleBase::~CAccessibleBase() = default;

// OBJID_CLIENT is negative; a 64-bit lParam may carry it sign-extended or
// as its 32-bit pattern, so only the low 32 bits count.
bool CAccessibleBase::IsClientObjectRequest(LPARAM objectId) {
    return static_cast<DWORD>(objectId) == static_cast<DWORD>(OBJID_CLIENT);
}

LRESULT CAccessibleBase::AnswerGetObject(WPARAM wParam) {
    return ::LresultFromObject(__uuidof(IAccessible), wParam, static_cast<IAccessible*>(this));
}

void CAccessibleBase::Disconnect() {
    connected = false;
    ForgetSource();
}

HRESULT CAccessibleBase::QueryInterface(REFIID riid, void** object) {
    if (!object)
        return E_POINTER;
    if (riid == __uuidof(IUnknown) || riid == __uuidof(IDispatch) ||
        riid == __uuidof(IAccessible)) {
        *object = static_cast<IAccessible*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG CAccessibleBase::AddRef() {
    return static_cast<ULONG>(::InterlockedIncrement(&references));
}

ULONG CAccessibleBase::Release() {
    const LONG left = ::InterlockedDecrement(&references);
    if (left == 0)
        delete this;
    return static_cast<ULONG>(left);
}

HRESULT CAccessibleBase::GetTypeInfoCount(UINT* count) {
    if (!count)
        return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT CAccessibleBase::GetTypeInfo(UINT, LCID, ITypeInfo**) {
    return E_NOTIMPL;
}

HRESULT CAccessibleBase::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
    return E_NOTIMPL;
}

HRESULT CAccessibleBase::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                UINT*) {
    return E_NOTIMPL;
}

HRESULT CAccessibleBase::CheckChild(const VARIANT& child, long& id) const {
    if (!connected)
        return RPC_E_DISCONNECTED;
    if (child.vt != VT_I4)
        return E_INVALIDARG;
    id = child.lVal;
    if (id == CHILDID_SELF || (id >= 1 && id <= ChildCount()))
        return S_OK;
    return E_INVALIDARG;
}

HRESULT CAccessibleBase::get_accParent(IDispatch** parent) {
    if (!ClearOut(parent))
        return E_POINTER;
    if (!connected)
        return RPC_E_DISCONNECTED;
    // The standard object of the window, as the system's own objects have.
    return ::CreateStdAccessibleObject(Window(), OBJID_WINDOW, __uuidof(IDispatch),
                                       reinterpret_cast<void**>(parent));
}

HRESULT CAccessibleBase::get_accChildCount(long* count) {
    if (!ClearOut(count))
        return E_POINTER;
    if (!connected)
        return RPC_E_DISCONNECTED;
    *count = ChildCount();
    return S_OK;
}

HRESULT CAccessibleBase::get_accChild(VARIANT child, IDispatch** object) {
    long id = 0;
    if (!ClearOut(object))
        return E_POINTER;
    const HRESULT checked = CheckChild(child, id);
    if (FAILED(checked))
        return checked;
    return id == CHILDID_SELF ? E_INVALIDARG : ChildObject(id, object);
}

template <class Out>
HRESULT CAccessibleBase::Ask(const VARIANT& child, Out* out,
                             HRESULT (CAccessibleBase::*answer)(long, Out*) const) const {
    long id = 0;
    if (!ClearOut(out))
        return E_POINTER;
    const HRESULT checked = CheckChild(child, id);
    return FAILED(checked) ? checked : (this->*answer)(id, out);
}

HRESULT CAccessibleBase::get_accName(VARIANT child, BSTR* name) {
    return Ask(child, name, &CAccessibleBase::Name);
}

HRESULT CAccessibleBase::get_accValue(VARIANT child, BSTR* value) {
    return Ask(child, value, &CAccessibleBase::Value);
}

HRESULT CAccessibleBase::get_accRole(VARIANT child, VARIANT* role) {
    return Ask(child, role, &CAccessibleBase::Role);
}

HRESULT CAccessibleBase::get_accState(VARIANT child, VARIANT* state) {
    return Ask(child, state, &CAccessibleBase::State);
}

HRESULT CAccessibleBase::get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) {
    return Ask(child, shortcut, &CAccessibleBase::KeyboardShortcut);
}

HRESULT CAccessibleBase::get_accDefaultAction(VARIANT child, BSTR* action) {
    return Ask(child, action, &CAccessibleBase::DefaultAction);
}

HRESULT CAccessibleBase::NoText(long, BSTR*) const {
    return S_FALSE;
}

HRESULT CAccessibleBase::Description(long id, BSTR* description) const {
    return NoText(id, description);
}

HRESULT CAccessibleBase::get_accDescription(VARIANT child, BSTR* description) {
    return Ask(child, description, &CAccessibleBase::Description);
}

HRESULT CAccessibleBase::get_accHelp(VARIANT child, BSTR* help) {
    return Ask(child, help, &CAccessibleBase::NoText);
}

HRESULT CAccessibleBase::get_accHelpTopic(BSTR* helpFile, VARIANT, long* topic) {
    ClearOut(helpFile);
    ClearOut(topic);
    return connected ? S_FALSE : RPC_E_DISCONNECTED;
}

HRESULT CAccessibleBase::get_accFocus(VARIANT* child) {
    if (!ClearOut(child))
        return E_POINTER;
    return connected ? Focus(child) : RPC_E_DISCONNECTED;
}

HRESULT CAccessibleBase::get_accSelection(VARIANT* children) {
    if (!ClearOut(children))
        return E_POINTER;
    return connected ? Selection(children) : RPC_E_DISCONNECTED;
}

HRESULT CAccessibleBase::accSelect(long, VARIANT) {
    return connected ? DISP_E_MEMBERNOTFOUND : RPC_E_DISCONNECTED;
}

HRESULT CAccessibleBase::accLocation(long* left, long* top, long* width, long* height,
                                     VARIANT child) {
    if (!left || !top || !width || !height)
        return E_POINTER;
    *left = *top = *width = *height = 0;
    long id = 0;
    const HRESULT checked = CheckChild(child, id);
    if (FAILED(checked))
        return checked;
    RECT screen{};
    const HRESULT located = id == CHILDID_SELF
                                ? (::GetWindowRect(Window(), &screen) ? S_OK : E_FAIL)
                                : Location(id, screen);
    if (FAILED(located))
        return located;
    *left = screen.left;
    *top = screen.top;
    *width = screen.right - screen.left;
    *height = screen.bottom - screen.top;
    return S_OK;
}

HRESULT CAccessibleBase::accNavigate(long direction, VARIANT start, VARIANT* end) {
    long id = 0;
    if (!ClearOut(end))
        return E_POINTER;
    const HRESULT checked = CheckChild(start, id);
    if (FAILED(checked))
        return checked;
    const long count = ChildCount();
    const bool self = id == CHILDID_SELF;
    long target = 0;
    switch (direction) {
    case NAVDIR_FIRSTCHILD:
        target = self ? 1 : 0;
        break;
    case NAVDIR_LASTCHILD:
        target = self ? count : 0;
        break;
    case NAVDIR_NEXT:
    case NAVDIR_DOWN:
        target = self ? 0 : id + 1;
        break;
    case NAVDIR_PREVIOUS:
    case NAVDIR_UP:
        target = self ? 0 : id - 1;
        break;
    default:
        return E_INVALIDARG;
    }
    if (target < 1 || target > count)
        return S_FALSE;
    return ReturnChildId(target, end);
}

HRESULT CAccessibleBase::accHitTest(long x, long y, VARIANT* child) {
    if (!ClearOut(child))
        return E_POINTER;
    if (!connected)
        return RPC_E_DISCONNECTED;
    const POINT point{x, y};
    RECT window{};
    ::GetWindowRect(Window(), &window);
    return ::PtInRect(&window, point) ? HitTest(point, child) : S_FALSE;
}

HRESULT CAccessibleBase::accDoDefaultAction(VARIANT child) {
    long id = 0;
    const HRESULT checked = CheckChild(child, id);
    return FAILED(checked) ? checked : DoDefaultAction(id);
}

HRESULT CAccessibleBase::put_accName(VARIANT, BSTR) {
    return connected ? E_NOTIMPL : RPC_E_DISCONNECTED;
}

HRESULT CAccessibleBase::put_accValue(VARIANT, BSTR) {
    return connected ? E_NOTIMPL : RPC_E_DISCONNECTED;
}

HRESULT CAccessibleBase::ChildObject(long, IDispatch**) const {
    return S_FALSE;
}

HRESULT CAccessibleBase::Value(long, BSTR*) const {
    return DISP_E_MEMBERNOTFOUND;
}

HRESULT CAccessibleBase::KeyboardShortcut(long id, BSTR* shortcut) const {
    return NoText(id, shortcut);
}

HRESULT CAccessibleBase::Selection(VARIANT*) const {
    return S_FALSE;
}

HRESULT CAccessibleBase::ReturnText(const wchar_t* text, BSTR* out) {
    *out = ::SysAllocString(text);
    return *out ? S_OK : E_OUTOFMEMORY;
}

HRESULT CAccessibleBase::ReturnChildId(long id, VARIANT* out) {
    out->vt = VT_I4;
    out->lVal = id;
    return S_OK;
}

RECT CAccessibleBase::ClientToScreenRect(HWND window, const RECT& client) {
    RECT screen = client;
    ::MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&screen), 2);
    return screen;
}

long CAccessibleBase::VisibilityState(HWND window) {
    return ::IsWindowVisible(window) ? 0 : STATE_SYSTEM_INVISIBLE;
}
