// Under Wine, a folder's own drop target answers a drag and then moves nothing. For
// file-system folders the tree uses this target instead, which does what the shell does on
// Windows with files and folders dropped as CF_HDROP: moves, copies or links them into the
// folder (FileOperation.h), and tells the drag's source what happened as the shell's own
// targets do. Any other data goes to the folder's own target.
// GetFolderDropTarget (FolderDropTarget.h) hands it out where Wine runs.
#pragma once

#include <windows.h>
#include <ole2.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "shell/ComPtr.h"

// The drop target the tree uses for one folder (a child of pParent) under Wine: this
// stand-in for a file-system folder that exists on disk, the shell's own target otherwise.
HRESULT GetWineFolderDropTarget(HWND hwndOwner, IShellFolder* pParent, LPCITEMIDLIST pidlRel,
                                IDropTarget** ppTarget);

// The effect a drop of these files onto the folder has, among the allowed ones. The keys
// choose as on Windows: Ctrl copies, Shift moves, Ctrl+Shift or Alt links; with no key,
// files on the folder's own drive move and others are copied (then whatever is allowed).
// A drive's root can only be linked. None where the drop could lose or change nothing: a
// folder onto itself or into one of its own sub-folders, or a move into the folder an item
// is in already.
DWORD ChooseFileDropEffect(DWORD grfKeyState, DWORD dwAllowed, const std::vector<std::wstring>& sources,
                           const std::wstring& folder);

// The same in two steps: what the disk says of a drag, once, and the choice at each move.
struct FileDropFacts {
    bool bAcceptable = false;  // no folder onto itself or below it
    bool bLinkOnly = false;    // a drive's root among the items
    bool bSameVolume = true;   // every item on the folder's volume
    bool bAnyInTarget = false; // an item in the folder already
};
FileDropFacts AssessFileDrop(const std::vector<std::wstring>& sources, const std::wstring& folder);
DWORD ChooseFileDropEffect(DWORD grfKeyState, DWORD dwAllowed, const FileDropFacts& facts);

class CWineFolderDropTarget final : public IDropTarget {
public:
    // The target of the folder at this path; pFallback (may be null) takes every drag
    // that is not one of files; hwndOwner owns what the drop asks and tells. Starts with
    // one reference, the caller's.
    CWineFolderDropTarget(const std::wstring& folder, IDropTarget* pFallback, HWND hwndOwner = nullptr);

    STDMETHOD(QueryInterface)(REFIID riid, void** ppv) override;
    STDMETHOD_(ULONG, AddRef)() override;
    STDMETHOD_(ULONG, Release)() override;
    STDMETHOD(DragEnter)(IDataObject* pDataObj, DWORD grfKeyState, POINTL pt, DWORD* pdwEffect) override;
    STDMETHOD(DragOver)(DWORD grfKeyState, POINTL pt, DWORD* pdwEffect) override;
    STDMETHOD(DragLeave)() override;
    // Fails, having done nothing, when no effect applies, and when nothing could be done.
    // Otherwise answers the effect the drop had for the source: a copy or a shortcut, or
    // none for a move (done here, the source has nothing left to do); the data object hears
    // the effect performed and, for a move, the logical one.
    STDMETHOD(Drop)(IDataObject* pDataObj, DWORD grfKeyState, POINTL pt, DWORD* pdwEffect) override;

private:
    enum class Mode { None, Files, Fallback };

    ~CWineFolderDropTarget() = default;

    LONG m_cRef = 1;
    HWND m_hwndOwner;
    std::wstring m_strFolder;
    CComPtr<IDropTarget> m_pFallback;
    Mode m_mode = Mode::None;
    FileDropFacts m_facts;  // of the files the drag in progress offers
};
