#include "support/TestTrash.h"

#include <windows.h>

#include "support/WideText.h"

void UseTestTrash(const std::string& windowsPath)
{
    typedef char*(CDECL * UnixNameFn)(LPCWSTR);
    UnixNameFn pfnUnixName = reinterpret_cast<UnixNameFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    if (!pfnUnixName) return;
    const std::wstring path = Widen(windowsPath);
    CreateDirectoryW(path.c_str(), nullptr);
    if (char* pszUnix = pfnUnixName(path.c_str())) {
        SetEnvironmentVariableA("XDG_DATA_HOME", pszUnix);
        HeapFree(GetProcessHeap(), 0, pszUnix);
    }
}
