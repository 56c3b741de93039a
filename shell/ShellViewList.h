// The list inside a hosted shell view: finding it and whether it has the focus, and the
// view's commands done on the list and the view's data objects where the view leaves them
// undone (Wine's does): selecting all or the opposite, arranging by a column, and putting
// the selection on the clipboard as copied or cut.
#pragma once

#include <windows.h>
#include <shlobj.h>

class CShellViewList {
public:
    // The columns the view sorts by when given its own column commands.
    enum Column { Name = 0, Size = 1, Type = 2, Date = 3 };

    // Neither is owned: the caller keeps the view and its window alive meanwhile.
    CShellViewList(IShellView* pView, HWND hwndView) : m_pView(pView), m_hwndView(hwndView) {}

    // The view's list of items, or null.
    HWND GetList() const;
    // Whether the window with the focus is that list.
    BOOL ListHasFocus() const;

    BOOL SelectAll() const;
    BOOL InvertSelection() const;
    // The view's own sort by the column, as a click on its header does.
    BOOL ArrangeBy(Column column) const;
    // The selection's data object on the clipboard with its "Preferred DropEffect":
    // DROPEFFECT_COPY for Copy, DROPEFFECT_MOVE for Cut. With nothing selected the clipboard
    // is left as it is (S_FALSE).
    HRESULT PutSelectionOnClipboard(DWORD dwEffect) const;
    // Whether any item of the list is selected.
    BOOL HasSelection() const;
    // Carries out a verb of the selection's context menu ("delete", "properties"), as its
    // menu would; S_FALSE with nothing selected.
    HRESULT InvokeOnSelection(const char* pszVerb, HWND hwndOwner) const;

private:
    IShellView* m_pView;
    HWND m_hwndView;
};
