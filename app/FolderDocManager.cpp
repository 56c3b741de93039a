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
const char* const CFolderDocManager::kEntryPrefix = kWindowRecordPrefix;

namespace {

// Longest value name the registry allows, plus the terminator.
const DWORD kMaxValueName = 16384;

// Room for a folder path of MAX_PATH characters, the comma and the longest placement.
const LPARAM kQueryBufferSize = MAX_PATH + 60;

// A string value read whole; false for other types and for values that cannot be read.
bool ReadStringValue(HKEY hKey, const char* name, CString& text)
{
    DWORD type = 0, size = 0;
    if (RegQueryValueExA(hKey, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return false;
    if ((type != REG_SZ && type != REG_EXPAND_SZ) || size >= 0x7FFFFFFFUL) return false;
    try {
        std::vector<BYTE> value(size + 1);
        DWORD got = size;
        // A stored string need not be terminated; one that grew meanwhile fails here.
        if (RegQueryValueExA(hKey, name, nullptr, &type, value.data(), &got) != ERROR_SUCCESS || got > size) {
            return false;
        }
        text = WindowRecordText(value.data(), got);
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
    return ::PrepareDocumentText(lpszText);
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
        DWORD number = WindowRecordNumber(name.data());
        if (number == 0) continue;
        CString text;
        if (ReadStringValue(hKey, name.data(), text)) entries.emplace_back(number, text);
    }
    RegCloseKey(hKey);
    return OrderWindowRecord(std::move(entries));
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
        const CString entry = WindowRecordName(++number);
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
