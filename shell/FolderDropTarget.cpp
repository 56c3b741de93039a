#include "shell/FolderDropTarget.h"

#include "shell/Wine.h"
#include "shell/WineFolderDropTarget.h"

HRESULT GetFolderDropTarget(HWND hwndOwner, IShellFolder* pParent, LPCITEMIDLIST pidlRel, IDropTarget** ppTarget)
{
    if (IsRunningUnderWine()) return GetWineFolderDropTarget(hwndOwner, pParent, pidlRel, ppTarget);
    return pParent->GetUIObjectOf(hwndOwner, 1, &pidlRel, IID_IDropTarget, nullptr, reinterpret_cast<void**>(ppTarget));
}
