#pragma once
// Helpers of the skin tests: bitmap files made in memory, and the shared canvases, files, pumps and skin values.

#include "tests/support/Canvas.h"
#include "tests/support/Files.h"
#include "tests/support/MessagePump.h"
#include "tests/support/SkinForTests.h"

#include "framework/Wnd.h"

#include <windows.h>

#include <string>

// The bytes of a 24-bit BMP file of one colour.
std::string BmpFileBytes(int width, int height, COLORREF colour);
// Writes them as name in folder; the file's full path.
inline std::string WriteBmp(const TempFolder& folder, const std::string& name, int width, int height,
                            COLORREF colour) {
    return folder.Write(name, BmpFileBytes(width, height, colour));
}
