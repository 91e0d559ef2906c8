#include "engine/UniqueTaskOutput.h"

#include "engine/FileIdentity.h"

#include <algorithm>
#include <string>

namespace {

// Device file names carry five digits.
constexpr int lowestFileNumber = 10000;
constexpr int highestFileNumber = 99999;

bool NameTaken(const std::string& name, const std::vector<ConversionTask>& tasks) {
    return std::any_of(tasks.begin(), tasks.end(),
                       [&](const ConversionTask& other) { return SameFileName(other.outputName, name); });
}

bool NumberTaken(int number, const std::vector<ConversionTask>& tasks) {
    return std::any_of(tasks.begin(), tasks.end(),
                       [&](const ConversionTask& other) { return other.deviceFileNumber == number; });
}

} // namespace

void MakeTaskOutputUnique(ConversionTask& task, const std::vector<ConversionTask>& tasksInList) {
    if (NumberTaken(task.deviceFileNumber, tasksInList)) {
        int number = task.deviceFileNumber;
        // More numbers than tasks exist, so the search ends; it wraps past the highest.
        for (size_t tried = 0; tried <= tasksInList.size(); ++tried) {
            number = number >= highestFileNumber || number < lowestFileNumber ? lowestFileNumber : number + 1;
            if (!NumberTaken(number, tasksInList)) {
                break;
            }
        }
        task.deviceFileNumber = number;
    }
    if (NameTaken(task.outputName, tasksInList)) {
        const std::string base = task.outputName;
        for (size_t suffix = 2;; ++suffix) {
            const std::string name = base + "_" + std::to_string(suffix);
            if (!NameTaken(name, tasksInList)) {
                task.outputName = name;
                break;
            }
        }
    }
}
