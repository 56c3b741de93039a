// What a file operation (copy, move, shortcut, delete) did to each item it was given, as
// found on disk afterwards. The report to the user, the answer to a drag's source, the
// clipboard after a cut and the panes are all told from this one account, whichever way
// the operation was carried out (the shell's own, or the program's stand-in).
#pragma once

#include <windows.h>
#include <ole2.h>

#include <string>
#include <vector>

enum class TransferKind { Copy, Move, Link, Delete };

// Reasons of the program's own, beside the system's error codes (bit 29 marks codes that
// are an application's).
const DWORD kErrorIntoItself = 0x20000001;      // a folder into itself or its own sub-folder
const DWORD kErrorFolderInTheWay = 0x20000002;  // a file where a folder of its name is
const DWORD kErrorFileInTheWay = 0x20000003;    // a folder where a file of its name is
const DWORD kErrorIncomplete = 0x20000004;      // the copy is not the size of the original
const DWORD kErrorNotDone = 0x20000005;         // reported done, yet not so on disk
const DWORD kErrorNoTrash = 0x20000006;         // the trash cannot take it

struct ItemOutcome {
    enum State {
        kDone,        // all of it is where it was to go (gone, for a delete)
        kPartly,      // some of it went, some is still where it was (a merge, a cancel)
        kSkipped,     // left as it was: the user said no, or there was nothing to do
        kFailed,      // left as it was, for the reason in the failures
        kNotReached,  // the operation stopped before it came to this item
    };
    std::wstring source;
    std::wstring dest;  // the path it was to have; empty for a delete
    State state = kNotReached;
    bool bFolder = false;
};

// One thing that could not be done: the file or folder (an item, or something inside one)
// and the reason.
struct TransferFailure {
    std::wstring path;
    DWORD dwError = 0;
    bool bToldUser = false;  // by the shell's own operation, which reports its failures itself
};

struct TransferResult {
    TransferKind kind = TransferKind::Copy;
    std::vector<ItemOutcome> items;
    std::vector<TransferFailure> failures;
    bool bCancelled = false;

    size_t Count(ItemOutcome::State state) const;
    // Whether anything at all arrived (or went, for a delete).
    bool AnyDone() const { return Count(ItemOutcome::kDone) + Count(ItemOutcome::kPartly) > 0; }
    void Fail(const std::wstring& path, DWORD dwError) { failures.push_back({path, dwError, false}); }
};

// A sentence for a reason: the system's text for its codes, the program's for its own.
std::wstring DescribeError(DWORD dwError);

// The text of the one box that tells the user what could not be done and why; empty when
// everything was done (or the user was told already). Paths show as names below the
// folder the items came from; a long list is cut short.
std::wstring DescribeFailures(const TransferResult& result);
// The box's caption for the kind of operation.
const wchar_t* FailureCaption(TransferKind kind);

// Checks on disk that each item reported done is so: a copy or shortcut exists where it was
// to go, a moved item is there and no longer where it was, a deleted one is gone. One that
// is not becomes failed (with the reason the system gives when asked about it), or not
// reached when the operation was stopped.
void VerifyOnDisk(TransferResult& result);

// What a drop that did this tells its drag's source, as the shell's own targets do: the
// effect Drop returns, and the "Performed DropEffect" and "Logical Performed DropEffect" it
// sets on the data. A move is done by the target itself (an optimized move): the source
// must delete nothing, so the effect performed for it is none, and only the logical effect
// says that items moved.
DWORD DropEffectOf(const TransferResult& result);
DWORD LogicalDropEffectOf(const TransferResult& result);
void TellDragSource(IDataObject* pData, const TransferResult& result);
