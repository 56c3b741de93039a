// The files on the clipboard (CF_HDROP, whoever put them there: this program, another of its
// windows or another program) and what a paste does with them in a folder: copies them, or
// moves them after a cut, with the shell's file operation; or makes a shortcut to each.
#pragma once

#include <windows.h>

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


private:
    std::vector<std::wstring> m_files;
    DWORD m_dwEffect = 0;
};
