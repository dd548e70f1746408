// GDI+ for the demo's programs, with what MinGW's GDI+ headers need included
// before them (objidl.h declares IStream, which gdiplus.h uses unannounced).
#pragma once
#include <windows.h>

#include <objidl.h>

#include <gdiplus.h>
