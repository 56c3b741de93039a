// The drop target that serves file-system folders under Wine, on real files: the keys
// choose move, copy or link and the drop does it on disk; drives, what the source allows,
// folders dropped into themselves and name clashes; data that is not files goes to the
// folder's own target. Nothing is left allocated or referenced after a drag.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "shell/ComPtr.h"
#include "shell/IdListPtr.h"
#include "shell/WineFolderDropTarget.h"
#include "support/DropTestUtil.h"
#include "support/MallocSpy.h"
#include "support/ModalWatcher.h"
#include "support/ScratchFolder.h"
#include "tree/IdList.h"

namespace {

const DWORD kAll = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;

// Everything below a folder, as sorted relative names (folders end in a backslash).
void ListTree(const std::string& base, const std::string& rel, std::vector<std::string>& out)
{
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA((base + "\\" + rel + "*").c_str(), &found);
    if (h == INVALID_HANDLE_VALUE) return;
    do {
        std::string name = found.cFileName;
        if (name == "." || name == "..") continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            out.push_back(rel + name + "\\");
            ListTree(base, rel + name + "\\", out);
        } else {
            out.push_back(rel + name + "=" + Contents(base + "\\" + rel + name));
        }
    } while (FindNextFileA(h, &found));
    FindClose(h);
    std::sort(out.begin(), out.end());
}

std::vector<std::string> TreeOf(const std::string& base)
{
    std::vector<std::string> out;
    ListTree(base, "", out);
    return out;
}

std::wstring Wide(const std::string& s)
{
    return std::wstring(s.begin(), s.end());
}

class FolderDropTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { CMallocSpy::Instance(); }

    void SetUp() override
    {
        ASSERT_TRUE(m_root.Made());
        m_root.MakeFolders({"src", "src\\sub", "src\\sub\\deeper", "dst"});
        m_root.MakeFiles({"src\\a.txt"}, "new a");
        m_root.MakeFiles({"src\\b.txt"}, "b");
        m_root.MakeFiles({"src\\sub\\inner.txt"}, "inner");
        m_pScope.reset(new CMallocSpy::CScope);
    }

    void TearDown() override
    {
        EXPECT_EQ(0, m_pScope->Leaked()) << "shell-allocator blocks left after the drags";
    }

    // The target the tree uses for a folder under Wine, got as the tree gets it: from the
    // folder's parent and its one-level list.
    CComPtr<IDropTarget> TargetFor(const std::string& path)
    {
        CComPtr<IDropTarget> pTarget;
        CIdListPtr pidl(PathToIdList(path.c_str()));
        CComPtr<IShellFolder> pDesktop;
        CComPtr<IShellFolder> pParent;
        LPCITEMIDLIST pidlLast = nullptr;
        if (pidl && SUCCEEDED(SHBindToParent(pidl, IID_IShellFolder, pParent.PutVoid(), &pidlLast))) {
            GetWineFolderDropTarget(nullptr, pParent, pidlLast, pTarget.Put());
        }
        return pTarget;
    }

    // The shell's own data object for items of one folder, as a drag from the right pane offers it.
    CComPtr<IDataObject> ShellData(const std::string& folder, const std::vector<std::string>& names)
    {
        CComPtr<IDataObject> pData;
        CIdListPtr pidl(PathToIdList(folder.c_str()));
        CComPtr<IShellFolder> pDesktop, pFolder;
        SHGetDesktopFolder(pDesktop.Put());
        if (!pidl || FAILED(pDesktop->BindToObject(pidl, nullptr, IID_IShellFolder, pFolder.PutVoid()))) return pData;
        std::vector<CIdListPtr> items;
        std::vector<LPCITEMIDLIST> raw;
        for (const std::string& name : names) {
            std::wstring wide = Wide(name);
            LPITEMIDLIST pidlItem = nullptr;
            pFolder->ParseDisplayName(nullptr, nullptr, &wide[0], nullptr, &pidlItem, nullptr);
            items.emplace_back(pidlItem);
            raw.push_back(pidlItem);
        }
        pFolder->GetUIObjectOf(nullptr, static_cast<UINT>(raw.size()), raw.data(), IID_IDataObject, nullptr,
                               pData.PutVoid());
        return pData;
    }

    struct Outcome {
        DWORD dwEnter = 0, dwOver = 0;
        HRESULT hrDrop = S_FALSE;  // S_FALSE: no drop was made (the drag left)
        DWORD dwDropped = 0;
    };

    // A whole drag as the tree runs it: enter and over offering what the source allows,
    // then a drop offering the over's answer, or a leave where that was none.
    static Outcome Drag(IDropTarget* pTarget, IDataObject* pData, DWORD dwKeys, DWORD dwAllowed = kAll,
                        bool bDrop = true)
    {
        Outcome out;
        POINTL pt = {10, 10};
        out.dwEnter = dwAllowed;
        pTarget->DragEnter(pData, dwKeys, pt, &out.dwEnter);
        out.dwOver = dwAllowed;
        pTarget->DragOver(dwKeys, pt, &out.dwOver);
        if (bDrop && out.dwOver != DROPEFFECT_NONE) {
            out.dwDropped = out.dwOver;
            out.hrDrop = pTarget->Drop(pData, dwKeys, pt, &out.dwDropped);
        } else {
            pTarget->DragLeave();
        }
        return out;
    }

    ScratchFolder m_root{"folderdrop"};
    std::unique_ptr<CMallocSpy::CScope> m_pScope;
};

struct KeyCase {
    const char* name;
    DWORD keys;
    DWORD effect;
};

TEST_F(FolderDropTest, TheKeysChooseTheEffectAndTheDropDoesItOnDisk)
{
    const KeyCase cases[] = {
        {"no key", MK_LBUTTON, DROPEFFECT_MOVE},
        {"Ctrl", MK_LBUTTON | MK_CONTROL, DROPEFFECT_COPY},
        {"Shift", MK_LBUTTON | MK_SHIFT, DROPEFFECT_MOVE},
        {"Ctrl+Shift", MK_LBUTTON | MK_CONTROL | MK_SHIFT, DROPEFFECT_LINK},
        {"Alt", MK_LBUTTON | MK_ALT, DROPEFFECT_LINK},
    };
    int i = 0;
    for (const KeyCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string name = "case" + std::to_string(i++) + ".txt";
        const std::string source = m_root.Sub("src\\" + name), dest = m_root.Sub("dst\\" + name);
        m_root.MakeFiles({("src\\" + name).c_str()}, c.name);
        CComPtr<IDropTarget> pTarget = TargetFor(m_root.Sub("dst"));
        ASSERT_TRUE(pTarget);
        CComPtr<IDataObject> pData = ShellData(m_root.Sub("src"), {name});
        ASSERT_TRUE(pData);

        Outcome out = Drag(pTarget, pData, c.keys);
        EXPECT_EQ(c.effect, out.dwEnter);
        EXPECT_EQ(c.effect, out.dwOver) << "the drag shows the effect the drop will have";
        EXPECT_EQ(S_OK, out.hrDrop);
        EXPECT_EQ(c.effect, out.dwDropped);
        switch (c.effect) {
        case DROPEFFECT_MOVE:
            EXPECT_FALSE(Exists(source));
            EXPECT_EQ(c.name, Contents(dest));
            break;
        case DROPEFFECT_COPY:
            EXPECT_EQ(c.name, Contents(source));
            EXPECT_EQ(c.name, Contents(dest));
            break;
        case DROPEFFECT_LINK:
            EXPECT_EQ(c.name, Contents(source));
            EXPECT_FALSE(Exists(dest));
            EXPECT_EQ(source, LinkTarget(m_root.Sub("dst\\Shortcut to " + name + ".lnk")));
            break;
        }
    }
}

TEST_F(FolderDropTest, AcrossDrivesTheDefaultIsACopyAndShiftStillMoves)
{
    // Another drive than the temporary folder's: Wine maps the Unix root to Z:.
    wchar_t volTemp[MAX_PATH] = L"", volOther[MAX_PATH] = L"";
    GetVolumePathNameW(Wide(m_root.Path()).c_str(), volTemp, MAX_PATH);
    if (!GetVolumePathNameW(L"Z:\\tmp", volOther, MAX_PATH) || lstrcmpiW(volTemp, volOther) == 0 ||
        GetFileAttributesA("Z:\\tmp") == INVALID_FILE_ATTRIBUTES) {
        GTEST_SKIP() << "no folder on a second drive (Z:\\tmp) to drop into";
    }
    const std::string other = "Z:\\tmp\\folvane-folderdrop-z-" + std::to_string(GetCurrentProcessId());
    RemoveTree(other);
    ASSERT_TRUE(CreateDirectoryA(other.c_str(), nullptr));
    {
        CComPtr<IDropTarget> pTarget = TargetFor(other);
        ASSERT_TRUE(pTarget);
        CComPtr<IDataObject> pData = ShellData(m_root.Sub("src"), {"a.txt"});
        Outcome out = Drag(pTarget, pData, MK_LBUTTON);
        EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_COPY), out.dwOver);
        EXPECT_EQ("new a", Contents(m_root.Sub("src\\a.txt")));
        EXPECT_EQ("new a", Contents(other + "\\a.txt"));

        pData = ShellData(m_root.Sub("src"), {"sub"});
        out = Drag(pTarget, pData, MK_LBUTTON | MK_SHIFT);
        EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_MOVE), out.dwOver);
        EXPECT_FALSE(Exists(m_root.Sub("src\\sub")));
        EXPECT_EQ("inner", Contents(other + "\\sub\\inner.txt"));
    }
    RemoveTree(other);
}

struct AllowedCase {
    DWORD keys;
    DWORD allowed;
    DWORD effect;
};

TEST_F(FolderDropTest, WhatTheSourceAllowsLimitsTheEffect)
{
    // Without a key the drop falls back on what is allowed; a key asks for its effect only.
    const AllowedCase cases[] = {
        {0, DROPEFFECT_COPY | DROPEFFECT_LINK, DROPEFFECT_COPY},
        {0, DROPEFFECT_LINK, DROPEFFECT_LINK},
        {MK_SHIFT, DROPEFFECT_COPY, DROPEFFECT_NONE},
        {MK_CONTROL, DROPEFFECT_MOVE | DROPEFFECT_LINK, DROPEFFECT_NONE},
        {MK_CONTROL | MK_SHIFT, DROPEFFECT_COPY | DROPEFFECT_MOVE, DROPEFFECT_NONE},
    };
    CComPtr<IDropTarget> pTarget = TargetFor(m_root.Sub("dst"));
    CComPtr<IDataObject> pData = ShellData(m_root.Sub("src"), {"a.txt"});
    ASSERT_TRUE(pTarget && pData);
    const std::vector<std::string> before = TreeOf(m_root.Path());
    for (const AllowedCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "keys " << c.keys << " allowed " << c.allowed);
        Outcome out = Drag(pTarget, pData, c.keys, c.allowed, false);
        EXPECT_EQ(c.effect, out.dwEnter);
        EXPECT_EQ(c.effect, out.dwOver);
    }
    EXPECT_EQ(before, TreeOf(m_root.Path()));
}

struct RefusedCase {
    const char* what;
    std::vector<std::string> sources;  // relative to the fixture
    const char* target;
    DWORD keys;
};

TEST_F(FolderDropTest, AFolderNeverGoesIntoItselfAndNothingMovesOntoItsOwnPlace)
{
    const RefusedCase cases[] = {
        {"folder onto itself", {"src\\sub"}, "src\\sub", MK_LBUTTON},
        {"folder onto itself, copy", {"src\\sub"}, "src\\sub", MK_LBUTTON | MK_CONTROL},
        {"folder onto itself, link", {"src\\sub"}, "src\\sub", MK_LBUTTON | MK_ALT},
        {"folder into its sub-folder", {"src\\sub"}, "src\\sub\\deeper", MK_LBUTTON | MK_CONTROL},
        {"folder into its sub-folder, named in other case", {"src\\SUB"}, "src\\sub\\Deeper", MK_LBUTTON},
        {"one of several into itself", {"src\\a.txt", "src\\sub"}, "src\\sub", MK_LBUTTON | MK_CONTROL},
        {"file moved onto its own folder", {"src\\a.txt"}, "src", MK_LBUTTON},
        {"file moved onto its own folder with Shift", {"src\\a.txt"}, "src", MK_LBUTTON | MK_SHIFT},
    };
    const std::vector<std::string> before = TreeOf(m_root.Path());
    for (const RefusedCase& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<std::string> paths;
        for (const std::string& rel : c.sources) paths.push_back(m_root.Sub(rel));
        CComPtr<IDataObject> pData;
        pData.Attach(NewFileListDataObject(paths));
        CComPtr<IDropTarget> pTarget = TargetFor(m_root.Sub(c.target));
        ASSERT_TRUE(pTarget);
        Outcome out = Drag(pTarget, pData, c.keys);
        EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_NONE), out.dwEnter);
        EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_NONE), out.dwOver);
        // A drop that comes all the same (a source that ignores the answer) does nothing.
        POINTL pt = {0, 0};
        DWORD dwEffect = kAll;
        pTarget->DragEnter(pData, c.keys, pt, &dwEffect);
        dwEffect = kAll;
        EXPECT_TRUE(FAILED(pTarget->Drop(pData, c.keys, pt, &dwEffect)));
        EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_NONE), dwEffect);
    }
    EXPECT_EQ(before, TreeOf(m_root.Path()));

    // A drive can be linked to, never moved or copied whole.
    for (DWORD keys : {MK_LBUTTON, MK_LBUTTON | MK_CONTROL, MK_LBUTTON | MK_SHIFT, MK_LBUTTON | MK_ALT}) {
        EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_LINK), ChooseFileDropEffect(keys, kAll, {L"C:\\"}, L"Z:\\tmp"));
        EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_NONE),
                  ChooseFileDropEffect(keys, DROPEFFECT_COPY | DROPEFFECT_MOVE, {L"C:\\", L"Z:\\x"}, L"Z:\\tmp"));
    }

    // A folder whose name begins with the dragged folder's name is no sub-folder of it.
    m_root.MakeFolders({"src\\subway"});
    CComPtr<IDataObject> pData;
    pData.Attach(NewFileListDataObject({m_root.Sub("src\\sub")}));
    CComPtr<IDropTarget> pTarget = TargetFor(m_root.Sub("src\\subway"));
    ASSERT_TRUE(pTarget);
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_MOVE), Drag(pTarget, pData, MK_LBUTTON).dwOver);
    EXPECT_EQ("inner", Contents(m_root.Sub("src\\subway\\sub\\inner.txt")));
}

TEST_F(FolderDropTest, ANameClashNeverOverwritesAndLosesNothing)
{
    m_root.MakeFolders({"dst\\sub"});
    m_root.MakeFiles({"dst\\a.txt"}, "old a");
    m_root.MakeFiles({"dst\\sub\\keep.txt"}, "keep");
    m_root.MakeFiles({"src\\sub\\a.txt"}, "sub a");
    CComPtr<IDropTarget> pTarget = TargetFor(m_root.Sub("dst"));
    ASSERT_TRUE(pTarget);

    // A move onto a file of the same name.
    CComPtr<IDataObject> pData = ShellData(m_root.Sub("src"), {"a.txt"});
    EXPECT_EQ(S_OK, Drag(pTarget, pData, MK_LBUTTON).hrDrop);
    EXPECT_EQ("old a", Contents(m_root.Sub("dst\\a.txt")));
    EXPECT_EQ("new a", Contents(m_root.Sub("dst\\a (2).txt")));
    EXPECT_FALSE(Exists(m_root.Sub("src\\a.txt")));

    // A folder copied onto a folder of the same name, and two files of one name in one drop.
    pData.Attach(NewFileListDataObject({m_root.Sub("src\\sub"), m_root.Sub("src\\sub\\a.txt"), m_root.Sub("src\\b.txt")}));
    EXPECT_EQ(S_OK, Drag(pTarget, pData, MK_LBUTTON | MK_CONTROL).hrDrop);
    EXPECT_EQ("keep", Contents(m_root.Sub("dst\\sub\\keep.txt")));
    EXPECT_FALSE(Exists(m_root.Sub("dst\\sub\\inner.txt")));
    EXPECT_EQ("inner", Contents(m_root.Sub("dst\\sub (2)\\inner.txt")));
    EXPECT_EQ("sub a", Contents(m_root.Sub("dst\\a (3).txt")));
    EXPECT_EQ("b", Contents(m_root.Sub("dst\\b.txt")));
    // A folder's dotted name is numbered at its end, not before its "extension".
    m_root.MakeFolders({"dst\\v1.0", "src\\v1.0"});
    m_root.MakeFiles({"src\\v1.0\\x.txt"}, "x");
    pData.Attach(NewFileListDataObject({m_root.Sub("src\\v1.0")}));
    EXPECT_EQ(S_OK, Drag(pTarget, pData, MK_LBUTTON | MK_CONTROL).hrDrop);
    EXPECT_EQ("x", Contents(m_root.Sub("dst\\v1.0 (2)\\x.txt")));

    // Two items of one name that the folder does not have yet: the second is renamed too.
    m_root.MakeFiles({"src\\sub\\c.txt"}, "first c");
    m_root.MakeFiles({"src\\sub\\deeper\\c.txt"}, "second c");
    pData.Attach(NewFileListDataObject({m_root.Sub("src\\sub\\c.txt"), m_root.Sub("src\\sub\\deeper\\c.txt")}));
    EXPECT_EQ(S_OK, Drag(pTarget, pData, MK_LBUTTON).hrDrop);
    EXPECT_EQ("first c", Contents(m_root.Sub("dst\\c.txt")));
    EXPECT_EQ("second c", Contents(m_root.Sub("dst\\c (2).txt")));

    // A copy into the file's own folder, and a second shortcut of one name.
    CComPtr<IDropTarget> pSource = TargetFor(m_root.Sub("src"));
    pData = ShellData(m_root.Sub("src"), {"b.txt"});
    EXPECT_EQ(S_OK, Drag(pSource, pData, MK_LBUTTON | MK_CONTROL).hrDrop);
    EXPECT_EQ("b", Contents(m_root.Sub("src\\b (2).txt")));
    EXPECT_EQ(S_OK, Drag(pTarget, pData, MK_LBUTTON | MK_ALT).hrDrop);
    EXPECT_EQ(S_OK, Drag(pTarget, pData, MK_LBUTTON | MK_ALT).hrDrop);
    EXPECT_EQ(m_root.Sub("src\\b.txt"), LinkTarget(m_root.Sub("dst\\Shortcut to b.txt.lnk")));
    EXPECT_EQ(m_root.Sub("src\\b.txt"), LinkTarget(m_root.Sub("dst\\Shortcut (2) to b.txt.lnk")));
    EXPECT_EQ("b", Contents(m_root.Sub("src\\b.txt")));
}

TEST_F(FolderDropTest, AFileOperationThatFailsIsAFailedDropAndAsksNothing)
{
    // The source was deleted between the drag and the drop: nothing to report as done, so
    // a source that deletes its items after a move loses nothing.
    ModalWatcher watcher(IDCANCEL);
    CComPtr<IDataObject> pData;
    pData.Attach(NewFileListDataObject({m_root.Sub("src\\gone.txt")}));
    CComPtr<IDropTarget> pTarget = TargetFor(m_root.Sub("dst"));
    ASSERT_TRUE(pTarget);
    Outcome out = Drag(pTarget, pData, MK_LBUTTON | MK_CONTROL);
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_COPY), out.dwOver);
    EXPECT_TRUE(FAILED(out.hrDrop));
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_NONE), out.dwDropped);
    EXPECT_EQ(0u, watcher.Count()) << "the failure shows no box";
}

TEST_F(FolderDropTest, DataThatIsNotFilesGoesToTheFoldersOwnTarget)
{
    CRecordingDropTarget own;
    own.m_dwAnswer = DROPEFFECT_LINK;
    {
        CComPtr<IDropTarget> pTarget;
        pTarget.Attach(new CWineFolderDropTarget(Wide(m_root.Sub("dst")), &own));
        CComPtr<IDataObject> pText;
        pText.Attach(NewTextDataObject("some text"));
        Outcome out = Drag(pTarget, pText, MK_LBUTTON);
        EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_LINK), out.dwOver);
        EXPECT_EQ(S_OK, out.hrDrop);
        EXPECT_EQ("EOD", own.Kinds());
        Drag(pTarget, pText, MK_LBUTTON, kAll, false);
        EXPECT_EQ("EODEOL", own.Kinds());

        // Files are the stand-in's own business: the folder's target hears nothing of them.
        CComPtr<IDataObject> pFiles = ShellData(m_root.Sub("src"), {"b.txt"});
        EXPECT_EQ(S_OK, Drag(pTarget, pFiles, MK_LBUTTON | MK_CONTROL).hrDrop);
        EXPECT_EQ("EODEOL", own.Kinds());
        EXPECT_EQ("b", Contents(m_root.Sub("dst\\b.txt")));

        // With no target of its own the folder refuses other data.
        CComPtr<IDropTarget> pBare;
        pBare.Attach(new CWineFolderDropTarget(Wide(m_root.Sub("dst")), nullptr));
        out = Drag(pBare, pText, MK_LBUTTON);
        EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_NONE), out.dwOver);
        POINTL pt = {0, 0};
        DWORD dwEffect = kAll;
        EXPECT_TRUE(FAILED(pBare->Drop(pText, MK_LBUTTON, pt, &dwEffect)));
    }
    EXPECT_EQ(1, own.m_nRefs) << "the stand-in let go of the folder's own target";
}

TEST_F(FolderDropTest, OnlyFileSystemFoldersGetTheStandIn)
{
    CComPtr<IDropTarget> pTarget = TargetFor(m_root.Sub("dst"));
    EXPECT_NE(nullptr, dynamic_cast<CWineFolderDropTarget*>(pTarget.Get()));

    // My Computer is no file-system folder: the shell's own answer stands, whatever it is.
    CIdListPtr pidlDrives;
    ASSERT_EQ(S_OK, SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, pidlDrives.Put()));
    CComPtr<IShellFolder> pDesktop;
    SHGetDesktopFolder(pDesktop.Put());
    LPCITEMIDLIST pidlRel = pidlDrives;
    CComPtr<IDropTarget> pShells, pGot;
    const HRESULT hrShell =
        pDesktop->GetUIObjectOf(nullptr, 1, &pidlRel, IID_IDropTarget, nullptr, pShells.PutVoid());
    const HRESULT hrGot = GetWineFolderDropTarget(nullptr, pDesktop, pidlRel, pGot.Put());
    EXPECT_EQ(hrShell, hrGot);
    EXPECT_EQ(nullptr, dynamic_cast<CWineFolderDropTarget*>(pGot.Get()));
}

}  // namespace
