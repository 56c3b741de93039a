#include "support/DocTestUtil.h"

#include "frames/WindowPlacement.h"
#include "framework/Document.h"
#include "framework/FrameWnd.h"
#include "view/FolvaneView.h"

namespace {
const char kRecordKey[] = "Software\\Quorrel\\Folvane\\Open Windows";
}

std::vector<HWND> BrowserWindows(HWND hMain)
{
    std::vector<HWND> found;
    HWND hClient = FindWindowExA(hMain, nullptr, "MDIClient", nullptr);
    for (HWND h = hClient ? GetWindow(hClient, GW_CHILD) : nullptr; h; h = GetWindow(h, GW_HWNDNEXT)) {
        found.push_back(h);
    }
    return found;
}

RECT RectInParent(HWND hWnd)
{
    RECT rc;
    GetWindowRect(hWnd, &rc);
    MapWindowPoints(HWND_DESKTOP, GetParent(hWnd), reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

std::string RectText(const RECT& rc)
{
    char buf[64];
    wsprintfA(buf, "%ld,%ld,%ld,%ld", rc.left, rc.top, rc.right, rc.bottom);
    return buf;
}

std::string WindowText(HWND hWnd)
{
    char buf[1024] = "";
    GetWindowTextA(hWnd, buf, sizeof(buf));
    return buf;
}

CFolvaneView* FirstViewOf(CDocument* pDoc)
{
    return pDoc ? dynamic_cast<CFolvaneView*>(pDoc->GetFirstView()) : nullptr;
}

CFrameWnd* FirstFrameOf(CDocument* pDoc)
{
    CFolvaneView* pView = FirstViewOf(pDoc);
    return pView ? pView->GetParentFrame() : nullptr;
}

std::string BrowserWindowStringOf(HWND hView)
{
    std::vector<char> buf(4096, '\0');
    LRESULT n = SendMessageA(hView, WM_GETBROWSERWINDOWSTRING, reinterpret_cast<WPARAM>(buf.data()),
                             static_cast<LPARAM>(buf.size()));
    return n > 0 ? std::string(buf.data()) : std::string();
}

void WriteRecordValue(const char* name, DWORD type, const void* data, DWORD size)
{
    HKEY hKey;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kRecordKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &hKey, nullptr) ==
        ERROR_SUCCESS) {
        RegSetValueExA(hKey, name, 0, type, static_cast<const BYTE*>(data), size);
        RegCloseKey(hKey);
    }
}

void WriteRecordString(const char* name, const std::string& text)
{
    WriteRecordValue(name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
}

std::vector<std::pair<std::string, std::string>> ReadRecordStrings()
{
    std::vector<std::pair<std::string, std::string>> values;
    HKEY hKey;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kRecordKey, 0, KEY_READ, &hKey) != ERROR_SUCCESS) return values;
    std::vector<char> data(70000);
    for (DWORD i = 0;; ++i) {
        char name[256];
        DWORD cchName = sizeof(name), type = 0, size = static_cast<DWORD>(data.size() - 1);
        if (RegEnumValueA(hKey, i, name, &cchName, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size) !=
            ERROR_SUCCESS)
            break;
        data[size] = '\0';
        values.emplace_back(name, type == REG_SZ ? std::string(data.data()) : std::string("<type>"));
    }
    RegCloseKey(hKey);
    return values;
}
