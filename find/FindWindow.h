// The program's own find window, where the system offers no search of its own: a modeless
// window per request that asks for names, text, a folder, dates and sizes, runs the search
// on a worker thread (SearchThread.h) and lists what it finds as it comes, sortable by
// column; the items open, show in their folder, drag and copy as the shell's items do.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "find/FileSearch.h"
#include "framework/Dialog.h"
#include "res/resource.h"

class CSearchThread;

class CFindWindow : public CDialog {
    DECLARE_DYNAMIC(CFindWindow)
public:
    // The window class, as the dialog template names it.
    static const char* const kClassName;

    // The columns of the results, in their order.
    enum Column { kName, kFolder, kSize, kType, kModified, kColumns };

    // Shows a new find window looking in the folder (the first fixed drive when empty);
    // null when it could not be made. It deletes itself when it goes.
    static CFindWindow* Open(const std::wstring& folder);
    // The folder the active browser window of a multiple-document main window shows, when
    // it is a folder on a disk; empty otherwise.
    static std::wstring ActiveBrowserFolder(CWnd* pMainWnd);
    // The find windows open on this thread, and closing them all (the main window goes).
    static std::vector<CFindWindow*> OpenWindows();
    static void CloseAll();

    bool IsSearching() const { return m_pSearch != nullptr; }
    // The results in the list's order.
    size_t GetResultCount() const { return m_order.size(); }
    const CFoundItem& GetResult(size_t nIndex) const { return m_rows[m_order[nIndex]].item; }
    // The item's text in a column, as the list shows it.
    std::wstring GetResultText(size_t nIndex, Column column);

    // Commands (also the buttons' and the results menu's).
    void OnFindNow();
    void OnStop();
    void OnNewSearch();
    void OnBrowse();
    void OnOpenItems();
    void OnOpenContainingFolder();
    void OnCopy();
    // Sorts by a column as a click on its header does: a second click on the same one
    // turns the order round.
    void SortBy(Column column);

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    void PostNcDestroy() override { delete this; }

    void OnClose();
    void OnDestroy();
    void OnSize(UINT nType, int cx, int cy);
    LRESULT OnGetMinMaxInfo(WPARAM wParam, LPARAM lParam);
    LRESULT OnContextMenu(WPARAM wParam, LPARAM lParam);
    LRESULT OnTimerMessage(WPARAM wParam, LPARAM lParam);
    LRESULT OnFoundItems(WPARAM wParam, LPARAM lParam);
    void OnGetDispInfoA(NMHDR* pNMHDR, LRESULT* pResult);
    void OnGetDispInfoW(NMHDR* pNMHDR, LRESULT* pResult);
    void OnColumnClick(NMHDR* pNMHDR, LRESULT* pResult);
    void OnDoubleClick(NMHDR* pNMHDR, LRESULT* pResult);
    void OnListKeyDown(NMHDR* pNMHDR, LRESULT* pResult);
    void OnBeginDrag(NMHDR* pNMHDR, LRESULT* pResult);

    DECLARE_MESSAGE_MAP()

private:
    // What the shell says of a kind of item (a file's extension, or folders).
    struct Kind {
        int nIcon = 0;
        std::wstring type;
    };
    struct Row {
        CFoundItem item;
        int nIcon = -1;  // in the system's small image list; -1 until first shown
        const Kind* pKind = nullptr;  // learnt when first needed
    };
    // Where a control stays when the window changes its size.
    struct Anchor {
        HWND hWnd;
        RECT rect;     // at the first layout, in client coordinates
        UINT nFlags;   // kMoveRight, kStretchRight, kStretchDown
    };

    explicit CFindWindow(const std::wstring& folder);
    ~CFindWindow() override;

    HWND List() const { return ::GetDlgItem(m_hWnd, IDC_FIND_RESULTS); }
    void SetUpList();
    void FillLookIn();
    void RecordLayout();
    // Places the controls for a client area of this size.
    void Layout(int cx, int cy);
    void ShowSearching(bool bSearching);
    void UpdateStatus();
    void EndSearch(const CFindSummary* pSummary);
    void AddFound(std::vector<CFoundItem>& items);
    std::vector<size_t> SelectedRows() const;
    void SelectRows(const std::vector<size_t>& rows, size_t nFocusRow);
    std::vector<std::wstring> PathsOf(const std::vector<size_t>& rows) const;
    void RemoveGone(const std::vector<size_t>& rows);
    const Kind& KindOf(Row& row);
    int IconOf(Row& row);
    std::wstring TextOf(Row& row, Column column);
    bool Less(size_t a, size_t b);
    void ShowSortArrow();
    std::wstring ControlText(int nID) const;

    std::wstring m_strStartFolder;
    std::shared_ptr<CSearchThread> m_pSearch;
    WPARAM m_nSearch = 0;                 // number of the search under way; older messages are stale
    std::wstring m_strSearchFolder;       // where the search under way looks
    std::vector<Row> m_rows;              // in the order found
    std::vector<size_t> m_order;          // the list's order, as indices into m_rows
    int m_nSortColumn = -1;
    bool m_bSortDescending = false;
    CFindSummary m_summary;               // of the last search that ended
    bool m_bStopped = false;
    bool m_bEnded = false;                // a search has run (the status line says how it ended)
    HWND m_hwndStatus = nullptr;
    std::vector<Anchor> m_anchors;
    SIZE m_sizeFirst = {0, 0};            // the client area at the first layout
    SIZE m_sizeMin = {0, 0};              // the smallest window
    std::map<std::wstring, Kind> m_kinds; // by folded extension; L"\\" for folders
    std::wstring m_dispText;              // the text last handed to the list
    CString m_dispTextA;
};
