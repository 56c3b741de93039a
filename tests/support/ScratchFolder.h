// A fixture folder of a test or benchmark under the temporary folder, made afresh and
// removed with all it holds when it goes.
//
// The name carries the process id so that runs side by side do not meet. Process ids are
// reused (Wine hands out small ones again soon), so a folder that already has this name
// can only be what a killed or timed-out run left behind: it is removed before the new one
// is made, and no run depends on an earlier one having cleaned up.
//
// Header only, so that benchmarks, which do not link the test support, can use it too.
#pragma once

#include <windows.h>

#include <string>

// Removes a file or a folder with everything below it; true when nothing is left.
inline bool RemoveTree(const std::string& path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return GetLastError() == ERROR_FILE_NOT_FOUND ||
                                                      GetLastError() == ERROR_PATH_NOT_FOUND;
    if (attributes & FILE_ATTRIBUTE_READONLY) SetFileAttributesA(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) return DeleteFileA(path.c_str()) != 0;
    // A link is removed, never followed: what it points to is not the fixture's.
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return RemoveDirectoryA(path.c_str()) != 0;

    WIN32_FIND_DATAA found;
    HANDLE hFind = FindFirstFileA((path + "\\*").c_str(), &found);
    if (hFind != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = found.cFileName;
            if (name != "." && name != "..") RemoveTree(path + "\\" + name);
        } while (FindNextFileA(hFind, &found));
        FindClose(hFind);
    }
    return RemoveDirectoryA(path.c_str()) != 0;
}

class ScratchFolder {
public:
    // Makes <temporary folder>\folvane-<name>-<process id>.
    explicit ScratchFolder(const std::string& name)
    {
        char temp[MAX_PATH] = "";
        GetTempPathA(MAX_PATH, temp);
        char longTemp[MAX_PATH];
        // The long form: tests compare paths with what the shell reports.
        if (GetLongPathNameA(temp, longTemp, MAX_PATH)) lstrcpyA(temp, longTemp);
        std::string base = temp;
        if (!base.empty() && base.back() != '\\') base += '\\';
        m_path = base + "folvane-" + name + "-" + std::to_string(GetCurrentProcessId());
        RemoveTree(m_path);
        m_bMade = CreateDirectoryA(m_path.c_str(), nullptr) != 0;
    }
    ~ScratchFolder() { RemoveTree(m_path); }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // False when the folder could not be made (the caller's set-up should say so).
    bool Made() const { return m_bMade; }
    const std::string& Path() const { return m_path; }
    // The full path of something below the folder; nothing is made.
    std::string Sub(const std::string& relative) const { return m_path + "\\" + relative; }
    // Makes a folder below this one (its parents must exist); returns its full path.
    std::string MakeFolder(const std::string& relative) const
    {
        const std::string path = Sub(relative);
        CreateDirectoryA(path.c_str(), nullptr);
        return path;
    }

private:
    std::string m_path;
    bool m_bMade = false;
};
