// CAccessibleBase: what every accessible object of the library shares. It
// counts its references, answers IUnknown and IDispatch (no type library:
// clients use the IAccessible methods), hands itself out for WM_GETOBJECT,
// and can be disconnected: once the window or the state it describes is
// gone, every later call returns RPC_E_DISCONNECTED and reads nothing.
// It implements each IAccessible method once: the pointer checks, the
// disconnection and the child id are checked here, and a derived class (one
// per kind of object) answers through the small virtuals below with a valid
// id. All calls arrive on the window's own thread.
#pragma once
#include <new>
#include <oleacc.h>
#include <string>
#include <windows.h>

class CAccessibleBase : public IAccessible {
public:
    CAccessibleBase(const CAccessibleBase&) = delete;
    CAccessibleBase& operator=(const CAccessibleBase&) = delete;

    // True for the object id of WM_GETOBJECT that asks for a window's
    // client object; every other id goes to the default handling.
    static bool IsClientObjectRequest(LPARAM objectId);
    // Makes a window's object on the first request (the window keeps one
    // reference) and answers with it.
    template <class Object, class Source>
    static LRESULT Answer(Object*& object, Source* source, WPARAM wParam) {
        if (!object)
            object = new (std::nothrow) Object(source);
        return object ? object->AnswerGetObject(wParam) : 0;
    }
    // Disconnects and releases the window's reference, nulling the pointer.
    template <class Object> static void DisconnectAndRelease(Object*& object) {
        if (!object)
            return;
        object->Disconnect();
        object->Release();
        object = nullptr;
    }
    // The answer to WM_GETOBJECT(wParam, OBJID_CLIENT).
    LRESULT AnswerGetObject(WPARAM wParam);
    // Cuts the object off from what it describes; the window that made it
    // calls this before that goes away.
    void Disconnect();

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IDispatch
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override;

    // IAccessible
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override;
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override;
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override;
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override;
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override;
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override;
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override;
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override;
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override;
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* helpFile, VARIANT child, long* topic) override;
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override;
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override;
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override;
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override;
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override;
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height,
                                          VARIANT child) override;
    // First, last, next and previous among the simple children 1..count.
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override;
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) override;
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override;
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override;
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override;

protected:
    CAccessibleBase();
    virtual ~CAccessibleBase();

    // Drops every pointer to the described state.
    virtual void ForgetSource() = 0;
    // The answers, only asked while connected; id is CHILDID_SELF or a
    // child 1..ChildCount(). Outputs arrive cleared.
    virtual HWND Window() const = 0;
    virtual long ChildCount() const = 0;
    // S_FALSE for a simple child (the default).
    virtual HRESULT ChildObject(long id, IDispatch** object) const;
    virtual HRESULT Name(long id, BSTR* name) const = 0;
    virtual HRESULT Value(long id, BSTR* value) const;
    virtual HRESULT Role(long id, VARIANT* role) const = 0;
    virtual HRESULT State(long id, VARIANT* state) const = 0;
    virtual HRESULT KeyboardShortcut(long id, BSTR* shortcut) const;
    // S_FALSE (no description) unless overridden.
    virtual HRESULT Description(long id, BSTR* description) const;
    virtual HRESULT Focus(VARIANT* child) const = 0;
    virtual HRESULT Selection(VARIANT* children) const;
    virtual HRESULT DefaultAction(long id, BSTR* action) const = 0;
    // The screen rectangle of the object itself is its window's.
    virtual HRESULT Location(long id, RECT& screen) const = 0;
    // Only asked for points inside the window.
    virtual HRESULT HitTest(POINT screen, VARIANT* child) const = 0;
    virtual HRESULT DoDefaultAction(long id) = 0;

    // Every text a client gets is the bar's own UTF-16.
    static HRESULT ReturnText(const wchar_t* text, BSTR* out);
    static HRESULT ReturnChildId(long id, VARIANT* out);
    static RECT ClientToScreenRect(HWND window, const RECT& client);
    // STATE_SYSTEM_INVISIBLE while the window is hidden.
    static long VisibilityState(HWND window);

private:
    // Checks out and child, then asks answer with the valid id.
    template <class Out>
    HRESULT Ask(const VARIANT& child, Out* out,
                HRESULT (CAccessibleBase::*answer)(long, Out*) const) const;
    // S_FALSE: no such text.
    HRESULT NoText(long id, BSTR* text) const;
    // S_OK with id set for CHILDID_SELF or a child 1..ChildCount();
    // RPC_E_DISCONNECTED once disconnected; E_INVALIDARG otherwise.
    HRESULT CheckChild(const VARIANT& child, long& id) const;

    LONG references = 1;
    bool connected = true;
};
