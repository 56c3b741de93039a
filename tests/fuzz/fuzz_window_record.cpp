// The record of open windows as the settings hold it, one value a line ("Window1=<text>",
// any bytes after the '='), read as the program reads it at start; each text then opened as
// a document: prepared, split into folder and placement, and the placement read.
#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "frames/WindowText.h"
#include "fuzz.h"

namespace {

typedef std::vector<std::pair<std::string, std::string>> Values;

std::vector<CString> ReadRecord(const Values& values)
{
    std::vector<std::pair<DWORD, CString>> entries;
    for (const auto& v : values) {
        if (DWORD number = WindowRecordNumber(v.first.c_str())) {
            const std::vector<BYTE> data(v.second.begin(), v.second.end());  // no terminator past it
            entries.emplace_back(number, WindowRecordText(data.data(), static_cast<DWORD>(data.size())));
        }
    }
    return OrderWindowRecord(entries);
}

bool SameFields(const CWindowPlacementFields& a, const CWindowPlacementFields& b)
{
    return a.rect.left == b.rect.left && a.rect.top == b.rect.top && a.rect.right == b.rect.right &&
           a.rect.bottom == b.rect.bottom && a.state == b.state;
}

void OpenDocument(const CString& recorded)
{
    const CString text = PrepareDocumentText(recorded);
    const int skip = recorded.Left(1) == "\"" ? 1 : 0;
    FUZZ_CHECK(text.GetLength() < MAX_PATH && recorded.Mid(skip, text.GetLength()) == text);
    CString folder, placement;
    SplitDocumentText(text, folder, placement);
    FUZZ_CHECK(folder.Find(',') < 0);
    FUZZ_CHECK(text.Find(',') < 0 ? folder == text && placement.IsEmpty() : folder + "," + placement == text);

    CWindowPlacementFields fields = {{0, 0, 0, 0}, 0};
    ReadWindowPlacementString(placement, fields);
    // A placement written and read back names the same window.
    CWindowPlacementFields back = {{1, 2, 3, 4}, 5};
    FUZZ_CHECK(ReadWindowPlacementString(FormatWindowPlacement(fields), back) == 5 && SameFields(fields, back));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Values values;
    const std::string input(reinterpret_cast<const char*>(data), size);
    for (size_t pos = 0; pos < input.size();) {
        size_t end = input.find('\n', pos);
        if (end == std::string::npos) end = input.size();
        const std::string line = input.substr(pos, end - pos);
        const size_t eq = line.find('=');
        values.emplace_back(line.substr(0, eq), eq == std::string::npos ? std::string() : line.substr(eq + 1));
        pos = end + 1;
    }
    // A name with a zero in it ends there, as the registry's names do.
    for (auto& v : values) v.first = v.first.c_str();

    const std::vector<CString> texts = ReadRecord(values);
    for (const CString& text : texts) OpenDocument(text);

    // The windows written as a record and read back, whatever order the settings list the
    // values in, are the same windows.
    Values written;
    for (size_t i = 0; i < texts.size(); i++)
        written.emplace_back(WindowRecordName(static_cast<DWORD>(i + 1)).str(), texts[i].str() + '\0');
    std::reverse(written.begin(), written.end());
    FUZZ_CHECK(ReadRecord(written) == texts);
    return 0;
}
