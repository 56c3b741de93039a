#include "shell/FolderRemovals.h"

#include <windows.h>

#include <cstring>

namespace {

typedef BOOL(WINAPI* RemoveDirectoryWFn)(LPCWSTR);
typedef BOOL(WINAPI* RemoveDirectoryAFn)(LPCSTR);

const UINT kAboutToGo = WM_APP;
const wchar_t kWindowClass[] = L"FolvaneFolderRemovals";
const DWORD kWaitMs = 2000;

RemoveDirectoryWFn g_pfnRemoveW = nullptr;
RemoveDirectoryAFn g_pfnRemoveA = nullptr;
CFolderRemovalListener* g_pListener = nullptr;
DWORD g_dwListenerThread = 0;
HWND g_hwndListener = nullptr;  // on the listener's thread, for removals made on others

LRESULT CALLBACK ListenerProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == kAboutToGo) {
        if (g_pListener) g_pListener->OnFolderAboutToGo(reinterpret_cast<const wchar_t*>(lParam));
        return 0;
    }
    return ::DefWindowProcW(hWnd, msg, wParam, lParam);
}

void Announce(const std::wstring& path)
{
    if (::GetCurrentThreadId() == g_dwListenerThread) {
        if (g_pListener) g_pListener->OnFolderAboutToGo(path);
        return;
    }
    // The program's file operations run on threads of their own while the listener's thread
    // serves its messages: the removal waits until the listener has let go (or for a while,
    // should that thread be busy).
    HWND hwnd = g_hwndListener;
    DWORD_PTR result = 0;
    if (hwnd) {
        ::SendMessageTimeoutW(hwnd, kAboutToGo, 0, reinterpret_cast<LPARAM>(path.c_str()),
                              SMTO_NORMAL | SMTO_ABORTIFHUNG, kWaitMs, &result);
    }
}

BOOL WINAPI AnnouncedRemoveDirectoryW(LPCWSTR pszPath)
{
    if (pszPath) Announce(pszPath);
    return g_pfnRemoveW(pszPath);
}

BOOL WINAPI AnnouncedRemoveDirectoryA(LPCSTR pszPath)
{
    if (pszPath) {
        wchar_t szWide[MAX_PATH];
        if (::MultiByteToWideChar(CP_ACP, 0, pszPath, -1, szWide, MAX_PATH)) Announce(szWide);
    }
    return g_pfnRemoveA(pszPath);
}

// Points a module's imported call of that name at the replacement; the first original seen
// is kept in *ppOriginal. Returns whether the module imports it.
bool Redirect(HMODULE hModule, const char* pszName, void* pReplacement, void** ppOriginal)
{
    BYTE* pBase = reinterpret_cast<BYTE*>(hModule);
    const IMAGE_DOS_HEADER* pDos = reinterpret_cast<const IMAGE_DOS_HEADER*>(pBase);
    const IMAGE_NT_HEADERS* pNt = reinterpret_cast<const IMAGE_NT_HEADERS*>(pBase + pDos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = pNt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (!imports.VirtualAddress) return false;
    bool bFound = false;
    for (const IMAGE_IMPORT_DESCRIPTOR* pImport = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(pBase + imports.VirtualAddress);
         pImport->Name; pImport++) {
        IMAGE_THUNK_DATA* pBound = reinterpret_cast<IMAGE_THUNK_DATA*>(pBase + pImport->FirstThunk);
        const IMAGE_THUNK_DATA* pNames = reinterpret_cast<const IMAGE_THUNK_DATA*>(
            pBase + (pImport->OriginalFirstThunk ? pImport->OriginalFirstThunk : pImport->FirstThunk));
        for (; pNames->u1.AddressOfData; pNames++, pBound++) {
            if (IMAGE_SNAP_BY_ORDINAL(pNames->u1.Ordinal)) continue;
            const IMAGE_IMPORT_BY_NAME* pByName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(pBase + pNames->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<const char*>(pByName->Name), pszName) != 0) continue;
            void* pCurrent = reinterpret_cast<void*>(pBound->u1.Function);
            if (pCurrent == pReplacement) return true;
            DWORD dwOld = 0;
            if (!::VirtualProtect(&pBound->u1.Function, sizeof(pBound->u1.Function), PAGE_READWRITE, &dwOld)) continue;
            if (!*ppOriginal) *ppOriginal = pCurrent;
            pBound->u1.Function = reinterpret_cast<ULONG_PTR>(pReplacement);
            ::VirtualProtect(&pBound->u1.Function, sizeof(pBound->u1.Function), dwOld, &dwOld);
            bFound = true;
        }
    }
    return bFound;
}

bool RedirectOnce()
{
    static bool s_bDone = false, s_bFollowed = false;
    if (s_bDone) return s_bFollowed;
    s_bDone = true;
    // The program's own removals, and the shell's (its delete, its views' delete).
    const HMODULE modules[] = {::GetModuleHandleW(nullptr), ::GetModuleHandleW(L"shell32.dll")};
    bool bW = false;
    for (HMODULE hModule : modules) {
        if (!hModule) continue;
        bW = Redirect(hModule, "RemoveDirectoryW", reinterpret_cast<void*>(&AnnouncedRemoveDirectoryW),
                      reinterpret_cast<void**>(&g_pfnRemoveW)) || bW;
        Redirect(hModule, "RemoveDirectoryA", reinterpret_cast<void*>(&AnnouncedRemoveDirectoryA),
                 reinterpret_cast<void**>(&g_pfnRemoveA));
    }
    s_bFollowed = bW;
    return s_bFollowed;
}

}  // namespace

bool ListenForFolderRemovals(CFolderRemovalListener* pListener)
{
    g_pListener = pListener;
    if (!pListener) {
        if (g_hwndListener) ::DestroyWindow(g_hwndListener);
        g_hwndListener = nullptr;
        return true;
    }
    g_dwListenerThread = ::GetCurrentThreadId();
    if (!g_hwndListener) {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = ListenerProc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = kWindowClass;
        ::RegisterClassW(&wc);  // fails harmlessly when already registered
        g_hwndListener = ::CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    }
    return RedirectOnce();
}
