#include "tests/support/SkinForTests.h"

#include "skin/SkinLoader.h"

#include <windows.h>

#include <commctrl.h>

#include <vector>

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
    Remove();
}

SkinRegistryValue::~SkinRegistryValue() {
    Remove();
    if (hadValue)
        Set(saved);
}

bool SkinRegistryValue::Set(const std::string& value) {
    return RegSetValueA(HKEY_CURRENT_USER, kSkinRegistryKey, REG_SZ, value.c_str(),
                        static_cast<DWORD>(value.size())) == ERROR_SUCCESS;
}

void SkinRegistryValue::Remove() {
    RegDeleteKeyA(HKEY_CURRENT_USER, kSkinRegistryKey);
}

bool SkinRegistryValue::Read(std::string& value) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kSkinRegistryKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    std::vector<char> buffer(4096, '\0');
    DWORD size = static_cast<DWORD>(buffer.size() - 1);
    DWORD type = 0;
    const bool ok = RegQueryValueExA(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size) ==
                    ERROR_SUCCESS;
    RegCloseKey(key);
    value = ok ? std::string(buffer.data()) : std::string();
    return true;
}
