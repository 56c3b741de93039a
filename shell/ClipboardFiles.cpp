#include "shell/ClipboardFiles.h"

#include <ole2.h>
#include <shellapi.h>
#include <shlobj.h>

#include <set>

#include "shell/ComPtr.h"
#include "shell/DiskItems.h"
#include "shell/Paths.h"
#include "shell/TransferBlocks.h"

BOOL CClipboardFiles::Read()
{
    m_files.clear();
    m_dwEffect = DROPEFFECT_COPY;
    CComPtr<IDataObject> pData;
    if (FAILED(::OleGetClipboard(pData.Put())) || !pData) return FALSE;
    if (!ReadDropFiles(pData, m_files)) return FALSE;

    FORMATETC fmtEffect = {static_cast<CLIPFORMAT>(::RegisterClipboardFormatA(CFSTR_PREFERREDDROPEFFECT)), nullptr,
                           DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM mediumEffect = {};
    if (SUCCEEDED(pData->GetData(&fmtEffect, &mediumEffect))) {
        if (mediumEffect.tymed == TYMED_HGLOBAL) {
            if (const void* pEffect = ::GlobalLock(mediumEffect.hGlobal)) {
                m_dwEffect = ReadPreferredDropEffect(pEffect, ::GlobalSize(mediumEffect.hGlobal));
                ::GlobalUnlock(mediumEffect.hGlobal);
            }
        }
        ::ReleaseStgMedium(&mediumEffect);
    }
    return TRUE;
}

HRESULT CClipboardFiles::PasteInto(HWND hwndOwner, const std::wstring& strFolder)
{
    const bool bMove = m_dwEffect == DROPEFFECT_MOVE;
    std::wstring from, to;
    std::set<std::wstring> taken;
    size_t nItems = 0;
    const std::wstring folder = NormalPath(strFolder);
    for (const std::wstring& strFile : m_files) {
        const std::wstring name = NameOf(strFile);
        const std::wstring file = NormalPath(strFile);
        if (name.empty() || IsSameOrInside(folder, file)) continue;
        NameForm form = nullptr;
        const DWORD dwAttrs = ::GetFileAttributesW(file.c_str());
        const bool bFolder = dwAttrs != INVALID_FILE_ATTRIBUTES && (dwAttrs & FILE_ATTRIBUTE_DIRECTORY);
        if (SamePath(ParentOf(file), folder)) {
            // Into its own folder: a move has nothing to do, a copy needs a name of its own.
            if (bMove) continue;
            form = &CopyName;
        } else if (bMove || taken.count(PathKey(name))) {
            // Wine's file operation moves over a taken name without asking, and two items of
            // one paste may share a name: each gets one that is free. A copy over a file
            // that was there before is asked about.
            form = bFolder ? &NumberedFolderName : &NumberedName;
        }
        const std::wstring destName = form ? FreeName(strFolder, name, form, taken) : name;
        if (destName.empty()) continue;
        if (!form) taken.insert(PathKey(name));
        const std::wstring dest = JoinPath(strFolder, destName);
        from += strFile;
        from += L'\0';
        to += dest;
        to += L'\0';
        nItems++;
    }
    if (nItems == 0) return S_FALSE;
    from += L'\0';
    to += L'\0';

    SHFILEOPSTRUCTW op = {};
    op.hwnd = hwndOwner;
    op.wFunc = bMove ? FO_MOVE : FO_COPY;
    op.pFrom = from.c_str();
    op.pTo = to.c_str();
    // One destination per source; no FOF_NOCONFIRMATION, so a taken name is asked about.
    op.fFlags = FOF_MULTIDESTFILES;
    const int result = ::SHFileOperationW(&op);
    if (result == ERROR_CANCELLED || (result != 0 && op.fAnyOperationsAborted)) return HRESULT_FROM_WIN32(ERROR_CANCELLED);
    if (result != 0) return E_FAIL;
    if (bMove && !op.fAnyOperationsAborted) {
        // The cut is used up; another program may have put something else there meanwhile.
        CClipboardFiles now;
        if (now.Read() && now.m_files == m_files && now.m_dwEffect == DROPEFFECT_MOVE && ::OpenClipboard(hwndOwner)) {
            ::EmptyClipboard();
            ::CloseClipboard();
        }
    }
    return S_OK;
}

HRESULT CClipboardFiles::PasteShortcutsInto(const std::wstring& strFolder)
{
    return MakeShortcuts(m_files, strFolder);
}
