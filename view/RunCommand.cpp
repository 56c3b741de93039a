// The Run command of the explorer view: the item selected on the right proposes a command
// line and its folder, and the command line starts there (or is opened by the shell).
#include "view/RunCommand.h"

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include "dialogs/RunDlg.h"
#include "shell/AnsiNames.h"
#include "shell/ComPtr.h"
#include "shell/ItemNames.h"
#include "shell/IdListPtr.h"
#include "shell/ShellSelection.h"
#include "tree/IdList.h"
#include "view/FolvaneView.h"

namespace {

// SplitParsingName for an item's full path, in 8-bit text that names the item exactly: the
// folder may be carried short; the program's own name stays long where the code page holds it.
void SplitItemPath(const std::wstring& strPath, CString& strDirectory, CString& strFileName)
{
    SplitParsingName(CString(AnsiPathFor(strPath)), strDirectory, strFileName);
    const std::wstring strName = strPath.substr(strPath.rfind(L'\\') + 1);
    if (FitsCodePage(strName)) strFileName = CString(AnsiOf(strName));
}

}  // namespace

void CFolvaneView::OnUpdateRun(CCmdUI* pCmdUI)
{
    // Declared in the order of release: the list is freed before the folder goes.
    CComPtr<IShellFolder> pFolder;
    pFolder.Attach(m_tree.BindItemFolder(nullptr));
    IShellView* pShellView = m_pShellView;  // borrowed
    CIdListPtr pidl;
    BOOL bEnable = FALSE;
    if (pFolder && pShellView) {
        HRESULT hr = GetFirstSelectedItem(pShellView, pidl.Put());
        if (SUCCEEDED(hr) && pidl) {
            LPCITEMIDLIST apidl[1] = {pidl};
            SFGAOF attributes = SFGAO_FILESYSTEM;
            bEnable = SUCCEEDED(pFolder->GetAttributesOf(1, apidl, &attributes)) && (attributes & SFGAO_FILESYSTEM);
        }
    }
    pCmdUI->Enable(bEnable);
}

void CFolvaneView::OnRun()
{
    // Declared in the order of release: the list is freed before the folder goes, whichever
    // way the command ends. The shell view is borrowed.
    CComPtr<IShellFolder> pFolder;
    pFolder.Attach(m_tree.BindItemFolder(nullptr));
    IShellView* pShellView = m_pShellView;
    CIdListPtr pidl;
    if (!pFolder || !pShellView) return;
    if (FAILED(GetFirstSelectedItem(pShellView, pidl.Put())) || !pidl) return;

    std::wstring strPath;
    if (!GetChildParsingName(pFolder, pidl, strPath)) return;
    CString strDirectory, strFileName;
    SplitItemPath(strPath, strDirectory, strFileName);

    CRunDlg dlg;
    dlg.m_strCommandLine = ProposedCommandLine(strFileName);
    dlg.m_strDirectory = strDirectory;
    if (dlg.DoModal() != IDOK) return;

    // Without a directory (a name with no backslash) the process starts where this one is.
    LPCSTR pszDirectory = strDirectory.IsEmpty() ? nullptr : static_cast<LPCSTR>(strDirectory);
    // The system would not look in the item's folder for a program named without a path.
    CString strProgram = FindProgramInFolder(strDirectory, dlg.m_strCommandLine);
    STARTUPINFOA si;
    ::ZeroMemory(&si, sizeof(si));
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    CString strCommandLine = dlg.m_strCommandLine;
    char* pszCommandLine = strCommandLine.GetBuffer(strCommandLine.GetLength());  // CreateProcessA may write to it
    BOOL bStarted = ::CreateProcessA(strProgram.IsEmpty() ? nullptr : static_cast<LPCSTR>(strProgram), pszCommandLine,
                                     nullptr, nullptr, FALSE, DETACHED_PROCESS, nullptr, pszDirectory, &si, &pi);
    strCommandLine.ReleaseBuffer();
    if (bStarted) {
        ::CloseHandle(pi.hThread);
        ::CloseHandle(pi.hProcess);
        return;
    }
    CString strFile, strParameters;
    ShellOpenTarget(strDirectory, dlg.m_strCommandLine, strFile, strParameters);
    ::ShellExecuteA(m_hWnd, "open", strFile, strParameters.IsEmpty() ? nullptr : static_cast<LPCSTR>(strParameters),
                    pszDirectory, SW_SHOWNORMAL);
}
