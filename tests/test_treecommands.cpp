// Commands on the folders of the tree: renaming in place, deleting with the Delete key,
// the shell's context menu, and compressed folders in blue.
#include "support/ModalWatcher.h"
#include "support/ScratchFolder.h"
#include "support/TestShellFolder.h"
#include "support/TreeTest.h"

#include "shell/ComPtr.h"
#include "shell/IdListPtr.h"
#include "shell/Wine.h"
#include "tree/IdList.h"

namespace {

// The tests' folder, read through a wrapping folder whose options the test sets.
class TreeCommands : public TreeTest {
protected:
    void SetUp() override
    {
        TreeTest::SetUp();
        m_pDir->MakeFolders({"a\\b\\c", "z"});
        m_spFolder.Attach(NewTestFolder(FixtureFolder(), &m_state));
    }
    void TearDown() override
    {
        m_spFolder = nullptr;  // the records still hold it until the window goes
        TreeTest::TearDown();
        EXPECT_EQ(0, m_state.nRefs);
    }
    // The fixture's children at the top level, "a" and "b" expanded.
    void ShowRoots()
    {
        InsertFixtureRoots(m_spFolder);
        Tree().ExpandWithNotify(A(), TVE_EXPAND);
        Tree().ExpandWithNotify(Item(A(), "b"), TVE_EXPAND);
    }
    // "a", also once renamed.
    HTREEITEM A()
    {
        for (HTREEITEM h : Children(Tree(), TVI_ROOT))
            if (Tree().GetItemText(h)[0] == 'a') return h;
        return nullptr;
    }
    // A right click as the control reports it, with the cursor on the given point of the tree.
    void RightClick(POINT ptClient)
    {
        ClientToScreen(Tree().m_hWnd, &ptClient);
        SetCursorPos(ptClient.x, ptClient.y);
        NMHDR nm = {Tree().m_hWnd, 1000, static_cast<UINT>(NM_RCLICK)};
        m_pHost->SendMessage(WM_NOTIFY, 1000, reinterpret_cast<LPARAM>(&nm));
    }
    POINT LabelPoint(HTREEITEM hItem)
    {
        RECT rc;
        Tree().GetItemRect(hItem, &rc, TRUE);
        return {(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
    }

    CTestFolderState m_state;
    CComPtr<IShellFolder> m_spFolder;
};

// A rename rebuilds the lists and folders of the item's loaded descendants, for an item
// below another and for a top-level one alike; Wine's second end-of-edit renames nothing.
TEST_F(TreeCommands, RenamedFolderKeepsItsLoadedSubFoldersWorking)
{
    ShowRoots();
    const struct { const char* item; const char* newName; const char* child; } cases[] = {
        {"a\\b", "b2", "a\\b2\\c"},
        {"a", "a2", "a2\\b2\\c"},
    };
    int nRenames = 0;
    for (const auto& c : cases) {
        std::string item = c.item;
        HTREEITEM hItem = item == "a" ? A() : Item(A(), "b");
        ASSERT_TRUE(EditLabel(hItem, c.newName));
        EXPECT_EQ(++nRenames, m_state.nRenames) << "renamed once";
        EXPECT_EQ(c.newName, std::string(Tree().GetItemText(hItem)));
        std::string parent = item.find('\\') == std::string::npos ? "" : item.substr(0, item.find('\\') + 1);
        EXPECT_TRUE(Exists(m_pDir->Sub(parent + c.newName)));
        EXPECT_FALSE(Exists(m_pDir->Sub(item)));
        CIdListPtr pidlNew(IdList(parent + c.newName)), pidlChild(IdList(c.child));
        EXPECT_TRUE(SameItem(pidlNew, Tree().GetItemRecord(hItem)->pidlAbs)) << c.item;

        // The loaded sub-folder opens under the new name.
        HTREEITEM hB = Item(A(), "b2"), hC = Item(hB, "c");
        ASSERT_NE(nullptr, hC);
        EXPECT_TRUE(SameItem(pidlChild, Tree().GetItemRecord(hC)->pidlAbs)) << c.item;
        CString str;
        EXPECT_TRUE(Tree().GetItemName(hC, SHGDN_FORPARSING, str));
        EXPECT_EQ(m_pDir->Sub(c.child), str.GetString());
        m_pDir->MakeFolders({(std::string(c.child) + "\\new").c_str()});
        Tree().ExpandWithNotify(hC, TVE_EXPAND);
        EXPECT_EQ(std::vector<std::string>{"new"}, Labels(Tree(), hC)) << c.item;
        Tree().ExpandWithNotify(hB, TVE_COLLAPSE);
        Tree().ExpandWithNotify(hB, TVE_EXPAND);
        EXPECT_EQ(std::vector<std::string>{"c"}, Labels(Tree(), hB)) << c.item;
    }
}

TEST_F(TreeCommands, RefusedOrFailedRenameLeavesLabelRecordAndDisk)
{
    ShowRoots();
    m_state.removeAttrs[L"z"] = SFGAO_CANRENAME;
    EXPECT_FALSE(EditLabel(Item(TVI_ROOT, "z"), "zz")) << "no editor";
    EXPECT_EQ(0, m_state.nRenames);

    m_state.bFailRename = TRUE;
    FolderItemData* pData = Tree().GetItemRecord(A());
    CIdListPtr pidlRel(IdListConcat(nullptr, pData->pidlRel));
    ModalWatcher boxes(IDOK);
    ASSERT_TRUE(EditLabel(A(), "a2"));
    EXPECT_EQ(1, m_state.nRenames);
    ASSERT_EQ(1u, boxes.Count()) << "the failure is told once";
    EXPECT_NE(std::string::npos, boxes.Seen()[0].text.find("\"a\" cannot be renamed to \"a2\"")) << boxes.Seen()[0].text;
    EXPECT_EQ("a", std::string(Tree().GetItemText(A())));
    EXPECT_EQ(IdListGetSize(pidlRel), IdListGetSize(pData->pidlRel));
    EXPECT_EQ(0, memcmp(pidlRel.Get(), pData->pidlRel, IdListGetSize(pidlRel)));
    EXPECT_TRUE(Exists(m_pDir->Sub("a\\b\\c")));
}

// The Delete key runs the shell's delete verb; its confirmation is answered from another
// thread, and what it deletes goes to the tests' own trash.
TEST_F(TreeCommands, DeleteKeyRemovesTheItemOnlyWhenTheFolderIsGone)
{
    const struct { const char* what; int nButton; BOOL bDeletable; BOOL bGone; } cases[] = {
        {"not deletable", IDYES, FALSE, FALSE},
        {"cancelled", IDNO, TRUE, FALSE},
        {"confirmed", IDYES, TRUE, TRUE},
    };
    for (const auto& c : cases) {
        m_pHost.reset(new CTreeHost);
        ShowRoots();
        m_state.removeAttrs[L"a"] = c.bDeletable ? 0 : SFGAO_CANDELETE;
        Tree().SelectItem(A());
        ModalWatcher boxes(c.nButton);
        Tree().SendMessage(WM_KEYDOWN, VK_DELETE, 0);
        EXPECT_EQ(c.bDeletable ? 1u : 0u, boxes.Count()) << c.what;
        EXPECT_EQ(!c.bGone, Exists(m_pDir->Sub("a"))) << c.what;
        EXPECT_EQ(!c.bGone, A() != nullptr) << c.what;
        EXPECT_NE(nullptr, Tree().GetSelectedItem()) << c.what;
        if (c.bGone && IsRunningUnderWine()) {
            EXPECT_TRUE(Exists(Trash().Sub("Trash\\files\\a"))) << "in the tests' own trash";
        }
    }
}

// The context menu opens for a right click on an item's icon or label; only a chosen
// command runs, and failures say so in the two messages of the program's own.
TEST_F(TreeCommands, ContextMenuRunsOnlyAChosenCommandAndReportsFailures)
{
    ShowRoots();
    m_state.bOwnMenu = TRUE;
    const struct { const char* what; CTreeHost::Menu menu; HRESULT hrUIObject; HRESULT hrInvoke; int nInvokes; const char* box; } cases[] = {
        {"dismissed", CTreeHost::Menu::Dismiss, S_OK, E_FAIL, 0, nullptr},
        {"chosen", CTreeHost::Menu::ChooseFirst, S_OK, S_OK, 1, nullptr},
        {"command fails", CTreeHost::Menu::ChooseFirst, S_OK, E_FAIL, 1, "InvokeCommand failed. hr=80004005"},
        {"no menu object", CTreeHost::Menu::ChooseFirst, E_NOINTERFACE, S_OK, 0, "GetUIObjectOf failed! hr=80004002"},
    };
    for (const auto& c : cases) {
        m_state.nInvokes = 0;
        m_state.hrUIObject = c.hrUIObject;
        m_state.hrInvoke = c.hrInvoke;
        m_pHost->m_menu = c.menu;
        HTREEITEM hZ = Item(TVI_ROOT, "z");
        Tree().SelectItem(A());
        ModalWatcher boxes(IDOK);
        RightClick(LabelPoint(hZ));
        EXPECT_EQ(hZ, Tree().GetSelectedItem()) << c.what;
        EXPECT_EQ(c.nInvokes, m_state.nInvokes) << c.what;
        ASSERT_EQ(c.box ? 1u : 0u, boxes.Count()) << c.what;
        if (c.box) {
            EXPECT_EQ(c.box, boxes.Seen()[0].text) << c.what;
        }
    }

    // On the button the item is selected but no menu opens; on empty space nothing happens.
    m_state.nUIObjects = 0;
    int nMenus = m_pHost->m_nMenusShown;
    RightClick(ButtonPoint(A()));
    EXPECT_EQ(A(), Tree().GetSelectedItem());
    RECT rcClient;
    Tree().GetClientRect(&rcClient);
    RightClick({rcClient.right / 2, rcClient.bottom - 4});
    EXPECT_EQ(A(), Tree().GetSelectedItem());
    EXPECT_EQ(0, m_state.nUIObjects);
    EXPECT_EQ(nMenus, m_pHost->m_nMenusShown);
}

// The menu's own Rename would edit a name in the owner's right pane: the tree edits the
// label of the item the menu was opened for instead; every other command is the menu's.
TEST_F(TreeCommands, TheMenusRenameEditsTheLabelOfTheItemInTheTree)
{
    ShowRoots();
    m_state.bOwnMenu = TRUE;
    m_pHost->m_menu = CTreeHost::Menu::ChooseFirst;
    const struct { const char* verb; int nInvokes; bool bEdits; } cases[] = {
        {"open", 1, false},
        {"", 1, false},
        {"rename", 0, true},
    };
    for (const auto& c : cases) {
        m_state.menuVerb = c.verb;
        m_state.nInvokes = 0;
        Tree().SelectItem(A());
        RightClick(LabelPoint(Item(TVI_ROOT, "z")));
        EXPECT_EQ(c.nInvokes, m_state.nInvokes) << c.verb;
        HWND hEdit = Tree().GetEditControl();
        ASSERT_EQ(c.bEdits, hEdit != nullptr) << c.verb;
        if (!hEdit) continue;
        SetWindowTextA(hEdit, "z2");
        Tree().SendMessage(TVM_ENDEDITLABELNOW, FALSE, 0);
        EXPECT_TRUE(Exists(m_pDir->Sub("z2")));
        EXPECT_FALSE(Exists(m_pDir->Sub("z")));
        EXPECT_TRUE(Exists(m_pDir->Sub("a"))) << "only the item the menu was for";
    }
}

TEST_F(TreeCommands, CompressedFolderIsBlueUnlessSelected)
{
    m_state.addAttrs[L"z"] = SFGAO_COMPRESSED;
    ShowRoots();
    HTREEITEM hZ = Item(TVI_ROOT, "z");
    Tree().SelectItem(A());
    m_pHost->Paint();
    EXPECT_EQ(RGB(0, 0, 255), m_pHost->m_textColor[hZ]);
    EXPECT_EQ(GetSysColor(COLOR_WINDOWTEXT), m_pHost->m_textColor[Item(A(), "b")]);

    ::SetFocus(Tree().m_hWnd);
    Tree().SelectItem(hZ);
    m_pHost->Paint();
    ASSERT_TRUE(m_pHost->m_drawState[hZ] & CDIS_SELECTED);
    EXPECT_EQ(GetSysColor(COLOR_HIGHLIGHTTEXT), m_pHost->m_textColor[hZ]);
}

}  // namespace
