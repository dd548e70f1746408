// The framework's main header: windows, controls, device contexts, the
// application object, message maps and extension-library support.
#pragma once
#include "afx.h"
#include "AfxModuleState.h"
#include "CDC.h"
#include "CDynLinkLibrary.h"
#include "CEdit.h"
#include "CPaintDC.h"
#include "CPoint.h"
#include "CRect.h"
#include "CWinApp.h"
#include "CWinThread.h"
#include "CWnd.h"
