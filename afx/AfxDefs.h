// Basic definitions of the framework subset: export macros and the
// handler-declaration marker. Every framework header includes this first.
#pragma once

#ifndef STRICT
#define STRICT
#endif
#include <windows.h>

// Classes and functions of the framework DLL itself. AFX_STATIC builds (and
// uses) the framework as a static library linked into one module, which then
// neither exports nor imports any of it.
#if defined(AFX_STATIC)
#define AFX_CORE_API
#elif defined(AFX_BUILDING_CORE)
#define AFX_CORE_API __declspec(dllexport)
#else
#define AFX_CORE_API __declspec(dllimport)
#endif

// Extension libraries build with _AFXEXT defined and export their classes
// with AFX_EXT_CLASS; clients of such a library import them.
#define AFX_CLASS_EXPORT __declspec(dllexport)
#define AFX_CLASS_IMPORT __declspec(dllimport)
#if defined(AFX_STATIC)
#define AFX_EXT_CLASS
#define AFX_EXT_API
#elif defined(_AFXEXT)
#define AFX_EXT_CLASS AFX_CLASS_EXPORT
#define AFX_EXT_API AFX_CLASS_EXPORT
#else
#define AFX_EXT_CLASS AFX_CLASS_IMPORT
#define AFX_EXT_API AFX_CLASS_IMPORT
#endif

#define AFXAPI
#define afx_msg

class CWnd;
