// The texts a browser window is opened from and recorded as, read without any window or
// registry call: "folder,placement" with the placement "left,top,right,bottom,state", and the
// record of open windows in the settings ("Window1", "Window2", ... string values).
#pragma once

#include <windows.h>

#include <utility>
#include <vector>

#include "framework/String.h"

// States of a window placement text.
#define PLACEMENT_MAXIMIZED 0x01000000UL  // WS_MAXIMIZE
#define PLACEMENT_MINIMIZED 0x20000000UL  // WS_MINIMIZE

// What a placement text names: the window rectangle in the parent's client coordinates
// and the state bits.
struct CWindowPlacementFields {
    RECT rect;
    DWORD state;
};

// Two's complement, without relying on how the compiler converts out-of-range values.
LONG WrapToLong(DWORD value);

// Reads the fields of a placement text into `fields`. A field that is empty or does not
// start with a number keeps the value it had; fields after the fifth are ignored.
// Returns the number of fields the text has (a comma at the very end adds none).
int ReadWindowPlacementString(LPCSTR lpszPlacement, CWindowPlacementFields& fields);
// The text ReadWindowPlacementString reads back as the same fields.
CString FormatWindowPlacement(const CWindowPlacementFields& fields);

// A document text as it comes (a command line, a recorded window): a leading double quote
// dropped, at most MAX_PATH - 1 characters kept, and cut at its last double quote.
CString PrepareDocumentText(LPCSTR lpszText);
// Splits "folder,placement": the folder ends at the first comma, the placement is
// everything after it (empty when there is no comma).
void SplitDocumentText(LPCSTR lpszText, CString& folder, CString& placement);

extern const char kWindowRecordPrefix[];
// The number of a record value named like "Window12" (registry names ignore case), or 0 for
// any other name.
DWORD WindowRecordNumber(const char* name);
CString WindowRecordName(DWORD number);
// The text of a stored string of cb bytes, which need not be terminated within them.
CString WindowRecordText(const BYTE* data, DWORD cb);
// The texts of (number, text) entries in the order of their numbers; entries of one number
// keep the order they were read in.
std::vector<CString> OrderWindowRecord(std::vector<std::pair<DWORD, CString>> entries);
