// The document of a browser window: the folder it shows and the placement its first
// window takes, both from the text it was opened with.
#pragma once

#include "framework/Document.h"

class CFolvaneDoc : public CDocument {
    DECLARE_DYNCREATE(CFolvaneDoc)
public:
    CFolvaneDoc() = default;

    // Splits "folder,placement": the folder ends at the first comma, the placement is
    // everything after it. Never fails and touches no file.
    BOOL OnOpenDocument(LPCSTR lpszPathName) override;
    BOOL OnNewDocument() override;
    // Nothing to save: closing never asks.
    BOOL IsModified() override { return FALSE; }
    void Serialize() override {}

    CString m_strPlacement;   // placement for the first window; empty when none was given
    CString m_strFolderPath;  // parsing name of the folder on show
};
