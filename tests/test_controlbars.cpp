// The main frame's toolbar beyond its first load: reloading it as the shell view does on every
// folder change, a floating toolbar kept up to date and kept out of the way of modal boxes, and
// tooltips for tools named by their window.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "framework/AfxRes.h"
#include "res/resource.h"
#include "support/AppFixture.h"
#include "support/BrowserWindows.h"
#include "support/RealInput.h"
#include "support/TopLevelWindows.h"

namespace {

// The pixels of one image of an image list, drawn on white.
std::vector<DWORD> ImagePixels(HIMAGELIST himl, int index)
{
    int cx = 0, cy = 0;
    ImageList_GetIconSize(himl, &cx, &cy);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = cx;
    bi.bmiHeader.biHeight = -cy;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC hdc = CreateCompatibleDC(nullptr);
    HBITMAP hbm = CreateDIBSection(hdc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(hdc, hbm);
    RECT rc = {0, 0, cx, cy};
    FillRect(hdc, &rc, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    ImageList_Draw(himl, index, hdc, 0, 0, ILD_NORMAL);
    GdiFlush();
    std::vector<DWORD> pixels(static_cast<const DWORD*>(bits), static_cast<const DWORD*>(bits) + cx * cy);
    SelectObject(hdc, old);
    DeleteObject(hbm);
    DeleteDC(hdc);
    return pixels;
}

HBITMAP SolidBitmap(int cx, int cy, COLORREF colour)
{
    HDC hScreen = GetDC(nullptr);
    HBITMAP hbm = CreateCompatibleBitmap(hScreen, cx, cy);
    HDC hdc = CreateCompatibleDC(hScreen);
    HGDIOBJ old = SelectObject(hdc, hbm);
    HBRUSH hbr = CreateSolidBrush(colour);
    RECT rc = {0, 0, cx, cy};
    FillRect(hdc, &rc, hbr);
    DeleteObject(hbr);
    SelectObject(hdc, old);
    DeleteDC(hdc);
    ReleaseDC(nullptr, hScreen);
    return hbm;
}

bool BitmapAlive(HBITMAP hbm)
{
    BITMAP bm;
    return GetObjectA(hbm, sizeof(bm), &bm) == sizeof(bm);
}

struct Button {
    int image;
    int command;
    bool separator;
};

std::vector<Button> Buttons(CToolBar& tb)
{
    std::vector<Button> out;
    for (int i = 0; i < tb.GetCount(); i++) {
        TBBUTTON b = {};
        tb.SendMessage(TB_GETBUTTON, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&b));
        bool sep = (b.fsStyle & TBSTYLE_SEP) != 0;
        out.push_back({sep ? -1 : b.iBitmap, sep ? 0 : b.idCommand, sep});
    }
    return out;
}

// A toolbar that keeps every image well it was given, so that a test can see which are freed.
class ProbeToolBar : public CToolBar {
public:
    std::vector<HBITMAP> m_created;

protected:
    HBITMAP LoadImageWell(HINSTANCE hInst, UINT nIDResource) override
    {
        HBITMAP hbm = CToolBar::LoadImageWell(hInst, nIDResource);
        if (hbm) m_created.push_back(hbm);
        return hbm;
    }
};

// Runs what raises a modal box on this thread; meanwhile, from another thread, waits for the
// box, calls `during` with it and then presses its OK button.
void WithModalBox(const std::function<void()>& raise, const std::function<void(HWND)>& during)
{
    std::atomic<bool> done{false};
    std::thread watcher([&] {
        HWND hBox = nullptr;
        for (int i = 0; i < 500 && !hBox && !done; i++) {
            for (HWND h : TopLevelWindowsOf(GetCurrentProcessId(), true, "#32770")) hBox = h;
            if (!hBox) Sleep(10);
        }
        if (!hBox) return;
        during(hBox);
        PostMessageA(hBox, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(hBox, IDOK)));
    });
    raise();
    done = true;
    watcher.join();
}

class ControlBarTest : public AppFixture {
protected:
    CToolBar& Bar() { return Frame()->m_wndToolBar; }
    // Floats the toolbar in the lower right corner of the screen, clear of any box.
    HWND FloatBar()
    {
        POINT pt = {GetSystemMetrics(SM_CXSCREEN) - 200, GetSystemMetrics(SM_CYSCREEN) - 120};
        Frame()->FloatControlBar(&Bar(), pt);
        Pump();
        return GetParent(Bar().m_hWnd);
    }
    POINT ButtonCentre(UINT nID)
    {
        RECT rc;
        Bar().GetItemRect(Bar().CommandToIndex(nID), &rc);
        POINT pt = {(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
        ClientToScreen(Bar().m_hWnd, &pt);
        return pt;
    }
};

}  // namespace

TEST_F(ControlBarTest, ReloadingTheToolbarResetsTheButtonsAndKeepsEveryImageWhereItWas)
{
    CToolBar& tb = Bar();
    HIMAGELIST himl = reinterpret_cast<HIMAGELIST>(tb.SendMessage(TB_GETIMAGELIST));
    ASSERT_NE(nullptr, himl);
    const int nOwn = ImageList_GetImageCount(himl);
    ASSERT_EQ(2, nOwn);
    const std::vector<DWORD> newImage = ImagePixels(himl, 0), upImage = ImagePixels(himl, 1);

    // A shell view adds an image of its own and a button that shows it.
    HBITMAP hForeign = SolidBitmap(16, 15, RGB(200, 30, 40));
    TBADDBITMAP ab = {nullptr, reinterpret_cast<UINT_PTR>(hForeign)};
    const int iForeign = static_cast<int>(tb.SendMessage(TB_ADDBITMAP, 1, reinterpret_cast<LPARAM>(&ab)));
    ASSERT_EQ(nOwn, iForeign);
    TBBUTTON extra = {};
    extra.iBitmap = iForeign;
    extra.idCommand = 28713;
    extra.fsState = TBSTATE_ENABLED;
    tb.SendMessage(TB_ADDBUTTONSA, 1, reinterpret_cast<LPARAM>(&extra));
    const std::vector<DWORD> foreignImage = ImagePixels(himl, iForeign);

    for (int round = 1; round <= 3; round++) {
        SCOPED_TRACE("reload " + std::to_string(round));
        ASSERT_TRUE(tb.LoadToolBar(IDR_MAINFRAME));
        himl = reinterpret_cast<HIMAGELIST>(tb.SendMessage(TB_GETIMAGELIST));
        EXPECT_EQ(nOwn + 1, ImageList_GetImageCount(himl)) << "nothing accumulates per reload";
        std::vector<Button> b = Buttons(tb);
        ASSERT_EQ(3u, b.size()) << "the resource's buttons, and only those";
        EXPECT_EQ(ID_FILE_NEW, b[0].command);
        EXPECT_TRUE(b[1].separator);
        EXPECT_EQ(ID_UP_ONE_LEVEL, b[2].command);
        EXPECT_EQ(newImage, ImagePixels(himl, b[0].image));
        EXPECT_EQ(upImage, ImagePixels(himl, b[2].image));
        EXPECT_EQ(foreignImage, ImagePixels(himl, iForeign)) << "another's image keeps its index";
    }
    DeleteObject(hForeign);
}

TEST_F(ControlBarTest, NoLoadLeavesAnImageBitmapBehindAndTheLastGoesWithTheBar)
{
    ProbeToolBar* pBar = new ProbeToolBar;
    ASSERT_TRUE(pBar->Create(Frame(), WS_CHILD | WS_VISIBLE | CBRS_TOP, AFX_IDW_TOOLBAR + 1));
    for (int load = 1; load <= 4; load++) {
        ASSERT_TRUE(pBar->LoadToolBar(IDR_MAINFRAME));
        ASSERT_FALSE(pBar->m_created.empty());
        for (size_t i = 0; i + 1 < pBar->m_created.size(); i++) {
            EXPECT_FALSE(BitmapAlive(pBar->m_created[i])) << "image well " << i << " lost by load " << load;
        }
    }
    HBITMAP hLast = pBar->m_created.back();
    EXPECT_TRUE(BitmapAlive(hLast)) << "the control may still draw from the current one";
    EXPECT_EQ(3, pBar->GetCount());

    pBar->DestroyWindow();
    EXPECT_FALSE(BitmapAlive(hLast)) << "the last one goes with the bar's window";
    delete pBar;

    // A bar object that goes while its window still exists frees it too.
    ProbeToolBar* pOther = new ProbeToolBar;
    ASSERT_TRUE(pOther->Create(Frame(), WS_CHILD | WS_VISIBLE | CBRS_TOP, AFX_IDW_TOOLBAR + 1));
    ASSERT_TRUE(pOther->LoadToolBar(IDR_MAINFRAME));
    ASSERT_FALSE(pOther->m_created.empty());
    hLast = pOther->m_created.back();
    delete pOther;
    EXPECT_FALSE(BitmapAlive(hLast));
}

TEST_F(ControlBarTest, TheToolbarStaysLaidOutAsButtonsComeAndAReloadTakesThemAway)
{
    // What the shell view does on every folder change: reload, then append its own buttons.
    auto appendShellButtons = [&](int n) {
        std::vector<TBBUTTON> extra(static_cast<size_t>(n));
        for (int i = 0; i < n; i++) {
            extra[static_cast<size_t>(i)].iBitmap = 0;
            extra[static_cast<size_t>(i)].idCommand = 28713 + i;
            extra[static_cast<size_t>(i)].fsState = TBSTATE_ENABLED;
        }
        Bar().SendMessage(TB_ADDBUTTONSA, static_cast<WPARAM>(n), reinterpret_cast<LPARAM>(extra.data()));
    };
    CToolBar& tb = Bar();

    // Docked on the left, every button stands on a row of its own and the client area makes room.
    Frame()->DockControlBar(&tb, CBRS_ALIGN_LEFT);
    ASSERT_TRUE(tb.LoadToolBar(IDR_MAINFRAME));
    appendShellButtons(2);
    std::vector<RECT> items(static_cast<size_t>(tb.GetCount()));
    for (int i = 0; i < tb.GetCount(); i++) tb.GetItemRect(i, &items[static_cast<size_t>(i)]);
    ASSERT_EQ(5u, items.size());
    EXPECT_GT(items[4].top, items[2].top) << "an appended button goes below the others";
    EXPECT_EQ(items[4].left, items[0].left);
    RECT rcBar, rcClient;
    tb.GetWindowRect(&rcBar);
    GetWindowRect(Frame()->m_hWndMDIClient, &rcClient);
    EXPECT_LE(rcBar.right, rcClient.left);

    // Floating, the small window grows with appended buttons and shrinks back with a reload.
    ASSERT_TRUE(tb.LoadToolBar(IDR_MAINFRAME));
    HWND hFloat = FloatBar();
    RECT rcThree;
    GetClientRect(hFloat, &rcThree);
    appendShellButtons(4);
    RECT rcSeven;
    GetClientRect(hFloat, &rcSeven);
    RECT rcLast;
    tb.GetItemRect(tb.GetCount() - 1, &rcLast);
    EXPECT_GE(rcSeven.right, rcLast.right) << "the last appended button is inside the window";
    EXPECT_GT(rcSeven.right, rcThree.right);
    ASSERT_TRUE(tb.LoadToolBar(IDR_MAINFRAME));
    RECT rcAgain;
    GetClientRect(hFloat, &rcAgain);
    EXPECT_EQ(rcThree.right, rcAgain.right);
    EXPECT_EQ(rcThree.bottom, rcAgain.bottom);
    Frame()->DockControlBar(&tb, CBRS_ALIGN_TOP);
}

TEST_F(ControlBarTest, AFloatingToolbarFollowsTheCommandsAtIdleTime)
{
    HWND hFloat = FloatBar();
    ASSERT_NE(MainWnd(), hFloat);
    CToolBar& tb = Bar();
    // Wrong on purpose: only the idle update can put the two right again.
    tb.SendMessage(TB_ENABLEBUTTON, ID_FILE_NEW, FALSE);
    tb.SendMessage(TB_ENABLEBUTTON, ID_UP_ONE_LEVEL, TRUE);
    PumpFor(50);
    EXPECT_TRUE(tb.SendMessage(TB_ISBUTTONENABLED, ID_FILE_NEW));
    EXPECT_FALSE(tb.SendMessage(TB_ISBUTTONENABLED, ID_UP_ONE_LEVEL)) << "no browser window handles it";
}

TEST_F(ControlBarTest, AFloatingToolbarDoesNothingWhileAModalBoxIsUp)
{
    HWND hFloat = FloatBar();
    PumpFor(50);
    ASSERT_TRUE(Bar().SendMessage(TB_ISBUTTONENABLED, ID_FILE_NEW));
    const POINT ptNew = ButtonCentre(ID_FILE_NEW);
    BOOL bFloatEnabled = TRUE, bMainEnabled = TRUE;
    WithModalBox([&] { SendMessageA(MainWnd(), WM_COMMAND, ID_APP_ABOUT, 0); },
                 [&](HWND) {
                     bFloatEnabled = IsWindowEnabled(hFloat);
                     bMainEnabled = IsWindowEnabled(MainWnd());
                     // A real click on New, as a user would try.
                     ClickAt(ptNew);
                     Sleep(300);
                 });
    EXPECT_FALSE(bMainEnabled);
    EXPECT_FALSE(bFloatEnabled) << "the floating toolbar is part of the program";
    Pump();
    EXPECT_TRUE(BrowserWindows(MainWnd()).empty()) << "File New ran behind the About box";
    EXPECT_TRUE(IsWindowEnabled(hFloat)) << "usable again once the box is gone";

    // The same click with no box up does open a window, so the one above could have.
    ClickAt(ptNew);
    EXPECT_TRUE(PumpUntil([&] { return !BrowserWindows(MainWnd()).empty(); }, 3000));
}

TEST_F(ControlBarTest, AMessageBoxRaisedWhileTheFloatingToolbarIsActiveBlocksTheWholeProgram)
{
    HWND hFloat = FloatBar();
    SetActiveWindow(hFloat);
    Pump();
    ASSERT_EQ(hFloat, GetLastActivePopup(MainWnd()));
    BOOL bFloatEnabled = TRUE, bMainEnabled = TRUE;
    HWND hOwner = nullptr;
    WithModalBox([&] { AfxMessageBox("Something failed."); },
                 [&](HWND hBox) {
                     bFloatEnabled = IsWindowEnabled(hFloat);
                     bMainEnabled = IsWindowEnabled(MainWnd());
                     hOwner = GetWindow(hBox, GW_OWNER);
                 });
    EXPECT_EQ(MainWnd(), hOwner);
    EXPECT_FALSE(bMainEnabled);
    EXPECT_FALSE(bFloatEnabled);
    EXPECT_TRUE(IsWindowEnabled(MainWnd()));
    EXPECT_TRUE(IsWindowEnabled(hFloat));
}

// ---- Tooltips ---------------------------------------------------------------------------

namespace {

// Asks the frame for a tool's text as the tooltip control does, with the tool named by a
// window (TTF_IDISHWND) or by an id.
std::string ToolTip(HWND hFrame, HWND hTip, UINT_PTR idFrom, UINT uFlags, bool wide)
{
    if (wide) {
        NMTTDISPINFOW info = {};
        info.hdr.hwndFrom = hTip;
        info.hdr.idFrom = idFrom;
        info.hdr.code = TTN_NEEDTEXTW;
        info.uFlags = uFlags;
        SendMessageA(hFrame, WM_NOTIFY, static_cast<WPARAM>(idFrom), reinterpret_cast<LPARAM>(&info));
        const WCHAR* p = info.lpszText ? info.lpszText : info.szText;
        char out[256] = "";
        WideCharToMultiByte(CP_ACP, 0, p, -1, out, sizeof(out), nullptr, nullptr);
        return out;
    }
    NMTTDISPINFOA info = {};
    info.hdr.hwndFrom = hTip;
    info.hdr.idFrom = idFrom;
    info.hdr.code = TTN_NEEDTEXTA;
    info.uFlags = uFlags;
    SendMessageA(hFrame, WM_NOTIFY, static_cast<WPARAM>(idFrom), reinterpret_cast<LPARAM>(&info));
    return info.lpszText ? info.lpszText : info.szText;
}

}  // namespace

TEST_F(ControlBarTest, AToolNamedByItsWindowGetsTheTipOfItsCommandInBothForms)
{
    HWND hTip = reinterpret_cast<HWND>(Bar().SendMessage(TB_GETTOOLTIPS));
    // Controls placed on a bar are tools named by their window; the window's id is the command.
    HWND hUp = CreateWindowExA(0, "BUTTON", "up", WS_CHILD, 0, 0, 10, 10, Bar().m_hWnd,
                               reinterpret_cast<HMENU>(static_cast<UINT_PTR>(ID_UP_ONE_LEVEL)), nullptr, nullptr);
    HWND hNone = CreateWindowExA(0, "BUTTON", "none", WS_CHILD, 0, 0, 10, 10, Bar().m_hWnd,
                                 reinterpret_cast<HMENU>(static_cast<UINT_PTR>(4321)), nullptr, nullptr);
    ASSERT_TRUE(hUp && hNone);
    const UINT_PTR idUp = reinterpret_cast<UINT_PTR>(hUp);
    struct {
        UINT_PTR id;
        UINT flags;
        const char* expected;
    } cases[] = {
        {idUp, TTF_IDISHWND, "Up One Level"},
        {reinterpret_cast<UINT_PTR>(hNone), TTF_IDISHWND, ""},  // a window of no command
        {ID_FILE_NEW, 0, "New"},                                // plain ids as before
        {ID_FILE_NEW, TTF_CENTERTIP, "New"},
    };
    for (bool wide : {false, true}) {
        for (auto& c : cases) {
            EXPECT_EQ(c.expected, ToolTip(MainWnd(), hTip, c.id, c.flags, wide))
                << (wide ? "wide" : "ANSI") << " id " << c.id << " flags " << c.flags;
        }
    }
    DestroyWindow(hUp);
    DestroyWindow(hNone);
}
