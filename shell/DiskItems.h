// Files and folders on disk as the program's own file commands handle them under Wine (a
// paste, a drop onto the tree): paths compared as the file system does, names that are free
// in a folder, the file lists other programs hand over, and shortcuts.
#pragma once

#include <windows.h>
#include <ole2.h>

#include <set>
#include <string>
#include <vector>

// The full, long form of a path without a trailing separator (a drive's root keeps its own),
// so that two names of one item compare equal.
std::wstring NormalPath(const std::wstring& path);
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
std::wstring JoinPath(const std::wstring& folder, const std::wstring& name);

// The forms a name takes when it is taken: the nth (1 the first, 2, 3 ... the numbered ones).
typedef std::wstring (*NameForm)(const std::wstring& name, int n);
std::wstring CopyName(const std::wstring& name, int n);      // "Copy of a.txt", "Copy (2) of a.txt"
std::wstring ShortcutName(const std::wstring& name, int n);  // "Shortcut to a.txt.lnk", "Shortcut (2) to ..."
std::wstring NumberedName(const std::wstring& name, int n);  // "a.txt", "a (2).txt"
std::wstring NumberedFolderName(const std::wstring& name, int n);  // "a.b", "a.b (2)"

// The first form of the name that is free in the folder: on disk (a name that cannot be
// checked counts as taken) and among the upper-case names in taken, to which it is added.
// Empty when none is free within a sensible number of tries.
std::wstring FreeName(const std::wstring& folder, const std::wstring& name, NameForm form,
                      std::set<std::wstring>& taken);

// The paths a data object offers as CF_HDROP, read only within its block: it may come from
// any program. FALSE when it offers none.
BOOL ReadDropFiles(IDataObject* pDataObject, std::vector<std::wstring>& files);
// The same from the block itself.
std::vector<std::wstring> ParseDropFiles(HGLOBAL hGlobal);

// A shortcut in the folder to each file, under a free "Shortcut to ..." name, never replacing
// a file. S_OK when all were made, else the first failure.
HRESULT MakeShortcuts(const std::vector<std::wstring>& files, const std::wstring& folder);
