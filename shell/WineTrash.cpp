#include "shell/WineTrash.h"

#include <shellapi.h>
#include <shlobj.h>

#include <initializer_list>

#include "shell/TransferResult.h"

namespace {

typedef WCHAR*(CDECL* DosFileNameFn)(const char*);

// The trash folder as this program names it, or empty where the host names none: under
// $XDG_DATA_HOME, else under ~/.local/share.
std::wstring TrashFolder()
{
    char szBase[MAX_PATH] = "";
    std::string unixPath;
    DWORD n = ::GetEnvironmentVariableA("XDG_DATA_HOME", szBase, MAX_PATH);
    if (n && n < MAX_PATH && szBase[0] == '/') {
        unixPath = std::string(szBase) + "/Trash";
    } else {
        n = ::GetEnvironmentVariableA("HOME", szBase, MAX_PATH);
        if (!n || n >= MAX_PATH || szBase[0] != '/') return std::wstring();
        unixPath = std::string(szBase) + "/.local/share/Trash";
    }
    DosFileNameFn pfnDosName = reinterpret_cast<DosFileNameFn>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "wine_get_dos_file_name")));
    WCHAR* pszDos = pfnDosName ? pfnDosName(unixPath.c_str()) : nullptr;
    if (!pszDos) return std::wstring();
    std::wstring folder = pszDos;
    ::HeapFree(::GetProcessHeap(), 0, pszDos);
    return folder;
}

bool IsFolder(const std::wstring& path)
{
    const DWORD dwAttrs = ::GetFileAttributesW(path.c_str());
    return dwAttrs != INVALID_FILE_ATTRIBUTES && (dwAttrs & FILE_ATTRIBUTE_DIRECTORY);
}

// Whether the trash's folders are there or can be made.
bool TrashCanTakeItems()
{
    const std::wstring trash = TrashFolder();
    if (trash.empty()) return false;
    for (const wchar_t* pszSub : {L"\\files", L"\\info"}) {
        const std::wstring folder = trash + pszSub;
        if (!IsFolder(folder)) ::SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);
        if (!IsFolder(folder)) return false;
    }
    return true;
}

}  // namespace

DWORD RecycleUnderWine(const std::wstring& path)
{
    if (!TrashCanTakeItems()) return kErrorNoTrash;
    std::wstring from = path;
    from += L'\0';
    SHFILEOPSTRUCTW op = {};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    // The program has asked already; a failure comes back to it to tell.
    op.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;
    if (const int nResult = ::SHFileOperationW(&op)) return static_cast<DWORD>(nResult);
    return ::GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES ? 0 : kErrorNotDone;
}
