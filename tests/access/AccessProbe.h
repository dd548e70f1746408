// Reading accessible objects as a client does: the object of a window,
// children by id, and small readers that turn each property into a plain
// value (empty or zero when the call fails), plus a recorder of WinEvents
// seen by an out-of-context hook.
#pragma once
#include <memory>
#include <oleacc.h>
#include <string>
#include <vector>
#include <windows.h>

struct ReleaseObject {
    void operator()(IUnknown* object) const { object->Release(); }
};
// An owned reference to an IAccessible.
using AccRef = std::unique_ptr<IAccessible, ReleaseObject>;

// AccessibleObjectFromWindow(window, OBJID_CLIENT).
AccRef ClientObject(HWND window);
VARIANT ChildId(long id);
std::wstring NameOf(IAccessible* object, long id = CHILDID_SELF);
std::wstring DescriptionOf(IAccessible* object, long id);
std::wstring ValueOf(IAccessible* object, long id = CHILDID_SELF);
std::wstring DefaultActionOf(IAccessible* object, long id = CHILDID_SELF);
long RoleOf(IAccessible* object, long id = CHILDID_SELF);
long StateOf(IAccessible* object, long id = CHILDID_SELF);
// Screen rectangle from accLocation.
RECT LocationOf(IAccessible* object, long id = CHILDID_SELF);
// What a VARIANT result names: a child id, "object" for an IDispatch
// (released), "empty" for VT_EMPTY.
std::string Describe(VARIANT& result);
std::string HitTestAt(IAccessible* object, POINT screen);
// The children from AccessibleChildren, each described as above.
std::vector<std::string> ChildrenOf(IAccessible* object);
// The object a child id stands for (get_accChild), or none.
AccRef ChildObject(IAccessible* object, long id);

struct WinEventRecord {
    DWORD event;
    HWND hwnd;
    LONG objectId;
    LONG childId;
    bool operator==(const WinEventRecord& o) const {
        return event == o.event && hwnd == o.hwnd && objectId == o.objectId && childId == o.childId;
    }
};
void PrintTo(const WinEventRecord& r, std::ostream* os);

// Records, out of context, the focus, selection and value change events of
// this process that concern a child of one of the given windows.
class WinEventRecorder {
public:
    explicit WinEventRecorder(std::vector<HWND> windows);
    ~WinEventRecorder();
    WinEventRecorder(const WinEventRecorder&) = delete;
    WinEventRecorder& operator=(const WinEventRecorder&) = delete;
    // Pumps until count events have arrived (false on timeout), then until
    // the thread is idle, and hands them over, clearing the log.
    std::vector<WinEventRecord> Take(size_t count);

private:
    static void CALLBACK Proc(HWINEVENTHOOK, DWORD event, HWND hwnd, LONG objectId, LONG childId,
                              DWORD, DWORD);
    HWINEVENTHOOK hook = nullptr;
};
