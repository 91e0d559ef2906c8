#include "controls/EditText.h"

#include <cstring>

bool EditText::CopyTo(char* buffer, int size) const {
    if (!buffer || size <= 0 || text.size() >= static_cast<size_t>(size))
        return false;
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return true;
}
