#pragma once
// The skin for window tests: the built-in look, whatever the machine's registry names, and the registry value that
// names a skin, kept for the test's length.

#include <string>

// Loads the built-in skin once per process (common controls first), with the registry's skin setting out of the
// way while it loads.
void EnsureBuiltInSkin();

// HKCU "Software\Movara\SkinIni": the value found when the test started comes back when it ends; in between the test
// sets or clears it.
class SkinRegistryValue {
public:
    SkinRegistryValue();
    ~SkinRegistryValue();
    SkinRegistryValue(const SkinRegistryValue&) = delete;
    SkinRegistryValue& operator=(const SkinRegistryValue&) = delete;
    static bool Set(const std::string& value);
    // The default value, or false when the key does not exist.
    static bool Read(std::string& value);

private:
    bool hadValue = false;
    std::string saved;
};
