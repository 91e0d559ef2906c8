#include "tests/support/SkinForTests.h"

#include "skin/SkinLoader.h"

#include <windows.h>

#include <commctrl.h>

void EnsureBuiltInSkin() {
    static bool loaded = false;
    if (loaded)
        return;
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    SkinRegistryValue registry;
    LoadSkin();
    loaded = true;
}

SkinRegistryValue::SkinRegistryValue() {
    hadValue = Read(saved);
    RegDeleteKeyA(HKEY_CURRENT_USER, kSkinRegistryKey);
}

SkinRegistryValue::~SkinRegistryValue() {
    RegDeleteKeyA(HKEY_CURRENT_USER, kSkinRegistryKey);
    if (hadValue)
        Set(saved);
}

bool SkinRegistryValue::Set(const std::string& value) {
    return RegSetValueA(HKEY_CURRENT_USER, kSkinRegistryKey, REG_SZ, value.c_str(), static_cast<DWORD>(value.size())) ==
           ERROR_SUCCESS;
}

bool SkinRegistryValue::Read(std::string& value) {
    value.clear();
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kSkinRegistryKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    char buffer[4096] = {};
    DWORD size = sizeof buffer - 1;
    if (RegQueryValueExA(key, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size) == ERROR_SUCCESS)
        value = buffer;
    RegCloseKey(key);
    return true;
}
