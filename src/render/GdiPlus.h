// GDI+ with what its MinGW headers need included before them.
#pragma once
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>
