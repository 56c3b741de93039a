// View Options: the property sheet of the pages the shell view offers.
#include "view/FolvaneView.h"

#include <prsht.h>
#include <vector>

#include "framework/WinApp.h"

namespace {

// Every page the shell view adds goes into the sheet's array.
BOOL CALLBACK AddOptionsPage(HPROPSHEETPAGE hPage, LPARAM lParam)
{
    reinterpret_cast<std::vector<HPROPSHEETPAGE>*>(lParam)->push_back(hPage);
    return TRUE;
}

std::vector<HPROPSHEETPAGE> CollectOptionsPages(IShellView* pView)
{
    std::vector<HPROPSHEETPAGE> pages;
    if (pView) pView->AddPropertySheetPages(0, &AddOptionsPage, reinterpret_cast<LPARAM>(&pages));
    return pages;
}

}  // namespace

void CFolvaneView::OnViewOptions()
{
    std::vector<HPROPSHEETPAGE> pages = CollectOptionsPages(m_pShellView);
    if (pages.empty()) return;
    PROPSHEETHEADERA psh = {};
    psh.dwSize = PROPSHEETHEADERA_V1_SIZE;
    psh.hwndParent = m_hWnd;
    psh.hInstance = AfxGetInstanceHandle();
    psh.pszCaption = "Options";
    psh.nPages = static_cast<UINT>(pages.size());
    psh.nStartPage = 0;
    psh.phpage = pages.data();
    ::PropertySheetA(&psh);
}

void CFolvaneView::OnUpdateViewOptions(CCmdUI* pCmdUI)
{
    // Offered only where the shell view has pages to offer.
    std::vector<HPROPSHEETPAGE> pages = CollectOptionsPages(m_pShellView);
    for (HPROPSHEETPAGE hPage : pages) ::DestroyPropertySheetPage(hPage);
    pCmdUI->Enable(!pages.empty());
}
