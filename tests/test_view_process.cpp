// Whole runs of folvane.exe browsing real folders: the folder on the command line is on
// show, and after the user has moved elsewhere the next start reopens the folder last shown.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "res/resource.h"
#include "support/AppFixture.h"
#include "support/BrowserWindows.h"
#include "support/FolvaneProcess.h"
#include "support/ScratchFolder.h"

namespace {

HWND Descendant(HWND hParent, const char* cls)
{
    HWND hFound = FindWindowExA(hParent, nullptr, cls, nullptr);
    for (HWND h = GetWindow(hParent, GW_CHILD); h && !hFound; h = GetWindow(h, GW_HWNDNEXT)) hFound = Descendant(h, cls);
    return hFound;
}

// The one browser window once it shows `title` and its right pane lists `count` items.
HWND WaitForBrowser(const FolvaneProcess& run, const std::string& title, int count)
{
    HWND hMain = run.MainWindow(15000);
    HWND hChild = nullptr;
    WaitFor([&] {
        std::vector<HWND> w = BrowserWindows(hMain);
        hChild = w.size() == 1 ? w[0] : nullptr;
        HWND hList = hChild ? Descendant(hChild, "SysListView32") : nullptr;
        return hChild && WindowText(hChild) == title && hList &&
               SendMessageA(hList, LVM_GETITEMCOUNT, 0, 0) == count;
    }, 15000);
    return hChild;
}

}  // namespace

TEST(BrowsingSession, TheFolderLastShownIsWhatTheNextStartOpens)
{
    ClearFolvaneProfile();
    ScratchFolder root("browse");
    root.MakeFolders({"sub", "sub\\leaf"});
    root.MakeFiles({"sub\\a.txt", "sub\\b.txt", "sub\\c.txt"});
    {
        FolvaneProcess run("\"" + root.Sub("sub") + "\"", FolvaneProcess::Boxes::Answer);
        HWND hChild = WaitForBrowser(run, root.Sub("sub"), 4);
        ASSERT_NE(nullptr, hChild) << "the folder's window, titled with its path, its four items on the right";
        HWND hTree = Descendant(hChild, "SysTreeView32");
        ASSERT_NE(nullptr, hTree);
        EXPECT_NE(0, SendMessageA(hTree, TVM_GETNEXTITEM, TVGN_CARET, 0)) << "an item is selected in the tree";
        // The user goes up one level and ends the program.
        SendMessageA(run.MainWindow(), WM_COMMAND, ID_UP_ONE_LEVEL, 0);
        ASSERT_NE(nullptr, WaitForBrowser(run, root.Path(), 1));
        ASSERT_TRUE(run.Close(FolvaneProcess::Ending::FileExit));
        EXPECT_EQ(0u, run.BoxCount());
    }
    FolvaneProcess next("", FolvaneProcess::Boxes::Answer);
    EXPECT_NE(nullptr, WaitForBrowser(next, root.Path(), 1)) << "reopened on the folder last shown";
    EXPECT_TRUE(next.Close(FolvaneProcess::Ending::CloseMessage));
    ClearFolvaneProfile();
}
