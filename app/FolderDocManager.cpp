#include "app/FolderDocManager.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

#include "frames/WindowPlacement.h"
#include "framework/AfxRes.h"
#include "framework/FrameWnd.h"
#include "framework/View.h"
#include "framework/WinApp.h"
#include "res/Messages.h"

IMPLEMENT_DYNAMIC(CFolderDocManager, CDocManager)

const char* const CFolderDocManager::kSection = "Open Windows";
const char* const CFolderDocManager::kEntryPrefix = "Window";

namespace {

// Longest value name the registry allows, plus the terminator.
const DWORD kMaxValueName = 16384;

// Room for a folder path of MAX_PATH characters, the comma and the longest placement.
const LPARAM kQueryBufferSize = MAX_PATH + 60;

// The number of an entry named like "Window12" (registry names ignore case), or 0 for
// any other name.
DWORD EntryNumber(const char* name)
{
    const char* prefix = CFolderDocManager::kEntryPrefix;
    for (; *prefix; ++prefix, ++name) {
        const char ch = (*name >= 'a' && *name <= 'z') ? static_cast<char>(*name - 'a' + 'A') : *name;
        const char want = (*prefix >= 'a' && *prefix <= 'z') ? static_cast<char>(*prefix - 'a' + 'A') : *prefix;
        if (ch != want) return 0;
    }
    DWORD n = 0;
    int digits = 0;
    for (; *name; ++name) {
        if (*name < '0' || *name > '9' || ++digits > 9) return 0;
        n = n * 10 + static_cast<DWORD>(*name - '0');
    }
    return n;
}

// A string value read whole; false for other types and for values that cannot be read.
bool ReadStringValue(HKEY hKey, const char* name, CString& text)
{
    DWORD type = 0, size = 0;
    if (RegQueryValueExA(hKey, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return false;
    if ((type != REG_SZ && type != REG_EXPAND_SZ) || size >= 0x7FFFFFFFUL) return false;
    try {
        CString value;
        char* p = value.GetBuffer(static_cast<int>(size));
        DWORD got = size;
        // A stored string need not be terminated; one that grew meanwhile fails here.
        if (RegQueryValueExA(hKey, name, nullptr, &type, reinterpret_cast<BYTE*>(p), &got) != ERROR_SUCCESS ||
            got > size) {
            return false;
        }
        p[got] = '\0';
        value.ReleaseBuffer();
        text = value;
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

HKEY OpenRecordKey()
{
    CWinApp* pApp = AfxGetApp();
    return pApp ? pApp->GetSectionKey(CFolderDocManager::kSection) : nullptr;
}

}  // namespace

CString CFolderDocManager::PrepareDocumentText(LPCSTR lpszText)
{
    const char* p = lpszText ? lpszText : "";
    if (*p == '"') ++p;
    size_t length = 0;
    while (length < MAX_PATH - 1 && p[length]) ++length;
    CString text(p, static_cast<int>(length));
    int quote = text.ReverseFind('"');
    if (quote >= 0) text = text.Left(quote);
    return text;
}

CDocument* CFolderDocManager::OpenDocumentFile(LPCSTR lpszFileName)
{
    // Used as it is: not made a full path, and a shortcut is not followed.
    CString text = PrepareDocumentText(lpszFileName);
    return CDocManager::OpenDocumentFile(text);
}

std::vector<CString> CFolderDocManager::GetOpenWindowStrings()
{
    std::vector<CString> texts;
    CMDIFrameWnd* pMain = dynamic_cast<CMDIFrameWnd*>(AfxGetMainWnd());
    if (!pMain || !pMain->m_hWndMDIClient) return texts;

    std::vector<CFrameWnd*> frames = pMain->GetMDIChildFrames();
    // Reopened in this order, the window that was on top comes last and stays on top.
    std::reverse(frames.begin(), frames.end());

    std::vector<char> buffer;
    for (CFrameWnd* pFrame : frames) {
        HWND hView = pFrame->GetActiveView() ? pFrame->GetActiveView()->m_hWnd : ::GetDlgItem(pFrame->m_hWnd, AFX_IDW_PANE_FIRST);
        if (!hView) continue;
        // The folder path may have grown past MAX_PATH through navigation: ask again with room.
        LPARAM size = kQueryBufferSize;
        for (int attempt = 0; attempt < 2; ++attempt) {
            buffer.assign(static_cast<size_t>(size), '\0');
            LRESULT length = ::SendMessageA(hView, WM_GETBROWSERWINDOWSTRING, reinterpret_cast<WPARAM>(buffer.data()),
                                            size);
            if (length <= 0) break;  // not a browser view
            if (length < size) {
                texts.emplace_back(buffer.data(), static_cast<int>(length));
                break;
            }
            size = length + 1;
        }
    }
    return texts;
}

std::vector<CString> CFolderDocManager::ReadRecord()
{
    std::vector<CString> texts;
    HKEY hKey = OpenRecordKey();
    if (!hKey) return texts;

    std::vector<std::pair<DWORD, CString>> entries;
    std::vector<char> name(kMaxValueName);
    for (DWORD i = 0;; ++i) {
        DWORD cch = kMaxValueName;
        LONG rc = RegEnumValueA(hKey, i, name.data(), &cch, nullptr, nullptr, nullptr, nullptr);
        if (rc == ERROR_MORE_DATA) continue;
        if (rc != ERROR_SUCCESS) break;
        DWORD number = EntryNumber(name.data());
        if (number == 0) continue;
        CString text;
        if (ReadStringValue(hKey, name.data(), text)) entries.emplace_back(number, text);
    }
    RegCloseKey(hKey);

    std::stable_sort(entries.begin(), entries.end(),
                     [](const std::pair<DWORD, CString>& a, const std::pair<DWORD, CString>& b) {
                         return a.first < b.first;
                     });
    for (auto& entry : entries) texts.push_back(entry.second);
    return texts;
}

void CFolderDocManager::WriteRecord(const std::vector<CString>& texts)
{
    HKEY hKey = OpenRecordKey();
    if (!hKey) return;
    // Every value goes, whatever its name, so nothing of an earlier record survives.
    std::vector<char> name(kMaxValueName);
    for (;;) {
        DWORD cch = kMaxValueName;
        if (RegEnumValueA(hKey, 0, name.data(), &cch, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        if (RegDeleteValueA(hKey, name.data()) != ERROR_SUCCESS) break;
    }
    DWORD number = 0;
    for (const CString& text : texts) {
        CString entry;
        entry.Format("%s%lu", kEntryPrefix, static_cast<unsigned long>(++number));
        RegSetValueExA(hKey, entry, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.GetString()),
                       static_cast<DWORD>(text.GetLength() + 1));
    }
    RegCloseKey(hKey);
}

void CFolderDocManager::SaveOpenWindows()
{
    WriteRecord(GetOpenWindowStrings());
}

void CFolderDocManager::RestoreOpenWindows()
{
    for (const CString& text : ReadRecord()) {
        if (!text.IsEmpty()) OpenDocumentFile(text);
    }
}
