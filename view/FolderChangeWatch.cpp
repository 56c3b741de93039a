#include "view/FolderChangeWatch.h"

#include <shlobj.h>

#include <algorithm>

#include "res/Messages.h"
#include "shell/ComPtr.h"
#include "shell/IdListPtr.h"
#include "shell/Paths.h"
#include "tree/IdList.h"
#include "tree/ShellTreeCtrl.h"

namespace {

const UINT_PTR kRereadTimer = 1;  // the tree reads changed folders again
const UINT kRereadDelay = 150;    // ms after the last notice
const LONG kFolderEvents = SHCNE_MKDIR | SHCNE_RMDIR | SHCNE_RENAMEFOLDER | SHCNE_RENAMEITEM;

}  // namespace

void CFolderChangeWatch::Start(HWND hWnd, CShellTreeCtrl* pTree)
{
    m_hWnd = hWnd;
    m_pTree = pTree;
    // What the shell itself reports (its file operations, its views, programs that tell it)
    // for the whole namespace below the desktop; watching the disks themselves would cost
    // every window a watch on every drive. Wine tells nobody who watches a null list.
    CIdListPtr pidlDesktop(IdListAlloc(sizeof(USHORT)));
    SHChangeNotifyEntry entry = {pidlDesktop, TRUE};
    if (pidlDesktop) {
        m_uRegistration = SHChangeNotifyRegister(hWnd, SHCNRF_ShellLevel | SHCNRF_NewDelivery, kFolderEvents,
                                                 WM_SHELLFOLDERCHANGE, 1, &entry);
    }
}

void CFolderChangeWatch::Stop()
{
    if (m_uRegistration) SHChangeNotifyDeregister(m_uRegistration);
    m_uRegistration = 0;
    if (m_hWnd) ::KillTimer(m_hWnd, kRereadTimer);
    m_hWnd = nullptr;
    m_pTree = nullptr;
    m_foldersToReread.clear();
}

void CFolderChangeWatch::OnFolderChange(WPARAM wParam, LPARAM lParam)
{
    PIDLIST_ABSOLUTE* ppidl = nullptr;
    LONG lEvent = 0;
    HANDLE hLock = SHChangeNotification_Lock(reinterpret_cast<HANDLE>(wParam), static_cast<DWORD>(lParam), &ppidl, &lEvent);
    if (!hLock) return;
    // By path: the lists of a removed item are the shell's simple ones, which do not compare
    // equal to the tree's. Wine reports a folder moved or renamed as an item renamed.
    WCHAR szOld[MAX_PATH] = L"", szNew[MAX_PATH] = L"";
    if (ppidl && ppidl[0]) SHGetPathFromIDListW(ppidl[0], szOld);
    if (ppidl && ppidl[1]) SHGetPathFromIDListW(ppidl[1], szNew);
    SHChangeNotification_Unlock(hLock);
    lEvent &= ~SHCNE_INTERRUPT;
    if (lEvent == SHCNE_RENAMEITEM) {
        const DWORD dwAttrs = ::GetFileAttributesW(szNew);
        if (dwAttrs == INVALID_FILE_ATTRIBUTES || !(dwAttrs & FILE_ATTRIBUTE_DIRECTORY)) return;  // a file
    }
    for (const WCHAR* pszPath : {szOld, szNew}) {
        std::wstring strParent = ParentOf(pszPath);
        if (!strParent.empty()) m_foldersToReread.push_back(strParent);
    }
    // A file operation sends a notice per folder: read once they have stopped coming.
    if (!m_foldersToReread.empty()) ::SetTimer(m_hWnd, kRereadTimer, kRereadDelay, nullptr);
}

BOOL CFolderChangeWatch::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent != kRereadTimer) return FALSE;
    ::KillTimer(m_hWnd, kRereadTimer);
    std::vector<std::wstring> folders;
    folders.swap(m_foldersToReread);
    RereadFolders(folders);
    return TRUE;
}

void CFolderChangeWatch::RereadFolders(const std::vector<std::wstring>& folders)
{
    CComPtr<IShellFolder> spDesktop;
    if (!m_pTree || !m_pTree->m_hWnd || FAILED(SHGetDesktopFolder(spDesktop.Put())) || !spDesktop) return;
    std::vector<std::wstring> done;
    for (const std::wstring& strFolder : folders) {
        if (std::find_if(done.begin(), done.end(), [&](const std::wstring& s) { return SamePath(s, strFolder); }) !=
            done.end())
            continue;
        done.push_back(strFolder);
        std::vector<WCHAR> path(strFolder.begin(), strFolder.end());
        path.push_back(L'\0');
        CIdListPtr pidl;
        if (FAILED(spDesktop->ParseDisplayName(nullptr, nullptr, path.data(), nullptr, pidl.Put(), nullptr)) || !pidl)
            continue;
        if (HTREEITEM hItem = m_pTree->FindFolderItem(pidl)) m_pTree->RefreshFolderItem(hItem);
    }
}
