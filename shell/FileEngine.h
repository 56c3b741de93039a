// The program's own copy, move and delete of files and folders, for where the shell's
// cannot be trusted (Wine's: it nests folders, moves over files without asking and reports
// moves that did not happen). Plain code on the calling thread, without windows: whoever
// runs it answers its questions and hears its progress through ITransferCallbacks, and may
// cancel it from another thread.
//
// Its rules: nothing already there is replaced or merged into without a yes; a folder never
// goes into itself; a move is a rename on one volume and a copy, then a delete, across
// volumes, each source going only once its copy is complete and of the right size; a copy
// keeps the original's attributes and times; what fails or is cancelled is left as it was
// (a partial copy is removed), and what was completed stays.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "shell/TransferResult.h"

struct TransferItem {
    std::wstring source;
    std::wstring dest;  // the path it is to have; empty for a delete
};

// How far an operation has come; files count a rename or a trashed item as one.
struct TransferProgress {
    ULONGLONG bytesDone = 0, bytesTotal = 0;
    size_t filesDone = 0, filesTotal = 0;
    std::wstring current;  // the file or folder being worked on
};

enum class Answer { Yes, YesToAll, No, Cancel };

// Called on the engine's thread.
class ITransferCallbacks {
public:
    // A folder of the incoming folder's name is there already: merge into it? Asked once per
    // item given; folders met inside a merge are merged.
    virtual Answer AskMergeFolder(const std::wstring& existing, const std::wstring& incoming) = 0;
    // A file of the incoming file's name is there already: replace it?
    virtual Answer AskReplaceFile(const std::wstring& existing, const std::wstring& incoming) = 0;
    // The trash cannot take the item: delete it for good?
    virtual Answer AskDeleteForGood(const std::wstring& path) = 0;
    // After each file, and each piece of a large one.
    virtual void OnProgress(const TransferProgress&) {}

protected:
    ~ITransferCallbacks() = default;
};

// How a delete sends an item to the trash: 0 when it went, kErrorNoTrash when the trash
// cannot take it, otherwise the system's reason.
typedef std::function<DWORD(const std::wstring& path)> Recycler;

class CFileEngine {
public:
    // Files larger than this are copied piece by piece, so that a cancel takes effect
    // within them; smaller ones by the system in one call.
    static const DWORD kPieceSize = 1024 * 1024;

    // Copy or Move, or Delete (for good, or through the recycler when one is given).
    CFileEngine(TransferKind kind, ITransferCallbacks& callbacks, Recycler recycler = nullptr);
    CFileEngine(const CFileEngine&) = delete;
    CFileEngine& operator=(const CFileEngine&) = delete;

    TransferResult Run(const std::vector<TransferItem>& items);
    // From any thread: the operation stops at the next file or piece.
    void Cancel() { m_bCancel = true; }
    bool IsCancelled() const { return m_bCancel; }

    // Tests slow the copy of each piece down by this many milliseconds, so that an operation
    // takes long enough to be watched.
    static void SetPieceDelayForTesting(DWORD dwMs);

    struct Entry {
        DWORD dwAttrs = 0;
        ULONGLONG size = 0;
        FILETIME created = {}, accessed = {}, written = {};
        bool IsFolder() const { return (dwAttrs & FILE_ATTRIBUTE_DIRECTORY) != 0; }
    };

private:
    void Measure(const std::vector<TransferItem>& items);
    void MeasureFolder(const std::wstring& path);
    void TransferTop(ItemOutcome& item);
    void DeleteTop(ItemOutcome& item);
    // Puts the item at dest, meeting what is there by the rules; bAskMerge for an item given.
    void PlaceOrMeet(const std::wstring& source, const Entry& entry, const std::wstring& dest, bool bAskMerge);
    // Puts the item at dest, where nothing is.
    void Place(const std::wstring& source, const Entry& entry, const std::wstring& dest);
    void PlaceFile(const std::wstring& source, const Entry& entry, const std::wstring& dest);
    void PlaceFolder(const std::wstring& source, const Entry& entry, const std::wstring& dest);
    // Each child of the folder source into the folder dest; bMerge when dest was there before.
    void PlaceChildren(const std::wstring& source, const std::wstring& dest, bool bMerge);
    void ReplaceFile(const std::wstring& source, const Entry& entry, const std::wstring& dest, const Entry& existing);
    // After its contents went: a moved folder that is empty now goes too.
    void RemoveMovedFolder(const std::wstring& source, const Entry& entry, size_t nLeftBefore);
    void DeleteForGood(const std::wstring& path, const Entry& entry);
    // Copies a file to dest, where nothing is (for a move, checking the copy's size before
    // its source may go); false (with the copy removed) when it failed or was cancelled.
    bool CopyFileData(const std::wstring& source, const Entry& entry, const std::wstring& dest);
    DWORD CopyInPieces(const std::wstring& source, const Entry& entry, const std::wstring& dest);
    // The user's answer, with a "to all" kept for later questions; a no leaves the item
    // behind, a cancel stops the operation as well.
    bool Agreed(Answer answer, bool* pbAll);
    void Arrived();
    void Fail(const std::wstring& path, DWORD dwError);
    void Report(const std::wstring& current);
    size_t LeftBehind() const { return m_nFailed + m_nSkipped + m_nAbandoned; }

    TransferKind m_kind;
    ITransferCallbacks& m_callbacks;
    Recycler m_recycler;
    std::atomic<bool> m_bCancel{false};
    TransferResult m_result;
    TransferProgress m_progress;
    bool m_bSameVolume = true;  // the item in hand and its destination
    bool m_bMergeAll = false, m_bReplaceAll = false, m_bDeleteAll = false;
    // Of the item in hand: what arrived, and what was left behind and why.
    size_t m_nArrived = 0, m_nFailed = 0, m_nSkipped = 0, m_nAbandoned = 0;
    std::vector<BYTE> m_buffer;
};
