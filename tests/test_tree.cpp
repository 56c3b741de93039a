// The folder tree: filling from the shell, expand buttons, expanding and collapsing,
// selecting by item identifier list, icons and overlays, failing folders, and what is
// left once the window is gone.
#include "support/TestShellFolder.h"
#include "support/TreeTest.h"
#include "support/WideText.h"

#include "shell/ComPtr.h"
#include "shell/IdListPtr.h"
#include "shell/Wine.h"
#include "shell/DiskFolders.h"
#include "shell/FolderFacts.h"
#include "shell/ItemNames.h"
#include "tree/IdList.h"

#include <algorithm>

namespace {

std::string Name(IShellFolder* pFolder, LPCITEMIDLIST pidl)
{
    char szName[MAX_PATH] = "";
    GetItemDisplayName(pFolder, pidl, SHGDN_NORMAL, szName);
    return szName;
}

std::pair<int, int> ListIcons(LPCITEMIDLIST pidlAbs)
{
    SHFILEINFOA sfi = {}, sfiOpen = {};
    const UINT kFlags = SHGFI_PIDL | SHGFI_SYSICONINDEX | SHGFI_SMALLICON;
    SHGetFileInfoA(reinterpret_cast<LPCSTR>(pidlAbs), 0, &sfi, sizeof(sfi), kFlags);
    SHGetFileInfoA(reinterpret_cast<LPCSTR>(pidlAbs), 0, &sfiOpen, sizeof(sfiOpen), kFlags | SHGFI_OPENICON);
    return {sfi.iIcon, sfiOpen.iIcon};
}

std::pair<int, int> TreeIcons(const CTreeCtrl& tree, HTREEITEM hItem)
{
    TVITEMA item = {};
    item.mask = TVIF_HANDLE | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    item.hItem = hItem;
    tree.GetItem(&item);
    return {item.iImage, item.iSelectedImage};
}

// The last identifier of a list: an item's one-level list relative to its folder.
LPCITEMIDLIST LastId(LPCITEMIDLIST pidl)
{
    while (IdListGetNext(pidl)->mkid.cb) pidl = IdListGetNext(pidl);
    return pidl;
}

bool IsExpanded(const CTreeCtrl& tree, HTREEITEM hItem)
{
    return tree.GetItemState(hItem, TVIS_EXPANDED) != 0;
}

// The children of a folder as the shell gives them, with their attributes.
std::vector<std::pair<CIdListPtr, SFGAOF>> ShellChildren(IShellFolder* pFolder, SFGAOF mask)
{
    std::vector<std::pair<CIdListPtr, SFGAOF>> children;
    CComPtr<IEnumIDList> spEnum;
    if (pFolder->EnumObjects(nullptr, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS, spEnum.Put()) != S_OK) return children;
    CIdListPtr pidl;
    ULONG n = 0;
    while (spEnum->Next(1, pidl.Put(), &n) == S_OK) {
        SFGAOF attrs = mask;
        LPCITEMIDLIST p = pidl;
        pFolder->GetAttributesOf(1, &p, &attrs);
        children.emplace_back(std::move(pidl), attrs & mask);
    }
    return children;
}

TEST_F(TreeTest, TopLevelHoldsTheDesktopFoldersInTheDesktopsOrderAndNoFiles)
{
    CComPtr<IShellFolder> spDesktop;
    ASSERT_HRESULT_SUCCEEDED(SHGetDesktopFolder(spDesktop.Put()));
    auto children = ShellChildren(spDesktop, SFGAO_FOLDER);
    std::vector<LPCITEMIDLIST> folders;
    for (auto& child : children)
        if (child.second & SFGAO_FOLDER) folders.push_back(child.first);
    std::stable_sort(folders.begin(), folders.end(), [&](LPCITEMIDLIST a, LPCITEMIDLIST b) {
        return static_cast<short>(HRESULT_CODE(spDesktop->CompareIDs(0, a, b))) < 0;
    });
    std::vector<std::string> expected;
    for (LPCITEMIDLIST pidl : folders) expected.push_back(Name(spDesktop, pidl));

    Tree().FillRoot();
    EXPECT_EQ(expected, Labels(Tree(), TVI_ROOT));
    for (HTREEITEM h : Children(Tree(), TVI_ROOT)) {
        const FolderItemData* pData = Tree().GetItemRecord(h);
        ASSERT_NE(nullptr, pData);
        EXPECT_EQ(IdListGetSize(pData->pidlRel), IdListGetSize(pData->pidlAbs)) << "a child of the desktop";
    }

    // Files of a folder never become items.
    m_pHost.reset(new CTreeHost);
    m_pDir->MakeFolders({"b", "a"});
    m_pDir->MakeFile("file.txt");
    m_pDir->MakeFile("c.ini");
    CComPtr<IShellFolder> spFolder = FixtureFolder();
    ASSERT_TRUE(spFolder);
    InsertFixtureRoots(spFolder);
    auto labels = Labels(Tree(), TVI_ROOT);
    std::sort(labels.begin(), labels.end());
    EXPECT_EQ((std::vector<std::string>{"a", "b"}), labels);
}

TEST_F(TreeTest, ExpandButtonsExactlyWhereSubFoldersExist)
{
    m_pDir->MakeFolders({"withsub\\x", "empty", "fileonly", "hiddensub\\inner", "inionly", "deep\\a\\b"});
    m_pDir->MakeFile("fileonly\\f.txt");
    m_pDir->MakeFile("inionly\\desktop.ini", "[.ShellClassInfo]\r\nInfoTip=x\r\n");
    SetFileAttributesA(m_pDir->Sub("hiddensub\\inner").c_str(), FILE_ATTRIBUTE_HIDDEN);
    HTREEITEM hRoot = ShowFixture();
    m_pHost->Paint();
    const struct { const char* name; BOOL bButton; } cases[] = {
        {"withsub", TRUE}, {"empty", FALSE}, {"fileonly", FALSE}, {"hiddensub", FALSE}, {"inionly", FALSE}, {"deep", TRUE},
    };
    for (const auto& c : cases) {
        HTREEITEM h = Item(hRoot, c.name);
        ASSERT_NE(nullptr, h) << c.name;
        EXPECT_EQ(c.bButton, Tree().ItemHasChildren(h)) << c.name;
        EXPECT_FALSE(IsExpanded(Tree(), h)) << c.name << ": never expanded";
    }
    // Collapsing asks the disk again.
    HTREEITEM hWithSub = Item(hRoot, "withsub");
    Tree().ExpandWithNotify(hWithSub, TVE_EXPAND);
    RemoveTree(m_pDir->Sub("withsub\\x"));
    Tree().ExpandWithNotify(hWithSub, TVE_COLLAPSE);
    EXPECT_FALSE(Tree().ItemHasChildren(hWithSub));
}

// On the Wine path and on the Windows path (which deletes items one by one).
TEST_F(TreeTest, ExpandingAgainShowsAFolderMadeMeanwhileAndCollapsingMovesTheSelectionUp)
{
    for (WineCheck check : {WineCheck::Detect, WineCheck::Windows}) {
        SetWineCheckForTesting(check);
        m_pHost.reset(new CTreeHost);
        RemoveTree(m_pDir->Sub("a"));
        m_pDir->MakeFolders({"a\\x\\deep"});
        HTREEITEM hA = Item(ShowFixture(), "a");
        Tree().ExpandWithNotify(hA, TVE_EXPAND);
        EXPECT_EQ(std::vector<std::string>{"x"}, Labels(Tree(), hA));
        m_pDir->MakeFolders({"a\\y"});
        HTREEITEM hX = Item(hA, "x");
        Tree().ExpandWithNotify(hX, TVE_EXPAND);
        Tree().SelectItem(Item(hX, "deep"));

        // The user collapses "a" with a click on its button.
        POINT pt = ButtonPoint(hA);
        Tree().SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(pt.x, pt.y));
        Tree().SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(pt.x, pt.y));
        EXPECT_FALSE(IsExpanded(Tree(), hA));
        EXPECT_EQ(hA, Tree().GetSelectedItem());
        ASSERT_EQ(1u, Children(Tree(), hA).size());
        EXPECT_EQ(nullptr, Tree().GetItemRecord(Tree().GetChildItem(hA))) << "only the placeholder";
        Tree().ExpandWithNotify(hA, TVE_EXPAND);
        EXPECT_EQ((std::vector<std::string>{"x", "y"}), Labels(Tree(), hA));

        // Deleting the children of an item moves a selection below to the given replacement.
        hX = Item(hA, "x");
        Tree().ExpandWithNotify(hX, TVE_EXPAND);
        Tree().SelectItem(Item(hX, "deep"));
        HTREEITEM hY = Item(hA, "y");
        Tree().DeleteChildItems(hX, hY, FALSE);
        EXPECT_EQ(hY, Tree().GetSelectedItem());
        EXPECT_FALSE(Tree().ItemHasChildren(hX));
    }
}

TEST_F(TreeTest, ExpandWithNotifySendsWhatTheParentMayVeto)
{
    m_pDir->MakeFolders({"a\\x", "a\\y"});
    HTREEITEM hA = Item(ShowFixture(), "a");
    const struct { const char* what; BOOL bVeto; UINT action; BOOL bExpandedAfter; BOOL bExpandedSent; } steps[] = {
        {"vetoed", TRUE, TVE_EXPAND, FALSE, FALSE},
        {"expand", FALSE, TVE_EXPAND, TRUE, TRUE},
        {"expand an expanded item", FALSE, TVE_EXPAND, TRUE, FALSE},
        {"collapse", FALSE, TVE_COLLAPSE, FALSE, TRUE},
        {"collapse a collapsed item", FALSE, TVE_COLLAPSE, FALSE, FALSE},
    };
    for (const auto& step : steps) {
        m_pHost->m_codes.clear();
        m_pHost->m_bVetoExpanding = step.bVeto;
        BOOL bWasExpanded = IsExpanded(Tree(), hA);
        Tree().ExpandWithNotify(hA, step.action);
        EXPECT_EQ(step.bExpandedAfter, IsExpanded(Tree(), hA)) << step.what;
        EXPECT_EQ(step.bExpandedSent, m_pHost->Count(TVN_ITEMEXPANDEDA) > 0) << step.what;
        EXPECT_EQ(bWasExpanded != step.bExpandedAfter || step.bVeto, m_pHost->Count(TVN_ITEMEXPANDINGA) > 0) << step.what;
    }
    // However many expanding notifications arrive for one expansion, the children are read once.
    Tree().ExpandWithNotify(hA, TVE_EXPAND);
    NMTREEVIEWA nm = {};
    nm.hdr.hwndFrom = Tree().m_hWnd;
    nm.hdr.code = TVN_ITEMEXPANDINGA;
    nm.action = TVE_EXPAND;
    nm.itemNew.hItem = hA;
    nm.itemNew.lParam = static_cast<LPARAM>(Tree().GetItemData(hA));
    auto before = Children(Tree(), hA);
    LRESULT result = 1;
    Tree().OnItemExpanding(&nm.hdr, &result);
    EXPECT_EQ(0, result);
    EXPECT_EQ(before, Children(Tree(), hA));
    EXPECT_EQ((std::vector<std::string>{"x", "y"}), Labels(Tree(), hA));
}

TEST_F(TreeTest, SelectIdListWalksDownExpandingEachLevel)
{
    m_pDir->MakeFolders({"a\\b\\c\\d", "e"});
    CIdListPtr pidlC(IdList("a\\b\\c"));
    CIdListPtr pidlEmpty(IdListAlloc(2));
    Tree().FillRoot();
    HTREEITEM hFirst = Tree().GetRootItem();

    EXPECT_EQ(S_OK, Tree().SelectIdList(pidlC));
    HTREEITEM hC = Tree().GetSelectedItem();
    EXPECT_EQ("c", std::string(Tree().GetItemText(hC)));
    for (HTREEITEM h = hC; h; h = Tree().GetParentItem(h)) EXPECT_TRUE(IsExpanded(Tree(), h)) << Tree().GetItemText(h).GetString();
    EXPECT_EQ(std::vector<std::string>{"d"}, Labels(Tree(), hC)) << "the last level is read too";
    CIdListPtr pidlD(IdList("a\\b\\c\\d"));
    EXPECT_EQ(S_OK, Tree().SelectIdList(pidlD));
    EXPECT_EQ(Tree().GetChildItem(hC), Tree().GetSelectedItem()) << "a folder without sub-folders";

    // A level that is gone: the levels above stay expanded and nothing is selected.
    CIdListPtr pidlE(IdList("e"));
    RemoveTree(m_pDir->Sub("e"));
    HTREEITEM hDir = Tree().GetParentItem(Tree().GetParentItem(Tree().GetParentItem(hC)));
    Tree().ExpandWithNotify(hDir, TVE_COLLAPSE);
    EXPECT_EQ(E_FAIL, Tree().SelectIdList(pidlE));
    EXPECT_TRUE(IsExpanded(Tree(), hDir));
    EXPECT_EQ(hDir, Tree().GetSelectedItem()) << "the selection moved up by the collapse stays";

    for (LPCITEMIDLIST pidl : {static_cast<LPCITEMIDLIST>(pidlEmpty), static_cast<LPCITEMIDLIST>(nullptr)}) {
        Tree().SelectItem(hDir);
        EXPECT_EQ(S_OK, Tree().SelectIdList(pidl));
        EXPECT_EQ(hFirst, Tree().GetSelectedItem());
    }
}

TEST_F(TreeTest, SelectChildAndTheQueriesOfAnItem)
{
    m_pDir->MakeFolders({"a\\x", "b"});
    HTREEITEM hRoot = ShowFixture();
    m_pHost->Paint();
    CIdListPtr pidlB(IdList("b")), pidlX(IdList("a\\x"));
    LPCITEMIDLIST pidlRelB = LastId(pidlB), pidlRelX = LastId(pidlX);

    EXPECT_EQ(E_FAIL, Tree().SelectChild(pidlRelX)) << "not a child of the selection";
    EXPECT_EQ(hRoot, Tree().GetSelectedItem());
    EXPECT_EQ(S_OK, Tree().SelectChild(pidlRelB));
    HTREEITEM hB = Tree().GetSelectedItem();
    EXPECT_EQ(Item(hRoot, "b"), hB);

    CString str;
    EXPECT_TRUE(Tree().GetItemName(nullptr, SHGDN_FORPARSING, str));
    EXPECT_EQ(m_pDir->Sub("b"), str.GetString());
    EXPECT_TRUE(Tree().GetItemTitle(hB, str));
    EXPECT_EQ(m_pDir->Sub("b"), str.GetString()) << "a file-system folder is titled by its path";
    HTREEITEM hComputer = nullptr;
    for (HTREEITEM h : Children(Tree(), TVI_ROOT)) {
        CString parse;
        if (Tree().GetItemName(h, SHGDN_FORPARSING, parse) && parse == "::{20d04fe0-3aea-1069-a2d8-08002b30309d}") hComputer = h;
    }
    ASSERT_NE(nullptr, hComputer);
    EXPECT_TRUE(Tree().GetItemTitle(hComputer, str));
    EXPECT_EQ(Tree().GetItemText(hComputer), str) << "a virtual folder is titled by its display name";

    CComPtr<IShellFolder> spA;
    spA.Attach(Tree().BindItemFolder(Item(hRoot, "a")));
    ASSERT_TRUE(spA);
    EXPECT_EQ(1u, ShellChildren(spA, SFGAO_FOLDER).size());
    HTREEITEM hPlaceholder = Tree().GetChildItem(Item(hRoot, "a"));
    ASSERT_NE(nullptr, hPlaceholder);
    EXPECT_EQ(nullptr, Tree().GetItemRecord(hPlaceholder));
    EXPECT_EQ(nullptr, Tree().BindItemFolder(hPlaceholder));
    EXPECT_FALSE(Tree().GetItemTitle(hPlaceholder, str));
    Tree().SelectItem(nullptr);
    EXPECT_EQ(E_FAIL, Tree().SelectChild(pidlRelB)) << "no selection";
}

// Under Wine a plain file-system folder takes the icons learnt from the first one met,
// instead of a call by list: that must be exactly what the call by list gives.
TEST_F(TreeTest, WinePlainFolderIconsAreTheShellsForEveryKindOfFolder)
{
    m_pDir->MakeFolders({"plain", "readonly", "system", "named.exe", "iniicon", "iniresource", "ininoicon", "inireadonly"});
    SetFileAttributesA(m_pDir->Sub("readonly").c_str(), FILE_ATTRIBUTE_READONLY);
    SetFileAttributesA(m_pDir->Sub("system").c_str(), FILE_ATTRIBUTE_SYSTEM);
    const char* kIconIni = "[.ShellClassInfo]\r\nIconFile=C:\\windows\\system32\\shell32.dll\r\nIconIndex=12\r\n";
    m_pDir->MakeFile("iniicon\\desktop.ini", kIconIni);
    m_pDir->MakeFile("inireadonly\\desktop.ini", kIconIni);
    m_pDir->MakeFile("iniresource\\desktop.ini", "[.ShellClassInfo]\r\nIconResource=C:\\windows\\system32\\shell32.dll,-13\r\n");
    m_pDir->MakeFile("ininoicon\\desktop.ini", "[.ShellClassInfo]\r\nInfoTip=x\r\n");
    SetFileAttributesA(m_pDir->Sub("inireadonly").c_str(), FILE_ATTRIBUTE_READONLY);
    CreateDirectoryW(m_pDir->WideSub(L"\x65e5\x672c\x0141").c_str(), nullptr);
    CComPtr<IShellLinkA> spLink;
    CComPtr<IPersistFile> spFile;
    ASSERT_HRESULT_SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, spLink.PutVoid()));
    spLink->SetPath(m_pDir->Sub("plain").c_str());
    ASSERT_HRESULT_SUCCEEDED(spLink.As(IID_IPersistFile, spFile));
    ASSERT_HRESULT_SUCCEEDED(spFile->Save(m_pDir->WideSub(L"shortcut.lnk").c_str(), TRUE));

    // Every item of the fixture, of the desktop and of the computer, with its container's attributes.
    CComPtr<IShellFolder> spDesktop, spDir = FixtureFolder(), spComputer;
    SHGetDesktopFolder(spDesktop.Put());
    CIdListPtr pidlDir(IdList()), pidlComputer;
    SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, pidlComputer.Put());
    spDesktop->BindToObject(pidlComputer, nullptr, IID_IShellFolder, spComputer.PutVoid());
    struct Container { IShellFolder* pFolder; LPCITEMIDLIST pidlAbs; SFGAOF attrs; };
    LPCITEMIDLIST pidlComputerRel = pidlComputer;
    SFGAOF attrsComputer = kPlainFolderAttributes;
    spDesktop->GetAttributesOf(1, &pidlComputerRel, &attrsComputer);
    const Container containers[] = {
        {spDir, pidlDir, SFGAO_FOLDER | SFGAO_FILESYSTEM}, {spDesktop, nullptr, 0}, {spComputer, pidlComputer, attrsComputer}};

    std::pair<int, int> plain(-1, -1);
    int nPlain = 0, nOthers = 0;
    for (const Container& c : containers) {
        for (auto& child : ShellChildren(c.pFolder, kPlainFolderAttributes)) {
            CIdListPtr pidlAbs(IdListConcat(c.pidlAbs, child.first));
            std::wstring path;
            GetChildParsingName(c.pFolder, child.first, path);
            if (!MayShowPlainFolderIcon(child.second, c.attrs & kPlainFolderAttributes) || DiskFolderHasDesktopIni(path.c_str())) {
                ++nOthers;
                continue;
            }
            if (plain.first < 0) plain = ListIcons(pidlAbs);
            EXPECT_EQ(plain, ListIcons(pidlAbs)) << Name(c.pFolder, child.first);
            ++nPlain;
        }
    }
    EXPECT_EQ(5, nPlain) << "plain, read-only, system, named.exe and the wide name";
    EXPECT_LT(5, nOthers);

    // And the tree, once its items are on screen, shows what the call by list gives, on
    // the Wine path and on the Windows path alike.
    for (WineCheck check : {WineCheck::Detect, WineCheck::Windows}) {
        SetWineCheckForTesting(check);
        CTreeHost host;
        host.m_tree.FillRoot();
        ASSERT_EQ(S_OK, host.m_tree.SelectIdList(pidlDir));
        HTREEITEM hDir = host.m_tree.GetSelectedItem();
        auto items = Children(host.m_tree, hDir);
        ASSERT_EQ(9u, items.size());
        host.m_tree.EnsureVisible(items.back());
        host.m_tree.EnsureVisible(hDir);
        host.Paint();
        for (HTREEITEM h : items) {
            EXPECT_EQ(ListIcons(host.m_tree.GetItemRecord(h)->pidlAbs), TreeIcons(host.m_tree, h))
                << host.m_tree.GetItemText(h).GetString();
        }
    }
}

// The disk is read for items only once they are painted; what happens to them before
// must not leave a wrong button, a stale item or a leak.
TEST_F(TreeTest, WineDeferredDiskChecksFollowChangesMadeBeforeThePaint)
{
    m_pDir->MakeFolders({"a\\x", "b\\y", "c"});
    m_pHost->ShowWindow(SW_HIDE);
    const char* cases[] = {"collapse and expand", "sub-folder removed", "renamed", "destroyed"};
    for (const char* what : cases) {
        HTREEITEM hRoot = ShowFixture();
        std::string a = "a";
        if (what == cases[0]) {
            Tree().ExpandWithNotify(hRoot, TVE_COLLAPSE);
            Tree().ExpandWithNotify(hRoot, TVE_EXPAND);
        } else if (what == cases[1]) {
            RemoveTree(m_pDir->Sub("b\\y"));
        } else if (what == cases[2]) {
            m_pHost->ShowWindow(SW_SHOWNOACTIVATE);
            ASSERT_TRUE(EditLabel(Item(hRoot, "a"), "a2"));
            m_pHost->ShowWindow(SW_HIDE);
            a = "a2";
        } else {
            m_pHost.reset();
            m_pHost.reset(new CTreeHost);
            continue;
        }
        m_pHost->ShowWindow(SW_SHOWNOACTIVATE);
        m_pHost->Paint();
        EXPECT_TRUE(Tree().ItemHasChildren(Item(hRoot, a))) << what;
        EXPECT_EQ(what != cases[1], Tree().ItemHasChildren(Item(hRoot, "b"))) << what;
        EXPECT_FALSE(Tree().ItemHasChildren(Item(hRoot, "c"))) << what;
        m_pHost->ShowWindow(SW_HIDE);
        m_pDir->MakeFolders({"b\\y"});
    }
}

TEST_F(TreeTest, SharedAndLinkedFoldersShowTheirOverlays)
{
    m_pDir->MakeFolders({"share", "link", "both", "none"});
    CTestFolderState state;
    state.addAttrs = {{L"share", SFGAO_SHARE}, {L"link", SFGAO_LINK}, {L"both", SFGAO_SHARE | SFGAO_LINK}};
    CComPtr<IShellFolder> spTest;
    spTest.Attach(NewTestFolder(FixtureFolder(), &state));
    InsertFixtureRoots(spTest);
    const struct { const char* name; UINT overlay; } cases[] = {
        {"share", INDEXTOOVERLAYMASK(1)}, {"link", INDEXTOOVERLAYMASK(2)}, {"both", INDEXTOOVERLAYMASK(1)}, {"none", 0}};
    for (const auto& c : cases)
        EXPECT_EQ(c.overlay, Tree().GetItemState(Item(TVI_ROOT, c.name), TVIS_OVERLAYMASK)) << c.name;
}

// A folder that fails a call ends the operation quietly; whatever happened, every
// folder reference the tree took is given back with its window.
TEST_F(TreeTest, FailingFoldersEndOperationsQuietlyAndEveryReferenceIsReleased)
{
    m_pDir->MakeFolders({"top\\c1\\d", "top\\c2", "top\\c3"});
    CComPtr<IShellFolder> spDir = FixtureFolder();
    const struct { const char* what; BOOL CTestFolderState::*pFail; int nNames; size_t nChildren; } cases[] = {
        {"nothing fails", nullptr, -1, 3},
        {"EnumObjects", &CTestFolderState::bFailEnum, -1, 0},
        {"GetDisplayNameOf", nullptr, 1, 1},
        {"BindToObject", &CTestFolderState::bFailBind, -1, 0},
        {"CompareIDs", &CTestFolderState::bFailCompare, -1, 3},
    };
    for (const auto& c : cases) {
        CTestFolderState state;
        {
            CComPtr<IShellFolder> spTest;
            spTest.Attach(NewTestFolder(spDir, &state));
            m_pHost.reset(new CTreeHost);
            InsertFixtureRoots(spTest);
            HTREEITEM hTop = Item(TVI_ROOT, "top");
            ASSERT_NE(nullptr, hTop);
            if (c.pFail) state.*c.pFail = TRUE;
            state.nNamesBeforeFailure = c.nNames;
            Tree().ExpandWithNotify(hTop, TVE_EXPAND);
            EXPECT_EQ(c.nChildren, Children(Tree(), hTop).size()) << c.what;
            if (HTREEITEM hC1 = Item(hTop, "c1")) {
                Tree().SelectItem(hC1);
                CIdListPtr pidlD(IdList("top\\c1\\d"));
                // Failing names or comparisons, the child is not found.
                EXPECT_EQ(c.nChildren == 3 && !c.pFail ? S_OK : E_FAIL, Tree().SelectChild(LastId(pidlD))) << c.what;
            }
            Tree().ExpandWithNotify(hTop, TVE_COLLAPSE);
            Tree().ExpandWithNotify(hTop, TVE_EXPAND);
            m_pHost->Paint();
            EXPECT_LT(1, state.nRefs) << c.what << ": the records hold references";
            m_pHost.reset();
        }
        EXPECT_EQ(0, state.nRefs) << c.what;
        EXPECT_EQ(0, state.nLive) << c.what;
    }
    m_pHost.reset(new CTreeHost);
}

// A sub-folder whose name cannot be read is left out, wherever it comes in the folder; the
// others all show.
TEST_F(TreeTest, ASubFolderWhoseNameCannotBeReadHidesNoneOfTheOthers)
{
    m_pDir->MakeFolders({"top\\c1", "top\\c2", "top\\c3"});
    CComPtr<IShellFolder> spDir = FixtureFolder();
    const struct { const char* failing; std::vector<std::string> shown; } cases[] = {
        {"c1", {"c2", "c3"}},
        {"c2", {"c1", "c3"}},
        {"c3", {"c1", "c2"}},
    };
    for (const auto& c : cases) {
        CTestFolderState state;
        {
            CComPtr<IShellFolder> spTest;
            spTest.Attach(NewTestFolder(spDir, &state));
            m_pHost.reset(new CTreeHost);
            InsertFixtureRoots(spTest);
            HTREEITEM hTop = Item(TVI_ROOT, "top");
            ASSERT_NE(nullptr, hTop);
            state.failNameOf = Widen(c.failing);
            Tree().ExpandWithNotify(hTop, TVE_EXPAND);
            EXPECT_EQ(c.shown, Labels(Tree(), hTop)) << "failing: " << c.failing;
            m_pHost.reset();
        }
        EXPECT_EQ(0, state.nRefs);
    }
    m_pHost.reset(new CTreeHost);
}

// A name outside the code page shows as it is, the item works through its lists, and
// giving the label back renames nothing.
TEST_F(TreeTest, NameOutsideTheCodePageAppearsExpandsOpensAndSurvivesAnUnchangedRename)
{
    const std::wstring kName = L"\x0141od\x017a";
    CreateDirectoryW(m_pDir->WideSub(kName).c_str(), nullptr);
    CreateDirectoryW(m_pDir->WideSub(kName + L"\\inner").c_str(), nullptr);
    HTREEITEM hRoot = ShowFixture();
    ASSERT_EQ(1u, Children(Tree(), hRoot).size());
    HTREEITEM hItem = Tree().GetChildItem(hRoot);
    Tree().ExpandWithNotify(hItem, TVE_EXPAND);
    EXPECT_EQ(std::vector<std::string>{"inner"}, Labels(Tree(), hItem));
    CComPtr<IShellFolder> spInner;
    spInner.Attach(Tree().BindItemFolder(Item(hItem, "inner")));
    EXPECT_TRUE(spInner);

    EXPECT_EQ(kName, Tree().GetItemTextW(hItem));
    const std::string label = Tree().GetItemText(hItem).GetString();
    EXPECT_NE("", label);
    for (BOOL bCancel : {TRUE, FALSE}) {
        EXPECT_TRUE(EditLabel(hItem, nullptr, bCancel));
        EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(m_pDir->WideSub(kName + L"\\inner").c_str())) << bCancel;
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(m_pDir->Sub(label).c_str())) << bCancel;
    }
}

}  // namespace
