#include "shell/ShellViewStatus.h"

#include <commctrl.h>

#include "shell/ComPtr.h"
#include "shell/IdListPtr.h"
#include "shell/ShellViewList.h"
#include "shell/TransferBlocks.h"
#include "shell/Wine.h"

namespace {

ULONGLONG FileSizeOf(IShellFolder* pFolder, LPCITEMIDLIST pItem)
{
    WIN32_FIND_DATAW found = {};
    if (FAILED(::SHGetDataFromIDListW(pFolder, pItem, SHGDFIL_FINDDATA, &found, sizeof(found)))) return 0;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return 0;
    return (static_cast<ULONGLONG>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
}

// The total of the files among the view's items (folders count nothing), read from their
// lists as the folder knows them, without going to the disk.
bool SumFileSizes(IShellView* pView, UINT uWhich, LPCITEMIDLIST pidlFolder, ULONGLONG* pcb)
{
    CComPtr<IShellFolder> pDesktop, pFolder;
    if (FAILED(::SHGetDesktopFolder(pDesktop.Put()))) return false;
    if (!pidlFolder || !pidlFolder->mkid.cb) pFolder = pDesktop;
    else if (FAILED(pDesktop->BindToObject(pidlFolder, nullptr, IID_IShellFolder, pFolder.PutVoid()))) return false;
    CComPtr<IDataObject> pData;
    if (FAILED(pView->GetItemObject(uWhich, IID_IDataObject, pData.PutVoid())) || !pData) {
        if (uWhich != SVGIO_ALLVIEW) return false;
        // Wine's view gives no object for all its items: the folder lists its files as the
        // view does (hidden ones left out).
        CComPtr<IEnumIDList> pEnum;
        if (pFolder->EnumObjects(nullptr, SHCONTF_NONFOLDERS, pEnum.Put()) != S_OK || !pEnum) return false;
        CIdListPtr pidl;
        while (pEnum->Next(1, pidl.Put(), nullptr) == S_OK) *pcb += FileSizeOf(pFolder, pidl);
        return true;
    }
    FORMATETC fmt = {static_cast<CLIPFORMAT>(::RegisterClipboardFormatA("Shell IDList Array")), nullptr, DVASPECT_CONTENT,
                     -1, TYMED_HGLOBAL};
    STGMEDIUM medium = {};
    if (FAILED(pData->GetData(&fmt, &medium))) return false;
    bool bRead = false;
    if (const void* pBlock = ::GlobalLock(medium.hGlobal)) {
        bRead = true;
        for (LPCITEMIDLIST pItem : IdListArrayItems(pBlock, ::GlobalSize(medium.hGlobal))) *pcb += FileSizeOf(pFolder, pItem);
        ::GlobalUnlock(medium.hGlobal);
    }
    ::ReleaseStgMedium(&medium);
    return bRead;
}
LRESULT CALLBACK WatchProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR uIdSubclass, DWORD_PTR dwRefData)
{
    if (msg == WM_NOTIFY && lParam) {
        const NMHDR* pHdr = reinterpret_cast<const NMHDR*>(lParam);
        bool bChanged = false;
        switch (pHdr->code) {
        case LVN_ITEMCHANGED: {
            const NMLISTVIEW* pList = reinterpret_cast<const NMLISTVIEW*>(lParam);
            bChanged = (pList->uChanged & LVIF_STATE) && ((pList->uNewState ^ pList->uOldState) & LVIS_SELECTED);
            break;
        }
        case LVN_INSERTITEM:
        case LVN_DELETEITEM:
        case LVN_DELETEALLITEMS: bChanged = true; break;
        }
        // A selection of thousands of items is one change to show.
        const HWND hwndNotify = reinterpret_cast<HWND>(dwRefData);
        const UINT uMsg = static_cast<UINT>(uIdSubclass);
        MSG waiting;
        if (bChanged && !::PeekMessageA(&waiting, hwndNotify, uMsg, uMsg, PM_NOREMOVE))
            ::PostMessageA(hwndNotify, uMsg, 0, 0);
    } else if (msg == WM_NCDESTROY) {
        ::RemoveWindowSubclass(hWnd, WatchProc, uIdSubclass);
    }
    return ::DefSubclassProc(hWnd, msg, wParam, lParam);
}

}  // namespace

bool CShellViewStatus::ViewWritesItsStatus()
{
    return !IsRunningUnderWine();
}

ShellViewFigures CShellViewStatus::Read(IShellView* pView, HWND hwndView, LPCITEMIDLIST pidlFolder)
{
    ShellViewFigures figures;
    if (!pView) return figures;
    if (HWND hList = CShellViewList(pView, hwndView).GetList()) {
        figures.nItems = static_cast<int>(::SendMessageA(hList, LVM_GETITEMCOUNT, 0, 0));
        figures.nSelected = static_cast<int>(::SendMessageA(hList, LVM_GETSELECTEDCOUNT, 0, 0));
    }
    // An empty folder holds nothing: no data object is needed to say so.
    if (figures.nItems == 0) figures.bSizeKnown = true;
    else figures.bSizeKnown = SumFileSizes(pView, figures.nSelected ? SVGIO_SELECTION : SVGIO_ALLVIEW, pidlFolder,
                                           &figures.cbFiles);
    WCHAR szPath[MAX_PATH] = L"";
    ULARGE_INTEGER free = {};
    if (pidlFolder && ::SHGetPathFromIDListW(pidlFolder, szPath) && ::GetDiskFreeSpaceExW(szPath, &free, nullptr, nullptr)) {
        figures.cbFree = free.QuadPart;
        figures.bFreeKnown = true;
    }
    return figures;
}

BOOL CShellViewStatus::Watch(HWND hwndView, HWND hwndNotify, UINT uMsg)
{
    if (ViewWritesItsStatus() || !hwndView) return FALSE;
    return ::SetWindowSubclass(hwndView, WatchProc, uMsg, reinterpret_cast<DWORD_PTR>(hwndNotify));
}

void CShellViewStatus::Unwatch(HWND hwndView, UINT uMsg)
{
    if (hwndView) ::RemoveWindowSubclass(hwndView, WatchProc, uMsg);
}
