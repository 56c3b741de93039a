// The Run command of the explorer view: the item selected on the right proposes a command
// line and its folder, and the command line starts there (or is opened by the shell).
#include "view/RunCommand.h"

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include "dialogs/RunDlg.h"
#include "shell/ComPtr.h"
#include "shell/IdListPtr.h"
#include "shell/ShellSelection.h"
#include "tree/IdList.h"
#include "view/FolvaneView.h"

namespace {

bool IsBlank(char ch)
{
    return ch == ' ' || ch == '\t';
}

// The candidate names a path of its own (or a drive): the folder is not the place to look.
bool HasPath(const CString& strName)
{
    return strName.Find('\\') >= 0 || strName.Find('/') >= 0 || strName.Find(':') >= 0;
}

// The file the name stands for in the directory, or empty.
CString FileInFolder(const CString& strDirectory, const CString& strName)
{
    if (strName.IsEmpty() || HasPath(strName)) return CString();
    CString strPath = strDirectory;
    if (strPath[strPath.GetLength() - 1] != '\\') strPath += '\\';
    strPath += strName;
    if (strName.Find('.') < 0) strPath += ".exe";
    if (strPath.GetLength() >= MAX_PATH) return CString();
    DWORD dwAttributes = ::GetFileAttributesA(strPath);
    if (dwAttributes == INVALID_FILE_ATTRIBUTES || (dwAttributes & FILE_ATTRIBUTE_DIRECTORY)) return CString();
    return strPath;
}

}  // namespace

void SplitParsingName(const CString& strName, CString& strDirectory, CString& strFileName)
{
    const int p = strName.ReverseFind('\\');
    strDirectory = strName.Left(p + 1);
    strFileName = strName.Right(strName.GetLength() - p - 1);
}

CString ProposedCommandLine(const CString& strFileName)
{
    // Unquoted, "my tool.exe" would be read as my.exe with an argument.
    if (strFileName.Find(' ') < 0 && strFileName.Find('\t') < 0) return strFileName;
    return "\"" + strFileName + "\"";
}

void ShellOpenTarget(const CString& strDirectory, const CString& strCommandLine, CString& strFile,
                     CString& strParameters)
{
    strParameters.Empty();
    const int nLength = strCommandLine.GetLength();
    int nStart = 0;
    while (nStart < nLength && IsBlank(strCommandLine[nStart])) nStart++;
    if (nStart == nLength || strCommandLine[nStart] != '"') {
        // Taken whole: what follows a blank may be part of the name.
        strFile = strDirectory + strCommandLine;
        return;
    }
    int nEnd = strCommandLine.Find('"', nStart + 1);
    if (nEnd < 0) nEnd = nLength;
    const CString strName = strCommandLine.Mid(nStart + 1, nEnd - nStart - 1);
    strFile = HasPath(strName) ? strName : strDirectory + strName;
    int nRest = nEnd + 1;
    while (nRest < nLength && IsBlank(strCommandLine[nRest])) nRest++;
    if (nRest < nLength) strParameters = strCommandLine.Mid(nRest);
}

CString FindProgramInFolder(const CString& strDirectory, const CString& strCommandLine)
{
    if (strDirectory.IsEmpty()) return CString();
    const int nLength = strCommandLine.GetLength();
    int nStart = 0;
    while (nStart < nLength && IsBlank(strCommandLine[nStart])) nStart++;
    if (nStart == nLength) return CString();
    if (strCommandLine[nStart] == '"') {
        int nEnd = strCommandLine.Find('"', nStart + 1);
        if (nEnd < 0) nEnd = nLength;
        return FileInFolder(strDirectory, strCommandLine.Mid(nStart + 1, nEnd - nStart - 1));
    }
    // "my tool.exe arg" may name "my.exe" or "my tool.exe": the shorter wins, as for the system.
    for (int i = nStart; i <= nLength; i++) {
        if (i < nLength && !IsBlank(strCommandLine[i])) continue;
        if (i > nStart && IsBlank(strCommandLine[i - 1])) continue;  // the rest of a run of blanks
        CString strName = strCommandLine.Mid(nStart, i - nStart);
        // Longer candidates only add to this one: once it has a path, so do they.
        if (HasPath(strName)) return CString();
        CString strPath = FileInFolder(strDirectory, strName);
        if (!strPath.IsEmpty()) return strPath;
    }
    return CString();
}

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

    STRRET name;
    name.uType = STRRET_CSTR;
    name.cStr[0] = '\0';
    if (FAILED(pFolder->GetDisplayNameOf(pidl, SHGDN_FORPARSING, &name))) return;
    CString strName;
    StrRetToString(&name, pidl, strName);
    CString strDirectory, strFileName;
    SplitParsingName(strName, strDirectory, strFileName);

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
