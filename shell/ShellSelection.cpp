#include "shell/ShellSelection.h"

#include "shell/ComPtr.h"

HRESULT GetFirstSelectedItem(IShellView* pView, LPITEMIDLIST* ppidl)
{
    if (!ppidl) return E_POINTER;
    *ppidl = nullptr;
    if (!pView) return E_POINTER;
    CComPtr<IDataObject> pData;
    HRESULT hr = pView->GetItemObject(SVGIO_SELECTION, IID_IDataObject, pData.PutVoid());
    if (FAILED(hr)) return hr;
    if (!pData) return E_FAIL;
    FORMATETC fmt = {static_cast<CLIPFORMAT>(::RegisterClipboardFormatA("Shell IDList Array")), nullptr, DVASPECT_CONTENT,
                     -1, TYMED_HGLOBAL};
    STGMEDIUM medium = {};
    hr = pData->GetData(&fmt, &medium);
    if (SUCCEEDED(hr)) {
        if (const void* pBlock = ::GlobalLock(medium.hGlobal)) {
            // A copy of the item's first identifier, from the shell allocator.
            if (LPCITEMIDLIST pItem = FindFirstIdListArrayItem(pBlock, ::GlobalSize(medium.hGlobal))) {
                *ppidl = ILCloneFirst(pItem);
            }
            ::GlobalUnlock(medium.hGlobal);
        }
        ::ReleaseStgMedium(&medium);
        if (!*ppidl) hr = E_FAIL;
    }
    return hr;
}
