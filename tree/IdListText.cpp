#include "tree/IdList.h"

#include <cstring>
#include <string>

// The parts of item lists that only read bytes: a list's size and the text of a name.
namespace {

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

}  // namespace

USHORT IdListReadCb(const void* p)
{
    USHORT cb;
    std::memcpy(&cb, p, sizeof(cb));
    return cb;
}

UINT IdListGetSize(LPCITEMIDLIST pidl)
{
    if (!pidl) return 0;
    UINT cbTotal = kTerminatorSize;
    const BYTE* p = reinterpret_cast<const BYTE*>(pidl);
    for (USHORT cb = IdListReadCb(p); cb != 0; cb = IdListReadCb(p)) {
        cbTotal += cb;
        p += cb;
    }
    return cbTotal;
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

