// What the user does with the items found: opens them (a folder in a browser window of this
// program, a file with its default verb), shows one in its folder, copies them to the
// clipboard and drags them, as the shell's own items are copied and dragged.
#include "find/FindWindow.h"

#include <shellapi.h>

#include "find/FindInput.h"
#include "framework/Document.h"
#include "framework/OleDropSource.h"
#include "framework/View.h"
#include "framework/WinApp.h"
#include "res/Messages.h"
#include "shell/AnsiNames.h"
#include "shell/ComPtr.h"
#include "shell/PathItems.h"

namespace {

// Opening more items than this at once is asked about first.
const size_t kOpenWithoutAsking = 15;

// The text that opens a folder as a browser window's document: the document's text ends
// its folder at the first comma and holds only the code page's characters.
CString DocumentTextFor(const std::wstring& folder)
{
    return CString(AnsiPathFor(folder).c_str());
}

// Opens (or brings forward) the browser window on a folder, and the main window with it:
// the find window is a window of its own and may lie above.
CDocument* OpenBrowserWindow(const std::wstring& folder)
{
    CWinApp* pApp = AfxGetApp();
    CDocument* pDoc = pApp ? pApp->OpenDocumentFile(DocumentTextFor(folder)) : nullptr;
    CWnd* pMain = AfxGetMainWnd();
    if (pDoc && pMain && pMain->m_hWnd) {
        if (pMain->IsIconic()) pMain->ShowWindow(SW_RESTORE);
        ::SetForegroundWindow(pMain->m_hWnd);
    }
    return pDoc;
}

}  // namespace

void CFindWindow::OnOpenItems()
{
    std::vector<size_t> rows = SelectedRows();
    if (rows.empty()) return;
    if (rows.size() > kOpenWithoutAsking) {
        CString format, question;
        format.LoadString(IDS_FIND_OPEN_MANY);
        question.Format(format, static_cast<int>(rows.size()));
        if (MessageBox(question, nullptr, MB_YESNO | MB_ICONQUESTION) != IDYES) return;
    }
    for (size_t row : rows) {
        // A window this opens may take this one's place at the front; the rows stay.
        const CFoundItem item = m_rows[row].item;
        if (item.IsFolder()) {
            OpenBrowserWindow(item.path);
            continue;
        }
        const std::wstring folder = item.Folder();
        SHELLEXECUTEINFOW info = {};
        info.cbSize = sizeof(info);
        info.hwnd = m_hWnd;
        info.lpFile = item.path.c_str();
        info.lpDirectory = folder.c_str();
        info.nShow = SW_SHOWNORMAL;
        // The shell says itself when nothing can open the file.
        ::ShellExecuteExW(&info);
    }
}

void CFindWindow::OnOpenContainingFolder()
{
    const int nFocus = ListView_GetNextItem(List(), -1, LVNI_FOCUSED | LVNI_SELECTED);
    const int nItem = nFocus >= 0 ? nFocus : ListView_GetNextItem(List(), -1, LVNI_SELECTED);
    if (nItem < 0 || static_cast<size_t>(nItem) >= m_order.size()) return;
    const CFoundItem item = m_rows[m_order[static_cast<size_t>(nItem)]].item;
    CDocument* pDoc = OpenBrowserWindow(item.Folder());
    CView* pView = pDoc ? pDoc->GetFirstView() : nullptr;
    if (!pView) return;
    // The browser window's shell view shows the folder; the item is selected in it.
    IShellBrowser* pBrowser = reinterpret_cast<IShellBrowser*>(pView->SendMessage(CWM_GETISHELLBROWSER));
    CComPtr<IShellView> pShellView;
    if (pBrowser && SUCCEEDED(pBrowser->QueryActiveShellView(pShellView.Put())) && pShellView) {
        SelectPathInShellView(pShellView, item.path);
    }
}

void CFindWindow::OnCopy()
{
    const std::vector<size_t> rows = SelectedRows();
    if (rows.empty()) return;
    CComPtr<IDataObject> pData;
    if (SUCCEEDED(CreatePathsDataObject(m_hWnd, PathsOf(rows), DROPEFFECT_COPY, pData.Put()))) {
        ::OleSetClipboard(pData);
    }
}

void CFindWindow::OnBeginDrag(NMHDR*, LRESULT*)
{
    const std::vector<size_t> rows = SelectedRows();
    if (rows.empty()) return;
    CComPtr<IDataObject> pData;
    if (FAILED(CreatePathsDataObject(m_hWnd, PathsOf(rows), DROPEFFECT_COPY, pData.Put()))) return;
    DWORD dwEffect = DROPEFFECT_NONE;
    COleDropSource::DoDragDrop(pData, DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK, &dwEffect);
    // Items moved elsewhere are no longer where the list says. A target that did the move
    // itself answers "none" (so that no source deletes): the disk tells, whatever the effect.
    RemoveGone(rows);
}

void CFindWindow::OnDoubleClick(NMHDR* pNMHDR, LRESULT*)
{
    if (reinterpret_cast<NMITEMACTIVATE*>(pNMHDR)->iItem >= 0) OnOpenItems();
}

void CFindWindow::OnListKeyDown(NMHDR* pNMHDR, LRESULT*)
{
    const WORD vk = reinterpret_cast<NMLVKEYDOWN*>(pNMHDR)->wVKey;
    const bool bCtrl = ::GetKeyState(VK_CONTROL) < 0, bShift = ::GetKeyState(VK_SHIFT) < 0;
    if (bCtrl && !bShift && (vk == 'C' || vk == VK_INSERT)) {
        OnCopy();
    } else if (bCtrl && !bShift && vk == 'A') {
        ListView_SetItemState(List(), -1, LVIS_SELECTED, LVIS_SELECTED);
    }
}

LRESULT CFindWindow::OnContextMenu(WPARAM wParam, LPARAM lParam)
{
    HWND hList = List();
    if (reinterpret_cast<HWND>(wParam) != hList) return Default();
    POINT pt = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    if (pt.x == -1 && pt.y == -1) {
        // From the keyboard: at the focused item, or the list's corner.
        RECT rc = {0, 0, 0, 0};
        const int nFocus = ListView_GetNextItem(hList, -1, LVNI_FOCUSED);
        if (nFocus < 0 || !ListView_GetItemRect(hList, nFocus, &rc, LVIR_LABEL)) ::SetRect(&rc, 0, 0, 0, 0);
        pt = {rc.left, rc.bottom};
        ::ClientToScreen(hList, &pt);
    }
    HMENU hMenu = ::LoadMenuA(AfxFindResourceHandle(MAKEINTRESOURCEA(IDR_FIND_MENU), RT_MENU),
                              MAKEINTRESOURCEA(IDR_FIND_MENU));
    if (!hMenu) return 0;
    HMENU hPopup = ::GetSubMenu(hMenu, 0);
    const UINT nState = ListView_GetSelectedCount(hList) ? MF_ENABLED : MF_GRAYED;
    for (UINT nID : {ID_FIND_OPEN_ITEM, ID_FIND_OPEN_FOLDER, ID_FIND_COPY}) ::EnableMenuItem(hPopup, nID, nState);
    ::SetMenuDefaultItem(hPopup, ID_FIND_OPEN_ITEM, FALSE);
    const UINT nCommand = static_cast<UINT>(
        ::TrackPopupMenu(hPopup, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, pt.x, pt.y, 0, m_hWnd, nullptr));
    ::DestroyMenu(hMenu);
    if (nCommand) SendMessage(WM_COMMAND, nCommand, 0);
    return 0;
}
