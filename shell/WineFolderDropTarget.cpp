#include "shell/WineFolderDropTarget.h"

#include "shell/DiskFolders.h"
#include "shell/DiskItems.h"
#include "shell/FileOperation.h"
#include "shell/ItemNames.h"
#include "shell/Paths.h"

namespace {

const DWORD kEffects = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;

bool HasKey(DWORD grfKeyState, DWORD key)
{
    return (grfKeyState & key) != 0;
}

}  // namespace

FileDropFacts AssessFileDrop(const std::vector<std::wstring>& sources, const std::wstring& folder)
{
    FileDropFacts facts;
    if (sources.empty() || folder.empty()) return facts;
    const std::wstring target = NormalPath(folder);
    const std::wstring volume = VolumeOf(target);
    for (const std::wstring& source : sources) {
        const std::wstring item = NormalPath(source);
        // A folder dropped onto itself or into its own sub-folder would take itself along.
        if (IsSameOrInside(target, item)) return facts;
        // A drive cannot move, and copying all of it is no drag's business: a shortcut at most.
        if (NameOf(item).empty()) facts.bLinkOnly = true;
        facts.bSameVolume = facts.bSameVolume && SamePath(VolumeOf(item), volume);
        facts.bAnyInTarget = facts.bAnyInTarget || SamePath(ParentOf(item), target);
    }
    facts.bAcceptable = true;
    return facts;
}

DWORD ChooseFileDropEffect(DWORD grfKeyState, DWORD dwAllowed, const FileDropFacts& facts)
{
    if (!facts.bAcceptable) return DROPEFFECT_NONE;
    if (facts.bLinkOnly) return dwAllowed & DROPEFFECT_LINK;
    const bool bCtrl = HasKey(grfKeyState, MK_CONTROL), bShift = HasKey(grfKeyState, MK_SHIFT);
    const bool bAlt = HasKey(grfKeyState, MK_ALT);
    DWORD dwWanted;
    if ((bCtrl && bShift) || bAlt) dwWanted = DROPEFFECT_LINK;
    else if (bCtrl) dwWanted = DROPEFFECT_COPY;
    else if (bShift) dwWanted = DROPEFFECT_MOVE;
    else dwWanted = facts.bSameVolume ? DROPEFFECT_MOVE : DROPEFFECT_COPY;

    // A key asks for its effect only; without one, what the source allows comes next.
    DWORD dwEffect = DROPEFFECT_NONE;
    if (dwAllowed & dwWanted) dwEffect = dwWanted;
    else if (!bCtrl && !bShift && !bAlt) {
        for (DWORD e : {DROPEFFECT_COPY, DROPEFFECT_MOVE, DROPEFFECT_LINK}) {
            if (dwAllowed & e) {
                dwEffect = e;
                break;
            }
        }
    }
    // Moving an item to where it is already changes nothing (and would rename it).
    return dwEffect == DROPEFFECT_MOVE && facts.bAnyInTarget ? DROPEFFECT_NONE : dwEffect;
}

DWORD ChooseFileDropEffect(DWORD grfKeyState, DWORD dwAllowed, const std::vector<std::wstring>& sources,
                           const std::wstring& folder)
{
    return ChooseFileDropEffect(grfKeyState, dwAllowed, AssessFileDrop(sources, folder));
}

HRESULT GetWineFolderDropTarget(HWND hwndOwner, IShellFolder* pParent, LPCITEMIDLIST pidlRel, IDropTarget** ppTarget)
{
    if (!ppTarget) return E_POINTER;
    *ppTarget = nullptr;
    if (!pParent || !pidlRel) return E_INVALIDARG;
    SFGAOF attrs = SFGAO_FILESYSTEM | SFGAO_FOLDER;
    std::wstring path;
    const bool bFileFolder = SUCCEEDED(pParent->GetAttributesOf(1, &pidlRel, &attrs)) &&
                             (attrs & (SFGAO_FILESYSTEM | SFGAO_FOLDER)) == (SFGAO_FILESYSTEM | SFGAO_FOLDER) &&
                             GetChildParsingName(pParent, pidlRel, path) && DiskFolderExists(path.c_str());
    if (!bFileFolder) {
        return pParent->GetUIObjectOf(hwndOwner, 1, &pidlRel, IID_IDropTarget, nullptr,
                                      reinterpret_cast<void**>(ppTarget));
    }
    // Other data goes to the folder's own target: Wine answers a child's GetUIObjectOf with
    // its parent's target, the folder's CreateViewObject with its own.
    CComPtr<IDropTarget> pOwn;
    CComPtr<IShellFolder> pFolder;
    if (SUCCEEDED(pParent->BindToObject(pidlRel, nullptr, IID_IShellFolder, pFolder.PutVoid())) && pFolder) {
        pFolder->CreateViewObject(hwndOwner, IID_IDropTarget, pOwn.PutVoid());
    }
    if (!pOwn) pParent->GetUIObjectOf(hwndOwner, 1, &pidlRel, IID_IDropTarget, nullptr, pOwn.PutVoid());
    *ppTarget = new CWineFolderDropTarget(path, pOwn, hwndOwner);
    return S_OK;
}

// ---- CWineFolderDropTarget ------------------------------------------------------------------

CWineFolderDropTarget::CWineFolderDropTarget(const std::wstring& folder, IDropTarget* pFallback, HWND hwndOwner)
    : m_hwndOwner(hwndOwner), m_strFolder(folder), m_pFallback(pFallback)
{
}

STDMETHODIMP CWineFolderDropTarget::QueryInterface(REFIID riid, void** ppv)
{
    if (!ppv) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDropTarget)) {
        *ppv = static_cast<IDropTarget*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) CWineFolderDropTarget::AddRef()
{
    return static_cast<ULONG>(InterlockedIncrement(&m_cRef));
}

STDMETHODIMP_(ULONG) CWineFolderDropTarget::Release()
{
    const LONG n = InterlockedDecrement(&m_cRef);
    if (n == 0) delete this;
    return static_cast<ULONG>(n);
}

STDMETHODIMP CWineFolderDropTarget::DragEnter(IDataObject* pDataObj, DWORD grfKeyState, POINTL pt, DWORD* pdwEffect)
{
    if (!pdwEffect) return E_POINTER;
    m_mode = Mode::None;
    std::vector<std::wstring> files;
    if (ReadDropFiles(pDataObj, files)) {
        m_mode = Mode::Files;
        // Asked of the disk once per drag; every move only looks at the keys.
        m_facts = AssessFileDrop(files, m_strFolder);
        *pdwEffect = ChooseFileDropEffect(grfKeyState, *pdwEffect, m_facts);
        return S_OK;
    }
    if (m_pFallback) {
        m_mode = Mode::Fallback;
        return m_pFallback->DragEnter(pDataObj, grfKeyState, pt, pdwEffect);
    }
    *pdwEffect = DROPEFFECT_NONE;
    return S_OK;
}

STDMETHODIMP CWineFolderDropTarget::DragOver(DWORD grfKeyState, POINTL pt, DWORD* pdwEffect)
{
    if (!pdwEffect) return E_POINTER;
    switch (m_mode) {
    case Mode::Files:
        *pdwEffect = ChooseFileDropEffect(grfKeyState, *pdwEffect, m_facts);
        return S_OK;
    case Mode::Fallback:
        return m_pFallback->DragOver(grfKeyState, pt, pdwEffect);
    case Mode::None:
        break;
    }
    *pdwEffect = DROPEFFECT_NONE;
    return S_OK;
}

STDMETHODIMP CWineFolderDropTarget::DragLeave()
{
    const Mode mode = m_mode;
    m_mode = Mode::None;
    if (mode == Mode::Fallback) return m_pFallback->DragLeave();
    return S_OK;
}

STDMETHODIMP CWineFolderDropTarget::Drop(IDataObject* pDataObj, DWORD grfKeyState, POINTL pt, DWORD* pdwEffect)
{
    if (!pdwEffect) return E_POINTER;
    const Mode mode = m_mode;
    m_mode = Mode::None;
    if (mode == Mode::Fallback) return m_pFallback->Drop(pDataObj, grfKeyState, pt, pdwEffect);
    // The files as the drop offers them, whatever the drag showed.
    std::vector<std::wstring> files;
    const DWORD dwEffect = ReadDropFiles(pDataObj, files)
                               ? ChooseFileDropEffect(grfKeyState, *pdwEffect & kEffects, files, m_strFolder)
                               : DROPEFFECT_NONE;
    *pdwEffect = DROPEFFECT_NONE;
    if (dwEffect == DROPEFFECT_NONE) return E_FAIL;
    const TransferResult result =
        dwEffect == DROPEFFECT_LINK
            ? LinkFilesInto(m_hwndOwner, files, m_strFolder)
            : TransferFilesInto(m_hwndOwner, dwEffect == DROPEFFECT_MOVE ? TransferKind::Move : TransferKind::Copy,
                                files, m_strFolder);
    // Only what happened: a source that deletes what it hears was moved must find nothing
    // left to delete, and one that hears of nothing done keeps its items.
    TellDragSource(pDataObj, result);
    *pdwEffect = DropEffectOf(result);
    return result.AnyDone() || result.failures.empty() ? S_OK : E_FAIL;
}
