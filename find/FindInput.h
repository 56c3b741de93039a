// What the user typed into the find window, read into search criteria, or the sentence
// that says what is wrong with it.
#pragma once

#include <windows.h>

#include <string>

#include "find/FileSearch.h"
#include "framework/String.h"

struct CFindInput {
    std::wstring names;
    std::wstring text;
    std::wstring folder;
    std::wstring days;     // modified in the last ... days; empty for any time
    std::wstring minKB;    // size at least ... KB; empty for no limit
    std::wstring maxKB;    // size at most ... KB; empty for no limit
    bool bSubFolders = true;
    bool bLargeFiles = false;
};

// The longest time back a date filter reaches, in days (a century).
const unsigned long kMaxDays = 36500;

// Reads the input into criteria. FALSE with the sentence to show, and the control id of
// the box at fault in *pnBadControl (0 when none), when something cannot be searched for.
// ftNow: the moment "the last N days" count back from.
BOOL ReadFindInput(const CFindInput& input, const FILETIME& ftNow, CFindCriteria& criteria, CString& strError,
                   int* pnBadControl = nullptr);

// The sentence that says why the folder to look in could not be searched; empty when it was.
CString DescribeRootFailure(const CFindSummary& summary, const std::wstring& folder);

// Text in the program's 8-bit code page, and back.
CString AnsiText(const std::wstring& text);
std::wstring WideText(const char* pszText);
