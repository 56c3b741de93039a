// A window that hosts the folder tree as the explorer view does, for the tree's tests.
#pragma once

#include <windows.h>

#include <map>
#include <vector>

#include "tree/ShellTreeCtrl.h"

// A top-level window holding the tree (control 1000, created from the same style as the
// view's template and subclassed into m_tree), handing its notifications to the tree
// through HandleTreeNotify as the view does.
class CTreeHost : public CWnd {
public:
    enum class Menu { Dismiss, ChooseFirst };

    CTreeHost();
    ~CTreeHost() override;

    CShellTreeCtrl m_tree;
    std::vector<UINT> m_codes;                 // notification codes seen, in order
    std::map<HTREEITEM, COLORREF> m_textColor; // text colour of each item at its last paint
    std::map<HTREEITEM, UINT> m_drawState;     // custom-draw item state at its last paint
    BOOL m_bVetoExpanding = FALSE;
    Menu m_menu = Menu::Dismiss;               // how an open popup menu is answered
    int m_nMenusShown = 0;

    int Count(UINT code) const;
    // Paints the tree now, as the user would see it.
    void Paint();

protected:
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    BOOL m_bMenuAnswered = FALSE;
};
