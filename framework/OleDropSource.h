// COleDropSource: the source side of an OLE drag run by DoDragDrop: the drag goes on while
// the button that started it is held, drops when it is let go and ends on Escape; the
// system's cursors show the effect.
#pragma once

#include <windows.h>
#include <ole2.h>

class COleDropSource : public IDropSource {
public:
    COleDropSource() = default;
    virtual ~COleDropSource() = default;
    COleDropSource(const COleDropSource&) = delete;
    COleDropSource& operator=(const COleDropSource&) = delete;

    // Runs the drag of the data with the effects allowed; returns DoDragDrop's answer
    // (DRAGDROP_S_DROP, DRAGDROP_S_CANCEL or a failure) and the effect of the drop.
    static HRESULT DoDragDrop(IDataObject* pData, DWORD dwAllowed, DWORD* pdwEffect);

    // IUnknown: a stack object; the count only guards against misuse.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL fEscapePressed, DWORD grfKeyState) override;
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD dwEffect) override;

private:
    LONG m_nRef = 1;
    DWORD m_dwButton = 0;  // the button that started the drag (MK_LBUTTON or MK_RBUTTON)
};
