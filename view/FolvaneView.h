// The explorer view of every browser window: the folder tree on the left, a splitter gap,
// and on the right the system's shell view of the folder selected in the tree, hosted
// through the view's own shell browser interface. One class, its members split over files
// by concept, as the headings below name them.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "frames/AddressBar.h"
#include "framework/FormView.h"
#include "res/Messages.h"  // the messages the view answers
#include "shell/ComPtr.h"
#include "tree/ShellTreeCtrl.h"
#include "tree/TreeDropTarget.h"
#include "view/FolderChangeWatch.h"
#include "view/LiveFolders.h"
#include "view/NavigationHistory.h"

class CFolvaneDoc;

class CFolvaneView : public CFormView, public CAddressTarget {
    DECLARE_DYNCREATE(CFolvaneView)
public:
    CFolvaneView();
    ~CFolvaneView() override;

    CComPtr<IShellView> m_pShellView;    // the hosted shell view
    HWND m_hwndShellView = nullptr;      // its window
    DWORD m_dwLastPressTick = 0;         // last left-button press in a child window
    POINT m_ptLastPress = {0, 0};        // its screen position
    BOOL m_bTracking = FALSE;            // a splitter drag is in progress
    POINT m_ptTrack = {0, 0};            // where the tracking line was last drawn
    CTreeDropTarget m_dropTarget;        // registered for this window; serves the tree
    CShellTreeCtrl m_tree;
    CFolderChangeWatch m_folderChanges;  // the shell's notices, for the tree
    // The parsing name of the folder this window shows. The document's folder path is the
    // one last shown by any of its windows (Window > New Window makes more than one).
    CString m_strShownFolder;
    // The folders on show and open in the tree, following the disk (LiveFolders.cpp).
    CLiveFolders m_live{this};
    CNavigationHistory m_history;        // the places this window showed, for Back and Forward

    // ---- Life (FolvaneView.cpp) ----
    CFolvaneDoc* GetDocument() const;
    // "folder,placement": the text that reopens this window where it is now.
    CString GetBrowserWindowString() const;
    void OnInitialUpdate() override;
    void OnDraw(HDC hdc) override;
    int OnCreate(LPCREATESTRUCTA lpcs);
    void OnDestroy();
    void OnSetFocus(CWnd* pOldWnd);
    void OnKillFocus(CWnd* pNewWnd);
    LRESULT OnGetBrowserWindowString(WPARAM wParam, LPARAM lParam);
    // Folders made, removed, renamed or moved by anyone: m_folderChanges has the tree read
    // their parents again once the notices stop coming.
    LRESULT OnShellFolderChange(WPARAM wParam, LPARAM lParam);
    LRESULT OnTimerMessage(WPARAM wParam, LPARAM lParam);
    // A tree folder opened or closed: the watched folders follow.
    void OnTreeExpanded(NMHDR* pNMHDR, LRESULT* pResult);

    // ---- Layout and splitter (ViewLayout.cpp) ----
    // The shell view pane for a client rectangle (the view's client area when none).
    BOOL GetShellViewRect(RECT* pRect, const RECT* pClient = nullptr) const;
    // Draws, or at the same place erases, the splitter's tracking line at the point's x.
    void DrawSplitterTracker(POINT point);
    void OnSize(UINT nType, int cx, int cy);
    BOOL OnEraseBkgnd(HDC hdc);
    void OnLButtonDown(UINT nFlags, POINT point);
    void OnMouseMove(UINT nFlags, POINT point);
    void OnLButtonUp(UINT nFlags, POINT point);
    BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);

    // ---- Shell browser host (ShellBrowserHost.cpp) ----
    // The browser interface handed to shell views.
    IShellBrowser* GetShellBrowser(BOOL bAddRef);
    // The window behind a shell view's control id (FCW_STATUS, FCW_TOOLBAR, FCW_TREE), or null.
    CWnd* FindControlWindow(UINT id);
    LRESULT OnGetShellBrowser(WPARAM wParam, LPARAM lParam);
    // The main frame's tooltip requests for the buttons the shell view added.
    LRESULT OnShellViewNotify(WPARAM wParam, LPARAM lParam);

    BEGIN_INTERFACE_PART(ShellBrowser, IShellBrowser)
        STDMETHOD(GetWindow)(HWND* phwnd) override;
        STDMETHOD(ContextSensitiveHelp)(BOOL fEnterMode) override;
        STDMETHOD(InsertMenusSB)(HMENU hmenuShared, LPOLEMENUGROUPWIDTHS lpMenuWidths) override;
        STDMETHOD(SetMenuSB)(HMENU hmenuShared, HOLEMENU holemenuRes, HWND hwndActiveObject) override;
        STDMETHOD(RemoveMenusSB)(HMENU hmenuShared) override;
        STDMETHOD(SetStatusTextSB)(LPCWSTR pszStatusText) override;
        STDMETHOD(EnableModelessSB)(BOOL fEnable) override;
        STDMETHOD(TranslateAcceleratorSB)(MSG* pmsg, WORD wID) override;
        STDMETHOD(BrowseObject)(LPCITEMIDLIST pidl, UINT wFlags) override;
        STDMETHOD(GetViewStateStream)(DWORD grfMode, IStream** ppStrm) override;
        STDMETHOD(GetControlWindow)(UINT id, HWND* phwnd) override;
        STDMETHOD(SendControlMsg)(UINT id, UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT* pret) override;
        STDMETHOD(QueryActiveShellView)(IShellView** ppshv) override;
        STDMETHOD(OnViewWindowActive)(IShellView* pshv) override;
        STDMETHOD(SetToolbarItems)(LPTBBUTTONSB lpButtons, UINT nButtons, UINT uFlags) override;
    END_INTERFACE_PART(ShellBrowser)

    // ---- Keys before translation (ViewKeys.cpp) ----
    BOOL PreTranslateMessage(MSG* pMsg) override;
    // Whether the tree has the keyboard focus: the Edit commands then act on its folder.
    BOOL TreeHasFocus() const;

    // ---- Navigation (ViewNavigation.cpp) ----
    // Makes and installs a shell view for the folder; the caller keeps its reference.
    HRESULT ShowFolder(IShellFolder* pFolder);
    // Deactivates, destroys and releases the hosted shell view, if any.
    void ReleaseShellView();
    // Shows the right pane's first selected item in this window when it is a sub-folder of
    // the folder shown (expanding that folder in the tree); FALSE when it is none.
    BOOL OpenSelectedSubFolder();
    // After a rename in the tree: shows the selected folder again if its path changed.
    void FollowRenamedFolder();
    // The folder now on show, by its title and by its parsing name: this window's caption
    // and recorded folder name it, and so does the document (the one last shown in any of its
    // windows).
    void TitleWindow(const CString& strTitle);
    void SetShownFolder(const CString& strPath);
    void OnSelChanging(NMHDR* pNMHDR, LRESULT* pResult);
    void OnSelChanged(NMHDR* pNMHDR, LRESULT* pResult);
    void OnTreeNotify(NMHDR* pNMHDR, LRESULT* pResult);
    void OnRefresh();
    void OnUpOneLevel();
    void OnUpdateUpOneLevel(CCmdUI* pCmdUI);
    // A double click on the right pane, seen as two presses close in time and place.
    void OnParentNotify(UINT message, LPARAM lParam);

    // ---- The address box (ViewAddress.cpp) ----
    CString GetAddressText() override;
    BOOL BrowseToAddress(LPCSTR pszTyped) override;
    // Shows a folder by its parsing name through the tree, as every navigation goes.
    BOOL BrowseToPath(const CString& strPath);

    // ---- Back and Forward (ViewHistory.cpp) ----
    std::vector<std::wstring> GetHistoryTitles(BOOL bForward) override;
    void GoThroughHistory(BOOL bForward, int nSteps) override;
    // A folder is now on show: the history takes it in.
    void RecordVisit(const CString& strPath);
    void OnGoBack();
    void OnGoForward();
    void OnUpdateGoBack(CCmdUI* pCmdUI);
    void OnUpdateGoForward(CCmdUI* pCmdUI);

    // ---- The shell view's commands (ViewCommands.cpp) ----
    void OnShellCommand(UINT nID);
    void OnUpdateShellCommand(CCmdUI* pCmdUI);
    // Cut, Copy, Paste, Paste Shortcut and Delete while the tree has the focus, on the tree's
    // selected folder; FALSE for any other command.
    BOOL DoTreeEditCommand(UINT nID);
    // Pastes the files on the clipboard into the folder shown, or shortcuts to them, where the
    // shell view does not paste itself.
    void PasteClipboardFiles(BOOL bShortcuts);
    // Pastes the files on the clipboard into this folder (a path on disk), or shortcuts to
    // them, and shows the folders it changed again in every window; a beep when the folder
    // or the clipboard has no part in it.
    void PasteClipboardFilesInto(const std::wstring& strFolder, BOOL bShortcuts);

    // ---- View Options (ViewOptions.cpp) ----
    void OnViewOptions();
    void OnUpdateViewOptions(CCmdUI* pCmdUI);

    // ---- Run (RunCommand.cpp): starts a command line in the folder of the item selected on
    // the right ----
    void OnRun();
    void OnUpdateRun(CCmdUI* pCmdUI);

    // ---- Drops onto the tree (ViewDrop.cpp) ----
    // Drags over the view go to the tree's drop target, in screen coordinates.
    DROPEFFECT OnDragEnter(COleDataObject* pDataObject, DWORD dwKeyState, POINT point) override;
    DROPEFFECT OnDragOver(COleDataObject* pDataObject, DWORD dwKeyState, POINT point) override;
    void OnDragLeave() override;
    BOOL OnDrop(COleDataObject* pDataObject, DROPEFFECT dropEffect, POINT point) override;
    DROPEFFECT OnDropEx(COleDataObject* pDataObject, DROPEFFECT dropDefault, DROPEFFECT dropList, POINT point) override;

    // ---- Windows showing folders the program changed (TransferRefresh.cpp) ----
    // Items were moved or copied into or out of these folders by the program itself (a drop
    // onto the tree, a paste): where the shell view does not show such a change by itself
    // (Wine's shows a move out of its folder as a stale row), a window showing one of them
    // shows it again. (The trees follow the shell's notices.)
    static void ShowFoldersChanged(const std::vector<std::wstring>& folders);
    // The folders a transfer of these files into strTarget has changed: the target, and the
    // folder of each file that is no longer where it was.
    static std::vector<std::wstring> FoldersTouchedBy(const std::vector<std::wstring>& files,
                                                     const std::wstring& strTarget);

    // ---- The frame's bars for the active window (ViewBars.cpp): where the shell view does
    // not supply them itself (Wine's), its toolbar buttons and its status text ----
    CString m_strStatus;  // what the status bar says of this window while it is active
    void OnActivateView(BOOL bActivate, CView* pActivateView, CView* pDeactiveView) override;
    // Whether this is the view of the main frame's active browser window.
    BOOL IsActiveBrowserView() const;
    // A new shell view is on show: its changes are watched and the bars follow it.
    void OnShellViewShown();
    // Reads the status of the shell view again and shows it while this window is active.
    void UpdateStatus();
    // This window goes: the bars go back to the program's own unless another window is active.
    void LeaveFrameBars();
    LRESULT OnShellViewChanged(WPARAM wParam, LPARAM lParam);
    LRESULT OnGetBrowserStatus(WPARAM wParam, LPARAM lParam);

protected:
    void DoDataExchange(CDataExchange* pDX) override;

    DECLARE_INTERFACE_MAP()
    DECLARE_MESSAGE_MAP()
};
