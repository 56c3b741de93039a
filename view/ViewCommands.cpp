// The shell view's own commands from the menus, keys and toolbar (identifiers below 0x8000):
// carried out as the system's view needs (CShellViewCommands), with the program's part of
// them, pasting files into the folder on show and telling the user a dialog cannot show.
#include "view/FolvaneView.h"

#include <string>

#include "framework/WinApp.h"
#include "res/resource.h"
#include "shell/ClipboardFiles.h"
#include "shell/DiskFolders.h"
#include "shell/ItemNames.h"
#include "shell/ShellViewCommands.h"

void CFolvaneView::OnShellCommand(UINT nID)
{
    // From the menu as from the keys: the focused pane is the one the command is for.
    if (TreeHasFocus() && DoTreeEditCommand(nID)) return;
    if (!m_hwndShellView) return;
    switch (CShellViewCommands(m_pShellView, m_hwndShellView).Execute(nID, m_hWnd)) {
    case CShellViewCommands::kDone: break;
    case CShellViewCommands::kPasteFiles: PasteClipboardFiles(FALSE); break;
    case CShellViewCommands::kPasteShortcuts: PasteClipboardFiles(TRUE); break;
    case CShellViewCommands::kMapDriveUnavailable:
        AfxMessageBox(IDS_MAP_DRIVE_UNAVAILABLE, MB_OK | MB_ICONINFORMATION);
        break;
    case CShellViewCommands::kDisconnectDriveUnavailable:
        AfxMessageBox(IDS_DISCONNECT_DRIVE_UNAVAILABLE, MB_OK | MB_ICONINFORMATION);
        break;
    }
    // Wine's view changes its list's mode without painting it again: rows of the old mode
    // would stay on the screen beside the new layout until something repaints them.
    if (nID >= ID_SHELL_VIEW_LARGE_ICONS && nID <= ID_SHELL_VIEW_REPORT && m_hwndShellView)
        ::RedrawWindow(m_hwndShellView, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

BOOL CFolvaneView::DoTreeEditCommand(UINT nID)
{
    switch (nID) {
    case ID_SHELL_EDIT_CUT:
    case ID_SHELL_EDIT_COPY: {
        HTREEITEM hSelected = m_tree.GetSelectedItem();
        if (!hSelected ||
            FAILED(m_tree.PutItemOnClipboard(hSelected, nID == ID_SHELL_EDIT_CUT ? DROPEFFECT_MOVE : DROPEFFECT_COPY)))
            ::MessageBeep(MB_OK);
        return TRUE;
    }
    case ID_SHELL_FILE_DELETE:
        if (HTREEITEM hSelected = m_tree.GetSelectedItem()) m_tree.DeleteFolderItem(hSelected);
        return TRUE;
    // The tree's selected folder is the one on show: pasting there is the same paste.
    case ID_SHELL_EDIT_PASTE: PasteClipboardFiles(FALSE); return TRUE;
    case ID_SHELL_EDIT_PASTE_SHORTCUT: PasteClipboardFiles(TRUE); return TRUE;
    default: return FALSE;
    }
}

void CFolvaneView::OnUpdateShellCommand(CCmdUI* pCmdUI)
{
    // Without a record of file operations there is nothing to undo.
    if (pCmdUI->m_nID == ID_SHELL_EDIT_UNDO && !CShellViewCommands::CanUndo()) {
        pCmdUI->Enable(FALSE);
        return;
    }
    const UINT nID = pCmdUI->m_nID;
    // The view mode on show is marked, in the View menu and on the toolbar alike.
    if (nID >= ID_SHELL_VIEW_LARGE_ICONS && nID <= ID_SHELL_VIEW_REPORT) {
        FOLDERSETTINGS fs = {};
        const BOOL bKnown = m_pShellView && SUCCEEDED(m_pShellView->GetCurrentInfo(&fs));
        pCmdUI->SetRadio(bKnown && fs.ViewMode == FVM_ICON + (nID - ID_SHELL_VIEW_LARGE_ICONS));
    }
    // Cut, Copy, Delete and Properties in the list need something selected there (the tree,
    // focused, has its own selected folder for the first three).
    const BOOL bForTree = TreeHasFocus() && nID != ID_SHELL_FILE_PROPERTIES;
    if (m_hwndShellView && !bForTree && CShellViewCommands(m_pShellView, m_hwndShellView).LacksSelection(nID)) {
        pCmdUI->Enable(FALSE);
        return;
    }
    // With a shell view the framework's default (a handler exists) enables it as well.
    if (!m_hwndShellView) pCmdUI->Enable(TRUE);
}

void CFolvaneView::PasteClipboardFiles(BOOL bShortcuts)
{
    const FolderItemData* pData = m_tree.m_hWnd ? m_tree.GetItemRecord(m_tree.GetSelectedItem()) : nullptr;
    std::wstring strFolder;
    if (!pData || !GetChildParsingName(pData->pFolder, pData->pidlRel, strFolder)) {
        ::MessageBeep(MB_OK);
        return;
    }
    PasteClipboardFilesInto(strFolder, bShortcuts);
}

void CFolvaneView::PasteClipboardFilesInto(const std::wstring& strFolder, BOOL bShortcuts)
{
    // Only a folder on disk takes files.
    CClipboardFiles files;
    if (!DiskFolderExists(strFolder.c_str()) || !files.Read()) {
        ::MessageBeep(MB_OK);
        return;
    }
    // The operation asks its questions modally; this window may go meanwhile.
    const TransferResult result = bShortcuts ? files.PasteShortcutsInto(m_hWnd, strFolder) : files.PasteInto(m_hWnd, strFolder);
    // What was done before a failure or a cancel stays done: show it all the same.
    if (result.AnyDone()) ShowFoldersChanged(FoldersTouchedBy(files.GetFiles(), strFolder));
}
