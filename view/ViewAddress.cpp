// The address box's side of the explorer view: the text it shows for the folder on show, and
// a typed path shown through the tree, as every other navigation is, or answered with a
// sentence that names it while the window stays as it was.
#include "view/FolvaneView.h"

#include "framework/FrameWnd.h"
#include "framework/WinApp.h"
#include "res/resource.h"
#include "shell/AddressPath.h"
#include "shell/AnsiNames.h"
#include "shell/IdListPtr.h"
#include "shell/PathItems.h"
#include "tree/IdList.h"

CString CFolvaneView::GetAddressText()
{
    // A folder on disk by its path; any other by the name the window gives it.
    if (IsDiskPath(m_strShownFolder.str())) return m_strShownFolder;
    CFrameWnd* pFrame = GetParentFrame();
    CString strTitle = pFrame ? CString(pFrame->GetTitle()) : CString();
    return strTitle.IsEmpty() ? m_strShownFolder : strTitle;
}

BOOL CFolvaneView::BrowseToAddress(LPCSTR pszTyped)
{
    const CString typed(pszTyped ? pszTyped : "");
    // The box's own text, given back as it was (a virtual folder's name among them).
    if (typed == GetAddressText() && !m_strShownFolder.IsEmpty()) return BrowseToPath(m_strShownFolder);
    const AddressTarget t = ResolveAddress(typed.str(), m_strShownFolder.str());
    if (SayAddressProblem(t)) return FALSE;
    if (!BrowseToPath(t.folder.c_str())) {
        SayAddressSentence(IDS_ADDRESS_CANNOT_SHOW, QuotableName(t.folder));
        return FALSE;
    }
    if (!t.item.empty() && m_pShellView) SelectPathInShellView(m_pShellView, WideOf(t.item.c_str()));
    return TRUE;
}

BOOL CFolvaneView::BrowseToPath(const CString& strPath)
{
    if (!m_strShownFolder.IsEmpty() && strPath.CompareNoCase(m_strShownFolder) == 0) return TRUE;
    CIdListPtr pidl(PathToIdList(strPath));
    if (!pidl) return FALSE;
    const CString strBefore = m_strShownFolder;
    if (FAILED(GetShellBrowser(FALSE)->BrowseObject(pidl, SBSP_SAMEBROWSER | SBSP_ABSOLUTE))) return FALSE;
    // The tree found the folder but could not show it: the old one stays.
    return m_strShownFolder != strBefore || strPath.CompareNoCase(m_strShownFolder) == 0;
}
