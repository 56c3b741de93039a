// Back and Forward in the explorer view: each window keeps the places it showed, and going
// back or forward shows one of them again through the tree. A place whose folder is gone is
// passed over, and the user told so.
#include "view/FolvaneView.h"

#include "framework/FrameWnd.h"
#include "shell/AddressPath.h"
#include "shell/AnsiNames.h"
#include "shell/DiskFolders.h"
#include "shell/IdListPtr.h"
#include "tree/IdList.h"
#include "res/resource.h"

namespace {

bool PlaceStillThere(const std::string& path)
{
    if (IsDiskPath(path)) return DiskFolderExists(WideOf(path.c_str()).c_str()) != FALSE;
    CIdListPtr pidl(PathToIdList(path.c_str()));
    return static_cast<bool>(pidl);
}

}  // namespace

void CFolvaneView::RecordVisit(const CString& strPath)
{
    CFrameWnd* pFrame = GetParentFrame();
    const CString strTitle = pFrame ? CString(pFrame->GetTitle()) : strPath;
    // Kept by its real names: the folder may be gone by the time the title is shown.
    m_history.Visit(strPath.str(), LongPathOf(strTitle.IsEmpty() ? strPath : strTitle));
}

std::vector<std::wstring> CFolvaneView::GetHistoryTitles(BOOL bForward)
{
    std::vector<std::wstring> titles;
    for (const CNavigationHistory::Place& place : m_history.Places(bForward != FALSE)) titles.push_back(place.title);
    return titles;
}

void CFolvaneView::GoThroughHistory(BOOL bForward, int nSteps)
{
    if (nSteps < 1) return;
    std::vector<std::wstring> gone;
    BOOL bShown = FALSE;
    for (;;) {
        const int i = m_history.Target(bForward != FALSE, static_cast<size_t>(nSteps));
        if (i < 0) break;
        const CNavigationHistory::Place place = m_history.At(i);
        if (!PlaceStillThere(place.path)) {
            // Forgotten, the next place in the same direction takes its index.
            gone.push_back(place.title);
            m_history.Forget(i);
            continue;
        }
        m_history.BeginMove(i);
        bShown = BrowseToPath(place.path.c_str());
        m_history.EndMove();
        if (!bShown) {
            SayAddressSentence(IDS_ADDRESS_CANNOT_SHOW, place.title);
            return;
        }
        break;
    }
    if (gone.empty()) {
        if (!bShown) MessageBeep(MB_OK);
        return;
    }
    std::wstring names;
    for (const std::wstring& name : gone) {
        if (!names.empty()) names += L", ";
        names += L"\"" + name + L"\"";
    }
    if (!bShown) SayAddressSentence(IDS_HISTORY_ALL_GONE, names);
    else if (gone.size() == 1) SayAddressSentence(IDS_HISTORY_SKIPPED, gone[0]);
    else SayAddressSentence(IDS_HISTORY_SKIPPED_MANY, names);
}

void CFolvaneView::OnGoBack()
{
    GoThroughHistory(FALSE, 1);
}

void CFolvaneView::OnGoForward()
{
    GoThroughHistory(TRUE, 1);
}

void CFolvaneView::OnUpdateGoBack(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(m_history.CanGo(false));
}

void CFolvaneView::OnUpdateGoForward(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(m_history.CanGo(true));
}
