// Whether the program runs under Wine. Stand-ins for shell behaviour that Wine lacks
// are used only when this says so; on Windows the shell is always called as it is.
// Only shell/ asks: each call the rest of the program makes there (the drop target of a
// folder, a shell view's command, ...) chooses for itself.
#pragma once

// TRUE when ntdll exports wine_get_version, which only Wine's ntdll does (unless a test
// has forced the answer).
bool IsRunningUnderWine();

// Wine's version text ("8.0" etc.), or null on Windows.
const char* GetWineVersion();

// Tests force the answer of IsRunningUnderWine to take the Windows path (or the Wine
// path) whatever the platform; Detect goes back to asking ntdll. The program never calls it.
enum class WineCheck { Detect, Wine, Windows };
void SetWineCheckForTesting(WineCheck check);
