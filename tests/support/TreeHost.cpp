#include "support/TreeHost.h"

namespace {

const UINT kTreeId = 1000;
const DWORD kTreeStyle = 0x5001000F;  // the view template's: child, visible, tab stop, buttons, lines, edit labels

}  // namespace

CTreeHost::CTreeHost()
{
    LPCSTR pszClass = RegisterWndClass("FolvaneTreeHost", 0, nullptr, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
    CreateEx(0, pszClass, "tree host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 420, 640, nullptr, nullptr);
    HWND hTree = CreateWindowExA(0, WC_TREEVIEWA, "Tree1", kTreeStyle, 0, 0, 400, 600, m_hWnd,
                                 reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kTreeId)), GetModuleHandleA(nullptr), nullptr);
    m_tree.SubclassWindow(hTree);
    m_tree.SetSystemImageList();
}

CTreeHost::~CTreeHost()
{
    if (m_hWnd) DestroyWindow();
}

int CTreeHost::Count(UINT code) const
{
    int n = 0;
    for (UINT c : m_codes) n += c == code;
    return n;
}

void CTreeHost::Paint()
{
    RedrawWindow(m_tree.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

BOOL CTreeHost::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    NMHDR* pNMHDR = reinterpret_cast<NMHDR*>(lParam);
    m_codes.push_back(pNMHDR->code);
    if (pNMHDR->code == TVN_ITEMEXPANDINGA && m_bVetoExpanding) {
        *pResult = 1;
        return TRUE;
    }
    if (m_tree.HandleTreeNotify(pNMHDR, pResult)) {
        NMTVCUSTOMDRAW* pDraw = reinterpret_cast<NMTVCUSTOMDRAW*>(pNMHDR);
        if (pNMHDR->code == NM_CUSTOMDRAW && pDraw->nmcd.dwDrawStage == CDDS_ITEMPREPAINT) {
            HTREEITEM hItem = reinterpret_cast<HTREEITEM>(pDraw->nmcd.dwItemSpec);
            m_textColor[hItem] = pDraw->clrText;
            m_drawState[hItem] = pDraw->nmcd.uItemState;
        }
        return TRUE;
    }
    return CWnd::OnNotify(wParam, lParam, pResult);
}

LRESULT CTreeHost::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    // The menu's loop tells its owner when it waits for input: the answer is given once.
    if (message == WM_ENTERMENULOOP) m_bMenuAnswered = FALSE;
    if (message == WM_ENTERIDLE && wParam == MSGF_MENU && !m_bMenuAnswered) {
        m_bMenuAnswered = TRUE;
        m_nMenusShown++;
        if (m_menu == Menu::Dismiss) {
            EndMenu();
        } else {
            ::PostMessageA(reinterpret_cast<HWND>(lParam), WM_KEYDOWN, VK_DOWN, 0);
            ::PostMessageA(reinterpret_cast<HWND>(lParam), WM_KEYDOWN, VK_RETURN, 0);
        }
        return 0;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}
