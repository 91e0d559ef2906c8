#include "skin/SkinLoader.h"

#include "skin/BitmapFileCheck.h"
#include "skin/SkinSettings.h"

#include "resources/resource.h"

#include <cstdint>
#include <cstdio>

SkinSettings skinSettings;

namespace {

constexpr char kFailureFormat[] =
    "Cannot load %s\nCannot initialise Movara skin, Movara will restart with original theme";

// Reads the skin description's path; anything that goes wrong, a value too long for the 512-byte buffer included,
// leaves it empty.
void ReadSkinFilePath(char (&path)[kSkinValueSize]) {
    LONG size = static_cast<LONG>(sizeof path);
    if (RegQueryValueA(HKEY_CURRENT_USER, kSkinRegistryKey, path, &size) != ERROR_SUCCESS)
        path[0] = '\0';
    path[sizeof path - 1] = '\0';
}

// The loader takes a file cut short and reads the missing rows from beyond its data: such a file is broken.
bool HoldsWholeBitmap(const char* path) {
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    std::uint8_t head[kBitmapHeadBytes] = {};
    DWORD read = 0;
    LARGE_INTEGER size = {};
    const bool ok = ReadFile(file, head, sizeof head, &read, nullptr) && GetFileSizeEx(file, &size) &&
                    IsCompleteBitmapFile(head, read, static_cast<std::uint64_t>(size.QuadPart));
    CloseHandle(file);
    return ok;
}

HBITMAP LoadBuiltInBitmap(int id) {
    return static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, 0));
}

} // namespace

void FailSkinLoad(const char* path) {
    char message[512] = {};
    std::snprintf(message, sizeof message, kFailureFormat, path);
    MessageBoxA(GetActiveWindow(), message, "Error", MB_OK | MB_ICONERROR);
    HKEY key = nullptr;
    if (RegCreateKeyA(HKEY_CURRENT_USER, "Software\\Movara", &key) == ERROR_SUCCESS) {
        RegSetValueA(key, "SkinIni", REG_SZ, "", 0);
        RegCloseKey(key);
    }
    ExitProcess(0);
}

HBITMAP LoadBitmapFile(const char* path) {
    if (!HoldsWholeBitmap(path))
        FailSkinLoad(path);
    HANDLE bitmap = LoadImageA(nullptr, path, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE);
    if (!bitmap)
        FailSkinLoad(path);
    return static_cast<HBITMAP>(bitmap);
}

HBITMAP LoadSkinBitmap(const char* key, int builtInId) {
    char value[kSkinValueSize] = {};
    if (!LookupSkinValue(skinSettings.skinFilePath, key, value, sizeof value))
        return LoadBuiltInBitmap(builtInId);
    // Used exactly as formed: an empty directory gives "\name" (the current drive's root), a directory ending in
    // "\" a doubled separator, which the system accepts. A path cut at 511 characters fails to load and is reported
    // as it was cut.
    char path[kSkinValueSize] = {};
    std::snprintf(path, sizeof path, "%s\\%s", skinSettings.skinDirectory, value);
    return LoadBitmapFile(path);
}

void LoadSkin() {
    SkinSettings& s = skinSettings;
    ReadSkinFilePath(s.skinFilePath);
    if (!LookupSkinValue(s.skinFilePath, "directory", s.skinDirectory, sizeof s.skinDirectory))
        s.skinDirectory[0] = '\0';
    if (HMODULE user32 = GetModuleHandleA("USER32.DLL")) {
        // Through the generic function type, which GCC accepts as a cast between unrelated function types.
        const auto entry = reinterpret_cast<void (*)()>(GetProcAddress(user32, "SetLayeredWindowAttributes"));
        s.layeredAttributesEntry = reinterpret_cast<LayeredAttributesProc>(entry);
    }

    // In the order of the skin description's keys: the first file that fails ends the program.
    HBITMAP comboBack = LoadSkinBitmap("combo_back", IDB_FIELD_FACE);
    HBITMAP comboFore = LoadSkinBitmap("combo_fore", IDB_FIELD_FORE);
    HBITMAP comboArrow = LoadSkinBitmap("combo_arrow", IDB_COMBO_ARROW);
    HBITMAP comboWindow = LoadSkinBitmap("combo_window", IDB_LIST_TILE);
    HBITMAP editBack = LoadSkinBitmap("edit_back", IDB_FIELD_FACE);
    HBITMAP editFore = LoadSkinBitmap("edit_fore", IDB_FIELD_FORE);
    HBITMAP listBoxBack = LoadSkinBitmap("listbox_back", IDB_LIST_TILE);
    HBITMAP listBoxFore = LoadSkinBitmap("listbox_fore", IDB_SKIN_BACKGROUND);
    HBITMAP headerStart = LoadSkinBitmap("columnheader_start", IDB_HEADER_START);
    HBITMAP headerSpan = LoadSkinBitmap("columnheader_span", IDB_HEADER_SPAN);
    HBITMAP headerEnd = LoadSkinBitmap("columnheader_end", IDB_HEADER_END);
    HBITMAP vUp = LoadSkinBitmap("columnvert_uparrow", IDB_VSCROLL_UP);
    HBITMAP vSpan = LoadSkinBitmap("columnvert_span", IDB_VSCROLL_SPAN);
    HBITMAP vDown = LoadSkinBitmap("columnvert_downarrow", IDB_VSCROLL_DOWN);
    HBITMAP vBottom = LoadSkinBitmap("columnvert_bottom", IDB_VSCROLL_BOTTOM);
    HBITMAP vThumb = LoadSkinBitmap("columnvert_thumb", IDB_VSCROLL_THUMB);
    HBITMAP hLeft = LoadSkinBitmap("columnhorz_leftarrow", IDB_HSCROLL_LEFT);
    HBITMAP hSpan = LoadSkinBitmap("columnhorz_span", IDB_HSCROLL_SPAN);
    HBITMAP hRight = LoadSkinBitmap("columnhorz_rightarrow", IDB_HSCROLL_RIGHT);
    HBITMAP hThumb = LoadSkinBitmap("columnhorz_thumb", IDB_HSCROLL_THUMB);
    s.titleBitmap = LoadSkinBitmap("title", IDB_SKIN_TITLE);
    s.backgroundBitmap = LoadSkinBitmap("background", IDB_SKIN_BACKGROUND);
    // "combo_fore" is checked like every other key but no control draws it.
    if (comboFore)
        DeleteObject(comboFore);

    s.comboSkin = {RGB(200, 200, 200), RGB(180, 180, 180), 0,          RGB(0, 0, 0),
                   comboBack,          comboWindow,        comboArrow, comboWindow,
                   s.layeredAttributesEntry};
    s.editSkin = {0, 0, 0, 0, editBack, editFore};
    s.frameSkin = {RGB(234, 234, 234), RGB(128, 128, 128), RGB(255, 255, 255), RGB(48, 64, 48)};
    s.listBoxSkin = {RGB(200, 200, 200), RGB(49, 66, 97), RGB(200, 200, 200), RGB(20, 20, 20), listBoxBack,
                     listBoxFore};
    s.headerSkin = {RGB(185, 194, 212), RGB(0, 0, 0), RGB(200, 200, 200), 16, 1, 2, 2, headerSpan, headerStart,
                    headerEnd};
    const COLORREF barBack = RGB(74, 82, 107);
    s.hScrollSkin = {16, 16, 16, 16, 0, 0, 0, 75, 16, 0, 1, 16, barBack, hLeft, hRight, nullptr, hSpan, hThumb};
    s.vScrollSkin = {16, 16, 16, 16, 16, 16, 0, 75, 16, 1, 1, 16, barBack, vUp, vDown, vBottom, vSpan, vThumb};
}
