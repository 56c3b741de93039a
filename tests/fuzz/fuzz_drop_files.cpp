// A clipboard or drop block as another program may have made it, read both as a CF_HDROP
// block (DROPFILES and names) and as a "Preferred DropEffect".
#include <string>
#include <vector>

#include "fuzz.h"
#include "shell/TransferBlocks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::vector<std::wstring> files = ParseDropFilesBlock(data, size);
    size_t cch = 0;
    for (const std::wstring& file : files) {
        FUZZ_CHECK(!file.empty() && file.find(L'\0') == std::wstring::npos);
        cch += file.size() + 1;
    }
    // Every name and its terminator came from the block.
    FUZZ_CHECK(cch <= size);

    const DWORD effect = ReadPreferredDropEffect(data, size);
    FUZZ_CHECK(effect == DROPEFFECT_COPY || effect == DROPEFFECT_MOVE);
    return 0;
}
