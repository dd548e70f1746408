// The exception boundary of the C interface: a C caller (or another
// language's runtime) cannot unwind a C++ exception, so every C function runs
// its work through Guarded, which turns any exception into the function's
// failure value. The framework throws its exceptions as heap pointers that
// the catcher must free (CResourceException from window creation).
#pragma once
#include <afx.h>

template <typename Result, typename Work> Result Guarded(Result failure, Work work) noexcept {
    try {
        return work();
    } catch (CException* e) {
        e->Delete();
    } catch (...) {
    }
    return failure;
}

template <typename Work> void Guarded(Work work) noexcept {
    Guarded(0, [&] {
        work();
        return 0;
    });
}
