#include "shell/ShellViewCommands.h"

#include "shell/ShellViewList.h"
#include "shell/Wine.h"
#include "shell/WineDesktop.h"

CShellViewCommands::Outcome CShellViewCommands::Execute(UINT nID, HWND hwndOwner) const
{
    if (IsRunningUnderWine()) {
        CShellViewList view(m_pView, m_hwndView);
        switch (nID) {
        case ID_SHELL_EDIT_SELECT_ALL: view.SelectAll(); return kDone;
        case ID_SHELL_EDIT_INVERT_SELECTION: view.InvertSelection(); return kDone;
        case ID_SHELL_ARRANGE_NAME: view.ArrangeBy(CShellViewList::Name); return kDone;
        case ID_SHELL_ARRANGE_SIZE: view.ArrangeBy(CShellViewList::Size); return kDone;
        case ID_SHELL_ARRANGE_TYPE: view.ArrangeBy(CShellViewList::Type); return kDone;
        case ID_SHELL_ARRANGE_DATE: view.ArrangeBy(CShellViewList::Date); return kDone;
        case ID_SHELL_EDIT_COPY: view.PutSelectionOnClipboard(DROPEFFECT_COPY); return kDone;
        case ID_SHELL_EDIT_CUT: view.PutSelectionOnClipboard(DROPEFFECT_MOVE); return kDone;
        case ID_SHELL_EDIT_PASTE: return kPasteFiles;
        case ID_SHELL_EDIT_PASTE_SHORTCUT: return kPasteShortcuts;
        case ID_SHELL_EDIT_UNDO: return kDone;  // nothing to undo (and the item is grey)
        case ID_SHELL_FILE_DELETE: view.InvokeOnSelection("delete", hwndOwner); return kDone;
        case ID_SHELL_FILE_PROPERTIES: view.InvokeOnSelection("properties", hwndOwner); return kDone;
        case ID_SHELL_MAP_DRIVE:
            return CWineDesktop::IsUnavailable(CWineDesktop::ConnectNetworkDrive(hwndOwner)) ? kMapDriveUnavailable
                                                                                              : kDone;
        case ID_SHELL_DISCONNECT_DRIVE:
            return CWineDesktop::IsUnavailable(CWineDesktop::DisconnectNetworkDrive(hwndOwner))
                       ? kDisconnectDriveUnavailable
                       : kDone;
        }
        // The view modes and the rest: Wine's view does them.
    }
    // The identifier alone, whatever issued it: menu, key or toolbar button.
    ::SendMessageA(m_hwndView, WM_COMMAND, nID, 0);
    return kDone;
}

UINT CShellViewCommands::CommandForKey(WPARAM vk) const
{
    if (!IsRunningUnderWine() || !CShellViewList(m_pView, m_hwndView).ListHasFocus()) return 0;
    return EditCommandForKey(vk);
}

UINT CShellViewCommands::EditCommandForKey(WPARAM vk)
{
    const bool bCtrl = ::GetKeyState(VK_CONTROL) < 0, bShift = ::GetKeyState(VK_SHIFT) < 0, bAlt = ::GetKeyState(VK_MENU) < 0;
    if (bAlt) return 0;
    if (bCtrl && !bShift) {
        switch (vk) {
        case 'X': return ID_SHELL_EDIT_CUT;
        case 'C': case VK_INSERT: return ID_SHELL_EDIT_COPY;
        case 'V': return ID_SHELL_EDIT_PASTE;
        case 'A': return ID_SHELL_EDIT_SELECT_ALL;
        }
    } else if (bShift && !bCtrl) {
        switch (vk) {
        case VK_DELETE: return ID_SHELL_EDIT_CUT;
        case VK_INSERT: return ID_SHELL_EDIT_PASTE;
        }
    }
    return 0;
}

bool CShellViewCommands::CanUndo()
{
    return !IsRunningUnderWine();
}

bool CShellViewCommands::LacksSelection(UINT nID) const
{
    // Windows' view keeps the state of its commands itself.
    if (!IsRunningUnderWine()) return false;
    switch (nID) {
    case ID_SHELL_EDIT_CUT:
    case ID_SHELL_EDIT_COPY:
    case ID_SHELL_FILE_DELETE:
    case ID_SHELL_FILE_PROPERTIES: return !CShellViewList(m_pView, m_hwndView).HasSelection();
    default: return false;
    }
}

bool CShellViewCommands::ShowsTransfersItself()
{
    return !IsRunningUnderWine();
}
