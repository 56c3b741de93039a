#include "shell/PathItems.h"

#include <cstring>

#include "shell/AnsiNames.h"
#include "shell/ClipboardDataObject.h"
#include "shell/ComPtr.h"
#include "shell/IdListPtr.h"
#include "shell/Wine.h"

namespace {

// The item's absolute list, or null.
LPITEMIDLIST ParsePath(IShellFolder* pDesktop, const std::wstring& path)
{
    std::wstring name = path;
    LPITEMIDLIST pidl = nullptr;
    if (FAILED(pDesktop->ParseDisplayName(nullptr, nullptr, &name[0], nullptr, &pidl, nullptr))) return nullptr;
    return pidl;
}

// Hands the object a block of global memory to keep under a format.
HRESULT PutBlock(IDataObject* pData, UINT nFormat, const void* pBytes, size_t cb)
{
    HGLOBAL hBlock = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, cb);
    void* p = hBlock ? ::GlobalLock(hBlock) : nullptr;
    if (!p) {
        if (hBlock) ::GlobalFree(hBlock);
        return E_OUTOFMEMORY;
    }
    std::memcpy(p, pBytes, cb);
    ::GlobalUnlock(hBlock);
    FORMATETC format = {static_cast<CLIPFORMAT>(nFormat), nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium = {};
    medium.tymed = TYMED_HGLOBAL;
    medium.hGlobal = hBlock;
    const HRESULT hr = pData->SetData(&format, &medium, TRUE);
    if (FAILED(hr)) ::GlobalFree(hBlock);
    return hr;
}

// Wine's shell renders the file list of items from other folders (named by their whole list
// from the desktop) from each item's first identifier: "My Computer" for every one. The
// object is given the right list, and the right name of the first item, to offer instead.
HRESULT PutFileNames(IDataObject* pData, const std::vector<std::wstring>& paths)
{
    std::wstring names;
    for (const std::wstring& path : paths) names.append(path).append(1, L'\0');
    names.append(1, L'\0');
    std::vector<BYTE> block(sizeof(DROPFILES) + names.size() * sizeof(wchar_t));
    DROPFILES* pDrop = reinterpret_cast<DROPFILES*>(block.data());
    pDrop->pFiles = sizeof(DROPFILES);
    pDrop->fWide = TRUE;
    std::memcpy(block.data() + sizeof(DROPFILES), names.data(), names.size() * sizeof(wchar_t));
    HRESULT hr = PutBlock(pData, CF_HDROP, block.data(), block.size());
    if (FAILED(hr)) return hr;
    const std::wstring& first = paths.front();
    hr = PutBlock(pData, ::RegisterClipboardFormatA(CFSTR_FILENAMEW), first.c_str(), (first.size() + 1) * sizeof(wchar_t));
    if (FAILED(hr)) return hr;
    // The 8-bit name, in a form that names the item exactly where the code page lacks some of it.
    const std::string ansi = AnsiPathFor(first);
    return PutBlock(pData, ::RegisterClipboardFormatA(CFSTR_FILENAMEA), ansi.c_str(), ansi.size() + 1);
}

}  // namespace

HRESULT CreatePathsDataObject(HWND hwndOwner, const std::vector<std::wstring>& paths, DWORD dwEffect,
                              IDataObject** ppData)
{
    if (!ppData) return E_POINTER;
    *ppData = nullptr;
    CComPtr<IShellFolder> pDesktop;
    HRESULT hr = ::SHGetDesktopFolder(pDesktop.Put());
    if (FAILED(hr)) return hr;
    // Items of many folders: the desktop names each by its whole list.
    std::vector<CIdListPtr> items;
    std::vector<LPCITEMIDLIST> lists;
    std::vector<std::wstring> known;
    for (const std::wstring& path : paths) {
        CIdListPtr pidl(ParsePath(pDesktop, path));
        if (!pidl) continue;
        lists.push_back(pidl.Get());
        items.push_back(std::move(pidl));
        known.push_back(path);
    }
    if (lists.empty()) return E_FAIL;
    CComPtr<IDataObject> pItems;
    hr = pDesktop->GetUIObjectOf(hwndOwner, static_cast<UINT>(lists.size()), lists.data(), IID_IDataObject, nullptr,
                                 pItems.PutVoid());
    if (FAILED(hr)) return hr;
    if (!pItems) return E_FAIL;
    CComPtr<IDataObject> pData;
    hr = CClipboardDataObject::Create(pItems, dwEffect, pData.Put());
    if (FAILED(hr)) return hr;
    if (IsRunningUnderWine()) {
        hr = PutFileNames(pData, known);
        if (FAILED(hr)) return hr;
    }
    *ppData = pData.Detach();
    return S_OK;
}

HRESULT SelectPathInShellView(IShellView* pView, const std::wstring& path)
{
    if (!pView) return E_POINTER;
    CComPtr<IShellFolder> pDesktop;
    HRESULT hr = ::SHGetDesktopFolder(pDesktop.Put());
    if (FAILED(hr)) return hr;
    CIdListPtr pidl(ParsePath(pDesktop, path));
    if (!pidl) return E_FAIL;
    // The view names its items by their last identifier.
    return pView->SelectItem(::ILFindLastID(pidl), SVSI_SELECT | SVSI_DESELECTOTHERS | SVSI_ENSUREVISIBLE | SVSI_FOCUSED);
}
