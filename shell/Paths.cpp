#include "shell/Paths.h"

#include <windows.h>

namespace {

std::wstring WithoutTrailingSlash(std::wstring s)
{
    // "C:\" keeps its separator: without it, it would name the drive's current folder.
    while (s.size() > 3 && (s.back() == L'\\' || s.back() == L'/')) s.pop_back();
    return s;
}

// Calls a function of the system's that fills in a path (returning its length, or the size
// it needs when the buffer is too small, or 0) with a buffer most paths fit in, so that it
// runs once: under Wine GetLongPathNameW reads each folder on the way, about a millisecond.
template <typename Fill>
bool FillPath(Fill fill, std::wstring& out)
{
    std::wstring buf(MAX_PATH, L'\0');
    DWORD n = fill(&buf[0], static_cast<DWORD>(buf.size()));
    if (n >= buf.size()) {
        buf.assign(n, L'\0');
        n = fill(&buf[0], n);
    }
    if (!n || n >= buf.size()) return false;
    out.assign(buf.c_str(), n);
    return true;
}

}  // namespace

std::wstring PathKey(std::wstring path)
{
    if (!path.empty()) ::CharUpperBuffW(&path[0], static_cast<DWORD>(path.size()));
    return path;
}

std::wstring FullPath(const std::wstring& path)
{
    std::wstring full;
    if (!FillPath([&](wchar_t* p, DWORD cch) { return ::GetFullPathNameW(path.c_str(), cch, p, nullptr); }, full))
        full = path;
    return WithoutTrailingSlash(full);
}

std::wstring NormalPath(const std::wstring& path)
{
    std::wstring full = FullPath(path), filled;
    if (FillPath([&](wchar_t* p, DWORD cch) { return ::GetLongPathNameW(full.c_str(), p, cch); }, filled))
        full = filled;
    return WithoutTrailingSlash(full);
}

bool SamePath(const std::wstring& a, const std::wstring& b)
{
    return ::CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()), TRUE) ==
           CSTR_EQUAL;
}

bool IsSameOrInside(const std::wstring& folder, const std::wstring& item)
{
    if (SamePath(folder, item)) return true;
    std::wstring prefix = item;
    if (prefix.empty()) return false;
    if (prefix.back() != L'\\') prefix += L'\\';
    return folder.size() > prefix.size() && SamePath(folder.substr(0, prefix.size()), prefix);
}

std::wstring ParentOf(const std::wstring& path)
{
    const std::wstring s = WithoutTrailingSlash(path);
    const size_t slash = s.find_last_of(L"\\/");
    if (slash == std::wstring::npos || slash + 1 == s.size()) return std::wstring();
    return slash == 2 && s[1] == L':' ? s.substr(0, 3) : s.substr(0, slash);
}

std::wstring NameOf(const std::wstring& path)
{
    const std::wstring s = WithoutTrailingSlash(path);
    const size_t slash = s.find_last_of(L"\\/");
    const std::wstring name = slash == std::wstring::npos ? s : s.substr(slash + 1);
    return name.find(L':') == std::wstring::npos ? name : std::wstring();
}

std::wstring JoinPath(const std::wstring& folder, const std::wstring& name)
{
    return (folder.empty() || folder.back() == L'\\') ? folder + name : folder + L'\\' + name;
}

std::wstring VolumeOf(const std::wstring& path)
{
    wchar_t volume[MAX_PATH] = L"";
    if (::GetVolumePathNameW(path.c_str(), volume, MAX_PATH)) return volume;
    if (path.size() >= 2 && path[1] == L':') return path.substr(0, 2) + L"\\";
    return path;
}
