// The find window's results: a virtual report list over the items found, which the list
// asks for text and icons only as rows show; sorting by column, also while items come in.
#include "find/FindWindow.h"

#include <shellapi.h>
#include <shlwapi.h>

#include <algorithm>

#include "find/FindInput.h"

namespace {

// Column widths in dialog units.
const int kColumnWidths[CFindWindow::kColumns] = {100, 140, 42, 64, 70};

// Extensions whose files carry icons of their own; every other file shows its type's.
const wchar_t* const kOwnIconExtensions[] = {L".EXE", L".ICO", L".LNK", L".CUR", L".ANI", L".URL", L".SCR", L".PIF"};

// The folded extension of a name (".TXT"), empty for none.
std::wstring ExtensionOf(const wchar_t* pszName)
{
    const wchar_t* pDot = ::wcsrchr(pszName, L'.');
    return pDot && pDot != pszName ? FoldCase(pDot) : std::wstring();
}

// Ordinal comparison without regard to case, by the table names are matched with.
int CompareNoCase(const wchar_t* a, const wchar_t* b)
{
    for (;; ++a, ++b) {
        const wchar_t fa = FoldCase(*a), fb = FoldCase(*b);
        if (fa != fb) return fa < fb ? -1 : 1;
        if (!fa) return 0;
    }
}

// The same over two runs of characters.
int CompareNoCase(const wchar_t* a, size_t na, const wchar_t* b, size_t nb)
{
    for (size_t i = 0; i < na && i < nb; i++) {
        const wchar_t fa = FoldCase(a[i]), fb = FoldCase(b[i]);
        if (fa != fb) return fa < fb ? -1 : 1;
    }
    return na < nb ? -1 : (na > nb ? 1 : 0);
}

// How much of an item's path is its folder, without the separator ("C:\" keeps its own).
size_t FolderLength(const CFoundItem& item)
{
    return item.nameAt > 3 ? item.nameAt - 1 : item.nameAt;
}

int CompareNumbers(ULONGLONG a, ULONGLONG b)
{
    return a < b ? -1 : (a > b ? 1 : 0);
}

std::wstring DateText(const FILETIME& ftUtc)
{
    FILETIME ftLocal;
    SYSTEMTIME st;
    if (!::FileTimeToLocalFileTime(&ftUtc, &ftLocal) || !::FileTimeToSystemTime(&ftLocal, &st)) return std::wstring();
    wchar_t date[64] = L"", time[64] = L"";
    ::GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, date, _countof(date));
    ::GetTimeFormatW(LOCALE_USER_DEFAULT, TIME_NOSECONDS, &st, nullptr, time, _countof(time));
    return std::wstring(date) + L" " + time;
}

}  // namespace

void CFindWindow::SetUpList()
{
    HWND hList = List();
    // Names outside the code page show as they are.
    ::SendMessageA(hList, CCM_SETUNICODEFORMAT, TRUE, 0);
    ListView_SetExtendedListViewStyle(hList, LVS_EX_FULLROWSELECT | LVS_EX_LABELTIP);
    SHFILEINFOW info = {};
    HIMAGELIST hImages = reinterpret_cast<HIMAGELIST>(::SHGetFileInfoW(
        L"x", FILE_ATTRIBUTE_NORMAL, &info, sizeof(info), SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES));
    if (hImages) ListView_SetImageList(hList, hImages, LVSIL_SMALL);

    CString names;
    names.LoadString(IDS_FIND_COLUMNS);
    names += "\n";
    int nStart = 0;
    for (int i = 0; i < kColumns; i++) {
        const int nEnd = names.Find('\n', nStart);
        CString name = names.Mid(nStart, nEnd - nStart);
        nStart = nEnd + 1;
        RECT rc = {0, 0, kColumnWidths[i], 0};
        ::MapDialogRect(m_hWnd, &rc);
        LVCOLUMNA column = {};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        column.fmt = i == kSize ? LVCFMT_RIGHT : LVCFMT_LEFT;
        column.cx = rc.right;
        column.pszText = const_cast<char*>(name.GetString());
        column.iSubItem = i;
        ::SendMessageA(hList, LVM_INSERTCOLUMNA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column));
    }
}

const CFindWindow::Kind& CFindWindow::KindOf(Row& row)
{
    if (row.pKind) return *row.pKind;
    const bool bFolder = row.item.IsFolder();
    const std::wstring key = bFolder ? L"\\" : ExtensionOf(row.item.Name());
    auto it = m_kinds.find(key);
    if (it != m_kinds.end()) {
        row.pKind = &it->second;
        return it->second;
    }
    // Asked by attributes: no disk is touched, and the answer holds for every such item.
    SHFILEINFOW info = {};
    const std::wstring sample = L"x" + key;
    Kind kind;
    if (::SHGetFileInfoW(bFolder ? L"x" : sample.c_str(), bFolder ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL,
                         &info, sizeof(info),
                         SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_TYPENAME | SHGFI_USEFILEATTRIBUTES)) {
        kind.nIcon = info.iIcon;
        kind.type = info.szTypeName;
    }
    row.pKind = &m_kinds.emplace(key, kind).first->second;
    return *row.pKind;
}

int CFindWindow::IconOf(Row& row)
{
    if (row.nIcon >= 0) return row.nIcon;
    row.nIcon = KindOf(row).nIcon;
    if (!row.item.IsFolder()) {
        const std::wstring extension = ExtensionOf(row.item.Name());
        for (const wchar_t* own : kOwnIconExtensions) {
            SHFILEINFOW info = {};
            if (extension == own &&
                ::SHGetFileInfoW(row.item.path.c_str(), 0, &info, sizeof(info), SHGFI_SYSICONINDEX | SHGFI_SMALLICON)) {
                row.nIcon = info.iIcon;
            }
        }
    }
    return row.nIcon;
}

std::wstring CFindWindow::TextOf(Row& row, Column column)
{
    const CFoundItem& item = row.item;
    switch (column) {
    case kName: return item.Name();
    case kFolder: return item.Folder();
    case kSize: {
        if (item.IsFolder()) return std::wstring();
        wchar_t text[64] = L"";
        ::StrFormatKBSizeW(static_cast<LONGLONG>(item.cbSize), text, _countof(text));
        return text;
    }
    case kType: return KindOf(row).type;
    case kModified: return DateText(item.ftModified);
    default: return std::wstring();
    }
}

std::wstring CFindWindow::GetResultText(size_t nIndex, Column column)
{
    return nIndex < m_order.size() ? TextOf(m_rows[m_order[nIndex]], column) : std::wstring();
}

void CFindWindow::OnGetDispInfoW(NMHDR* pNMHDR, LRESULT*)
{
    LVITEMW& item = reinterpret_cast<NMLVDISPINFOW*>(pNMHDR)->item;
    if (item.iItem < 0 || static_cast<size_t>(item.iItem) >= m_order.size()) return;
    Row& row = m_rows[m_order[static_cast<size_t>(item.iItem)]];
    if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0) {
        m_dispText = TextOf(row, static_cast<Column>(item.iSubItem));
        ::lstrcpynW(item.pszText, m_dispText.c_str(), item.cchTextMax);
    }
    if (item.mask & LVIF_IMAGE) item.iImage = IconOf(row);
}

void CFindWindow::OnGetDispInfoA(NMHDR* pNMHDR, LRESULT*)
{
    LVITEMA& item = reinterpret_cast<NMLVDISPINFOA*>(pNMHDR)->item;
    if (item.iItem < 0 || static_cast<size_t>(item.iItem) >= m_order.size()) return;
    Row& row = m_rows[m_order[static_cast<size_t>(item.iItem)]];
    if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0) {
        m_dispTextA = AnsiText(TextOf(row, static_cast<Column>(item.iSubItem)));
        ::lstrcpynA(item.pszText, m_dispTextA, item.cchTextMax);
    }
    if (item.mask & LVIF_IMAGE) item.iImage = IconOf(row);
}

bool CFindWindow::Less(size_t a, size_t b)
{
    Row& rowA = m_rows[a];
    Row& rowB = m_rows[b];
    const CFoundItem& x = rowA.item;
    const CFoundItem& y = rowB.item;
    int c = 0;
    switch (m_nSortColumn) {
    case kFolder: c = CompareNoCase(x.path.c_str(), FolderLength(x), y.path.c_str(), FolderLength(y)); break;
    case kSize:
        // Folders have no size: they come before every file.
        c = x.IsFolder() != y.IsFolder() ? (x.IsFolder() ? -1 : 1) : CompareNumbers(x.cbSize, y.cbSize);
        break;
    case kType: c = CompareNoCase(KindOf(rowA).type.c_str(), KindOf(rowB).type.c_str()); break;
    case kModified: c = ::CompareFileTime(&x.ftModified, &y.ftModified); break;
    default: break;
    }
    // Equal in the column: by name, then by the whole path, so that the order is always the same.
    if (c == 0) c = CompareNoCase(x.Name(), y.Name());
    if (c == 0) c = CompareNoCase(x.path.c_str(), y.path.c_str());
    return m_bSortDescending ? c > 0 : c < 0;
}

void CFindWindow::SortBy(Column column)
{
    if (column < 0 || column >= kColumns) return;
    m_bSortDescending = m_nSortColumn == column ? !m_bSortDescending : false;
    m_nSortColumn = column;
    const std::vector<size_t> selected = SelectedRows();
    const int nFocus = ListView_GetNextItem(List(), -1, LVNI_FOCUSED);
    const size_t nFocusRow = nFocus >= 0 && static_cast<size_t>(nFocus) < m_order.size() ? m_order[nFocus] : m_rows.size();
    std::stable_sort(m_order.begin(), m_order.end(), [this](size_t a, size_t b) { return Less(a, b); });
    SelectRows(selected, nFocusRow);
    ShowSortArrow();
    ::InvalidateRect(List(), nullptr, FALSE);
}

void CFindWindow::OnColumnClick(NMHDR* pNMHDR, LRESULT*)
{
    SortBy(static_cast<Column>(reinterpret_cast<NMLISTVIEW*>(pNMHDR)->iSubItem));
}

void CFindWindow::ShowSortArrow()
{
    HWND hHeader = ListView_GetHeader(List());
    for (int i = 0; i < kColumns; i++) {
        HDITEMA item = {};
        item.mask = HDI_FORMAT;
        if (!::SendMessageA(hHeader, HDM_GETITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item))) continue;
        item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
        if (i == m_nSortColumn) item.fmt |= m_bSortDescending ? HDF_SORTDOWN : HDF_SORTUP;
        ::SendMessageA(hHeader, HDM_SETITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    }
}

void CFindWindow::AddFound(std::vector<CFoundItem>& items)
{
    if (!items.empty()) {
        const size_t nFirst = m_rows.size();
        m_rows.reserve(m_rows.size() + items.size());
        for (CFoundItem& item : items) {
            m_rows.emplace_back();
            m_rows.back().item = std::move(item);
        }
        items.clear();
        HWND hList = List();
        if (m_nSortColumn < 0) {
            for (size_t i = nFirst; i < m_rows.size(); i++) m_order.push_back(i);
            ListView_SetItemCountEx(hList, static_cast<int>(m_order.size()), LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
        } else {
            // Sorted: the new items are merged in; the selected ones stay selected where they go.
            const std::vector<size_t> selected = SelectedRows();
            const int nFocus = ListView_GetNextItem(hList, -1, LVNI_FOCUSED);
            const size_t nFocusRow = nFocus >= 0 ? m_order[static_cast<size_t>(nFocus)] : m_rows.size();
            const size_t nMiddle = m_order.size();
            for (size_t i = nFirst; i < m_rows.size(); i++) m_order.push_back(i);
            auto less = [this](size_t a, size_t b) { return Less(a, b); };
            std::stable_sort(m_order.begin() + static_cast<std::ptrdiff_t>(nMiddle), m_order.end(), less);
            std::inplace_merge(m_order.begin(), m_order.begin() + static_cast<std::ptrdiff_t>(nMiddle), m_order.end(), less);
            ListView_SetItemCountEx(hList, static_cast<int>(m_order.size()), LVSICF_NOSCROLL);
            SelectRows(selected, nFocusRow);
            ::InvalidateRect(hList, nullptr, FALSE);
        }
    }
    UpdateStatus();
}

std::vector<size_t> CFindWindow::SelectedRows() const
{
    std::vector<size_t> rows;
    HWND hList = List();
    for (int i = ListView_GetNextItem(hList, -1, LVNI_SELECTED); i >= 0 && static_cast<size_t>(i) < m_order.size();
         i = ListView_GetNextItem(hList, i, LVNI_SELECTED)) {
        rows.push_back(m_order[static_cast<size_t>(i)]);
    }
    return rows;
}

void CFindWindow::SelectRows(const std::vector<size_t>& rows, size_t nFocusRow)
{
    HWND hList = List();
    ListView_SetItemState(hList, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    if (rows.empty() && nFocusRow >= m_rows.size()) return;
    std::vector<int> position(m_rows.size(), -1);
    for (size_t i = 0; i < m_order.size(); i++) position[m_order[i]] = static_cast<int>(i);
    for (size_t row : rows) {
        if (position[row] >= 0) ListView_SetItemState(hList, position[row], LVIS_SELECTED, LVIS_SELECTED);
    }
    if (nFocusRow < m_rows.size() && position[nFocusRow] >= 0) {
        ListView_SetItemState(hList, position[nFocusRow], LVIS_FOCUSED, LVIS_FOCUSED);
    }
}

std::vector<std::wstring> CFindWindow::PathsOf(const std::vector<size_t>& rows) const
{
    std::vector<std::wstring> paths;
    for (size_t row : rows) paths.push_back(m_rows[row].item.path);
    return paths;
}

void CFindWindow::RemoveGone(const std::vector<size_t>& rows)
{
    std::vector<bool> gone(m_rows.size(), false);
    bool bAny = false;
    for (size_t row : rows) {
        if (::GetFileAttributesW(m_rows[row].item.path.c_str()) == INVALID_FILE_ATTRIBUTES) gone[row] = bAny = true;
    }
    if (!bAny) return;
    const std::vector<size_t> selected = SelectedRows();
    m_order.erase(std::remove_if(m_order.begin(), m_order.end(), [&](size_t row) { return gone[row]; }), m_order.end());
    ListView_SetItemCountEx(List(), static_cast<int>(m_order.size()), 0);
    SelectRows(selected, m_rows.size());
    UpdateStatus();
}
