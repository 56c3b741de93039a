// Folders changed by the program's own transfers (a drop onto the tree, a paste): every
// browser window showing one of them shows it again, where its shell view does not follow
// such changes by itself.
#include "view/FolvaneView.h"

#include <string>
#include <vector>

#include "framework/FrameWnd.h"
#include "framework/WinApp.h"
#include "shell/ItemNames.h"
#include "shell/Paths.h"
#include "shell/ShellViewCommands.h"

std::vector<std::wstring> CFolvaneView::FoldersTouchedBy(const std::vector<std::wstring>& files,
                                                          const std::wstring& strTarget)
{
    std::vector<std::wstring> folders;
    if (!strTarget.empty()) folders.push_back(strTarget);
    for (const std::wstring& strFile : files) {
        // One still there was copied: its folder is as it was.
        if (::GetFileAttributesW(strFile.c_str()) != INVALID_FILE_ATTRIBUTES) continue;
        std::wstring strParent = ParentOf(strFile);
        if (!strParent.empty()) folders.push_back(strParent);
    }
    return folders;
}

void CFolvaneView::ShowFoldersChanged(const std::vector<std::wstring>& folders)
{
    // A shell view that follows the shell's notices by itself, as the tree does, needs no help.
    CMDIFrameWnd* pMain = dynamic_cast<CMDIFrameWnd*>(AfxGetMainWnd());
    if (CShellViewCommands::ShowsTransfersItself() || folders.empty() || !pMain) return;
    for (CFrameWnd* pFrame : pMain->GetMDIChildFrames()) {
        CFolvaneView* pView = dynamic_cast<CFolvaneView*>(pFrame->GetActiveView());
        if (!pView || !pView->m_pShellView) continue;
        const FolderItemData* pShown = pView->m_tree.GetItemRecord(pView->m_tree.GetSelectedItem());
        std::wstring strShown;
        if (!pShown || !pShown->pFolder || !GetChildParsingName(pShown->pFolder, pShown->pidlRel, strShown)) continue;
        for (const std::wstring& strFolder : folders) {
            if (SamePath(strFolder, strShown)) {
                pView->m_pShellView->Refresh();
                break;
            }
        }
    }
}
