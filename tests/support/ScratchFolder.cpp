#include "support/ScratchFolder.h"

#include <windows.h>

#include <vector>

ScratchFolder::ScratchFolder(const std::string& tag)
{
    char temp[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, temp);
    char longTemp[MAX_PATH] = "";
    if (GetLongPathNameA(temp, longTemp, MAX_PATH)) lstrcpyA(temp, longTemp);
    std::string base = std::string(temp) + "folvane-" + tag + "-" + std::to_string(GetCurrentProcessId()) + "-" +
                       std::to_string(GetTickCount());
    // A name taken (a reused process id, the same tick) gets a number of its own.
    m_path = base;
    for (int n = 1; !CreateDirectoryA(m_path.c_str(), nullptr); n++) m_path = base + "-" + std::to_string(n);
}

ScratchFolder::~ScratchFolder()
{
    RemoveTree(m_path);
}

std::string ScratchFolder::Path(const std::string& relative) const
{
    return relative.empty() ? m_path : m_path + "\\" + relative;
}

std::string ScratchFolder::Name() const
{
    return m_path.substr(m_path.find_last_of('\\') + 1);
}

void ScratchFolder::MakeFolders(std::initializer_list<const char*> relatives) const
{
    for (const char* rel : relatives) CreateDirectoryA(Path(rel).c_str(), nullptr);
}

void ScratchFolder::MakeFiles(std::initializer_list<const char*> relatives, const std::string& contents) const
{
    for (const char* rel : relatives) {
        HANDLE h = CreateFileA(Path(rel).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE) continue;
        DWORD written = 0;
        WriteFile(h, contents.data(), static_cast<DWORD>(contents.size()), &written, nullptr);
        CloseHandle(h);
    }
}

bool ScratchFolder::RemoveTree(const std::string& path)
{
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((path + "\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            std::string name = fd.cFileName;
            if (name == "." || name == "..") continue;
            std::string child = path + "\\" + name;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(child);
            } else {
                SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(child.c_str());
            }
        } while (FindNextFileA(h, &fd));
        FindClose(h);
    }
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_DIRECTORY);
    return RemoveDirectoryA(path.c_str()) || GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES;
}
