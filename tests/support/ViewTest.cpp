#include "support/ViewTest.h"

#include <commctrl.h>

#include <algorithm>

#include "view/FolvaneDoc.h"
#include "shell/IdListPtr.h"
#include "support/BrowserWindows.h"
#include "tree/IdList.h"
#include "view/FolvaneView.h"

HWND ListOf(CFolvaneView* pView)
{
    return pView->m_hwndShellView ? FindWindowExA(pView->m_hwndShellView, nullptr, "SysListView32", nullptr) : nullptr;
}

std::vector<std::string> ListNames(CFolvaneView* pView)
{
    std::vector<std::string> names;
    HWND hList = ListOf(pView);
    int n = hList ? static_cast<int>(SendMessageA(hList, LVM_GETITEMCOUNT, 0, 0)) : 0;
    for (int i = 0; i < n; i++) {
        char text[MAX_PATH] = "";
        LVITEMA item = {};
        item.iSubItem = 0;
        item.pszText = text;
        item.cchTextMax = MAX_PATH;
        SendMessageA(hList, LVM_GETITEMTEXTA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
        names.push_back(text);
    }
    return names;
}

int ListIndexOf(CFolvaneView* pView, const std::string& name)
{
    std::vector<std::string> names = ListNames(pView);
    for (size_t i = 0; i < names.size(); i++) {
        if (lstrcmpiA(names[i].c_str(), name.c_str()) == 0) return static_cast<int>(i);
    }
    return -1;
}

void SelectInList(CFolvaneView* pView, const std::vector<std::string>& names)
{
    HWND hList = ListOf(pView);
    LVITEMA none = {};
    none.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(hList, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&none));
    for (const std::string& name : names) {
        LVITEMA sel = {};
        sel.stateMask = LVIS_SELECTED;
        sel.state = LVIS_SELECTED;
        SendMessageA(hList, LVM_SETITEMSTATE, static_cast<WPARAM>(ListIndexOf(pView, name)),
                     reinterpret_cast<LPARAM>(&sel));
    }
}

void ViewTest::SetUp()
{
    AppFixture::SetUp();
    m_root.MakeFolders({"alpha", "alpha\\inner", "alpha\\inner\\deepest", "beta", "gamma"});
    m_root.MakeFiles({"one.txt", "two.txt", "alpha\\x.txt"});
}

void ViewTest::TearDown()
{
    if (m_pApp->m_pMainWnd) m_pApp->CloseAllDocuments(FALSE);
    AppFixture::TearDown();
}

CFolvaneView* ViewTest::Open(const std::string& text)
{
    CFolvaneDoc* pDoc = dynamic_cast<CFolvaneDoc*>(m_pApp->OpenDocumentFile(text.c_str()));
    Pump();
    return FirstViewOf(pDoc);
}

std::string ViewTest::Shown(CFolvaneView* pView)
{
    return pView->GetDocument()->m_strFolderPath.str();
}

std::string ViewTest::SelectedText(CFolvaneView* pView)
{
    return pView->m_tree.GetItemText(pView->m_tree.GetSelectedItem()).str();
}

bool ViewTest::Browse(CFolvaneView* pView, const std::string& path)
{
    CIdListPtr pidl(PathToIdList(path.c_str()));
    HRESULT hr = pView->GetShellBrowser(FALSE)->BrowseObject(pidl, SBSP_SAMEBROWSER | SBSP_ABSOLUTE);
    Pump();
    return SUCCEEDED(hr);
}

BOOL ViewTest::Enabled(UINT nID)
{
    CTestCmdUI state;
    state.m_nID = nID;
    state.DoUpdate(Frame(), TRUE);
    return state.m_bEnabled;
}
