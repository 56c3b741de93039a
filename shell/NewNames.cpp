#include "shell/NewNames.h"

#include <windows.h>

namespace {

const size_t kMaxComponent = 255;

bool IsForbidden(wchar_t ch)
{
    return ch < 0x20 || wcschr(L"\\/:*?\"<>|", ch) != nullptr;
}

}  // namespace

NameProblem CheckNewName(const std::wstring& folder, const std::wstring& name)
{
    for (wchar_t ch : name) {
        if (IsForbidden(ch)) return NameProblem::Forbidden;
    }
    if (!name.empty() && (name.back() == L'.' || name.back() == L' ')) return NameProblem::TrailingDot;
    // The path with its separator and terminator within MAX_PATH characters.
    const size_t cchSeparator = folder.empty() || folder.back() == L'\\' ? 0 : 1;
    if (name.size() > kMaxComponent || folder.size() + cchSeparator + name.size() >= MAX_PATH) return NameProblem::TooLong;
    return NameProblem::None;
}

const wchar_t* DescribeNameProblem(NameProblem problem)
{
    switch (problem) {
    case NameProblem::Forbidden: return L"A name cannot contain any of these characters: \\ / : * ? \" < > |";
    case NameProblem::TrailingDot: return L"A name cannot end with a dot or a blank.";
    case NameProblem::TooLong: return L"The name is too long for this folder.";
    case NameProblem::None: break;
    }
    return L"";
}
