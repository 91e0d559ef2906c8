#pragma once

#include <windows.h>

// Live GDI objects of this process, for leak checks: the count after many paints must equal the count after a few.
// Wine answers GetGuiResources with 0 (not implemented); its GDI handles carry their table index in the low word and
// are found by it alone, so there every index is probed instead.
DWORD CountGdiObjects();
