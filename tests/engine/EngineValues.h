#pragma once

#include <ostream>

#include "engine/DeviceProfiles.h"
#include "engine/TaskStatus.h"

// The engine's codes print as their numbers in test messages.
inline std::ostream& operator<<(std::ostream& out, TaskStatus status) { return out << static_cast<int>(status); }
inline std::ostream& operator<<(std::ostream& out, DeviceFamily family) { return out << static_cast<int>(family); }
