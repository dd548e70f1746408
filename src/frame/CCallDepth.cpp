#include "CCallDepth.h"

namespace {
thread_local int t_depth = 0;
}

CCallDepth::CCallDepth() noexcept {
    ++t_depth;
}

CCallDepth::~CCallDepth() {
    --t_depth;
}

bool CCallDepth::Active() {
    return t_depth > 0;
}
