#include "shell/Wine.h"

#include <windows.h>

namespace {

typedef const char*(__cdecl* WineGetVersionFn)();

WineGetVersionFn FindWineGetVersion()
{
    // ntdll is mapped into every process, so no LoadLibrary (and no FreeLibrary) is needed.
    HMODULE hNtdll = GetModuleHandleA("ntdll.dll");
    if (!hNtdll) return nullptr;
    return reinterpret_cast<WineGetVersionFn>(
        reinterpret_cast<void*>(GetProcAddress(hNtdll, "wine_get_version")));
}

// Written only by tests, on the user-interface thread, before the code they drive runs.
WineCheck g_forced = WineCheck::Detect;

}  // namespace

bool IsRunningUnderWine()
{
    // Asked of ntdll once: the answer cannot change while the program runs.
    static const bool s_bWine = FindWineGetVersion() != nullptr;
    if (g_forced != WineCheck::Detect) return g_forced == WineCheck::Wine;
    return s_bWine;
}

const char* GetWineVersion()
{
    WineGetVersionFn pfn = FindWineGetVersion();
    return pfn ? pfn() : nullptr;
}

void SetWineCheckForTesting(WineCheck check)
{
    g_forced = check;
}
