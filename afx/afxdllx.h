// Header for the entry point of an extension library.
#pragma once
#include "afxwin.h"
