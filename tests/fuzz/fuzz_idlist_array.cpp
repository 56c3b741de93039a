// A "Shell IDList Array" block as another program may have made it: the first selected item
// found, then copied as the selection reader copies it (its first identifier and a terminator);
// and every item, each walked to its terminator as the status reader uses them.
#include <cstring>
#include <vector>

#include "fuzz.h"
#include "shell/TransferBlocks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    for (LPCITEMIDLIST pEach : IdListArrayItems(data, size)) {
        const BYTE* p = reinterpret_cast<const BYTE*>(pEach);
        for (;;) {
            FUZZ_CHECK(p >= data && p + sizeof(USHORT) <= data + size);
            USHORT cb;
            std::memcpy(&cb, p, sizeof(cb));
            if (!cb) break;
            p += cb;
        }
    }
    LPCITEMIDLIST pItem = FindFirstIdListArrayItem(data, size);
    if (!pItem) return 0;
    const BYTE* p = reinterpret_cast<const BYTE*>(pItem);
    FUZZ_CHECK(p >= data && p < data + size);
    USHORT cb;
    std::memcpy(&cb, p, sizeof(cb));
    std::vector<BYTE> copy(p, p + cb + sizeof(USHORT));
    return 0;
}
