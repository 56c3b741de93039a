// Keys in the explorer view before they are translated: a name being edited keeps its keys,
// keys in the tree act on its folder, the shell view sees the rest first, Enter and Backspace
// open and go up, and the edit keys become Edit commands where the shell view takes none of
// them.
#include "view/FolvaneView.h"

#include "shell/ShellViewCommands.h"
#include "shell/ShellViewList.h"

BOOL CFolvaneView::TreeHasFocus() const
{
    return m_tree.m_hWnd && ::GetFocus() == m_tree.m_hWnd;
}

BOOL CFolvaneView::PreTranslateMessage(MSG* pMsg)
{
    // While a name is being edited, in the tree or in the list, the keys are the editor's:
    // neither the shell view, the form's dialog keys (Enter, Escape) nor the frame's
    // accelerators (Ctrl+C, Ctrl+V) may take them.
    if (pMsg->message == WM_KEYDOWN || pMsg->message == WM_KEYUP || pMsg->message == WM_CHAR) {
        HWND hFocus = ::GetFocus();
        char cls[16] = "";
        if (hFocus && ::IsChild(m_hWnd, hFocus) && ::GetClassNameA(hFocus, cls, sizeof(cls)) &&
            lstrcmpiA(cls, "Edit") == 0) {
            ::TranslateMessage(pMsg);
            ::DispatchMessageW(pMsg);
            return TRUE;
        }
    }
    // With the tree focused its keys act on its selected folder: F2 renames it and the edit
    // keys do what the Edit menu does (OnShellCommand gives them to the tree), before the
    // frame's accelerators (whose Cut, Copy and Paste have no handler) see them.
    if (pMsg->message == WM_KEYDOWN && TreeHasFocus()) {
        const bool bModifier = ::GetKeyState(VK_CONTROL) < 0 || ::GetKeyState(VK_MENU) < 0 || ::GetKeyState(VK_SHIFT) < 0;
        if (pMsg->wParam == VK_F2 && !bModifier) {
            if (HTREEITEM hSelected = m_tree.GetSelectedItem()) m_tree.EditLabel(hSelected);
            return TRUE;
        }
        const UINT nID = CShellViewCommands::EditCommandForKey(pMsg->wParam);
        if (nID == ID_SHELL_EDIT_CUT || nID == ID_SHELL_EDIT_COPY || nID == ID_SHELL_EDIT_PASTE) {
            OnShellCommand(nID);
            return TRUE;
        }
    }
    // The shell view sees keys first, unless the tree has the focus.
    if (m_pShellView && ::GetFocus() != m_tree.m_hWnd && m_pShellView->TranslateAccelerator(pMsg) == S_OK) {
        return TRUE;
    }
    // Enter opens the selected sub-folder in this window and Backspace goes up, as in the
    // shell's own folder windows; the shell view takes neither for itself here.
    if (pMsg->message == WM_KEYDOWN && (pMsg->wParam == VK_RETURN || pMsg->wParam == VK_BACK) && m_hwndShellView &&
        ::GetKeyState(VK_CONTROL) >= 0 && ::GetKeyState(VK_MENU) >= 0 && ::GetKeyState(VK_SHIFT) >= 0 &&
        CShellViewList(m_pShellView, m_hwndShellView).ListHasFocus()) {
        if (pMsg->wParam == VK_BACK) {
            OnUpOneLevel();
            return TRUE;
        }
        if (OpenSelectedSubFolder()) return TRUE;
        // Anything else is the list's to open, with its default verb.
        ::TranslateMessage(pMsg);
        ::DispatchMessageW(pMsg);
        return TRUE;
    }
    // Where the view takes none of its edit keys, in its list they do what the Edit menu
    // does, before the frame's accelerators (whose Cut, Copy and Paste have no handler) see them.
    if (pMsg->message == WM_KEYDOWN && m_hwndShellView) {
        if (UINT nID = CShellViewCommands(m_pShellView, m_hwndShellView).CommandForKey(pMsg->wParam)) {
            OnShellCommand(nID);
            return TRUE;
        }
    }
    return CFormView::PreTranslateMessage(pMsg);
}
