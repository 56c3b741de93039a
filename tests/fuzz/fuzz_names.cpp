// Paths and names as other programs and the file system hand them over: made normal (the
// file system's full and long forms stood in for, answers that grow between the measuring
// call and the reading one included), compared, taken apart and joined; and the first free
// name for a copy, a shortcut or a moved item among names already there.
#include <fuzzer/FuzzedDataProvider.h>

#include <cwchar>
#include <set>
#include <string>

#include <windows.h>

#include "fuzz.h"
#include "shell/FreeNames.h"
#include "shell/Paths.h"

namespace {

struct FileSystem {
    std::wstring full, longName;
    size_t growth = 0;
    int calls = 0;
} g_fs;

// Answers as the system does: the length without the terminator when the buffer holds it,
// else the size the buffer needs. Each answer is longer than the one before.
DWORD Answer(std::wstring text, LPWSTR buffer, DWORD cch)
{
    text.append(g_fs.growth * static_cast<size_t>(g_fs.calls++), L'x');
    if (!buffer || cch <= text.size()) return static_cast<DWORD>(text.size() + 1);
    std::wmemcpy(buffer, text.c_str(), text.size() + 1);
    return static_cast<DWORD>(text.size());
}

std::wstring Wide(const std::string& s)
{
    std::wstring w;
    for (size_t i = 0; i + 1 < s.size(); i += 2) w += static_cast<wchar_t>(static_cast<BYTE>(s[i]) | static_cast<BYTE>(s[i + 1]) << 8);
    return w;
}

}  // namespace

DWORD GetFullPathNameW(LPCWSTR, DWORD cch, LPWSTR buffer, LPWSTR*)
{
    return g_fs.full.empty() ? 0 : Answer(g_fs.full, buffer, cch);
}

DWORD GetLongPathNameW(LPCWSTR, LPWSTR buffer, DWORD cch)
{
    return g_fs.longName.empty() ? 0 : Answer(g_fs.longName, buffer, cch);
}

// No volume is known: the paths' own drive letters decide.
BOOL GetVolumePathNameW(LPCWSTR, LPWSTR, DWORD)
{
    return FALSE;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider in(data, size);
    const std::wstring a = Wide(in.ConsumeRandomLengthString(600));
    const std::wstring b = Wide(in.ConsumeRandomLengthString(600));
    g_fs = FileSystem();
    g_fs.full = Wide(in.ConsumeRandomLengthString(600));
    g_fs.longName = Wide(in.ConsumeRandomLengthString(600));
    g_fs.growth = in.ConsumeIntegralInRange<size_t>(0, 40);

    const std::wstring normal = NormalPath(a);
    FUZZ_CHECK(normal.size() <= 3 || (normal.back() != L'\\' && normal.back() != L'/'));
    FUZZ_CHECK(PathKey(a).size() == a.size() && SamePath(a, PathKey(a)));
    FUZZ_CHECK(SamePath(a, b) == SamePath(b, a));
    FUZZ_CHECK(IsSameOrInside(a, a));
    const std::wstring name = NameOf(a);
    FUZZ_CHECK(name.find_first_of(L"\\/:") == std::wstring::npos);
    FUZZ_CHECK(ParentOf(a).size() < a.size() || ParentOf(a).empty());
    if (!b.empty()) FUZZ_CHECK(IsSameOrInside(JoinPath(b, L"x"), b));

    // A free name is never one that is taken, on disk or earlier in the same operation.
    static const NameForm kForms[] = {&CopyName, &ShortcutName, &NumberedName, &NumberedFolderName};
    const NameForm form = kForms[in.ConsumeIntegralInRange<int>(0, 3)];
    int busy = in.ConsumeBool() ? in.ConsumeIntegralInRange<int>(0, 10001) : 0;  // the first forms are on disk
    std::set<std::wstring> onDisk, taken;
    for (int n = in.ConsumeIntegralInRange<int>(0, 8); n > 0; n--) onDisk.insert(PathKey(form(name, in.ConsumeIntegralInRange<int>(1, 12))));
    for (int n = in.ConsumeIntegralInRange<int>(0, 8); n > 0; n--) taken.insert(PathKey(form(name, in.ConsumeIntegralInRange<int>(1, 12))));
    auto isTaken = [&](const std::wstring& candidate) { return busy-- > 0 || onDisk.count(PathKey(candidate)) > 0; };
    const std::set<std::wstring> before = taken;
    const std::wstring free = FirstFreeName(name, form, taken, isTaken);
    if (free.empty()) return 0;
    const std::wstring key = PathKey(free);
    FUZZ_CHECK(!before.count(key) && !onDisk.count(key) && taken.count(key));
    FUZZ_CHECK(PathKey(FirstFreeName(name, form, taken, isTaken)) != key);
    return 0;
}
