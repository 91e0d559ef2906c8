#pragma once

#include <windows.h>

// Skin loading at start-up. The skin description's path is the default value of HKCU "Software\Movara\SkinIni";
// each key it names loads a bitmap file from its "directory", and every key it lacks takes the built-in bitmap
// resource of the executable. A bitmap file that cannot be loaded is fatal: the user is told, the registry value is
// cleared so that the next start has the built-in look, and the process ends with status 0.

inline constexpr char kSkinRegistryKey[] = "Software\\Movara\\SkinIni";

// Fills skinSettings. Runs once, on the user-interface thread, before any skinned control exists; returns only when
// every bitmap loaded.
void LoadSkin();

// The bitmap for key: from the file the skin description names, or the built-in resource builtInId when the key is
// absent (an empty bitmap, without a message, if even that cannot be loaded).
HBITMAP LoadSkinBitmap(const char* key, int builtInId);

// A bitmap file as a device-dependent bitmap. Does not return when the file cannot be loaded.
HBITMAP LoadBitmapFile(const char* path);

// The fatal path: message box, registry value cleared, ExitProcess(0).
[[noreturn]] void FailSkinLoad(const char* path);
