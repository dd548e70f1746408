// GdiPlusDeleter: releases an object of the GDI+ flat API with the function
// of its kind, so that std::unique_ptr owns it and no early return or
// exception leaks one (a decoded image also holds its file open).
#pragma once
#include "GdiPlus.h"
#include <memory>

struct GdiPlusDeleter {
    void operator()(Gdiplus::GpImage* image) const { Gdiplus::DllExports::GdipDisposeImage(image); }
    void operator()(Gdiplus::GpGraphics* graphics) const {
        Gdiplus::DllExports::GdipDeleteGraphics(graphics);
    }
    void operator()(Gdiplus::GpImageAttributes* attributes) const {
        Gdiplus::DllExports::GdipDisposeImageAttributes(attributes);
    }
};

template <class Object> using GdiPlusOwned = std::unique_ptr<Object, GdiPlusDeleter>;
