// Folder documents in the running application: how a text becomes a browser window
// (splitting, quotes, the 259-character cut, commas, and a large generated set of texts),
// bringing an open window to the front, File New, Window New Window, the browser window
// query, and the record of open windows, damaged ones included.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "app/FolderDocManager.h"
#include "frames/WindowPlacement.h"
#include "framework/MDIChildWnd.h"
#include "res/resource.h"
#include "support/AppFixture.h"
#include "support/BrowserWindows.h"
#include "support/ModalWatcher.h"
#include "support/OpenWindowsRecord.h"
#include "support/ScratchFolder.h"
#include "view/FolvaneDoc.h"
#include "view/FolvaneView.h"

namespace {

class DocumentsTest : public AppFixture {
protected:
    void TearDown() override
    {
        if (m_pApp->m_pMainWnd) m_pApp->CloseAllDocuments(FALSE);
        AppFixture::TearDown();
    }
    CFolvaneDoc* Open(const std::string& text)
    {
        CFolvaneDoc* pDoc = dynamic_cast<CFolvaneDoc*>(m_pApp->OpenDocumentFile(text.c_str()));
        Pump();
        return pDoc;
    }
    CFolderDocManager* Manager() { return static_cast<CFolderDocManager*>(m_pApp->m_pDocManager); }
    // A window shows its folder, so the folders of these tests exist; this makes one.
    std::string Folder(const std::string& name) { return m_folders.MakeFolder(name); }
    ScratchFolder m_folders{"documents"};
    std::vector<HWND> Windows() { return BrowserWindows(MainWnd()); }
    HWND Active() { return Frame()->MDIGetActive() ? Frame()->MDIGetActive()->m_hWnd : nullptr; }
    void Command(UINT nID) { SendMessageA(MainWnd(), WM_COMMAND, nID, 0); Pump(); }
};

HWND FrameOf(CDocument* pDoc)
{
    CFrameWnd* p = FirstFrameOf(pDoc);
    return p ? p->m_hWnd : nullptr;
}

std::string Repeat(char ch, size_t n) { return std::string(n, ch); }

}  // namespace

TEST(FolderDocument, TextsSplitAtTheFirstCommaAfterQuotesAndTheCut)
{
    struct { const char* text; const char* folder; const char* placement; } cases[] = {
        {"Z:\\a b", "Z:\\a b", ""}, {"Z:\\a,1,2,3,4,0", "Z:\\a", "1,2,3,4,0"}, {"Z:\\a,", "Z:\\a", ""},
        {",1,2", "", "1,2"}, {"Z:\\one,two\\x,1", "Z:\\one", "two\\x,1"}, {"", "", ""}};
    for (const auto& c : cases) {
        CFolvaneDoc doc;
        EXPECT_TRUE(doc.OnOpenDocument(c.text));
        EXPECT_EQ(std::string(c.folder) + "|" + c.placement, doc.m_strFolderPath.str() + "|" + doc.m_strPlacement.str());
        EXPECT_FALSE(doc.IsModified());
    }
    auto prepare = [](const std::string& text) { return CFolderDocManager::PrepareDocumentText(text.c_str()).str(); };
    EXPECT_EQ("Z:\\a b", prepare("\"Z:\\a b\""));
    EXPECT_EQ("Z:\\a", prepare("\"Z:\\a\",1,2,3,4,0"));
    EXPECT_EQ("Z:\\a\"b", prepare("Z:\\a\"b\"c"));
    EXPECT_EQ("", prepare("\""));
    EXPECT_EQ(Repeat('x', 259), prepare("\"" + Repeat('x', 300) + "\"")) << "a quote beyond the cut is not seen";

    // Generated: <quote?> head <quote> tail-without-quotes, and beyond the cut anything.
    std::mt19937 rng(7);
    for (int i = 0; i < 20000; ++i) {
        std::string head, tail;
        const size_t headLen = rng() % 200, tailLen = rng() % (259 - headLen);
        for (size_t k = 0; k < headLen; ++k) head += static_cast<char>(1 + rng() % 255);
        for (size_t k = 0; k < tailLen; ++k) tail += static_cast<char>(1 + rng() % 255);
        std::replace(tail.begin(), tail.end(), '"', '\'');
        std::string region = head + "\"" + tail;
        // Without a quote of its own in front, the head's first quote would be the one dropped.
        std::string text = (head.empty() || head[0] == '"' || rng() % 2 ? "\"" : "") + region;
        if (region.size() == 259) text += "\"beyond\"";
        ASSERT_EQ(head, prepare(text)) << i;
    }
}

TEST_F(DocumentsTest, TheTextShapesTheWindow)
{
    const std::string plain = Folder("plain"), placed = Folder("placed"), quoted = Folder("quoted blank");
    const std::string longPath = "Z:\\" + Repeat('L', 400);
    // A text that names no folder (cut at 259 characters, or empty) shows another one.
    struct { std::string text, folder, placement, rect; } cases[] = {
        {plain, plain, "", ""},
        {placed + ",15,25,415,325,0", placed, "15,25,415,325,0", "15,25,415,325"},
        {"\"" + quoted + ",20,30,300,250,0\"", quoted, "20,30,300,250,0", "20,30,300,250"},
        {longPath + ",1,2,3,4,0", "", "", ""},
        {",30,40,330,240,0", "", "30,40,330,240,0", "30,40,330,240"}};
    for (const auto& c : cases) {
        CFolvaneDoc* pDoc = Open(c.text);
        ASSERT_NE(nullptr, pDoc) << c.text;
        if (!c.folder.empty()) {
            EXPECT_EQ(c.folder, pDoc->m_strFolderPath.str());
            EXPECT_EQ(c.folder, WindowText(FrameOf(pDoc))) << "titled with its folder";
        } else {
            // Something else is shown, and the window is titled with that.
            EXPECT_FALSE(pDoc->m_strFolderPath.IsEmpty());
            EXPECT_NE(longPath.substr(0, 259), pDoc->m_strFolderPath.str());
            EXPECT_EQ(pDoc->GetTitle().str(), WindowText(FrameOf(pDoc)));
        }
        EXPECT_EQ(c.placement, pDoc->m_strPlacement.str());
        if (!c.rect.empty()) {
            EXPECT_EQ(c.rect, RectText(RectInParent(FrameOf(pDoc))));
        }
        EXPECT_TRUE(IsWindowVisible(FrameOf(pDoc)) && !IsZoomed(FrameOf(pDoc)) && !IsIconic(FrameOf(pDoc)));
    }
}

TEST_F(DocumentsTest, TheSameTextInOtherCaseBringsTheFirstWindowToTheFront)
{
    CFolvaneDoc* pFirst = Open("Z:\\tmp\\Same,10,10,300,200,0");
    CFolvaneDoc* pSecond = Open("Z:\\tmp\\other");
    ASSERT_EQ(FrameOf(pSecond), Active());
    pFirst->m_strFolderPath = "Z:\\elsewhere";  // navigated meanwhile: the text opened with counts

    EXPECT_EQ(pFirst, Open("z:\\TMP\\sAME,10,10,300,200,0"));
    EXPECT_EQ(2u, Windows().size());
    EXPECT_EQ(FrameOf(pFirst), Active());
    EXPECT_EQ(FrameOf(pFirst), Windows().front());

    // A second window: another placement; and only case is disregarded, not a soft hyphen,
    // nor '^' against its spacing variant, which the locale's comparison passes over.
    EXPECT_NE(pFirst, Open("Z:\\tmp\\Same,50,60,350,260,0"));
    EXPECT_NE(pFirst, Open("Z:\\tmp\\Sa\xADme,10,10,300,200,0"));
    CFolvaneDoc* pCaret = Open("Z:\\tmp\\^");
    EXPECT_NE(pCaret, Open("Z:\\tmp\\\x88"));
    EXPECT_EQ(pCaret, Open("z:\\TMP\\^"));
    EXPECT_EQ(6u, Windows().size());
}

TEST_F(DocumentsTest, FileNewShowsTheFirstItemAndWindowNewWindowTakesTheSamePlacement)
{
    Command(ID_FILE_NEW);
    Command(ID_FILE_NEW);
    ASSERT_EQ(2u, Windows().size());
    CFolvaneDoc* pNew = dynamic_cast<CFolvaneDoc*>(Frame()->GetActiveDocument());
    ASSERT_NE(nullptr, pNew);
    EXPECT_TRUE(pNew->GetPathName().IsEmpty() && pNew->m_strPlacement.IsEmpty()) << "a new document names nothing";
    // Its window shows what an empty folder text comes to, the same for every File New window.
    EXPECT_FALSE(pNew->m_strFolderPath.IsEmpty());
    EXPECT_EQ(pNew->GetTitle().str(), WindowText(Windows()[0]));
    EXPECT_EQ(WindowText(Windows()[0]), WindowText(Windows()[1]));
    m_pApp->CloseAllDocuments(FALSE);

    const std::string twice = Folder("twice");
    CFolvaneDoc* pDoc = Open(twice + ",30,40,330,260,0");
    Command(ID_WINDOW_NEW);
    std::vector<HWND> windows = Windows();
    ASSERT_EQ(2u, windows.size());
    EXPECT_EQ(2u, pDoc->GetViews().size());
    EXPECT_EQ("30,40,330,260", RectText(RectInParent(windows[0])));
    EXPECT_EQ("30,40,330,260", RectText(RectInParent(windows[1])));
    EXPECT_EQ(twice + ":2", WindowText(windows[0]));
    EXPECT_EQ(twice + ":1", WindowText(windows[1]));
    Command(ID_FILE_CLOSE);
    EXPECT_TRUE(Windows().empty());
    EXPECT_EQ(0, m_pApp->m_pDocManager->GetOpenDocumentCount());
}

TEST_F(DocumentsTest, WhileOneWindowIsMaximisedANewOneOpensMaximisedWhateverItsPlacement)
{
    Open("Z:\\tmp\\big,0,0,100,100,16777216");
    for (const char* text : {"Z:\\tmp\\small,10,10,200,150,0", "Z:\\tmp\\plain", "Z:\\tmp\\icon,1,2,3,4,536870912",
                             "Z:\\tmp\\big2,0,0,100,100,16777216"}) {
        HWND hFrame = FrameOf(Open(text));
        EXPECT_TRUE(IsZoomed(hFrame)) << text;
        EXPECT_EQ(hFrame, Active()) << text;
    }
}

TEST_F(DocumentsTest, TheBrowserWindowQueryNeverWritesPastTheSendersBuffer)
{
    const std::string asked = Folder("asked");
    CFolvaneDoc* pDoc = Open(asked + ",12,22,312,222,0");
    HWND hView = FirstViewOf(pDoc)->m_hWnd;
    EXPECT_EQ(asked + ",12,22,312,222,0", BrowserWindowStringOf(hView));

    const std::string grown = "Z:\\" + Repeat('N', 600);  // grown past MAX_PATH by navigation
    FirstViewOf(pDoc)->m_strShownFolder = grown.c_str();
    const std::string full = grown + ",12,22,312,222,0";
    const LPARAM fullSize = static_cast<LPARAM>(full.size());
    std::vector<char> buf(700);
    for (LPARAM size : {LPARAM(0), LPARAM(1), LPARAM(320), fullSize, fullSize + 1}) {
        std::fill(buf.begin(), buf.end(), '#');
        LRESULT n = SendMessageA(hView, WM_GETBROWSERWINDOWSTRING, reinterpret_cast<WPARAM>(buf.data()), size);
        EXPECT_EQ(fullSize, n) << "the whole length, so that the sender sees what was cut";
        if (size) {
            EXPECT_EQ(full.substr(0, static_cast<size_t>(std::min(size - 1, fullSize))), buf.data());
        }
        for (size_t i = static_cast<size_t>(size); i < buf.size(); ++i) ASSERT_EQ('#', buf[i]) << size;
    }
}

TEST_F(DocumentsTest, GeneratedTextsOpenExactlyTheirFolderAndPlacement)
{
    // Every window fills its tree and makes a shell view: a hundred texts are plenty.
    std::mt19937 rng(1234);
    for (int i = 0; i < 100; ++i) {
        std::string text;
        RECT rc = {0, 0, 0, 0};
        if (i % 2 == 0) {
            // Made of known parts: folder, placement (with more fields at times), quotes at times.
            static const char kChars[] = "Za:\\ -+09.\x80\xE9\xFF\t~";
            const size_t len = rng() % 4 ? rng() % 60 : 250 + rng() % 100;
            for (size_t k = 0; k < len; ++k) text += kChars[rng() % (sizeof(kChars) - 1)];
            rc.left = static_cast<LONG>(rng() % 300) - 100;
            rc.top = static_cast<LONG>(rng() % 300) - 100;
            rc.right = rc.left + 120 + static_cast<LONG>(rng() % 300);
            rc.bottom = rc.top + 100 + static_cast<LONG>(rng() % 200);
            text += "," + RectText(rc) + ",0" + (rng() % 3 ? "" : ",9,junk");
        } else {
            // Any bytes but quotes (which the test above covers), of any length.
            text.resize(rng() % 5 ? rng() % 300 : rng() % 4000);
            for (char& ch : text) ch = static_cast<char>(1 + rng() % 255);
            std::replace(text.begin(), text.end(), '"', ',');
        }
        const std::string used = text.substr(0, 259);
        const size_t comma = used.find(',');
        const std::string folder = used.substr(0, comma);
        const std::string placement = comma == std::string::npos ? "" : used.substr(comma + 1);
        if (i % 3 == 0) text = "\"" + text + "\"";

        CFolvaneDoc* pDoc = Open(text);
        ASSERT_NE(nullptr, pDoc) << i;
        // The folder part is shown when it names a folder, the tree's first item otherwise;
        // either way the window is titled with what it shows.
        ASSERT_EQ(placement, pDoc->m_strPlacement.str()) << i;
        HWND hFrame = FrameOf(pDoc);
        ASSERT_TRUE(IsWindowVisible(hFrame)) << i;
        if (i % 2 == 0 && used.size() < 259) {
            ASSERT_EQ(RectText(rc), RectText(RectInParent(hFrame))) << i;
        }
        ASSERT_FALSE(pDoc->m_strFolderPath.IsEmpty()) << i;
        ASSERT_EQ(pDoc->GetTitle().str(), WindowText(hFrame)) << i;
        pDoc->OnCloseDocument();
        Pump();
        ASSERT_TRUE(Windows().empty()) << i;
    }
}

TEST_F(DocumentsTest, WithoutATemplateOpeningSaysSoAndGivesNothing)
{
    CFolderDocManager bare;
    ModalWatcher watcher;
    EXPECT_EQ(nullptr, bare.OpenDocumentFile("Z:\\tmp"));
    ASSERT_EQ(1u, watcher.Count());
    EXPECT_EQ("Failed to open document.", watcher.Seen()[0].text);
}

TEST_F(DocumentsTest, SavingReplacesTheWholeRecordWithTheOpenWindowsBottomFirst)
{
    WriteRecordString("Window1", "Z:\\stale");
    WriteRecordString("Window7", "Z:\\stale");
    DWORD one = 1;
    WriteRecordValue("Count", REG_DWORD, &one, sizeof(one));

    const std::string a = Folder("a"), b = Folder("b"), c = Folder("c");
    Open(a + ",10,10,300,200,0");
    CFolvaneDoc* pB = Open(b + ",40,40,330,230,0");
    ShowWindow(FrameOf(pB), SW_MINIMIZE);  // which sends it to the bottom
    Open(c + ",70,70,360,260,0");
    ASSERT_EQ(FrameOf(pB), Windows().back());
    Manager()->SaveOpenWindows();
    // Reopened in this order, the active window ends on top again.
    std::vector<std::pair<std::string, std::string>> expected = {
        {"Window1", b + "," + RectText(RectInParent(FrameOf(pB))) + ",536870912"},
        {"Window2", a + ",10,10,300,200,0"},
        {"Window3", c + ",70,70,360,260,0"}};
    EXPECT_EQ(expected, ReadRecordStrings());

    m_pApp->CloseAllDocuments(FALSE);
    Manager()->SaveOpenWindows();
    EXPECT_TRUE(ReadRecordStrings().empty());
}

// A folder path can outgrow any first guess at the text's size (navigation lengthens it);
// texts of every length around the first query's buffer, and well past it, are recorded
// to the last character, which holds the window's state.
TEST_F(DocumentsTest, TextsOfEveryLengthAreRecordedWhole)
{
    CFolvaneDoc* pDoc = Open("Z:\\tmp\\long,12,22,312,222,0");
    const std::string placement = ",12,22,312,222,0";
    for (size_t length = 200; length <= 720; ++length) {
        const std::string folder = "Z:\\" + Repeat('L', length - 3 - placement.size());
        FirstViewOf(pDoc)->m_strShownFolder = folder.c_str();
        Manager()->SaveOpenWindows();
        const std::vector<std::pair<std::string, std::string>> expected = {{"Window1", folder + placement}};
        ASSERT_EQ(expected, ReadRecordStrings()) << "a text of " << length << " characters";
    }
}

TEST_F(DocumentsTest, RestoringReopensWhatItCanOfADamagedRecord)
{
    const std::string two = Folder("two"), ten = Folder("ten"), six = Folder("six"), n = Folder("n"),
                      twelve = Folder("twelve");
    const std::string sevens = m_folders.Sub(Repeat('7', 100000));  // cut to a folder that cannot exist
    DWORD number = 5;
    WriteRecordValue("Window3", REG_DWORD, &number, sizeof(number));
    WriteRecordValue("Window4", REG_BINARY, two.c_str(), static_cast<DWORD>(two.size()));
    WriteRecordString("Window2", two + ",10,10,200,150,0");
    WriteRecordString("Window10", ten);
    WriteRecordString("Window5", "");
    WriteRecordValue("Window6", REG_SZ, six.c_str(), static_cast<DWORD>(six.size()));  // stored without its terminator
    WriteRecordString("Window7", sevens);
    const std::string nul = n + std::string("\0ul", 3);
    WriteRecordValue("Window8", REG_SZ, nul.c_str(), static_cast<DWORD>(nul.size() + 1));
    WriteRecordString("window12", twelve);
    for (const char* name : {"Window", "Window0", "WindowX", "Window12345678901", "Window-1"})
        WriteRecordString(name, ten + ",1,1,50,50,0");

    ModalWatcher watcher;
    Manager()->RestoreOpenWindows();
    Pump();
    std::vector<std::string> titles;
    for (HWND h : Windows()) titles.insert(titles.begin(), WindowText(h));
    ASSERT_EQ(6u, titles.size());
    CFolvaneDoc* pDoc = dynamic_cast<CFolvaneDoc*>(Frame()->GetActiveDocument());
    ASSERT_NE(nullptr, pDoc);
    // The cut text names no folder: that window shows another, titled with it.
    EXPECT_NE(sevens.substr(0, 259), titles[2]);
    titles[2] = "?";
    std::vector<std::string> expected = {two, six, "?", n, ten, twelve};
    EXPECT_EQ(expected, titles);
    EXPECT_EQ("10,10,200,150", RectText(RectInParent(Windows().back())));
    EXPECT_EQ(0u, watcher.Count());
}
