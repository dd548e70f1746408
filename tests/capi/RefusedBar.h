// The C interface's answer to a bar pointer that names no live bar (null,
// destroyed, or never given out): every function does nothing and answers 0
// or null, leaving the caller's buffers as they were.
#pragma once
#include "tavrel_c.h"

// Calls every function of tavrel_c.h that takes a bar, with bar, and
// expects that answer from each.
void ExpectEveryFunctionRefuses(TavrelBar* bar);
