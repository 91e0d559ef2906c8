#include "engine/TaskCommands.h"

#include <windows.h>

#include "engine/CommandTemplates.h"
#include "engine/EngineGlobals.h"
#include "engine/EngineHost.h"
#include "engine/ProfileReader.h"

namespace {

bool HasTask(int taskIndex)
{
    return mainWindow != nullptr && taskIndex >= 0 && taskIndex < mainWindow->TaskCount();
}

} // namespace

std::string CurrentTimestamp()
{
    SYSTEMTIME now = {};
    GetLocalTime(&now);
    return FormatTimestamp(now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond);
}

std::string ExpandTemplate(const std::string& commandTemplate, int taskIndex)
{
    if (!HasTask(taskIndex)) {
        return {};
    }
    return ExpandCommandTemplate(commandTemplate, mainWindow->GetTask(taskIndex), mainWindow->RunSettings(),
                                 CurrentTimestamp());
}

std::optional<std::string> BuildPresetCommand(int taskIndex)
{
    if (!HasTask(taskIndex)) {
        return std::nullopt;
    }
    SetCurrentDirectoryA(workDirectory);
    const OutputSettings& settings = mainWindow->RunSettings();
    const std::optional<std::string> commandTemplate =
        ReadIpodCommand(ProfileFilePath(ipodProfileFileIndex), settings.presetIndex);
    if (!commandTemplate) {
        return std::nullopt;
    }
    return ExpandPresetTemplate(*commandTemplate, mainWindow->GetTask(taskIndex), settings, CurrentTimestamp());
}

