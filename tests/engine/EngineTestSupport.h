#pragma once

#include <fstream>
#include <string>
#include <vector>
#include <windows.h>

#include "engine/EngineGlobals.h"
#include "engine/EngineHost.h"

// A folder of its own under the temporary folder, removed with the files written into it.
class TempFolder {
public:
    TempFolder()
    {
        char base[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, base);
        static int serial = 0;
        path = std::string(base) + "movara_engine_" + std::to_string(GetCurrentProcessId()) + "_" +
               std::to_string(++serial) + "\\";
        CreateDirectoryA(path.c_str(), nullptr);
    }
    ~TempFolder()
    {
        for (const std::string& file : files) {
            DeleteFileA(file.c_str());
        }
        RemoveDirectoryA(path.c_str());
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // Writes `content` byte for byte and returns the file's full path.
    std::string Write(const std::string& name, const std::string& content)
    {
        const std::string file = path + name;
        std::ofstream(file, std::ios::binary | std::ios::trunc) << content;
        files.push_back(file);
        return file;
    }
    const std::string& Path() const { return path; }

private:
    std::string path;
    std::vector<std::string> files;
};

// Puts the current directory back, since the engine changes it.
class CurrentDirectoryGuard {
public:
    CurrentDirectoryGuard() { GetCurrentDirectoryA(MAX_PATH, saved); }
    ~CurrentDirectoryGuard() { SetCurrentDirectoryA(saved); }

private:
    char saved[MAX_PATH] = {};
};

// The main window as the engine sees it: tasks and the run's settings.
class FakeHost : public ConverterHost {
public:
    std::vector<ConversionTask> tasks;
    OutputSettings settings;

    ConversionTask GetTask(int index) const override { return tasks.at(static_cast<size_t>(index)); }
    void SetTask(int index, const ConversionTask& task) override { tasks.at(static_cast<size_t>(index)) = task; }
    int TaskCount() const override { return static_cast<int>(tasks.size()); }
    const OutputSettings& RunSettings() const override { return settings; }
    bool ShutDownChecked() const override { return false; }
    void RedrawTaskRow(int) override {}
    void RedrawTaskStatus(int) override {}
};

// Installs a fake host as the main window for one test.
class HostInstalled {
public:
    explicit HostInstalled(ConverterHost* host) { mainWindow = host; }
    ~HostInstalled() { mainWindow = nullptr; }
};

// Points workDirectory somewhere else for one test.
class WorkDirectoryOverride {
public:
    explicit WorkDirectoryOverride(const std::string& folder)
    {
        lstrcpynA(saved, workDirectory, pathBufferSize);
        lstrcpynA(workDirectory, folder.c_str(), pathBufferSize);
    }
    ~WorkDirectoryOverride() { lstrcpynA(workDirectory, saved, pathBufferSize); }

private:
    char saved[pathBufferSize] = {};
};
