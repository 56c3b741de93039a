// The files on the clipboard (CF_HDROP, whoever put them there: this program, another of its
// windows or another program) and what a paste does with them in a folder: copies them, or
// moves them after a cut, with the shell's file operation; or makes a shortcut to each.
#pragma once

#include <windows.h>

#include <set>
#include <string>
#include <vector>

class CClipboardFiles {
public:
    // Reads the clipboard; FALSE when it holds no files.
    BOOL Read();

    const std::vector<std::wstring>& GetFiles() const { return m_files; }
    // DROPEFFECT_MOVE when the files were cut, DROPEFFECT_COPY otherwise.
    DWORD GetEffect() const { return m_dwEffect; }

    // Copies the files into the folder, or moves them after a cut. A file copied into the
    // folder it came from gets a new name ("Copy of ..."); for a name that is taken in another
    // folder the shell asks before anything is replaced. A file cut and pasted into its own
    // folder stays where it is, and a folder never goes into itself. After a move the
    // clipboard is emptied when it still holds the cut. S_OK when done, S_FALSE when there
    // was nothing to do, otherwise the failure (ERROR_CANCELLED as an HRESULT when the user
    // stopped it).
    HRESULT PasteInto(HWND hwndOwner, const std::wstring& strFolder);

    // Makes a shortcut to each file in the folder ("Shortcut to ..."), never replacing a
    // file; S_OK when all were made, else the first failure.
    HRESULT PasteShortcutsInto(const std::wstring& strFolder);

    // The first name in the folder that is free (neither on disk nor in pTaken) for the
    // pattern: nth(1) is the plain form, nth(2), nth(3) ... the numbered ones. Empty when
    // none is free within a sensible number of tries.
    static std::wstring MakeFreeName(const std::wstring& strFolder, std::wstring (*nth)(const std::wstring&, int),
                                     const std::wstring& strName, const std::set<std::wstring>* pTaken = nullptr);
    // "Copy of one.txt", "Copy (2) of one.txt", ...
    static std::wstring CopyName(const std::wstring& strName, int n);
    // "Shortcut to one.txt.lnk", "Shortcut (2) to one.txt.lnk", ...
    static std::wstring ShortcutName(const std::wstring& strName, int n);

private:
    std::vector<std::wstring> m_files;
    DWORD m_dwEffect = 0;
};
