// The fixture of the folder-tree tests: one host window and one scratch folder of the
// test's own per test; every record the tree made must be gone once the window is destroyed.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "shell/ComPtr.h"
#include "support/MallocSpy.h"
#include "support/ScratchFolder.h"
#include "support/TreeHost.h"
#include "support/TreeItems.h"

class TreeTest : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() override;
    void TearDown() override;

    CShellTreeCtrl& Tree() { return m_pHost->m_tree; }
    // The absolute list of the test's folder, or of something below it.
    LPITEMIDLIST IdList(const std::string& relative = "") const;
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
    // The same with the text typed wide, as a user types any name.
    BOOL EditLabelW(HTREEITEM hItem, const std::wstring& text);
    // The folder the shell's delete moves to while the suite runs (see UseTestTrash).
    static const ScratchFolder& Trash() { return *s_pTrash; }

    std::unique_ptr<ScratchFolder> m_pDir;
    std::unique_ptr<CTreeHost> m_pHost;
    std::unique_ptr<CMallocSpy::CScope> m_pScope;

private:
    static ScratchFolder* s_pTrash;
};
