// The files on the clipboard (CF_HDROP, whoever put them there: this program, another of its
// windows or another program) and what a paste does with them in a folder: copies them, or
// moves them after a cut (FileOperation.h); or makes a shortcut to each.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "shell/TransferResult.h"

class CClipboardFiles {
public:
    // Reads the clipboard; FALSE when it holds no files.
    BOOL Read();

    const std::vector<std::wstring>& GetFiles() const { return m_files; }
    // DROPEFFECT_MOVE when the files were cut, DROPEFFECT_COPY otherwise.
    DWORD GetEffect() const { return m_dwEffect; }

    // Copies the files into the folder, or moves them after a cut, by the rules of
    // TransferFilesInto (FileOperation.h), which also tells the user what could not be done.
    // A cut stays on the clipboard while any of its items is still where it was, so that it
    // can be pasted again; once none is, the clipboard is emptied if it still holds the cut.
    TransferResult PasteInto(HWND hwndOwner, const std::wstring& strFolder);

    // Makes a shortcut to each file in the folder ("Shortcut to ..."), never replacing a file.
    TransferResult PasteShortcutsInto(HWND hwndOwner, const std::wstring& strFolder);


private:
    std::vector<std::wstring> m_files;
    DWORD m_dwEffect = 0;
};
