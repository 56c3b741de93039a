// A version block as GetFileVersionInfo gives it for any file the reader is pointed at, asked
// for every value the About box expands and a few other paths.
#include "dialogs/VersionBlock.h"
#include "fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const char* const kKeys[] = {"Comments", "FileDescription", "CompanyName", "FileVersion",
                                        "InternalName", "LegalCopyright", "LegalTrademarks", "OriginalFilename",
                                        "PrivateBuild", "ProductName", "ProductVersion", "SpecialBuild"};
    static const char* const kOther[] = {"", "\\", "\\VarFileInfo\\Translation", "\\StringFileInfo",
                                         "\\\\StringFileInfo\\\\040904b0\\FileVersion\\"};
    CString value;
    for (const char* key : kKeys) {
        ReadVersionString(data, size, CString("\\StringFileInfo\\040904B0\\") + key, value);
        FUZZ_CHECK(static_cast<size_t>(value.GetLength()) <= size && value.Find('\0') < 0);
    }
    for (const char* path : kOther) ReadVersionString(data, size, path, value);
    return 0;
}
