// The Run command's reading of an item's parsing name and of the command line typed for it:
// the name split into folder and file, and the program the line names looked for in the
// folder, among files that exist there (and folders, which are not programs).
#include <fuzzer/FuzzedDataProvider.h>

#include <map>
#include <string>

#include "fuzz.h"
#include "view/RunCommand.h"

namespace {

std::map<std::string, DWORD> g_files;  // upper-case path: attributes

std::string Upper(std::string s)
{
    for (char& ch : s) ch = static_cast<char>(toupper(static_cast<unsigned char>(ch)));
    return s;
}

}  // namespace

DWORD GetFileAttributesA(LPCSTR path)
{
    auto it = g_files.find(Upper(path));
    return it == g_files.end() ? INVALID_FILE_ATTRIBUTES : it->second;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider in(data, size);
    const CString parsingName = in.ConsumeRandomLengthString(400).c_str();
    CString directory, fileName;
    SplitParsingName(parsingName, directory, fileName);
    FUZZ_CHECK(directory + fileName == parsingName && fileName.Find('\\') < 0);
    FUZZ_CHECK(directory.IsEmpty() || directory[directory.GetLength() - 1] == '\\');

    g_files.clear();
    for (int n = in.ConsumeIntegralInRange<int>(0, 6); n > 0; n--) {
        const DWORD attributes = in.ConsumeBool() ? FILE_ATTRIBUTE_DIRECTORY : 0;
        g_files[Upper((directory + in.ConsumeRandomLengthString(40).c_str()).str())] = attributes;
    }
    const CString commandLine = in.ConsumeRemainingBytesAsString().c_str();
    const CString program = FindProgramInFolder(directory, commandLine);
    // Only a file that is there, and in that folder.
    if (!program.IsEmpty()) {
        FUZZ_CHECK(GetFileAttributesA(program) == 0);
        FUZZ_CHECK(program.Left(directory.GetLength()) == directory && program.GetLength() < MAX_PATH);
    }
    return 0;
}
