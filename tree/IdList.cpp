#include "tree/IdList.h"

#include "shell/ComPtr.h"
#include "shell/IdListPtr.h"

#include <cstring>
#include <string>

namespace {

// Identifiers are byte strings with no alignment promise: read the count bytewise.
USHORT ReadCb(const void* p)
{
    USHORT cb;
    std::memcpy(&cb, p, sizeof(cb));
    return cb;
}

const UINT kTerminatorSize = sizeof(USHORT);

// Length of a string that may lack its terminator within cbMax bytes.
int BoundedLength(const char* psz, size_t cbMax)
{
    const void* pEnd = std::memchr(psz, 0, cbMax);
    return static_cast<int>(pEnd ? static_cast<const char*>(pEnd) - psz : cbMax);
}

// Copies up to cchBuf - 1 bytes of src plus a terminator, never splitting a
// double-byte character. Returns the length copied.
int CopyText(const char* src, int cchSrc, LPSTR pszBuf, int cchBuf)
{
    int n = 0;
    while (n < cchSrc) {
        int w = (IsDBCSLeadByte(static_cast<BYTE>(src[n])) && n + 1 < cchSrc) ? 2 : 1;
        if (n + w > cchBuf - 1) break;
        n += w;
    }
    std::memcpy(pszBuf, src, static_cast<size_t>(n));
    pszBuf[n] = '\0';
    return n;
}

// Where a STRRET's ANSI text lies (CSTR, OFFSET); false for the other forms.
bool AnsiText(const STRRET* pStrRet, LPCITEMIDLIST pidl, const char** ppsz, int* pcch)
{
    if (pStrRet->uType == STRRET_CSTR) {
        *ppsz = pStrRet->cStr;
        *pcch = BoundedLength(pStrRet->cStr, sizeof(pStrRet->cStr));
        return true;
    }
    if (pStrRet->uType == STRRET_OFFSET) {
        // The name lies inside the list; an offset outside it names nothing.
        UINT cbList = IdListGetSize(pidl);
        if (pStrRet->uOffset >= cbList) {
            *ppsz = "";
            *pcch = 0;
            return true;
        }
        *ppsz = reinterpret_cast<const char*>(pidl) + pStrRet->uOffset;
        *pcch = BoundedLength(*ppsz, cbList - pStrRet->uOffset);
        return true;
    }
    return false;
}

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

UINT IdListGetSize(LPCITEMIDLIST pidl)
{
    if (!pidl) return 0;
    UINT cbTotal = kTerminatorSize;
    const BYTE* p = reinterpret_cast<const BYTE*>(pidl);
    for (USHORT cb = ReadCb(p); cb != 0; cb = ReadCb(p)) {
        cbTotal += cb;
        p += cb;
    }
    return cbTotal;
}

LPITEMIDLIST IdListGetNext(LPITEMIDLIST pidl)
{
    return reinterpret_cast<LPITEMIDLIST>(reinterpret_cast<BYTE*>(pidl) + ReadCb(pidl));
}

LPCITEMIDLIST IdListGetNext(LPCITEMIDLIST pidl)
{
    return reinterpret_cast<LPCITEMIDLIST>(reinterpret_cast<const BYTE*>(pidl) + ReadCb(pidl));
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
    USHORT cb = ReadCb(pidl);
    SIZE_T cbNew = static_cast<SIZE_T>(cb) + kTerminatorSize;
    void* p = pMalloc->Alloc(cbNew);
    if (!p) return nullptr;
    std::memset(p, 0, cbNew);
    std::memcpy(p, pidl, cb);
    return static_cast<LPITEMIDLIST>(p);
}

int StrRetToText(const STRRET* pStrRet, LPCITEMIDLIST pidl, LPSTR pszBuf, int cchBuf)
{
    if (!pStrRet) {
        if (pszBuf && cchBuf > 0) pszBuf[0] = '\0';
        return 0;
    }
    bool bMeasure = !pszBuf || cchBuf <= 0;

    const char* psz = nullptr;
    int cch = 0;
    if (AnsiText(pStrRet, pidl, &psz, &cch))
        return bMeasure ? cch : CopyText(psz, cch, pszBuf, cchBuf);

    if (pStrRet->uType == STRRET_WSTR && pStrRet->pOleStr) {
        // The reported size counts the terminator; lengths here never do.
        int cbNeeded = WideCharToMultiByte(CP_ACP, 0, pStrRet->pOleStr, -1, nullptr, 0, nullptr, nullptr);
        if (cbNeeded <= 0) {
            if (!bMeasure) pszBuf[0] = '\0';
            return 0;
        }
        if (bMeasure) return cbNeeded - 1;
        if (cbNeeded <= cchBuf) {
            WideCharToMultiByte(CP_ACP, 0, pStrRet->pOleStr, -1, pszBuf, cchBuf, nullptr, nullptr);
            return cbNeeded - 1;
        }
        // Too long for the buffer: convert whole, then cut at a character boundary,
        // so that the copy is always terminated and never overruns.
        std::string text(static_cast<size_t>(cbNeeded), '\0');
        WideCharToMultiByte(CP_ACP, 0, pStrRet->pOleStr, -1, &text[0], cbNeeded, nullptr, nullptr);
        return CopyText(text.data(), cbNeeded - 1, pszBuf, cchBuf);
    }

    if (!bMeasure) pszBuf[0] = '\0';
    return 0;
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
