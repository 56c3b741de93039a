#include "shell/DesktopCommands.h"

#include "shell/Wine.h"
#include "shell/WineDesktop.h"

BOOL CDesktopCommands::ShowRunDialogStandIn(HWND hwndOwner)
{
    return IsRunningUnderWine() && CWineDesktop::ShowRunDialog(hwndOwner);
}

BOOL CDesktopCommands::MinimizeAllStandIn()
{
    if (!IsRunningUnderWine()) return FALSE;
    CWineDesktop::MinimizeAll();
    return TRUE;
}

bool CDesktopCommands::SearchesMayBeMissing()
{
    return IsRunningUnderWine();
}
