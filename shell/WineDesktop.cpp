#include "shell/WineDesktop.h"

#include <winnetwk.h>

namespace {

// shell32 exports the Run dialog by ordinal only; on NT systems it takes wide text.
typedef void(WINAPI* RunFileDlgFn)(HWND hwndOwner, HICON hIcon, LPCWSTR pszDirectory, LPCWSTR pszTitle,
                                   LPCWSTR pszDescription, UINT uFlags);
const WORD kRunFileDlgOrdinal = 61;

typedef DWORD(WINAPI* NetDialogFn)(HWND hwnd, DWORD dwType);

DWORD CallNetDialog(const char* pszName, HWND hwndOwner)
{
    HMODULE hMpr = ::LoadLibraryA("mpr.dll");
    if (!hMpr) return ERROR_MOD_NOT_FOUND;
    NetDialogFn pfn = reinterpret_cast<NetDialogFn>(reinterpret_cast<void*>(::GetProcAddress(hMpr, pszName)));
    DWORD result = pfn ? pfn(hwndOwner, RESOURCETYPE_DISK) : ERROR_PROC_NOT_FOUND;
    ::FreeLibrary(hMpr);
    return result;
}

BOOL CALLBACK MinimizeOne(HWND hWnd, LPARAM lParam)
{
    if (!::IsWindowVisible(hWnd) || ::IsIconic(hWnd)) return TRUE;
    if (!(::GetWindowLongA(hWnd, GWL_STYLE) & WS_MINIMIZEBOX)) return TRUE;
    // A window of another thread answers when it can; a hung program holds nobody up.
    if (::GetWindowThreadProcessId(hWnd, nullptr) == ::GetCurrentThreadId()) {
        ::ShowWindow(hWnd, SW_MINIMIZE);
    } else {
        ::ShowWindowAsync(hWnd, SW_MINIMIZE);
    }
    ++*reinterpret_cast<int*>(lParam);
    return TRUE;
}

}  // namespace

BOOL CWineDesktop::ShowRunDialog(HWND hwndOwner)
{
    HMODULE hShell = ::LoadLibraryA("shell32.dll");
    if (!hShell) return FALSE;
    RunFileDlgFn pfn = reinterpret_cast<RunFileDlgFn>(
        reinterpret_cast<void*>(::GetProcAddress(hShell, MAKEINTRESOURCEA(kRunFileDlgOrdinal))));
    if (pfn) pfn(hwndOwner, nullptr, nullptr, nullptr, nullptr, 0);
    ::FreeLibrary(hShell);
    return pfn != nullptr;
}

int CWineDesktop::MinimizeAll()
{
    int nAsked = 0;
    ::EnumWindows(&MinimizeOne, reinterpret_cast<LPARAM>(&nAsked));
    return nAsked;
}

DWORD CWineDesktop::ConnectNetworkDrive(HWND hwndOwner)
{
    return CallNetDialog("WNetConnectionDialog", hwndOwner);
}

DWORD CWineDesktop::DisconnectNetworkDrive(HWND hwndOwner)
{
    return CallNetDialog("WNetDisconnectDialog", hwndOwner);
}

BOOL CWineDesktop::IsUnavailable(DWORD dwResult)
{
    switch (dwResult) {
    case ERROR_NO_NETWORK:
    case ERROR_NOT_SUPPORTED:
    case ERROR_CALL_NOT_IMPLEMENTED:
    case ERROR_MOD_NOT_FOUND:
    case ERROR_PROC_NOT_FOUND:
        return TRUE;
    default:
        return FALSE;
    }
}
