// The address bar of the main frame, under the toolbar: Back and Forward buttons (each with a
// drop-down list of the last places) and a box showing the path of the active browser
// window's folder, into which a path can be typed. It goes with the toolbar: View Toolbar
// hides and shows both. What it shows and where it goes is the active window's business,
// asked through CAddressTarget.
#pragma once

#include <vector>

#include "framework/ControlBar.h"
#include "framework/FrameWnd.h"
#include "shell/AddressPath.h"

// The sentences of the address box: one message box that names the place (each %s of the
// format takes the next name).
void SayAddressSentence(UINT nIDFormat, const std::wstring& name, const std::wstring& other = std::wstring());
void SayAddressSentence(UINT nIDFormat, const CString& strName, const CString& strOther = CString());
// Says what is wrong with a typed path, if anything: TRUE when something was.
BOOL SayAddressProblem(const AddressTarget& t);
// A name as a sentence can show it: control characters made visible and a long one cut.
std::wstring QuotableName(const std::wstring& name);
std::wstring QuotableName(const std::string& name);

// What a browser window's view answers to the address bar.
class CAddressTarget {
public:
    // The text the box shows for the folder on show.
    virtual CString GetAddressText() = 0;
    // Shows what the typed text names; when it cannot, says why in a sentence and changes
    // nothing (FALSE).
    virtual BOOL BrowseToAddress(LPCSTR pszTyped) = 0;
    // The titles of the places behind (or ahead), nearest first.
    virtual std::vector<std::wstring> GetHistoryTitles(BOOL bForward) = 0;
    // Goes nSteps places back (or forward), passing over places that are gone.
    virtual void GoThroughHistory(BOOL bForward, int nSteps) = 0;

protected:
    ~CAddressTarget() = default;
};

// The bar's Back and Forward buttons: a toolbar inside the address bar whose commands,
// states, prompts and tooltips are the frame's, as the frame's own toolbar's are.
class CNavButtons : public CToolBar {
public:
    BOOL Create(CWnd* pBar, CFrameWnd* pFrame);
};

class CAddressBar : public CControlBar {
    DECLARE_DYNAMIC(CAddressBar)
public:
    ~CAddressBar() override;

    BOOL Create(CFrameWnd* pFrame, UINT nID);
    // Ctrl+L, Alt+D, F4: the focus goes to the box with its text selected.
    void FocusAddress();
    // Shown exactly while the toolbar is.
    void FollowToolBar(BOOL bToolBarVisible);
    HWND GetEditWindow() const { return m_hwndEdit; }
    CNavButtons& GetButtons() { return m_wndButtons; }
    // The drop-down list of the places behind (or ahead) of the active window, at a screen
    // point; the place chosen is shown.
    void ShowHistoryMenu(BOOL bForward, POINT ptScreen);
    // The popup of that list: item n (from 1) goes n places back (or forward).
    static HMENU MakeHistoryMenu(const std::vector<std::wstring>& titles);
    // The Back or Forward command a mouse button or an application command asks for; 0 for
    // any other message.
    static UINT CommandForMessage(const MSG& msg);
    static UINT CommandForAppCommand(LPARAM lParam);

    SIZE CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
    void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHandler) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    void OnSize(UINT nType, int cx, int cy);

protected:
    CView* ActiveView() const;
    CAddressTarget* ActiveTarget() const;
    void FocusActiveView();
    // Enter: the typed text is shown, or its sentence said.
    void Go();
    // Escape: the text of the folder on show again, and the focus back to the window.
    void Cancel();
    void SetText(const CString& text);
    CString GetText() const;
    std::wstring GetWideText() const;

    CNavButtons m_wndButtons;
    HWND m_hwndLabel = nullptr;
    HWND m_hwndEdit = nullptr;
    CString m_strShown;  // what the bar last put in the box for the folder on show

    DECLARE_MESSAGE_MAP()
};
