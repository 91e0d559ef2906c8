#include "engine/EngineHost.h"

ConverterHost* mainWindow = nullptr;
