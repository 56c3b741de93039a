#include "shell/ClipboardFiles.h"

#include <ole2.h>
#include <shellapi.h>
#include <shlobj.h>

#include "shell/ComPtr.h"
#include "shell/DiskItems.h"
#include "shell/FileOperation.h"
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

TransferResult CClipboardFiles::PasteInto(HWND hwndOwner, const std::wstring& strFolder)
{
    const bool bMove = m_dwEffect == DROPEFFECT_MOVE;
    TransferResult result = TransferFilesInto(hwndOwner, bMove ? TransferKind::Move : TransferKind::Copy, m_files, strFolder);
    if (!bMove) return result;
    // The cut is used up once nothing of it is where it was; until then it can be pasted again.
    for (const std::wstring& file : m_files) {
        if (::GetFileAttributesW(file.c_str()) != INVALID_FILE_ATTRIBUTES) return result;
    }
    // Another program may have put something else there meanwhile.
    CClipboardFiles now;
    if (now.Read() && now.m_files == m_files && now.m_dwEffect == DROPEFFECT_MOVE && ::OpenClipboard(hwndOwner)) {
        ::EmptyClipboard();
        ::CloseClipboard();
    }
    return result;
}

TransferResult CClipboardFiles::PasteShortcutsInto(HWND hwndOwner, const std::wstring& strFolder)
{
    return LinkFilesInto(hwndOwner, m_files, strFolder);
}
