#pragma once
// Files for tests: a temporary folder of the test's own, whole-file reads and lines of text.

#include <string>
#include <vector>

// A folder of its own under the temporary folder, removed with every file in it when the object goes. Path() ends
// in "\".
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& Path() const { return folder; }
    // Writes bytes as the file name in the folder and returns its full path.
    std::string Write(const std::string& name, const std::string& bytes) const;

private:
    std::string folder;
};

// Puts the current directory back when it goes (the engine changes it).
class CurrentDirectoryGuard {
public:
    CurrentDirectoryGuard();
    ~CurrentDirectoryGuard();

private:
    std::string saved;
};

// The whole content of a file, byte for byte; empty when it cannot be read.
std::string ReadWholeFile(const std::string& path);
bool FileExists(const std::string& path);
long long FileSize(const std::string& path); // -1 when there is no such file
// The names of the files (not folders) in folder, which ends in "\", sorted by their bytes.
std::vector<std::string> FilesIn(const std::string& folder);

// Lines of text without their line ends (LF or CR LF); a last line without one counts too.
std::vector<std::string> TextLines(const std::string& text);
inline std::vector<std::string> FileLines(const std::string& path) {
    return TextLines(ReadWholeFile(path));
}

// The full path of path, relative ones taken from the current directory.
std::string FullPathOf(const std::string& path);
inline std::string Quote(const std::string& path) {
    return "\"" + path + "\"";
}
