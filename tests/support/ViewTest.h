// The explorer view as tests drive it: the running application with a browser window on a
// folder tree made for the test, and the right pane's list.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "support/AppFixture.h"
#include "support/ScratchFolder.h"

class CFolvaneView;

// The shell view's list in the right pane, or null.
HWND ListOf(CFolvaneView* pView);
// The names the right pane lists, in its order.
std::vector<std::string> ListNames(CFolvaneView* pView);
int ListIndexOf(CFolvaneView* pView, const std::string& name);
// Selects exactly the named items of the right pane, as clicks with Ctrl would.
void SelectInList(CFolvaneView* pView, const std::vector<std::string>& names);

// The application with a folder tree of the test's own:
//   <root>\alpha\inner\deepest, <root>\beta, <root>\gamma, files one.txt, two.txt, alpha\x.txt.
class ViewTest : public AppFixture {
protected:
    void SetUp() override;
    void TearDown() override;
    // Opens a browser window on a document text; its view, or null.
    CFolvaneView* Open(const std::string& text);
    // The folder the window shows (the document's folder path).
    std::string Shown(CFolvaneView* pView);
    // The label of the tree's selected item.
    std::string SelectedText(CFolvaneView* pView);
    // Selects a folder as a click in the tree would.
    bool Browse(CFolvaneView* pView, const std::string& path);
    // The command's state as a menu would show it.
    BOOL Enabled(UINT nID);

    ScratchFolder m_root{"view"};
};
