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

std::wstring Wide(const std::string& s)
{
    return std::wstring(s.begin(), s.end());
}

std::wstring Lower(const std::string& s)
{
    std::wstring w = Wide(s);
    CharLowerBuffW(&w[0], static_cast<DWORD>(w.size()));
    return w;
}

std::wstring Upper(const std::string& s)
{
    std::wstring w = Wide(s);
    CharUpperBuffW(&w[0], static_cast<DWORD>(w.size()));
    return w;
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
        // A move is done here: the source hears none, and has nothing left to delete.
        EXPECT_EQ(c.effect == DROPEFFECT_MOVE ? static_cast<DWORD>(DROPEFFECT_NONE) : c.effect, out.dwDropped);
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
    const std::string other = FolderOnAnotherDrive("folderdrop-z", m_root.Path());
    if (other.empty()) GTEST_SKIP() << "no folder on a second drive (Z:\\tmp) to drop into";
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
    // Paths are one whatever their case, the drive letter's included: "c:\\...\\src\\sub" is
    // the folder "C:\\...\\SRC\\Sub".
    const RefusedCase caseCases[] = {
        {"folder in lower case into its sub-folder in other case", {"src\\sub"}, "SRC\\Sub\\Deeper", MK_LBUTTON},
        {"folder in lower case onto itself in upper case", {"src\\sub"}, "SRC\\SUB", MK_LBUTTON | MK_CONTROL},
        {"file in lower case moved onto its own folder", {"src\\a.txt"}, "SRC", MK_LBUTTON},
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
    for (const RefusedCase& c : caseCases) {
        SCOPED_TRACE(c.what);
        ModalWatcher refuse(IDCANCEL);  // a drop that went ahead would ask or report
        std::vector<std::wstring> sources;
        for (const std::string& rel : c.sources) sources.push_back(Lower(m_root.Sub(rel)));
        const std::wstring folder = Upper(m_root.Sub(c.target));
        EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_NONE), ChooseFileDropEffect(c.keys, kAll, sources, folder));
        // Dropped all the same, it does nothing.
        CComPtr<IDataObject> pData;
        pData.Attach(NewFileListDataObject({std::string(sources[0].begin(), sources[0].end())}));
        CComPtr<IDropTarget> pTarget;
        pTarget.Attach(new CWineFolderDropTarget(folder, nullptr));
        POINTL pt = {0, 0};
        DWORD dwEffect = kAll;
        pTarget->DragEnter(pData, c.keys, pt, &dwEffect);
        EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_NONE), dwEffect);
        dwEffect = kAll;
        EXPECT_TRUE(FAILED(pTarget->Drop(pData, c.keys, pt, &dwEffect)));
        EXPECT_EQ(0u, refuse.Count());
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

TEST_F(FolderDropTest, ANameClashIsAskedAboutNeverNestsAndLosesNothing)
{
    m_root.MakeFolders({"dst\\sub"});
    m_root.MakeFiles({"dst\\a.txt"}, "old a");
    m_root.MakeFiles({"dst\\sub\\keep.txt", "dst\\sub\\inner.txt"}, "keep");
    CComPtr<IDropTarget> pTarget = TargetFor(m_root.Sub("dst"));
    ASSERT_TRUE(pTarget);

    // A move onto a file of the same name asks; a no leaves both as they were.
    CComPtr<IDataObject> pData = ShellData(m_root.Sub("src"), {"a.txt"});
    {
        ModalWatcher no(IDNO);
        Outcome out = Drag(pTarget, pData, MK_LBUTTON);
        ASSERT_EQ(1u, no.Count());
        EXPECT_EQ("Confirm File Replace", no.Seen()[0].caption);
        EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_NONE), out.dwDropped) << "nothing moved";
    }
    EXPECT_EQ("old a", Contents(m_root.Sub("dst\\a.txt")));
    EXPECT_EQ("new a", Contents(m_root.Sub("src\\a.txt")));

    // A folder copied onto a folder of the same name: asked once, merged on a yes (each
    // file of the same name asked about again), never nested.
    pData.Attach(NewFileListDataObject({m_root.Sub("src\\sub"), m_root.Sub("src\\b.txt")}));
    {
        ModalWatcher yes(IDYES);
        EXPECT_EQ(S_OK, Drag(pTarget, pData, MK_LBUTTON | MK_CONTROL).hrDrop);
        std::vector<std::string> captions;
        for (const SeenBox& box : yes.Seen()) captions.push_back(box.caption);
        EXPECT_EQ((std::vector<std::string>{"Confirm Folder Replace", "Confirm File Replace"}), captions);
    }
    EXPECT_FALSE(Exists(m_root.Sub("dst\\sub\\sub")));
    EXPECT_EQ("keep", Contents(m_root.Sub("dst\\sub\\keep.txt")));
    EXPECT_EQ("inner", Contents(m_root.Sub("dst\\sub\\inner.txt")));
    EXPECT_TRUE(Exists(m_root.Sub("dst\\sub\\deeper")));
    EXPECT_EQ("b", Contents(m_root.Sub("dst\\b.txt")));
    // ... and on a no, nothing of it goes in.
    m_root.MakeFiles({"src\\sub\\new.txt"}, "new");
    pData.Attach(NewFileListDataObject({m_root.Sub("src\\sub")}));
    {
        ModalWatcher no(IDNO);
        Drag(pTarget, pData, MK_LBUTTON);
        EXPECT_EQ(1u, no.Count());
    }
    EXPECT_FALSE(Exists(m_root.Sub("dst\\sub\\new.txt")));
    EXPECT_TRUE(Exists(m_root.Sub("src\\sub\\new.txt")));

    // A copy into the item's own folder gets a name of its own; a second shortcut of one name too.
    CComPtr<IDropTarget> pSource = TargetFor(m_root.Sub("src"));
    pData = ShellData(m_root.Sub("src"), {"b.txt"});
    EXPECT_EQ(S_OK, Drag(pSource, pData, MK_LBUTTON | MK_CONTROL).hrDrop);
    EXPECT_EQ("b", Contents(m_root.Sub("src\\Copy of b.txt")));
    EXPECT_EQ(S_OK, Drag(pTarget, pData, MK_LBUTTON | MK_ALT).hrDrop);
    EXPECT_EQ(S_OK, Drag(pTarget, pData, MK_LBUTTON | MK_ALT).hrDrop);
    EXPECT_EQ(m_root.Sub("src\\b.txt"), LinkTarget(m_root.Sub("dst\\Shortcut to b.txt.lnk")));
    EXPECT_EQ(m_root.Sub("src\\b.txt"), LinkTarget(m_root.Sub("dst\\Shortcut (2) to b.txt.lnk")));
    EXPECT_EQ("b", Contents(m_root.Sub("src\\b.txt")));
}

// The effects a drop reports to its source: Drop's answer, "Performed DropEffect" and
// "Logical Performed DropEffect".
struct Reported {
    DWORD dwDropped, dwPerformed, dwLogical;
    bool operator==(const Reported& o) const
    {
        return dwDropped == o.dwDropped && dwPerformed == o.dwPerformed && dwLogical == o.dwLogical;
    }
};

std::ostream& operator<<(std::ostream& os, const Reported& r)
{
    return os << "dropped " << r.dwDropped << ", performed " << r.dwPerformed << ", logical " << r.dwLogical;
}

DWORD EffectSetOn(IDataObject* pData, const char* pszFormat)
{
    FORMATETC fmt = {static_cast<CLIPFORMAT>(RegisterClipboardFormatA(pszFormat)), nullptr, DVASPECT_CONTENT, -1,
                     TYMED_HGLOBAL};
    STGMEDIUM medium = {};
    if (FAILED(pData->GetData(&fmt, &medium))) return 0xFFFFFFFF;  // never set
    DWORD dw = *static_cast<DWORD*>(GlobalLock(medium.hGlobal));
    GlobalUnlock(medium.hGlobal);
    ReleaseStgMedium(&medium);
    return dw;
}

TEST_F(FolderDropTest, TheSourceHearsOnlyWhatHappenedAndAMoveDoneHereLeavesItNothingToDelete)
{
    m_root.MakeFiles({"src\\held.txt", "src\\free.txt"}, "mine");
    // Held open by another program, with no sharing: it cannot move or be copied.
    HANDLE hHeld = CreateFileA(m_root.Sub("src\\held.txt").c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                               OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, hHeld);
    const DWORD kNone = DROPEFFECT_NONE;
    struct {
        const char* what;
        std::vector<std::string> items;
        DWORD keys;
        Reported reported;
        size_t nBoxes;
    } const cases[] = {
        {"a move done here", {"src\\a.txt"}, MK_LBUTTON, {kNone, kNone, DROPEFFECT_MOVE}, 0},
        {"a copy", {"src\\b.txt"}, MK_LBUTTON | MK_CONTROL, {DROPEFFECT_COPY, DROPEFFECT_COPY, DROPEFFECT_COPY}, 0},
        {"a move of a file in use", {"src\\held.txt"}, MK_LBUTTON, {kNone, kNone, kNone}, 1},
        {"a copy of a file in use", {"src\\held.txt"}, MK_LBUTTON | MK_CONTROL, {kNone, kNone, kNone}, 1},
        {"a move of which part failed", {"src\\held.txt", "src\\free.txt"}, MK_LBUTTON,
         {kNone, kNone, DROPEFFECT_MOVE}, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<std::string> paths;
        for (const std::string& rel : c.items) paths.push_back(m_root.Sub(rel));
        CComPtr<IDataObject> pData;
        pData.Attach(NewFileListDataObject(paths));
        CComPtr<IDropTarget> pTarget = TargetFor(m_root.Sub("dst"));
        ASSERT_TRUE(pTarget);
        ModalWatcher ok(IDOK);
        const Outcome out = Drag(pTarget, pData, c.keys);
        const Reported got = {out.dwDropped, EffectSetOn(pData, CFSTR_PERFORMEDDROPEFFECT),
                              EffectSetOn(pData, CFSTR_LOGICALPERFORMEDDROPEFFECT)};
        EXPECT_EQ(c.reported, got);
        ASSERT_EQ(c.nBoxes, ok.Count()) << "one box for what could not be done";
        if (c.nBoxes) {
            EXPECT_NE(std::string::npos, ok.Seen()[0].text.find("held.txt")) << ok.Seen()[0].text;
        }
        for (const std::string& path : paths) {
            const std::string name = path.substr(path.find_last_of('\\') + 1);
            EXPECT_EQ(name == "held.txt" || c.keys & MK_CONTROL, Exists(path)) << name << " stays only if it did not move";
        }
        EXPECT_FALSE(Exists(m_root.Sub("dst\\held.txt"))) << "nothing partial";
    }
    CloseHandle(hHeld);
}

TEST_F(FolderDropTest, AFileOperationThatFailsIsAFailedDropAndSaysWhyInOneBox)
{
    // The source was deleted between the drag and the drop: nothing to report as done, so
    // a source that deletes its items after a move loses nothing.
    ModalWatcher watcher(IDOK);
    CComPtr<IDataObject> pData;
    pData.Attach(NewFileListDataObject({m_root.Sub("src\\gone.txt")}));
    CComPtr<IDropTarget> pTarget = TargetFor(m_root.Sub("dst"));
    ASSERT_TRUE(pTarget);
    Outcome out = Drag(pTarget, pData, MK_LBUTTON | MK_CONTROL);
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_COPY), out.dwOver);
    EXPECT_TRUE(FAILED(out.hrDrop));
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_NONE), out.dwDropped);
    ASSERT_EQ(1u, watcher.Count());
    EXPECT_NE(std::string::npos, watcher.Seen()[0].text.find("gone.txt")) << watcher.Seen()[0].text;
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
