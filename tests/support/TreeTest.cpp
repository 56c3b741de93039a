#include "support/TreeTest.h"

#include "shell/IdListPtr.h"
#include "shell/Wine.h"
#include "support/TestTrash.h"
#include "tree/IdList.h"

ScratchFolder* TreeTest::s_pTrash = nullptr;

void TreeTest::SetUpTestSuite()
{
    CMallocSpy::Instance();
    s_pTrash = new ScratchFolder("tree-trash");
    UseTestTrash(s_pTrash->Path());
    // The shell keeps caches alive for good after its first walk down to a folder.
    CTreeHost warm;
    warm.m_tree.FillRoot();
    CIdListPtr pidl(PathToIdList(s_pTrash->Path().c_str()));
    warm.m_tree.SelectIdList(pidl);
    warm.Paint();
}

void TreeTest::TearDownTestSuite()
{
    delete s_pTrash;
    s_pTrash = nullptr;
}

void TreeTest::SetUp()
{
    m_pDir.reset(new ScratchFolder(std::string("tree-") +
                                   ::testing::UnitTest::GetInstance()->current_test_info()->name()));
    ASSERT_TRUE(m_pDir->Made()) << m_pDir->Path();
    m_pHost.reset(new CTreeHost);
    m_pScope.reset(new CMallocSpy::CScope);
}

void TreeTest::TearDown()
{
    m_pHost.reset();  // the tree's window goes, and every record with it
    if (m_pScope) {
        EXPECT_EQ(0, m_pScope->Leaked());
    }
    m_pDir.reset();
    SetWineCheckForTesting(WineCheck::Detect);
}

LPITEMIDLIST TreeTest::IdList(const std::string& relative) const
{
    return PathToIdList((relative.empty() ? m_pDir->Path() : m_pDir->Sub(relative)).c_str());
}

HTREEITEM TreeTest::ShowFixture()
{
    Tree().FillRoot();
    CIdListPtr pidl(IdList());
    EXPECT_EQ(S_OK, Tree().SelectIdList(pidl));
    return Tree().GetSelectedItem();
}

CComPtr<IShellFolder> TreeTest::FixtureFolder()
{
    CComPtr<IShellFolder> spDesktop, spFolder;
    SHGetDesktopFolder(spDesktop.Put());
    CIdListPtr pidl(IdList());
    spDesktop->BindToObject(pidl, nullptr, IID_IShellFolder, spFolder.PutVoid());
    return spFolder;
}

void TreeTest::InsertFixtureRoots(IShellFolder* pFolder)
{
    CIdListPtr pidl(IdList());
    Tree().InsertFolderChildren(pFolder, pidl, TVI_ROOT);
}

bool TreeTest::SameItem(LPCITEMIDLIST pidl1, LPCITEMIDLIST pidl2)
{
    CComPtr<IShellFolder> spDesktop;
    SHGetDesktopFolder(spDesktop.Put());
    return pidl1 && pidl2 && spDesktop->CompareIDs(0, pidl1, pidl2) == 0;
}

POINT TreeTest::ButtonPoint(HTREEITEM hItem)
{
    RECT rc;
    Tree().GetItemRect(hItem, &rc, TRUE);
    POINT pt = {rc.left, (rc.top + rc.bottom) / 2};
    UINT nFlags = 0;
    while (pt.x > 0 && (Tree().HitTest(pt, &nFlags), !(nFlags & TVHT_ONITEMBUTTON))) pt.x--;
    return pt;
}

BOOL TreeTest::EditLabelW(HTREEITEM hItem, const std::wstring& text)
{
    HWND hEdit = reinterpret_cast<HWND>(Tree().SendMessage(TVM_EDITLABELA, 0, reinterpret_cast<LPARAM>(hItem)));
    if (!hEdit) return FALSE;
    SetWindowTextW(hEdit, text.c_str());
    Tree().SendMessage(TVM_ENDEDITLABELNOW, FALSE, 0);
    return TRUE;
}

BOOL TreeTest::EditLabel(HTREEITEM hItem, const char* pszText, BOOL bCancel)
{
    HWND hEdit = reinterpret_cast<HWND>(Tree().SendMessage(TVM_EDITLABELA, 0, reinterpret_cast<LPARAM>(hItem)));
    if (!hEdit) return FALSE;
    if (pszText) SetWindowTextA(hEdit, pszText);
    Tree().SendMessage(TVM_ENDEDITLABELNOW, bCancel, 0);
    return TRUE;
}
