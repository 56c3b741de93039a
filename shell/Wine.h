// Whether the program runs under Wine. Stand-ins for shell behaviour that Wine lacks
// are used only when this says so; on Windows the shell is always called as it is.
#pragma once

// TRUE when ntdll exports wine_get_version, which only Wine's ntdll does.
bool IsRunningUnderWine();

// Wine's version text ("8.0" etc.), or null on Windows.
const char* GetWineVersion();
