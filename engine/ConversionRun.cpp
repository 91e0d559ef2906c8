#include "engine/ConversionRun.h"

#include <windows.h>

#include "engine/EncoderRunner.h"
#include "engine/EngineGlobals.h"
#include "engine/EngineHost.h"
#include "engine/Pipelines.h"

bool RunConversion() {
    cancelRequested = false;
    if (!mainWindow) {
        return true;
    }
    SetCurrentDirectoryA(workDirectory);
    ResetTaskProgress();
    // Tasks cannot be added or removed while converting, so the count holds for the run.
    const int count = mainWindow->TaskCount();
    for (int index = 0; index < count; ++index) {
        currentTaskIndex = index;
        if (!mainWindow->GetTask(index).checked) {
            continue;
        }
        ConvertTask(index);
        if (cancelRequested) {
            break;
        }
    }
    return !cancelRequested;
}
