// A name as a shell folder hands it back (STRRET in any of its forms, with any offset or
// text) for an item list of the folder's own, turned into text for buffers of any size.
#include <fuzzer/FuzzedDataProvider.h>

#include <string>
#include <vector>

#include "fuzz.h"
#include "tree/IdList.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider in(data, size);
    STRRET sr;
    std::memset(&sr, 0, sizeof(sr));
    sr.uType = in.ConsumeIntegralInRange<UINT>(0, 3);
    const int cchBuf = in.ConsumeIntegralInRange<int>(-1, 300);
    // The list: well formed (the folder made it), each identifier of the given bytes.
    std::vector<BYTE> list;
    for (int n = in.ConsumeIntegralInRange<int>(0, 3); n > 0; n--) {
        const std::string id = in.ConsumeRandomLengthString(300);
        const USHORT cb = static_cast<USHORT>(id.size() + sizeof(USHORT));
        list.insert(list.end(), reinterpret_cast<const BYTE*>(&cb), reinterpret_cast<const BYTE*>(&cb) + sizeof(cb));
        list.insert(list.end(), id.begin(), id.end());
    }
    list.insert(list.end(), {0, 0});
    std::wstring wide;
    if (sr.uType == STRRET_OFFSET) {
        sr.uOffset = in.ConsumeIntegral<UINT>();
    } else if (sr.uType == STRRET_CSTR) {
        // The rest of the field filled with one byte: a zero, or a text that is not terminated.
        std::memset(sr.cStr, in.ConsumeIntegral<char>(), sizeof(sr.cStr));
        const std::vector<BYTE> text = in.ConsumeBytes<BYTE>(sizeof(sr.cStr));
        if (!text.empty()) std::memcpy(sr.cStr, text.data(), text.size());
    } else if (sr.uType == STRRET_WSTR) {
        for (const std::vector<BYTE> units = in.ConsumeRemainingBytes<BYTE>(); wide.size() * 2 + 1 < units.size();)
            wide += static_cast<wchar_t>(units[wide.size() * 2] | units[wide.size() * 2 + 1] << 8);
        sr.pOleStr = &wide[0];  // terminated at its first zero unit
    }
    const LPCITEMIDLIST pidl = reinterpret_cast<LPCITEMIDLIST>(list.data());

    const int cch = StrRetToText(&sr, pidl, nullptr, 0);
    FUZZ_CHECK(cch >= 0);
    std::vector<char> buf(static_cast<size_t>(cchBuf > 0 ? cchBuf : 1), '\x7F');
    const int copied = StrRetToText(&sr, pidl, cchBuf > 0 ? buf.data() : nullptr, cchBuf);
    if (cchBuf <= 0) return 0;
    // Always terminated inside the buffer, never longer than measured.
    FUZZ_CHECK(copied >= 0 && copied < cchBuf && copied <= cch && buf[static_cast<size_t>(copied)] == '\0');
    if (cch < cchBuf) FUZZ_CHECK(copied == cch);
    return 0;
}
