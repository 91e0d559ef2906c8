#include "skin/SkinReader.h"

#include <cstring>

namespace {

bool IsEntryByte(int byte) {
    return byte >= 0x20 && byte <= 0x7F;
}

char LowerCase(int byte) {
    // Only A to Z: the locale must not decide what a key looks like.
    return static_cast<char>(byte >= 'A' && byte <= 'Z' ? byte - 'A' + 'a' : byte);
}

void CopyText(char* target, std::size_t targetSize, const char* source) {
    if (targetSize == 0)
        return;
    std::size_t length = std::strlen(source);
    if (length >= targetSize)
        length = targetSize - 1;
    std::memcpy(target, source, length);
    target[length] = '\0';
}

} // namespace

bool ReadSkinEntry(std::FILE* stream, SkinEntry& entry) {
    // End of file is what the stream's indicator says after a read; a read error ends the scan the same way, so a
    // failing stream cannot keep the caller's loop going.
    if (std::feof(stream) || std::ferror(stream))
        return false;
    int byte = std::fgetc(stream);
    while (byte != EOF && !IsEntryByte(byte))
        byte = std::fgetc(stream);
    if (byte == EOF)
        return false;

    char text[kSkinEntryTextSize] = {};
    std::size_t length = 0;
    bool tooLong = false;
    while (byte != EOF && IsEntryByte(byte)) {
        if (length + 1 < sizeof text)
            text[length++] = LowerCase(byte);
        else
            tooLong = true;
        byte = std::fgetc(stream);
    }
    // The byte that ended the run is a separator (or the end): consumed, as the next call would skip it anyway.
    if (tooLong)
        return false;

    const char* equals = std::strchr(text, '=');
    if (!equals)
        return false;
    const std::size_t keyLength = static_cast<std::size_t>(equals - text);
    const std::size_t valueLength = length - keyLength - 1;
    if (keyLength >= kSkinKeySize || valueLength >= kSkinValueSize)
        return false;
    std::memcpy(entry.key, text, keyLength);
    entry.key[keyLength] = '\0';
    std::memcpy(entry.value, equals + 1, valueLength);
    entry.value[valueLength] = '\0';
    return true;
}

bool LookupSkinValue(const char* path, const char* key, char* value, std::size_t valueSize) {
    if (!path || path[0] == '\0')
        return false;
    CopyText(value, valueSize, "");
    std::FILE* file = std::fopen(path, "rb");
    if (!file)
        return false;
    // The working entry starts empty and only a read that finds "=" changes it, so a run without "=" can never
    // produce a match. A real key is never empty, so the empty start cannot match either.
    SkinEntry working;
    bool found = false;
    for (;;) {
        ReadSkinEntry(file, working);
        if (key[0] != '\0' && std::strcmp(working.key, key) == 0) {
            found = true;
            break;
        }
        if (std::feof(file) || std::ferror(file))
            break;
    }
    std::fclose(file);
    if (found)
        CopyText(value, valueSize, working.value);
    return found;
}
