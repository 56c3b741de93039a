#include "shell/AnsiNames.h"

#include <windows.h>

namespace {

// Short forms are asked for only where the plain form will not do; they never hold a comma.
bool CarriesPath(const std::string& ansi, const std::wstring& wide)
{
    return ansi.size() < MAX_PATH && ansi.find(',') == std::string::npos && WideOf(ansi.c_str()) == wide;
}

}  // namespace

std::string AnsiOf(const std::wstring& text)
{
    if (text.empty()) return std::string();
    const int cb = ::WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    if (cb <= 0) return std::string();
    std::string result(static_cast<size_t>(cb), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), &result[0], cb, nullptr, nullptr);
    return result;
}

std::wstring WideOf(const char* pszText)
{
    if (!pszText || !*pszText) return std::wstring();
    const int cch = ::MultiByteToWideChar(CP_ACP, 0, pszText, -1, nullptr, 0);
    if (cch <= 1) return std::wstring();
    std::wstring result(static_cast<size_t>(cch), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, pszText, -1, &result[0], cch);
    result.resize(static_cast<size_t>(cch - 1));
    return result;
}

bool FitsCodePage(const std::wstring& text)
{
    return WideOf(AnsiOf(text).c_str()) == text;
}

std::string AnsiPathFor(const std::wstring& path)
{
    const std::string plain = AnsiOf(path);
    if (CarriesPath(plain, path)) return plain;
    const DWORD cch = ::GetShortPathNameW(path.c_str(), nullptr, 0);
    if (cch > 1) {
        std::wstring shortPath(cch, L'\0');
        const DWORD n = ::GetShortPathNameW(path.c_str(), &shortPath[0], cch);
        shortPath.resize(n < cch ? n : 0);
        const std::string shortText = AnsiOf(shortPath);
        if (!shortPath.empty() && CarriesPath(shortText, shortPath)) return shortText;
    }
    return plain;
}

std::wstring LongPathOf(const char* pszPath)
{
    const std::wstring wide = WideOf(pszPath);
    // Only a short form differs from its long one; other paths are not looked up.
    if (wide.find(L'~') == std::wstring::npos) return wide;
    const DWORD cch = ::GetLongPathNameW(wide.c_str(), nullptr, 0);
    if (cch <= 1) return wide;
    std::wstring longPath(cch, L'\0');
    const DWORD n = ::GetLongPathNameW(wide.c_str(), &longPath[0], cch);
    if (!n || n >= cch) return wide;
    longPath.resize(n);
    return longPath;
}
