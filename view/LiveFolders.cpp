#include "view/LiveFolders.h"

#include <commctrl.h>

#include "frames/MainFrame.h"
#include "shell/DiskFolders.h"
#include "shell/ItemNames.h"
#include "shell/Paths.h"
#include "view/FolvaneView.h"

namespace {

bool IsDiskFolder(const std::wstring& path)
{
    return !path.empty() && DiskFolderExists(path.c_str());
}

// A folder on disk that is no longer there (not a virtual folder, which has no path).
bool IsGoneFolder(const std::wstring& path)
{
    if (path.empty() || ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) return false;
    const DWORD dwError = ::GetLastError();
    return dwError == ERROR_FILE_NOT_FOUND || dwError == ERROR_PATH_NOT_FOUND;
}

// The nearest folder above a gone one that is still there, or empty.
std::wstring NearestFolderUp(const std::wstring& gone)
{
    std::wstring up = ParentOf(gone);
    while (!up.empty() && !IsDiskFolder(up)) up = ParentOf(up);
    return up;
}

std::wstring ItemPath(const CShellTreeCtrl& tree, HTREEITEM hItem)
{
    const FolderItemData* pData = hItem ? tree.GetItemRecord(hItem) : nullptr;
    std::wstring path;
    if (!pData || !pData->pFolder || !GetChildParsingName(pData->pFolder, pData->pidlRel, path)) path.clear();
    return path;
}

}  // namespace

CDiskWatch* CLiveFolders::DiskWatch() const
{
    if (!CDiskWatch::IsWanted()) return nullptr;
    CMainFrame* pMain = dynamic_cast<CMainFrame*>(AfxGetMainWnd());
    return pMain ? &pMain->m_diskWatch : nullptr;
}

std::wstring CLiveFolders::ShownFolder() const
{
    const CShellTreeCtrl& tree = m_pView->m_tree;
    if (!tree.m_hWnd) return std::wstring();
    std::wstring path = ItemPath(tree, tree.GetSelectedItem());
    return IsDiskFolder(path) ? path : std::wstring();
}

std::vector<std::wstring> CLiveFolders::OpenFolders() const
{
    std::vector<std::wstring> folders;
    const CShellTreeCtrl& tree = m_pView->m_tree;
    if (!tree.m_hWnd) return folders;
    // Level by level: only the children of an open item can be open themselves.
    std::vector<HTREEITEM> level;
    for (HTREEITEM h = tree.GetRootItem(); h; h = tree.GetNextSiblingItem(h)) level.push_back(h);
    while (!level.empty()) {
        std::vector<HTREEITEM> next;
        for (HTREEITEM hItem : level) {
            if (!(tree.GetItemState(hItem, TVIS_EXPANDED) & TVIS_EXPANDED)) continue;
            const std::wstring path = ItemPath(tree, hItem);
            if (IsDiskFolder(path)) folders.push_back(path);
            for (HTREEITEM h = tree.GetChildItem(hItem); h; h = tree.GetNextSiblingItem(h)) next.push_back(h);
        }
        level.swap(next);
    }
    return folders;
}

void CLiveFolders::Update()
{
    CDiskWatch* pWatch = DiskWatch();
    if (!pWatch || !m_pView->m_hWnd) return;
    std::vector<CDiskWatch::Folder> folders;
    const std::wstring shown = ShownFolder();
    if (!shown.empty()) folders.push_back({shown, true});
    for (const std::wstring& open : OpenFolders()) folders.push_back({open, false});
    pWatch->SetFolders(this, folders);
    m_bWatching = !folders.empty();
}

void CLiveFolders::Stop()
{
    if (!m_bWatching) return;
    if (CDiskWatch* pWatch = DiskWatch()) pWatch->RemoveClient(this);
    m_bWatching = false;
}

bool CLiveFolders::IsBusyForReread() const
{
    const CFolvaneView& view = *m_pView;
    // A name being edited in either pane.
    if (view.m_tree.m_hWnd && view.m_tree.GetEditControl()) return true;
    HWND hList = view.m_hwndShellView ? ::FindWindowExA(view.m_hwndShellView, nullptr, WC_LISTVIEWA, nullptr) : nullptr;
    if (hList && ::SendMessageA(hList, LVM_GETEDITCONTROL, 0, 0)) return true;
    // A mouse button held down: a press on an item that may become a drag (the list takes no
    // capture for it, and a read of its items in between loses the press), the splitter.
    if ((::GetKeyState(VK_LBUTTON) | ::GetKeyState(VK_RBUTTON)) & 0x8000) return true;
    HWND hCapture = ::GetCapture();
    if (hCapture && (hCapture == view.m_hWnd || ::IsChild(view.m_hWnd, hCapture))) return true;
    // A drag from another program over the tree.
    return view.m_dropTarget.m_hDropItem != nullptr || view.m_dropTarget.m_pItemDropTarget;
}

void CLiveFolders::OnDiskFoldersChanged(const std::vector<std::wstring>& folders)
{
    Reread(folders);
}

void CLiveFolders::RereadAll()
{
    // Under Wine a folder removed while watched goes only once the watches let go of it.
    if (CDiskWatch* pWatch = DiskWatch()) pWatch->Renew();
    std::vector<std::wstring> folders = OpenFolders();
    // The right pane is the caller's to read; a folder on show that went gives way now.
    const std::wstring shown = ItemPath(m_pView->m_tree, m_pView->m_tree.GetSelectedItem());
    if (IsGoneFolder(shown)) folders.push_back(NearestFolderUp(shown));
    m_pView->m_folderChanges.RereadFolders(folders);
    Update();
}

void CLiveFolders::Reread(const std::vector<std::wstring>& folders)
{
    const std::wstring shown = ItemPath(m_pView->m_tree, m_pView->m_tree.GetSelectedItem());
    bool bShownChanged = false;
    for (const std::wstring& folder : folders) bShownChanged = bShownChanged || (!shown.empty() && SamePath(folder, shown));
    std::vector<std::wstring> tree = folders;
    // Its nearest folder still there drops what went below it and is selected instead.
    if (bShownChanged && IsGoneFolder(shown)) tree.push_back(NearestFolderUp(shown));
    m_pView->m_folderChanges.RereadFolders(tree);
    // Unless the window moved away from it, the folder on show is read again.
    const std::wstring now = ItemPath(m_pView->m_tree, m_pView->m_tree.GetSelectedItem());
    if (bShownChanged && m_pView->m_pShellView && SamePath(now, shown)) {
        m_pView->m_pShellView->Refresh();
        m_nShownRereads++;
    }
    Update();
}
