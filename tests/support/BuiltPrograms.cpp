#include "support/BuiltPrograms.h"

#include <windows.h>

std::string TestsFolder()
{
    char path[MAX_PATH] = "";
    const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, n);
    folder.erase(folder.find_last_of("\\/") + 1);
    return folder;
}

std::string FixtureProgram(const std::string& name)
{
    return TestsFolder() + "fixtures\\fixture_" + name + ".exe";
}
