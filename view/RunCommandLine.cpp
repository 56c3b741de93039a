// How the Run command reads an item's parsing name and the command line it proposes: text
// only, apart from asking whether the program's file is there.
#include "view/RunCommand.h"

#include <windows.h>

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
