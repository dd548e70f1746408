// Screenshots: a region of the screen as the user sees it (every window,
// layered ones blended in), copied from the screen DC and written as PNG
// with GDI+'s encoder.
#pragma once
#include <string>
#include <windows.h>

// Writes the region (screen coordinates, clipped to the screen) to a PNG
// file; false when nothing could be captured or written.
bool CaptureScreenRegion(RECT region, const std::string& pngPath);
