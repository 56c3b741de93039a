#include "framework/OleDropSource.h"

HRESULT COleDropSource::DoDragDrop(IDataObject* pData, DWORD dwAllowed, DWORD* pdwEffect)
{
    COleDropSource source;
    source.m_dwButton = ::GetKeyState(VK_RBUTTON) < 0 && ::GetKeyState(VK_LBUTTON) >= 0 ? MK_RBUTTON : MK_LBUTTON;
    DWORD dwEffect = DROPEFFECT_NONE;
    const HRESULT hr = ::DoDragDrop(pData, &source, dwAllowed, &dwEffect);
    if (pdwEffect) *pdwEffect = hr == DRAGDROP_S_DROP ? dwEffect : DROPEFFECT_NONE;
    return hr;
}

HRESULT COleDropSource::QueryInterface(REFIID riid, void** ppv)
{
    if (!ppv) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDropSource)) {
        *ppv = static_cast<IDropSource*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

ULONG COleDropSource::AddRef()
{
    return static_cast<ULONG>(::InterlockedIncrement(&m_nRef));
}

ULONG COleDropSource::Release()
{
    return static_cast<ULONG>(::InterlockedDecrement(&m_nRef));
}

HRESULT COleDropSource::QueryContinueDrag(BOOL fEscapePressed, DWORD grfKeyState)
{
    if (fEscapePressed) return DRAGDROP_S_CANCEL;
    // The other button pressed as well cancels, as in the shell's own drags.
    const DWORD dwOther = m_dwButton == MK_LBUTTON ? MK_RBUTTON : MK_LBUTTON;
    if (grfKeyState & dwOther) return DRAGDROP_S_CANCEL;
    if (!(grfKeyState & m_dwButton)) return DRAGDROP_S_DROP;
    return S_OK;
}

HRESULT COleDropSource::GiveFeedback(DWORD)
{
    return DRAGDROP_S_USEDEFAULTCURSORS;
}
