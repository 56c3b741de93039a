// The document manager of browser windows: opens a folder text as a window (or brings
// the window already open on it to the front) and records the open windows at exit so
// that the next start reopens them.
#pragma once

#include <vector>

#include "framework/DocManager.h"

class CFolderDocManager : public CDocManager {
    DECLARE_DYNAMIC(CFolderDocManager)
public:
    CFolderDocManager() = default;

    // The text as the documents see it: a leading double quote dropped, at most
    // MAX_PATH - 1 characters kept, and cut at its last double quote.
    static CString PrepareDocumentText(LPCSTR lpszText);

    CDocument* OpenDocumentFile(LPCSTR lpszFileName) override;

    // Replaces the recorded windows with the text of every open browser window.
    void SaveOpenWindows();
    // Opens every recorded window that can be read.
    void RestoreOpenWindows();

    // Where the record lives in the application's profile: one string value per
    // window, "Window1", "Window2", ... in the order they are reopened.
    static const char* const kSection;
    static const char* const kEntryPrefix;

    // The texts of the open browser windows, bottom of the stacking order first.
    static std::vector<CString> GetOpenWindowStrings();
    // The recorded texts in the order of their numbers; gaps, other values and
    // unreadable entries are passed over.
    static std::vector<CString> ReadRecord();
    static void WriteRecord(const std::vector<CString>& texts);
};
