// What the folder-tree tests share: a window that hosts the tree as the explorer view
// does, folders made on disk for one test, and a shell folder of the tests' own that
// wraps a real one to add attributes, fail calls and count references.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <map>
#include <string>
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

// A folder under the temporary folder for one test, removed with everything in it.
class CFixtureDir {
public:
    explicit CFixtureDir(const std::string& name);
    ~CFixtureDir();
    // Removes a folder tree, read-only and odd names included.
    static void RemoveTree(const std::wstring& path);

    std::string Path(const std::string& rel = "") const;
    std::wstring WPath(const std::wstring& rel = L"") const;
    // Makes each folder (with its parents) of the given relative paths.
    void MakeDirs(std::initializer_list<const char*> rels) const;
    void MakeFile(const std::string& rel, const std::string& text = "") const;
    LPITEMIDLIST IdList(const std::string& rel = "") const;

private:
    std::string m_path;
};

// Options and counters shared by a wrapping folder and every folder it binds.
struct CTestFolderState {
    std::map<std::wstring, SFGAOF> addAttrs;     // by the child's name in its folder
    std::map<std::wstring, SFGAOF> removeAttrs;
    BOOL bFailEnum = FALSE;
    BOOL bFailBind = FALSE;
    BOOL bFailCompare = FALSE;
    BOOL bFailRename = FALSE;
    HRESULT hrUIObject = S_OK;     // a failure to give for GetUIObjectOf
    int nNamesBeforeFailure = -1;  // normal display names given before they fail
    BOOL bOwnMenu = FALSE;         // context menus of one item whose command returns hrInvoke
    HRESULT hrInvoke = S_OK;
    int nNames = 0, nUIObjects = 0, nInvokes = 0, nRenames = 0;
    LONG nLive = 0;  // wrapping folders alive
    LONG nRefs = 0;  // references held on them
    std::map<std::wstring, IDropTarget*> dropTargets;  // given (with a reference) for these children
};

// Wraps a real folder (taking one reference of it); starts with one reference.
IShellFolder* NewTestFolder(IShellFolder* pInner, CTestFolderState* pState);

// Makes the shell's delete move to the trash under this folder (made if missing), never the
// user's: XDG_DATA_HOME names it, as Wine's shell reads it.
void UseTestTrash(const std::string& windowsPath);

// The children of an item, and one of them by its label.
std::vector<HTREEITEM> Children(const CTreeCtrl& tree, HTREEITEM hParent);
std::vector<std::string> Labels(const CTreeCtrl& tree, HTREEITEM hParent);
HTREEITEM ChildByLabel(const CTreeCtrl& tree, HTREEITEM hParent, const std::string& label);

#include <gtest/gtest.h>

#include <memory>

#include "shell/ComPtr.h"
#include "support/MallocSpy.h"

// One host window and one folder of the test's own per test; every record the tree
// made must be gone once the window is destroyed.
class TreeTest : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() override;
    void TearDown() override;

    CShellTreeCtrl& Tree() { return m_pHost->m_tree; }
    // Fills the tree from the desktop and selects the test's folder, expanded.
    HTREEITEM ShowFixture();
    // The test's folder as a shell folder, bound from the desktop; null when it cannot be.
    CComPtr<IShellFolder> FixtureFolder();
    // Puts the children of the test's folder at the top level, read through pFolder.
    void InsertFixtureRoots(IShellFolder* pFolder);
    HTREEITEM Item(HTREEITEM hParent, const std::string& label) { return ChildByLabel(Tree(), hParent, label); }
    // Whether two absolute lists name the same item.
    static bool SameItem(LPCITEMIDLIST pidl1, LPCITEMIDLIST pidl2);
    // A point on the item's expand button, in the tree's client coordinates.
    POINT ButtonPoint(HTREEITEM hItem);
    // Renames through the label editor as a user does; FALSE when no editor opened.
    BOOL EditLabel(HTREEITEM hItem, const char* pszText, BOOL bCancel = FALSE);

    std::unique_ptr<CFixtureDir> m_pDir;
    std::unique_ptr<CTreeHost> m_pHost;
    std::unique_ptr<CMallocSpy::CScope> m_pScope;
};
