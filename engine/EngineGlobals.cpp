#include "engine/EngineGlobals.h"

#include <cstring>
#include <windows.h>

static_assert(pathBufferSize == MAX_PATH, "path buffers hold MAX_PATH characters");

char programDirectory[pathBufferSize] = {};
char workDirectory[pathBufferSize] = {};
char outputDirectory[pathBufferSize] = {};
int currentTaskIndex = 0;

std::string ProgramDirectoryOf(const std::string& moduleFileName)
{
    const std::string::size_type separator = moduleFileName.find_last_of("\\/");
    if (separator == std::string::npos) {
        return ".\\";
    }
    return moduleFileName.substr(0, separator + 1);
}

bool SetProgramDirectory(const std::string& moduleFileName)
{
    const std::string directory = ProgramDirectoryOf(moduleFileName);
    const std::string work = directory + "app";
    if (work.size() >= static_cast<size_t>(pathBufferSize)) {
        return false;
    }
    std::memcpy(programDirectory, directory.c_str(), directory.size() + 1);
    std::memcpy(workDirectory, work.c_str(), work.size() + 1);
    return true;
}

bool InitProgramDirectory()
{
    char moduleFileName[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, moduleFileName, MAX_PATH);
    // A name that fills the whole buffer was cut (the call reports the size then).
    if (length == 0 || length >= MAX_PATH) {
        return false;
    }
    return SetProgramDirectory(std::string(moduleFileName, length));
}
