#include "AccessProbe.h"
#include "Pump.h"
#include <algorithm>
#include <ostream>

namespace {
std::vector<HWND> g_watched;
std::vector<WinEventRecord> g_events;

// Calls a getter that returns a BSTR and takes the text.
template <class Getter> std::wstring TakeBstr(Getter getter) {
    BSTR text = nullptr;
    const HRESULT hr = getter(&text);
    std::wstring result = SUCCEEDED(hr) && text ? std::wstring(text) : std::wstring();
    ::SysFreeString(text);
    return result;
}

// Windows raises EVENT_OBJECT_SHOW and _HIDE from ShowWindow; Wine 8 raises
// neither for these windows, so only the library's own events are kept.
bool IsRecordedKind(DWORD event) {
    return event == EVENT_OBJECT_FOCUS || event == EVENT_OBJECT_SELECTION ||
           event == EVENT_OBJECT_VALUECHANGE;
}
} // namespace

AccRef ClientObject(HWND window) {
    IAccessible* object = nullptr;
    if (FAILED(::AccessibleObjectFromWindow(window, OBJID_CLIENT, __uuidof(IAccessible),
                                            reinterpret_cast<void**>(&object))))
        return AccRef();
    return AccRef(object);
}

VARIANT ChildId(long id) {
    VARIANT v;
    v.vt = VT_I4;
    v.lVal = id;
    return v;
}

std::wstring NameOf(IAccessible* object, long id) {
    return TakeBstr([&](BSTR* text) { return object->get_accName(ChildId(id), text); });
}

std::wstring DescriptionOf(IAccessible* object, long id) {
    return TakeBstr([&](BSTR* text) { return object->get_accDescription(ChildId(id), text); });
}

std::wstring ValueOf(IAccessible* object, long id) {
    return TakeBstr([&](BSTR* text) { return object->get_accValue(ChildId(id), text); });
}

std::wstring DefaultActionOf(IAccessible* object, long id) {
    return TakeBstr([&](BSTR* text) { return object->get_accDefaultAction(ChildId(id), text); });
}

long RoleOf(IAccessible* object, long id) {
    VARIANT role;
    ::VariantInit(&role);
    const HRESULT hr = object->get_accRole(ChildId(id), &role);
    return SUCCEEDED(hr) && role.vt == VT_I4 ? role.lVal : 0;
}

long StateOf(IAccessible* object, long id) {
    VARIANT state;
    ::VariantInit(&state);
    const HRESULT hr = object->get_accState(ChildId(id), &state);
    return SUCCEEDED(hr) && state.vt == VT_I4 ? state.lVal : -1;
}

RECT LocationOf(IAccessible* object, long id) {
    long x = 0, y = 0, w = 0, h = 0;
    object->accLocation(&x, &y, &w, &h, ChildId(id));
    return RECT{x, y, x + w, y + h};
}

std::string Describe(VARIANT& result) {
    std::string text = "empty";
    if (result.vt == VT_I4)
        text = std::to_string(result.lVal);
    else if (result.vt == VT_DISPATCH)
        text = result.pdispVal ? "object" : "null object";
    else if (result.vt != VT_EMPTY)
        text = "vt " + std::to_string(result.vt);
    ::VariantClear(&result);
    return text;
}

std::string HitTestAt(IAccessible* object, POINT screen) {
    VARIANT result;
    ::VariantInit(&result);
    object->accHitTest(screen.x, screen.y, &result);
    return Describe(result);
}

std::vector<std::string> ChildrenOf(IAccessible* object) {
    long count = 0;
    object->get_accChildCount(&count);
    std::vector<VARIANT> children(static_cast<size_t>(std::max(count, 0L)));
    long obtained = 0;
    std::vector<std::string> described;
    if (count > 0 && SUCCEEDED(::AccessibleChildren(object, 0, count, children.data(), &obtained)))
        for (long i = 0; i < obtained; ++i)
            described.push_back(Describe(children[static_cast<size_t>(i)]));
    return described;
}

AccRef ChildObject(IAccessible* object, long id) {
    IDispatch* dispatch = nullptr;
    if (object->get_accChild(ChildId(id), &dispatch) != S_OK || !dispatch)
        return AccRef();
    IAccessible* child = nullptr;
    dispatch->QueryInterface(__uuidof(IAccessible), reinterpret_cast<void**>(&child));
    dispatch->Release();
    return AccRef(child);
}

void PrintTo(const WinEventRecord& r, std::ostream* os) {
    *os << "{event 0x" << std::hex << r.event << std::dec << ", hwnd " << r.hwnd << ", object "
        << r.objectId << ", child " << r.childId << "}";
}

WinEventRecorder::WinEventRecorder(std::vector<HWND> windows) {
    g_watched = std::move(windows);
    g_events.clear();
    hook = ::SetWinEventHook(EVENT_MIN, EVENT_MAX, nullptr, &Proc, ::GetCurrentProcessId(), 0,
                             WINEVENT_OUTOFCONTEXT);
}

WinEventRecorder::~WinEventRecorder() {
    if (hook)
        ::UnhookWinEvent(hook);
    g_watched.clear();
}

std::vector<WinEventRecord> WinEventRecorder::Take(size_t count) {
    PumpUntil([&] { return g_events.size() >= count; }, 3000);
    PumpUntilIdle();
    std::vector<WinEventRecord> taken;
    taken.swap(g_events);
    return taken;
}

void CALLBACK WinEventRecorder::Proc(HWINEVENTHOOK, DWORD event, HWND hwnd, LONG objectId,
                                     LONG childId, DWORD, DWORD) {
    // The system's own focus events for whole windows are left out.
    if (IsRecordedKind(event) && childId != CHILDID_SELF &&
        std::find(g_watched.begin(), g_watched.end(), hwnd) != g_watched.end())
        g_events.push_back({event, hwnd, objectId, childId});
}
