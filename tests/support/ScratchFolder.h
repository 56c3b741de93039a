// A fixture folder of a test or benchmark under the temporary folder, made afresh and
// removed with all it holds when it goes; and what tests read of the files in it.
//
// The name carries the process id so that runs side by side do not meet. Process ids are
// reused (Wine hands out small ones again soon), so a folder that already has this name
// can only be what a killed or timed-out run left behind: it is removed before the new one
// is made, and no run depends on an earlier one having cleaned up. Folders of the same kind
// whose process no longer runs are leftovers too, and go at the same time.
//
// Header only, so that benchmarks, which do not link the test support, can use it too.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <initializer_list>
#include <string>
#include <vector>

#include "support/WideText.h"

// Removes a file or a folder with everything below it, read-only items and names outside
// the ANSI code page included; true when nothing is left.
inline bool RemoveTree(const std::wstring& given)
{
    // Taken as written: a name ending in a dot or a blank, or a path past MAX_PATH, goes too.
    const bool bDrivePath = given.size() > 2 && given[1] == L':' && given[2] == L'\\';
    const std::wstring path = bDrivePath ? L"\\\\?\\" + given : given;
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return GetLastError() == ERROR_FILE_NOT_FOUND ||
                                                      GetLastError() == ERROR_PATH_NOT_FOUND;
    if (attributes & FILE_ATTRIBUTE_READONLY) SetFileAttributesW(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) return DeleteFileW(path.c_str()) != 0;
    // A link is removed, never followed: what it points to is not the fixture's.
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return RemoveDirectoryW(path.c_str()) != 0;

    WIN32_FIND_DATAW found;
    HANDLE hFind = FindFirstFileW((path + L"\\*").c_str(), &found);
    if (hFind != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name != L"." && name != L"..") RemoveTree(path + L"\\" + name);
        } while (FindNextFileW(hFind, &found));
        FindClose(hFind);
    }
    return RemoveDirectoryW(path.c_str()) != 0;
}

inline bool RemoveTree(const std::string& path)
{
    return RemoveTree(Widen(path));
}

// Whether a file or a folder is there.
inline bool Exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Everything a file holds, or "<missing>" when it cannot be opened.
inline std::string Contents(const std::string& path)
{
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return "<missing>";
    std::string s;
    char buf[256];
    DWORD n = 0;
    while (ReadFile(h, buf, sizeof(buf), &n, nullptr) && n) s.append(buf, n);
    CloseHandle(h);
    return s;
}

// Everything below a folder as sorted relative names: folders end in a backslash, files
// read "name=contents".
inline void ListTree(const std::string& base, const std::string& rel, std::vector<std::string>& out)
{
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA((base + "\\" + rel + "*").c_str(), &found);
    if (h == INVALID_HANDLE_VALUE) return;
    do {
        const std::string name = found.cFileName;
        if (name == "." || name == "..") continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            out.push_back(rel + name + "\\");
            ListTree(base, rel + name + "\\", out);
        } else {
            out.push_back(rel + name + "=" + Contents(base + "\\" + rel + name));
        }
    } while (FindNextFileA(h, &found));
    FindClose(h);
}

inline std::vector<std::string> TreeOf(const std::string& base)
{
    std::vector<std::string> out;
    ListTree(base, "", out);
    std::sort(out.begin(), out.end());
    return out;
}

// Where a shortcut file points, or "" when it cannot be read as one (COM must be set up).
inline std::string LinkTarget(const std::string& lnk)
{
    char path[MAX_PATH] = "";
    IShellLinkA* pLink = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&pLink))))
        return path;
    IPersistFile* pFile = nullptr;
    if (SUCCEEDED(pLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&pFile)))) {
        if (SUCCEEDED(pFile->Load(Widen(lnk).c_str(), STGM_READ))) pLink->GetPath(path, MAX_PATH, nullptr, 0);
        pFile->Release();
    }
    pLink->Release();
    return path;
}

// A fresh folder named folvane-<name>-<process id> on another drive than the path's, or ""
// where there is none: Wine maps the Unix root to Z:, and its \\tmp is another volume than
// the prefix's C: drive. The caller removes it.
inline std::string FolderOnAnotherDrive(const std::string& name, const std::string& than)
{
    char volThan[MAX_PATH] = "", volOther[MAX_PATH] = "";
    GetVolumePathNameA(than.c_str(), volThan, MAX_PATH);
    if (!GetVolumePathNameA("Z:\\tmp", volOther, MAX_PATH) || lstrcmpiA(volThan, volOther) == 0 ||
        GetFileAttributesA("Z:\\tmp") == INVALID_FILE_ATTRIBUTES)
        return std::string();
    const std::string folder = "Z:\\tmp\\folvane-" + name + "-" + std::to_string(GetCurrentProcessId());
    RemoveTree(folder);
    return CreateDirectoryA(folder.c_str(), nullptr) ? folder : std::string();
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
        const std::string prefix = base + "folvane-" + name + "-";
        m_path = prefix + std::to_string(GetCurrentProcessId());
        RemoveTree(m_path);
        RemoveLeftovers(prefix);
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
    // The same, wide, for names outside the ANSI code page.
    std::wstring WideSub(const std::wstring& relative) const { return Widen(m_path) + L"\\" + relative; }
    // The folder's own name (the last part of its path).
    std::string Name() const { return m_path.substr(m_path.find_last_of('\\') + 1); }
    // Makes a folder below this one, and any of its parents that are missing; returns its
    // full path.
    std::string MakeFolder(const std::string& relative) const
    {
        for (size_t sep = relative.find('\\'); sep != std::string::npos; sep = relative.find('\\', sep + 1))
            CreateDirectoryA(Sub(relative.substr(0, sep)).c_str(), nullptr);
        const std::string path = Sub(relative);
        CreateDirectoryA(path.c_str(), nullptr);
        return path;
    }
    void MakeFolders(std::initializer_list<const char*> relatives) const
    {
        for (const char* relative : relatives) MakeFolder(relative);
    }
    // Makes (or overwrites) a file below this one holding the contents; its parent must exist.
    void MakeFile(const std::string& relative, const std::string& contents = "") const
    {
        HANDLE h = CreateFileA(Sub(relative).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                               nullptr);
        if (h == INVALID_HANDLE_VALUE) return;
        DWORD written = 0;
        WriteFile(h, contents.data(), static_cast<DWORD>(contents.size()), &written, nullptr);
        CloseHandle(h);
    }
    // Makes files below this one, each holding the same contents.
    void MakeFiles(std::initializer_list<const char*> relatives, const std::string& contents = "") const
    {
        for (const char* relative : relatives) MakeFile(relative, contents);
    }

private:
    // Removes <prefix><process id> folders of processes that have ended.
    static void RemoveLeftovers(const std::string& prefix)
    {
        const size_t slash = prefix.find_last_of('\\');
        const std::string folder = prefix.substr(0, slash + 1), stem = prefix.substr(slash + 1);
        std::vector<std::string> ended;
        WIN32_FIND_DATAA found;
        HANDLE hFind = FindFirstFileA((prefix + "*").c_str(), &found);
        if (hFind == INVALID_HANDLE_VALUE) return;
        do {
            const std::string name = found.cFileName;
            if (name.size() <= stem.size()) continue;
            const std::string digits = name.substr(stem.size());
            if (digits.size() > 10 || digits.find_first_not_of("0123456789") != std::string::npos) continue;
            const unsigned long long pid = std::stoull(digits);
            if (pid > 0xFFFFFFFFULL) continue;
            // A process that may not be opened still runs.
            HANDLE hProcess = OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(pid));
            const bool running = hProcess ? WaitForSingleObject(hProcess, 0) == WAIT_TIMEOUT
                                          : GetLastError() == ERROR_ACCESS_DENIED;
            if (hProcess) CloseHandle(hProcess);
            if (!running) ended.push_back(folder + name);
        } while (FindNextFileA(hFind, &found));
        FindClose(hFind);
        for (const std::string& path : ended) RemoveTree(path);
    }

    std::string m_path;
    bool m_bMade = false;
};
