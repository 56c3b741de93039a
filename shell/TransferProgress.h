// The program's own file operation (FileEngine.h) as the user meets it: it runs on a thread
// of its own while the calling thread keeps the program's windows painting; the owner's
// window takes no input meanwhile, as under any modal operation; once the operation has
// taken over half a second a progress window shows what it is doing, how much of it is
// done and about how long the rest will take, with a Cancel button. Its questions come up
// as boxes owned by that window (or by the owner).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "shell/FileEngine.h"

// The progress window's class (tests find it by it); its Cancel button has the id IDCANCEL.
extern const wchar_t kTransferProgressClass[];
// The id of the "Yes to All" button of the questions (Yes, No and Cancel have their usual ones).
const int kIdYesToAll = 0x4001;

TransferResult RunFileOperation(HWND hwndOwner, TransferKind kind, const std::vector<TransferItem>& items,
                                Recycler recycler = nullptr);

// A question with Yes, Yes to All (when bToAll), No and Cancel; IDYES, kIdYesToAll, IDNO or
// IDCANCEL.
int AskQuestion(HWND hwndOwner, const wchar_t* pszCaption, const std::wstring& text, bool bToAll);
