// Names outside the ANSI code page, and names the system cannot give, as the user meets
// them: shown exactly in the tree, renamed only as typed (checked on disk with the wide
// API), refused with one sentence; and a window on such a folder captioned, listed in the
// Window menu, recorded and reopened exactly.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/AnsiNames.h"
#include "shell/ComPtr.h"
#include "shell/PathItems.h"
#include "shell/Wine.h"
#include "shell/NewNames.h"
#include "support/BrowserWindows.h"
#include "support/ModalWatcher.h"
#include "support/RealInput.h"
#include "support/TreeTest.h"
#include "support/ViewTest.h"
#include "view/FolvaneDoc.h"
#include "view/FolvaneView.h"
#include "frames/MainFrame.h"

namespace {

struct NameCase {
    const char* what;
    std::wstring name;
    bool bRenames;  // a rename that adds a letter works (else it is refused, with one sentence)
};

const std::vector<NameCase>& Names()
{
    static const std::vector<NameCase> names = {
        {"Latin-2", L"\x0141\x00F3\x0064\x017A", true},                          // Łódź
        {"Greek", L"\x0395\x03BB\x03BB\x03AC\x03B4\x03B1", true},                // Ελλάδα
        {"Cyrillic", L"\x041C\x043E\x0441\x043A\x0432\x0430", true},             // Москва
        {"CJK", L"\x65E5\x672C", true},                                          // 日本
        {"emoji (a surrogate pair)", L"smile \xD83D\xDE00", true},
        {"in the code page", L"caf\x00E9 cr\x00E8me", true},
        {"trailing dot", L"dot.", false},
        {"240 characters", L"\x0141" + std::wstring(239, L'n'), false},
    };
    return names;
}

// A path the system takes as it is written: no trailing dot dropped, no MAX_PATH limit.
std::wstring Verbatim(const std::wstring& path)
{
    return L"\\\\?\\" + path;
}

bool OnDisk(const std::wstring& path)
{
    return GetFileAttributesW(Verbatim(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The caption as shown (asking the window would give its 8-bit text).
std::wstring WideWindowText(HWND hWnd)
{
    wchar_t text[1024] = L"";
    InternalGetWindowText(hWnd, text, 1024);
    return text;
}

bool WindowMenuHas(HWND hMain, const std::wstring& caption)
{
    HMENU hBar = GetMenu(hMain);
    for (int i = 0, n = GetMenuItemCount(hBar); i < n; i++) {
        HMENU hPopup = GetSubMenu(hBar, i);
        for (int j = 0, m = hPopup ? GetMenuItemCount(hPopup) : 0; j < m; j++) {
            wchar_t text[1024] = L"";
            GetMenuStringW(hPopup, j, text, 1024, MF_BYPOSITION);
            const std::wstring entry = text;
            if (entry.size() >= caption.size() && entry.compare(entry.size() - caption.size(), caption.size(), caption) == 0)
                return true;
        }
    }
    return false;
}

// Names the system would change rather than refuse, and its limits at their edges: a path of
// MAX_PATH - 1 characters is the longest.
TEST(NewNames, ANameIsRefusedWhereTheSystemWouldChangeIt)
{
    const std::wstring folder = L"C:\\" + std::wstring(200, L'f');
    const size_t fits = MAX_PATH - 1 - folder.size() - 1;
    const struct { const char* what; std::wstring folder, name; NameProblem expected; } cases[] = {
        {"fits", folder, std::wstring(fits, L'n'), NameProblem::None},
        {"one too many", folder, std::wstring(fits + 1, L'n'), NameProblem::TooLong},
        {"folder with its separator", folder + L"\\", std::wstring(fits, L'n'), NameProblem::None},
        {"a name of 255", L"C:\\", std::wstring(255, L'n'), NameProblem::None},
        {"a name of 256", L"C:\\", std::wstring(256, L'n'), NameProblem::TooLong},
        {"a dot inside", L"C:\\", L"a.b", NameProblem::None},
        {"a blank at the end", L"C:\\", L"a ", NameProblem::TrailingDot},
        {"a control character", L"C:\\", L"a\tb", NameProblem::Forbidden},
        {"a pipe", L"C:\\", L"a|b", NameProblem::Forbidden},
        {"a separator", L"C:\\", L"sub\\dir", NameProblem::Forbidden},
        {"a colon", L"C:\\", L"a:b", NameProblem::Forbidden},
        {"outside the code page", L"C:\\", L"\x65E5\xD83D\xDE00", NameProblem::None},
    };
    for (const auto& c : cases) EXPECT_EQ(c.expected, CheckNewName(c.folder, c.name)) << c.what;
}

// The items handed over from a path (the find window's copy and drag): the 8-bit file name
// names the item exactly, in its short form.
TEST(NamesHandedOver, TheEightBitFileNameOfAnItemOutsideTheCodePageNamesIt)
{
    if (!IsRunningUnderWine()) GTEST_SKIP() << "the file names are offered by the shell itself on Windows";
    ScratchFolder dir("names-handed");
    const std::wstring path = dir.WideSub(L"\x0141\x00F3" L"d\x017A \x65E5\x672C");
    ASSERT_TRUE(CreateDirectoryW(path.c_str(), nullptr));
    CComPtr<IDataObject> spData;
    ASSERT_EQ(S_OK, CreatePathsDataObject(nullptr, {path}, DROPEFFECT_COPY, spData.Put()));
    FORMATETC format = {static_cast<CLIPFORMAT>(RegisterClipboardFormatA(CFSTR_FILENAMEA)), nullptr, DVASPECT_CONTENT,
                        -1, TYMED_HGLOBAL};
    STGMEDIUM medium = {};
    ASSERT_EQ(S_OK, spData->GetData(&format, &medium));
    const std::string name = static_cast<const char*>(GlobalLock(medium.hGlobal));
    GlobalUnlock(medium.hGlobal);
    ReleaseStgMedium(&medium);
    EXPECT_EQ(path, LongPathOf(name.c_str())) << name;
}

using NamesInTree = TreeTest;

TEST_F(NamesInTree, EveryNameShowsExactlyAndARenameChangesOnlyWhatWasTyped)
{
    ASSERT_TRUE(FitsCodePage(L"caf\x00E9 cr\x00E8me")) << "the prefix's code page is expected to hold e-acute";
    ASSERT_FALSE(FitsCodePage(Names()[0].name));
    for (const NameCase& c : Names())
        ASSERT_TRUE(CreateDirectoryW(Verbatim(m_pDir->WideSub(c.name)).c_str(), nullptr)) << c.what;
    HTREEITEM hRoot = ShowFixture();
    ASSERT_EQ(Names().size(), Children(Tree(), hRoot).size());

    for (const NameCase& c : Names()) {
        HTREEITEM hItem = ChildByWideLabel(Tree(), hRoot, c.name);
        ASSERT_NE(nullptr, hItem) << c.what << ": the label is the name exactly";
        ModalWatcher boxes(IDOK);
        ASSERT_TRUE(EditLabelW(hItem, c.name)) << c.what;
        EXPECT_TRUE(OnDisk(m_pDir->WideSub(c.name))) << c.what << ": an unchanged label renames nothing";
        EXPECT_EQ(0u, boxes.Count()) << c.what;

        const std::wstring renamed = c.name + L"X";
        ASSERT_TRUE(EditLabelW(hItem, renamed)) << c.what;
        EXPECT_EQ(c.bRenames, OnDisk(m_pDir->WideSub(renamed))) << c.what;
        EXPECT_NE(c.bRenames, OnDisk(m_pDir->WideSub(c.name))) << c.what;
        EXPECT_EQ(c.bRenames ? renamed : c.name, Tree().GetItemTextW(hItem)) << c.what;
        EXPECT_EQ(c.bRenames ? 0u : 1u, boxes.Count()) << c.what << ": a refusal says why, once";
        // Wine's shell cuts parsing names at MAX_PATH characters.
        const std::wstring path = m_pDir->WideSub(c.bRenames ? renamed : c.name);
        std::wstring parsed;
        EXPECT_TRUE(Tree().GetItemNameW(hItem, SHGDN_FORPARSING, parsed));
        if (path.size() < MAX_PATH) {
            EXPECT_EQ(path, parsed) << c.what << ": the record follows";
        }
    }
    EXPECT_EQ(Names().size(), Children(Tree(), hRoot).size());
}

// A window on a folder whose path the code page cannot hold: captioned and listed with the
// real name, recorded in a form the code page holds, and reopened from the record exactly.
TEST_F(ViewTest, AFolderOutsideTheCodePageIsCaptionedRecordedAndReopenedExactly)
{
    for (size_t i = 0; i < 6; i++) {
        const NameCase& c = Names()[i];
        const std::wstring folder = m_root.WideSub(c.name + L"\\" + c.name);
        ASSERT_TRUE(CreateDirectoryW(m_root.WideSub(c.name).c_str(), nullptr)) << c.what;
        ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr)) << c.what;
        CFolvaneView* pView = Open(m_root.Path());
        ASSERT_NE(nullptr, pView);
        HTREEITEM hOuter = ChildByWideLabel(pView->m_tree, pView->m_tree.GetSelectedItem(), c.name);
        ASSERT_NE(nullptr, hOuter) << c.what;
        pView->m_tree.ExpandWithNotify(hOuter, TVE_EXPAND);
        ASSERT_TRUE(pView->m_tree.SelectItem(ChildByWideLabel(pView->m_tree, hOuter, c.name))) << c.what;
        Pump();

        CFrameWnd* pFrame = pView->GetParentFrame();
        EXPECT_EQ(folder, WideWindowText(pFrame->m_hWnd)) << c.what;
        EXPECT_TRUE(WindowMenuHas(MainWnd(), folder)) << c.what;
        wchar_t box[1024] = L"";
        GetWindowTextW(Frame()->m_wndAddressBar.GetEditWindow(), box, 1024);
        EXPECT_EQ(folder, box) << c.what << ": address box";
        // Back's list names the folder left by its real name.
        ASSERT_TRUE(pView->m_tree.SelectItem(hOuter)) << c.what;
        Pump();
        HMENU hBack = CAddressBar::MakeHistoryMenu(pView->GetHistoryTitles(FALSE));
        wchar_t place[1024] = L"";
        GetMenuStringW(hBack, 0, place, 1024, MF_BYPOSITION);
        DestroyMenu(hBack);
        EXPECT_EQ(folder, place) << c.what << ": Back's list";
        ASSERT_TRUE(pView->m_tree.SelectItem(ChildByWideLabel(pView->m_tree, hOuter, c.name))) << c.what;
        Pump();
        SendMessageA(Frame()->m_hWndMDIClient, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(pFrame->m_hWnd), 0);
        Pump();
        EXPECT_NE(std::wstring::npos, WideWindowText(MainWnd()).find(folder)) << c.what << ": maximised";
        const std::string record = BrowserWindowStringOf(pView->m_hWnd);
        const std::string recorded = record.substr(0, record.find(','));
        EXPECT_EQ(Widen(recorded), WideOf(AnsiOf(Widen(recorded)).c_str())) << c.what << ": 8-bit text";
        EXPECT_EQ(folder, LongPathOf(recorded.c_str())) << c.what << ": " << recorded;

        m_pApp->CloseAllDocuments(FALSE);
        Pump();
        pView = Open(record);
        ASSERT_NE(nullptr, pView) << c.what << ": " << record;
        EXPECT_EQ(c.name, pView->m_tree.GetItemTextW(pView->m_tree.GetSelectedItem())) << c.what;
        EXPECT_EQ(folder, WideWindowText(pView->GetParentFrame()->m_hWnd)) << c.what;
        m_pApp->CloseAllDocuments(FALSE);
        Pump();
    }
}

}  // namespace

// Letters the code page lacks, typed on a keyboard that has them, arrive as typed: in the
// tree's name editor (the folder renamed to them on disk) and in the address box (which
// then goes to that folder).
TEST_F(ViewTest, NamesOutsideTheCodePageTypedByTheUserArriveAsTyped)
{
    CFolvaneView* pView = Open(m_root.Path());
    ASSERT_NE(nullptr, pView);
    CShellTreeCtrl& tree = pView->m_tree;
    const HWND hBox = Frame()->m_wndAddressBar.GetEditWindow();
    std::wstring current = L"beta";
    for (size_t i = 0; i < 5; i++) {
        const NameCase& c = Names()[i];
        ModalWatcher boxes;
        SetForegroundWindow(MainWnd());
        ASSERT_TRUE(Browse(pView, m_root.Path()));
        HTREEITEM hItem = ChildByWideLabel(tree, tree.GetSelectedItem(), current);
        ASSERT_NE(nullptr, hItem) << c.what;
        tree.SelectItem(hItem);
        tree.SetFocus();
        Pump();
        PressKey(VK_F2);
        ASSERT_TRUE(PumpUntil([&] { return tree.GetEditControl() != nullptr; }, 2000)) << c.what;
        TypeText(c.name.c_str());
        PressKey(VK_RETURN);
        EXPECT_TRUE(PumpUntil([&] { return OnDisk(m_root.WideSub(c.name)); }, 3000)) << c.what << ": renamed in the tree";
        current = c.name;

        // The list's type-ahead finds it by its first letter, beside the folder's others; Back
        // names the folder renamed on show by its new name.
        ASSERT_TRUE(Browse(pView, m_root.Path()));
        EXPECT_EQ(m_root.WideSub(c.name), pView->GetHistoryTitles(FALSE).at(0)) << c.what << ": Back's list";
        const HWND hList = ListOf(pView);
        auto listed = [&](bool bSelectedOnly) {
            for (int n = ListView_GetItemCount(hList), j = 0; j < n; j++) {
                if (bSelectedOnly && !ListView_GetItemState(hList, j, LVIS_SELECTED)) continue;
                wchar_t text[MAX_PATH] = L"";
                LVITEMW item = {};
                item.pszText = text;
                item.cchTextMax = MAX_PATH;
                SendMessageW(hList, LVM_GETITEMTEXTW, j, reinterpret_cast<LPARAM>(&item));
                if (c.name == text) return true;
            }
            return false;
        };
        ASSERT_TRUE(PumpUntil([&] { return listed(false); }, 3000)) << c.what;
        ::SetFocus(hList);
        TypeText(c.name.substr(0, 1).c_str());
        EXPECT_TRUE(PumpUntil([&] { return listed(true); }, 2000)) << c.what << ": found by its first letter";

        PressChord(VK_CONTROL, 'L');
        ASSERT_TRUE(PumpUntil([&] { return GetFocus() == hBox; }, 2000)) << c.what;
        const std::wstring typed = m_root.WideSub(c.name);
        TypeText(typed.c_str());
        PumpFor(100);
        wchar_t box[MAX_PATH] = L"";
        GetWindowTextW(hBox, box, MAX_PATH);
        EXPECT_EQ(typed, box) << c.what << ": typed into the address box";
        PressKey(VK_RETURN);
        PumpFor(300);
        EXPECT_EQ(typed, LongPathOf(Shown(pView).c_str())) << c.what << ": gone to";
        EXPECT_TRUE(boxes.Seen().empty()) << c.what << ": " << (boxes.Seen().empty() ? "" : boxes.Seen()[0].text);
    }
    // A name that names nothing is not taken for its nearest 8-bit letters: "Lódz" is there,
    // "Łódź" (renamed above) no longer.
    ASSERT_TRUE(CreateDirectoryW(m_root.WideSub(L"L\x00F3" L"dz").c_str(), nullptr));
    const std::wstring typed = m_root.WideSub(Names()[0].name);
    ModalWatcher boxes;
    PressChord(VK_CONTROL, 'L');
    ASSERT_TRUE(PumpUntil([&] { return GetFocus() == hBox; }, 2000));
    TypeText(typed.c_str());
    PressKey(VK_RETURN);
    PumpFor(300);
    EXPECT_NE(m_root.WideSub(L"L\x00F3" L"dz"), LongPathOf(Shown(pView).c_str()));
    ASSERT_EQ(1u, boxes.Count());
    EXPECT_NE(std::wstring::npos, boxes.Seen()[0].wideText.find(L"cannot find \"" + typed + L"\"")) << boxes.Seen()[0].text;
}
