// CQueryEdit: answers WM_GETOBJECT for the client object with the named
// query field object and disconnects that object when the control goes;
// every other message is the edit control's own.
#include "CQueryEdit.h"
#include "../access/CQueryFieldAccessible.h"

BEGIN_MESSAGE_MAP(CQueryEdit, CEdit)
ON_MESSAGE(WM_GETOBJECT, OnGetObject)
ON_MESSAGE(WM_DESTROY, OnWindowDestroy)
END_MESSAGE_MAP()

CQueryEdit::CQueryEdit() = default;

// Clients may hold the object longer than the control lives.
CQueryEdit::~CQueryEdit() {
    CAccessibleBase::DisconnectAndRelease(accessible);
}

LRESULT CQueryEdit::OnGetObject(WPARAM wParam, LPARAM lParam) {
    if (!CAccessibleBase::IsClientObjectRequest(lParam))
        return Default();
    return CAccessibleBase::Answer(accessible, static_cast<CWnd*>(this), wParam);
}

LRESULT CQueryEdit::OnWindowDestroy(WPARAM, LPARAM) {
    CAccessibleBase::DisconnectAndRelease(accessible);
    return Default();
}
