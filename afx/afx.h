// Core framework header: strings and exceptions.
#pragma once
#include "AfxDefs.h"
#include "CException.h"
#include "CString.h"
