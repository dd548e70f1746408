// CAccessibleBase: reference counting, IDispatch without a type library,
// the WM_GETOBJECT answer, disconnection, and the helpers that turn the
// library's state into IAccessible results.
#include "CAccessibleBase.h"
#include "../render/AnsiToWide.h"

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
    if (riid == __uuidof(IUnknown) || riid == __uuidof(IDispatch) || riid == __uuidof(IAccessible)) {
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

HRESULT CAccessibleBase::get_accDescription(VARIANT child, BSTR* description) {
    if (!description)
        return E_POINTER;
    *description = nullptr;
    long id = 0;
    const HRESULT checked = CheckChild(child, id);
    return FAILED(checked) ? checked : S_FALSE;
}

HRESULT CAccessibleBase::get_accHelp(VARIANT child, BSTR* help) {
    return get_accDescription(child, help);
}

HRESULT CAccessibleBase::get_accHelpTopic(BSTR* helpFile, VARIANT, long* topic) {
    if (helpFile)
        *helpFile = nullptr;
    if (topic)
        *topic = 0;
    return connected ? S_FALSE : RPC_E_DISCONNECTED;
}

HRESULT CAccessibleBase::accSelect(long, VARIANT) {
    return connected ? DISP_E_MEMBERNOTFOUND : RPC_E_DISCONNECTED;
}

HRESULT CAccessibleBase::put_accName(VARIANT, BSTR) {
    return connected ? E_NOTIMPL : RPC_E_DISCONNECTED;
}

HRESULT CAccessibleBase::put_accValue(VARIANT, BSTR) {
    return connected ? E_NOTIMPL : RPC_E_DISCONNECTED;
}

HRESULT CAccessibleBase::get_accChildCount(long* count) {
    if (!count)
        return E_POINTER;
    *count = 0;
    if (!connected)
        return RPC_E_DISCONNECTED;
    *count = ChildCount();
    return S_OK;
}

HRESULT CAccessibleBase::accNavigate(long direction, VARIANT start, VARIANT* end) {
    if (!end)
        return E_POINTER;
    SetEmpty(end);
    long id = 0;
    const HRESULT checked = CheckChild(start, id);
    if (FAILED(checked))
        return checked;
    const long count = ChildCount();
    long target = 0;
    switch (direction) {
    case NAVDIR_FIRSTCHILD:
        target = id == CHILDID_SELF ? 1 : 0;
        break;
    case NAVDIR_LASTCHILD:
        target = id == CHILDID_SELF ? count : 0;
        break;
    case NAVDIR_NEXT:
    case NAVDIR_DOWN:
        target = id == CHILDID_SELF ? 0 : id + 1;
        break;
    case NAVDIR_PREVIOUS:
    case NAVDIR_UP:
        target = id == CHILDID_SELF ? 0 : id - 1;
        break;
    default:
        return E_INVALIDARG;
    }
    if (target < 1 || target > count)
        return S_FALSE;
    SetChildId(end, target);
    return S_OK;
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

HRESULT CAccessibleBase::WindowObject(HWND window, IDispatch** object) {
    return ::CreateStdAccessibleObject(window, OBJID_WINDOW, __uuidof(IDispatch),
                                       reinterpret_cast<void**>(object));
}

HRESULT CAccessibleBase::ReturnText(const wchar_t* text, BSTR* out) {
    *out = ::SysAllocString(text);
    return *out ? S_OK : E_OUTOFMEMORY;
}

HRESULT CAccessibleBase::ReturnAnsiText(const std::string& text, BSTR* out) {
    return ReturnText(AnsiToWide(text.c_str()).c_str(), out);
}

void CAccessibleBase::SetChildId(VARIANT* out, long id) {
    out->vt = VT_I4;
    out->lVal = id;
}

void CAccessibleBase::SetEmpty(VARIANT* out) {
    ::VariantInit(out);
}

void CAccessibleBase::SetLocation(const RECT& screen, long* left, long* top, long* width,
                                  long* height) {
    *left = screen.left;
    *top = screen.top;
    *width = screen.right - screen.left;
    *height = screen.bottom - screen.top;
}

RECT CAccessibleBase::ClientToScreenRect(HWND window, const RECT& client) {
    RECT screen = client;
    ::MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&screen), 2);
    return screen;
}
