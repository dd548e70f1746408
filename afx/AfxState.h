// Internal state of the framework DLL, not for clients.
#pragma once
#include "AfxDefs.h"
#include <unordered_map>

// HWND to permanent CWnd, one per process.
std::unordered_map<HWND, CWnd*>& AfxHandleMap();
