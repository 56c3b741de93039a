// Paths of files and folders as text: compared as the file system compares them, and taken
// apart and put together.
#pragma once

#include <string>

// The full, long form of a path without a trailing separator (a drive's root keeps its own),
// so that two names of one item compare equal.
std::wstring NormalPath(const std::wstring& path);
// The full form of a path without a trailing separator, its names as given (no disk access).
std::wstring FullPath(const std::wstring& path);
// The upper-case form by which names and paths are told apart without regard to case.
std::wstring PathKey(std::wstring path);
// Equal without regard to case.
bool SamePath(const std::wstring& a, const std::wstring& b);
// Whether the folder is the item itself or lies anywhere below it; both normal paths.
bool IsSameOrInside(const std::wstring& folder, const std::wstring& item);
// The folder a path is in ("C:\" for "C:\x"); empty for a root or a bare name.
std::wstring ParentOf(const std::wstring& path);
// The last part of a path; empty for a drive's root, which has no name to copy under.
std::wstring NameOf(const std::wstring& path);
// The root of the volume a path is on ("C:\\"), as the system places it; the drive as written
// where it cannot.
std::wstring VolumeOf(const std::wstring& path);
std::wstring JoinPath(const std::wstring& folder, const std::wstring& name);
