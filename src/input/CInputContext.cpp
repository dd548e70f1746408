#include "CInputContext.h"

CInputContext::CInputContext(HWND window) : window(window), context(::ImmGetContext(window)) {}

CInputContext::~CInputContext() {
    if (context)
        ::ImmReleaseContext(window, context);
}

void CInputContext::CompleteComposition() const {
    if (context)
        ::ImmNotifyIME(context, NI_COMPOSITIONSTR, CPS_COMPLETE, 0);
}
