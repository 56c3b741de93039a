#include "shell/TransferBlocks.h"

#include <cstring>

namespace {

// The names of a block of zero-terminated names, count units from p. A block may start a
// wide name at any byte, so units are read bytewise.
template <typename Unit, typename Convert>
void SplitNames(const BYTE* p, size_t count, Convert convert, std::vector<std::wstring>& files)
{
    auto at = [p](size_t i) {
        Unit u;
        std::memcpy(&u, p + i * sizeof(Unit), sizeof(Unit));
        return u;
    };
    size_t i = 0;
    while (i < count && at(i)) {
        std::basic_string<Unit> name;
        while (i < count && at(i)) name += at(i++);
        if (i == count) break;  // unterminated: not a name
        files.push_back(convert(name));
        i++;
    }
}

}  // namespace

std::vector<std::wstring> ParseDropFilesBlock(const void* pBlock, SIZE_T cb)
{
    std::vector<std::wstring> files;
    DROPFILES drop;
    if (!pBlock || cb < sizeof(DROPFILES)) return files;
    std::memcpy(&drop, pBlock, sizeof(drop));
    if (drop.pFiles < sizeof(DROPFILES) || drop.pFiles >= cb) return files;
    const BYTE* p = static_cast<const BYTE*>(pBlock) + drop.pFiles;
    if (drop.fWide) {
        // UTF-16 whatever the width of wchar_t where this is built.
        SplitNames<WORD>(p, (cb - drop.pFiles) / sizeof(WORD),
                         [](const std::basic_string<WORD>& s) { return std::wstring(s.begin(), s.end()); }, files);
    } else {
        auto widen = [](const std::string& s) {
            const int cch = ::MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
            std::wstring name(static_cast<size_t>(cch > 0 ? cch : 0), L'\0');
            if (cch > 0) ::MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), &name[0], cch);
            return name;
        };
        SplitNames<char>(p, cb - drop.pFiles, widen, files);
    }
    return files;
}

DWORD ReadPreferredDropEffect(const void* pBlock, SIZE_T cb)
{
    DWORD effect = 0;
    if (!pBlock || cb < sizeof(effect)) return DROPEFFECT_COPY;
    std::memcpy(&effect, pBlock, sizeof(effect));
    // A cut offers the move alone; anything that also allows a copy is copied.
    return (effect & DROPEFFECT_MOVE) && !(effect & DROPEFFECT_COPY) ? DROPEFFECT_MOVE : DROPEFFECT_COPY;
}

LPCITEMIDLIST FindFirstIdListArrayItem(const void* pBlock, SIZE_T cbBlock)
{
    UINT head[3];  // cidl, the parent's offset, the first item's offset
    if (!pBlock || cbBlock < sizeof(head)) return nullptr;
    std::memcpy(head, pBlock, sizeof(head));
    if (head[0] < 1) return nullptr;
    // Measured from the end, so that no offset near the top of the range wraps around.
    const SIZE_T off = head[2];
    if (off > cbBlock || cbBlock - off < sizeof(USHORT)) return nullptr;
    const BYTE* pItem = static_cast<const BYTE*>(pBlock) + off;
    USHORT cb = 0;
    std::memcpy(&cb, pItem, sizeof(cb));
    if (cbBlock - off < static_cast<SIZE_T>(cb) + sizeof(USHORT)) return nullptr;
    return reinterpret_cast<LPCITEMIDLIST>(pItem);
}

std::vector<LPCITEMIDLIST> IdListArrayItems(const void* pBlock, SIZE_T cbBlock)
{
    std::vector<LPCITEMIDLIST> items;
    UINT cidl = 0;
    if (!pBlock || cbBlock < sizeof(cidl)) return items;
    std::memcpy(&cidl, pBlock, sizeof(cidl));
    const BYTE* pBytes = static_cast<const BYTE*>(pBlock);
    // The offsets follow the count: the parent's first, then one per item.
    const SIZE_T nOffsets = (cbBlock - sizeof(cidl)) / sizeof(UINT);
    for (SIZE_T i = 1; i <= cidl && i < nOffsets; i++) {
        UINT off = 0;
        std::memcpy(&off, pBytes + sizeof(cidl) + i * sizeof(UINT), sizeof(off));
        // Each identifier, then the terminating zero count, measured against what is left.
        SIZE_T pos = off;
        bool bInside = true;
        for (;;) {
            USHORT cb = 0;
            if (pos > cbBlock || cbBlock - pos < sizeof(cb)) {
                bInside = false;
                break;
            }
            std::memcpy(&cb, pBytes + pos, sizeof(cb));
            if (cb == 0) break;
            if (cb < sizeof(cb) || cbBlock - pos < cb) {
                bInside = false;
                break;
            }
            pos += cb;
        }
        if (bInside) items.push_back(reinterpret_cast<LPCITEMIDLIST>(pBytes + off));
    }
    return items;
}
