// Finding GDI+'s PNG encoder, shared by the skin generator and the demo's
// screenshots.
#pragma once
#include "GdiPlus.h"

// The class id of the PNG encoder; false when GDI+ offers none.
bool FindPngEncoder(CLSID* clsid);
