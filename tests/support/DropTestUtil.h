// Drag and drop as tests drive it: a drop target that records what it is told, data
// objects of the tests' own, and drags run by OLE's own loop with a scripted source.
#pragma once

#include <windows.h>
#include <ole2.h>
#include <shlobj.h>

#include <string>
#include <vector>

// A drop target of the test's own standing in for a folder's: records every call and
// answers as told. Owned by the test (Release never deletes); m_nRefs counts the
// references others hold beyond the test's own one.
class CRecordingDropTarget : public IDropTarget {
public:
    struct Call {
        char kind;      // 'E'nter, 'O'ver, 'L'eave, 'D'rop
        DWORD keys;
        POINT pt;       // as received (screen coordinates)
        DWORD offered;  // the effects offered on entry
    };

    std::vector<Call> m_calls;
    DWORD m_dwAnswer = DROPEFFECT_COPY;  // the effect answered to enter, over and drop
    DWORD m_dwOverAnswer = 0xFFFFFFFF;   // over's own answer, when set
    HRESULT m_hrDrop = S_OK;
    LONG m_nRefs = 1;

    // The kinds of the calls so far, in order ("EOOL").
    std::string Kinds() const;
    int Count(char kind) const;
    const Call* Last(char kind) const;

    STDMETHOD(QueryInterface)(REFIID riid, void** ppv) override;
    STDMETHOD_(ULONG, AddRef)() override;
    STDMETHOD_(ULONG, Release)() override;
    STDMETHOD(DragEnter)(IDataObject* pDataObj, DWORD grfKeyState, POINTL pt, DWORD* pdwEffect) override;
    STDMETHOD(DragOver)(DWORD grfKeyState, POINTL pt, DWORD* pdwEffect) override;
    STDMETHOD(DragLeave)() override;
    STDMETHOD(Drop)(IDataObject* pDataObj, DWORD grfKeyState, POINTL pt, DWORD* pdwEffect) override;

private:
    void Record(char kind, DWORD keys, POINTL pt, DWORD offered);
};

// Names as a DROPFILES block lists them: each with its terminator, then an empty one; wide,
// or 8-bit in the ANSI code page.
std::string DropFilesList(const std::vector<std::wstring>& names, bool bWide);
// A DROPFILES block: the header, saying that the names start at dwOffset, then the list's
// bytes exactly as given. The header's drop point reads as a name ("AAA") to a reader that
// strays into it.
std::string DropFilesBlock(const std::string& list, bool bWide, DWORD dwOffset = sizeof(DROPFILES));

// A data object offering the paths as CF_HDROP (wide names), and what a target sets on it;
// one reference.
IDataObject* NewFileListDataObject(const std::vector<std::string>& paths);
// A data object offering text (CF_TEXT) and nothing else; one reference.
IDataObject* NewTextDataObject(const std::string& text);

// A drag run by OLE's own loop: the cursor is put on each point in turn, and at the end
// the source drops (or cancels). Returns DoDragDrop's result; *pdwEffect gets its effect.
HRESULT RunScriptedDrag(IDataObject* pData, DWORD dwAllowed, const std::vector<POINT>& path, bool bDrop,
                        DWORD* pdwEffect);
