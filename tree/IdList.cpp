#include "tree/IdList.h"

#include "shell/ComPtr.h"
#include "shell/IdListPtr.h"

#include <cstring>
#include <string>

namespace {

const UINT kTerminatorSize = sizeof(USHORT);

void FreeStrRetString(STRRET* pStrRet)
{
    if (pStrRet->uType != STRRET_WSTR || !pStrRet->pOleStr) return;
    IMalloc* pMalloc = nullptr;
    if (SUCCEEDED(SHGetMalloc(&pMalloc)) && pMalloc) {
        pMalloc->Free(pStrRet->pOleStr);
        pMalloc->Release();
    }
    pStrRet->pOleStr = nullptr;
}

}  // namespace

LPITEMIDLIST IdListGetNext(LPITEMIDLIST pidl)
{
    return reinterpret_cast<LPITEMIDLIST>(reinterpret_cast<BYTE*>(pidl) + IdListReadCb(pidl));
}

LPCITEMIDLIST IdListGetNext(LPCITEMIDLIST pidl)
{
    return reinterpret_cast<LPCITEMIDLIST>(reinterpret_cast<const BYTE*>(pidl) + IdListReadCb(pidl));
}

LPITEMIDLIST IdListAlloc(UINT cb)
{
    IMalloc* pMalloc = nullptr;
    if (FAILED(SHGetMalloc(&pMalloc)) || !pMalloc) return nullptr;
    void* p = pMalloc->Alloc(cb);
    if (p) std::memset(p, 0, cb);
    pMalloc->Release();
    return static_cast<LPITEMIDLIST>(p);
}

LPITEMIDLIST IdListConcat(LPCITEMIDLIST pidl1, LPCITEMIDLIST pidl2)
{
    static const USHORT kEmpty = 0;
    if (!pidl2) pidl2 = reinterpret_cast<LPCITEMIDLIST>(&kEmpty);
    UINT cb1 = pidl1 ? IdListGetSize(pidl1) - kTerminatorSize : 0;
    UINT cb2 = IdListGetSize(pidl2);
    LPITEMIDLIST pidlNew = IdListAlloc(cb1 + cb2);
    if (!pidlNew) return nullptr;
    BYTE* p = reinterpret_cast<BYTE*>(pidlNew);
    if (cb1) std::memcpy(p, pidl1, cb1);
    std::memcpy(p + cb1, pidl2, cb2);
    return pidlNew;
}

LPITEMIDLIST IdListCopyFirst(IMalloc* pMalloc, LPCITEMIDLIST pidl)
{
    if (!pidl) return nullptr;
    CComPtr<IMalloc> spOwnMalloc;
    if (!pMalloc) {
        if (FAILED(SHGetMalloc(spOwnMalloc.Put())) || !spOwnMalloc) return nullptr;
        pMalloc = spOwnMalloc;
    }
    USHORT cb = IdListReadCb(pidl);
    SIZE_T cbNew = static_cast<SIZE_T>(cb) + kTerminatorSize;
    void* p = pMalloc->Alloc(cbNew);
    if (!p) return nullptr;
    std::memset(p, 0, cbNew);
    std::memcpy(p, pidl, cb);
    return static_cast<LPITEMIDLIST>(p);
}

BOOL StrRetToString(STRRET* pStrRet, LPCITEMIDLIST pidl, CString& str)
{
    if (!pStrRet) {
        str.Empty();
        return FALSE;
    }
    int cch = StrRetToText(pStrRet, pidl, nullptr, 0);
    char* pszBuf = str.GetBuffer(cch);
    StrRetToText(pStrRet, pidl, pszBuf, cch + 1);
    str.ReleaseBuffer();
    FreeStrRetString(pStrRet);
    return TRUE;
}

BOOL GetItemDisplayName(IShellFolder* pFolder, LPCITEMIDLIST pidl, DWORD uFlags, LPSTR pszName)
{
    if (!pFolder || !pszName) return FALSE;
    STRRET sr;
    sr.uType = STRRET_CSTR;
    sr.cStr[0] = '\0';
    HRESULT hr = pFolder->GetDisplayNameOf(pidl, uFlags, &sr);
    if (hr != S_OK) {
        // A success code other than S_OK still counts as failure, but a string it
        // may have handed over must not be lost.
        if (SUCCEEDED(hr)) FreeStrRetString(&sr);
        return FALSE;
    }
    StrRetToText(&sr, pidl, pszName, MAX_PATH);
    FreeStrRetString(&sr);
    return TRUE;
}

LPITEMIDLIST PathToIdList(LPCSTR pszPath)
{
    if (!pszPath) return nullptr;
    CComPtr<IShellFolder> spDesktop;
    if (FAILED(SHGetDesktopFolder(spDesktop.Put())) || !spDesktop) return nullptr;

    // A path that does not fit fails the conversion; parsing a cut-off path could
    // name a different, existing item.
    WCHAR wszPath[MAX_PATH];
    if (!MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, pszPath, -1, wszPath, MAX_PATH)) return nullptr;

    CIdListPtr pidl;
    HRESULT hr = spDesktop->ParseDisplayName(nullptr, nullptr, wszPath, nullptr, pidl.Put(), nullptr);
    return SUCCEEDED(hr) ? pidl.Detach() : nullptr;
}
