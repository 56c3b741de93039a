#include "find/FindInput.h"

#include "res/resource.h"

namespace {

// 100-nanosecond intervals in a day.
const ULONGLONG kDay = 24ULL * 60 * 60 * 10000000;
// The largest size limit, in KB, whose bytes a 64-bit count still holds with room to spare.
const ULONGLONG kMaxKB = 1ULL << 40;

std::wstring Trimmed(const std::wstring& text)
{
    const size_t first = text.find_first_not_of(L" \t");
    if (first == std::wstring::npos) return std::wstring();
    return text.substr(first, text.find_last_not_of(L" \t") - first + 1);
}

// A whole number of at most nMax; FALSE for anything else.
BOOL ReadNumber(const std::wstring& text, ULONGLONG nMax, ULONGLONG& value)
{
    if (text.empty()) return FALSE;
    value = 0;
    for (wchar_t ch : text) {
        if (ch < L'0' || ch > L'9') return FALSE;
        value = value * 10 + static_cast<ULONGLONG>(ch - L'0');
        if (value > nMax) return FALSE;
    }
    return TRUE;
}

CString Sentence(UINT nID, const CString& a, const CString& b = CString())
{
    CString format, text;
    format.LoadString(nID);
    text.Format(format, a.GetString(), b.GetString());
    return text;
}

bool IsFullPath(const std::wstring& path)
{
    const bool bDrive = path.size() >= 3 && ((path[0] >= L'A' && path[0] <= L'Z') || (path[0] >= L'a' && path[0] <= L'z')) &&
                        path[1] == L':' && path[2] == L'\\';
    const bool bNetwork = path.size() > 2 && path[0] == L'\\' && path[1] == L'\\' && path[2] != L'\\';
    return bDrive || bNetwork;
}

}  // namespace

CString AnsiText(const std::wstring& text)
{
    if (text.empty()) return CString();
    const int cb = ::WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    CString result;
    char* p = result.GetBuffer(cb);
    ::WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), p, cb, nullptr, nullptr);
    result.ReleaseBuffer(cb);
    return result;
}

std::wstring WideText(const char* pszText)
{
    if (!pszText || !*pszText) return std::wstring();
    const int cch = ::MultiByteToWideChar(CP_ACP, 0, pszText, -1, nullptr, 0);
    std::wstring result(static_cast<size_t>(cch), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, pszText, -1, &result[0], cch);
    result.resize(static_cast<size_t>(cch - 1));
    return result;
}

BOOL ReadFindInput(const CFindInput& input, const FILETIME& ftNow, CFindCriteria& criteria, CString& strError,
                   int* pnBadControl)
{
    int nBad = 0;
    strError.Empty();
    criteria = CFindCriteria();

    switch (criteria.names.Parse(input.names)) {
    case CNamePattern::kOk: break;
    case CNamePattern::kBadCharacter:
        strError = Sentence(IDS_FIND_BAD_CHARACTER, AnsiText(Trimmed(input.names)),
                            AnsiText(std::wstring(1, criteria.names.BadCharacter())));
        nBad = IDC_FIND_NAME;
        break;
    case CNamePattern::kUnbalancedQuote:
        strError = Sentence(IDS_FIND_UNBALANCED_QUOTE, AnsiText(Trimmed(input.names)));
        nBad = IDC_FIND_NAME;
        break;
    }

    std::wstring folder = Trimmed(input.folder);
    // "C:" names the drive's current folder to the system; here it means the drive.
    if (folder.size() == 2 && folder[1] == L':') folder += L'\\';
    if (!nBad && folder.empty()) {
        strError.LoadString(IDS_FIND_NO_FOLDER);
        nBad = IDC_FIND_LOOKIN;
    } else if (!nBad && !IsFullPath(folder)) {
        strError = Sentence(IDS_FIND_NOT_FULL_PATH, AnsiText(folder));
        nBad = IDC_FIND_LOOKIN;
    }
    criteria.folder = folder;

    struct {
        const std::wstring& text;
        ULONGLONG nMax;
        bool& bSet;
        int nID;
        UINT nIDError;
        ULONGLONG value;
    } numbers[] = {
        {input.days, kMaxDays, criteria.bModifiedSince, IDC_FIND_DAYS, IDS_FIND_BAD_DAYS, 0},
        {input.minKB, kMaxKB, criteria.bMinSize, IDC_FIND_MINSIZE, IDS_FIND_BAD_SIZE, 0},
        {input.maxKB, kMaxKB, criteria.bMaxSize, IDC_FIND_MAXSIZE, IDS_FIND_BAD_SIZE, 0},
    };
    for (auto& number : numbers) {
        const std::wstring text = Trimmed(number.text);
        if (text.empty()) continue;
        number.bSet = ReadNumber(text, number.nMax, number.value) && !(number.nID == IDC_FIND_DAYS && number.value == 0);
        if (!number.bSet && !nBad) {
            strError = Sentence(number.nIDError, AnsiText(text));
            nBad = number.nID;
        }
    }
    if (criteria.bModifiedSince) {
        ULARGE_INTEGER now;
        now.LowPart = ftNow.dwLowDateTime;
        now.HighPart = ftNow.dwHighDateTime;
        const ULONGLONG back = numbers[0].value * kDay;
        now.QuadPart = now.QuadPart > back ? now.QuadPart - back : 0;
        criteria.ftModifiedSince.dwLowDateTime = now.LowPart;
        criteria.ftModifiedSince.dwHighDateTime = now.HighPart;
    }
    criteria.cbMin = numbers[1].value * 1024;
    criteria.cbMax = numbers[2].value * 1024;
    if (!nBad && criteria.bMinSize && criteria.bMaxSize && criteria.cbMin > criteria.cbMax) {
        strError = Sentence(IDS_FIND_SIZES_CROSSED, AnsiText(Trimmed(input.minKB)), AnsiText(Trimmed(input.maxKB)));
        nBad = IDC_FIND_MINSIZE;
    }

    criteria.text.Prepare(input.text);
    criteria.bSubFolders = input.bSubFolders;
    criteria.bLargeFiles = input.bLargeFiles;
    if (pnBadControl) *pnBadControl = nBad;
    return nBad == 0;
}

CString DescribeRootFailure(const CFindSummary& summary, const std::wstring& folder)
{
    UINT nID = 0;
    switch (summary.root) {
    case CFindSummary::kRootSearched: return CString();
    case CFindSummary::kRootMissing: nID = IDS_FIND_FOLDER_MISSING; break;
    case CFindSummary::kRootNotFolder: nID = IDS_FIND_NOT_A_FOLDER; break;
    case CFindSummary::kRootUnreadable: nID = IDS_FIND_FOLDER_UNREADABLE; break;
    case CFindSummary::kRootNoAnswer: nID = IDS_FIND_NO_ANSWER; break;
    }
    return Sentence(nID, AnsiText(folder));
}
