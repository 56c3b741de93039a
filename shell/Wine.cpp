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

}  // namespace

bool IsRunningUnderWine()
{
    return FindWineGetVersion() != nullptr;
}

const char* GetWineVersion()
{
    WineGetVersionFn pfn = FindWineGetVersion();
    return pfn ? pfn() : nullptr;
}
