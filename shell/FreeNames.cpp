#include "shell/FreeNames.h"

#include "shell/Paths.h"

namespace {

// Enough for any folder a person fills by hand; past that the item is given up.
const int kMaxNameTries = 10000;

}  // namespace

std::wstring CopyName(const std::wstring& name, int n)
{
    return n <= 1 ? L"Copy of " + name : L"Copy (" + std::to_wstring(n) + L") of " + name;
}

std::wstring ShortcutName(const std::wstring& name, int n)
{
    return (n <= 1 ? L"Shortcut to " : L"Shortcut (" + std::to_wstring(n) + L") to ") + name + L".lnk";
}

std::wstring NumberedName(const std::wstring& name, int n)
{
    if (n <= 1) return name;
    const size_t dot = name.find_last_of(L'.');
    const size_t stem = dot != std::wstring::npos && dot > 0 ? dot : name.size();
    return name.substr(0, stem) + L" (" + std::to_wstring(n) + L")" + name.substr(stem);
}

std::wstring NumberedFolderName(const std::wstring& name, int n)
{
    return n <= 1 ? name : name + L" (" + std::to_wstring(n) + L")";
}

std::wstring FirstFreeName(const std::wstring& name, NameForm form, std::set<std::wstring>& taken,
                           const std::function<bool(const std::wstring& candidate)>& isTaken)
{
    for (int n = 1; n <= kMaxNameTries; n++) {
        const std::wstring candidate = form(name, n);
        if (taken.count(PathKey(candidate)) || isTaken(candidate)) continue;
        taken.insert(PathKey(candidate));
        return candidate;
    }
    return std::wstring();
}
