// Wide text from the program's 8-bit text, for the calls that only take wide names.
// Header only, so that benchmarks, which do not link the test support, can use it too.
#pragma once

#include <windows.h>

#include <string>

// The text in the ANSI code page, widened.
inline std::wstring Widen(const std::string& text)
{
    const int n = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    if (n <= 1) return std::wstring();
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &wide[0], n);
    wide.resize(static_cast<size_t>(n - 1));
    return wide;
}
