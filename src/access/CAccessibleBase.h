// CAccessibleBase: what every accessible object of the library shares. It
// counts its references, answers IUnknown and IDispatch (no type library:
// clients use the IAccessible methods), hands itself out for WM_GETOBJECT,
// and can be disconnected: once the window or the state it describes is
// gone, every later call returns RPC_E_DISCONNECTED and reads nothing.
// Derived classes describe one kind of object (the bar, a list) through the
// IAccessible methods; all calls arrive on the window's own thread.
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
    // The answer to WM_GETOBJECT(wParam, OBJID_CLIENT).
    LRESULT AnswerGetObject(WPARAM wParam);
    // Cuts the object off from what it describes; the window that made it
    // calls this before that goes away.
    void Disconnect();
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

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IDispatch
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*,
                                     EXCEPINFO*, UINT*) override;

    // IAccessible: what no object of the library offers.
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override;
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override;
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* helpFile, VARIANT child,
                                               long* topic) override;
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override;
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override;
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override;
    // First, last, next and previous among the simple children 1..count.
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override;
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override;

protected:
    CAccessibleBase();
    virtual ~CAccessibleBase();

    // Number of children, read from the live state; only called connected.
    virtual long ChildCount() const = 0;
    // Drops every pointer to the described state.
    virtual void ForgetSource() = 0;

    bool IsConnected() const { return connected; }
    // S_OK with id set for CHILDID_SELF or a child 1..ChildCount();
    // RPC_E_DISCONNECTED once disconnected; E_INVALIDARG otherwise.
    HRESULT CheckChild(const VARIANT& child, long& id) const;
    // The standard object of a window (OBJID_WINDOW), as a parent.
    static HRESULT WindowObject(HWND window, IDispatch** object);

    static HRESULT ReturnText(const wchar_t* text, BSTR* out);
    // Text in the system ANSI code page.
    static HRESULT ReturnAnsiText(const std::string& text, BSTR* out);
    static void SetChildId(VARIANT* out, long id);
    static void SetEmpty(VARIANT* out);
    // Stores a window rectangle as left, top, width, height.
    static void SetLocation(const RECT& screen, long* left, long* top, long* width,
                            long* height);
    static RECT ClientToScreenRect(HWND window, const RECT& client);

private:
    LONG references = 1;
    bool connected = true;
};
