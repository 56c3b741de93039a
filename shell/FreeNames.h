// Names for a copy, a shortcut or a moved item where the plain name is taken: the forms a
// name takes ("Copy of a.txt", "a (2).txt", ...) and the first of them that is free.
#pragma once

#include <functional>
#include <set>
#include <string>

// The forms a name takes when it is taken: the nth (1 the first, 2, 3 ... the numbered ones).
typedef std::wstring (*NameForm)(const std::wstring& name, int n);
std::wstring CopyName(const std::wstring& name, int n);      // "Copy of a.txt", "Copy (2) of a.txt"
std::wstring ShortcutName(const std::wstring& name, int n);  // "Shortcut to a.txt.lnk", "Shortcut (2) to ..."
std::wstring NumberedName(const std::wstring& name, int n);  // "a.txt", "a (2).txt"
std::wstring NumberedFolderName(const std::wstring& name, int n);  // "a.b", "a.b (2)"

// The first form of the name that isTaken does not report and that is not among the
// upper-case names in taken, to which it is added. Empty when none is free within a
// sensible number of tries.
std::wstring FirstFreeName(const std::wstring& name, NameForm form, std::set<std::wstring>& taken,
                           const std::function<bool(const std::wstring& candidate)>& isTaken);
