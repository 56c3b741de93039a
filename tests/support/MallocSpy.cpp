#include "MallocSpy.h"

#include <shlobj.h>
#include <shellapi.h>

namespace {

class CLock {
public:
    explicit CLock(CRITICAL_SECTION& cs) : m_cs(cs) { EnterCriticalSection(&m_cs); }
    ~CLock() { LeaveCriticalSection(&m_cs); }
    CLock(const CLock&) = delete;
    CLock& operator=(const CLock&) = delete;

private:
    CRITICAL_SECTION& m_cs;
};

// The first desktop folder and the first icon lookup leave cached blocks alive for
// the rest of the process; they are made before the spy starts counting.
void WarmUpShell()
{
    IShellFolder* pDesktop = nullptr;
    if (SUCCEEDED(SHGetDesktopFolder(&pDesktop)) && pDesktop) pDesktop->Release();

    static const USHORT kDesktop = 0;
    SHFILEINFOA sfi = {};
    SHGetFileInfoA(reinterpret_cast<LPCSTR>(&kDesktop), 0, &sfi, sizeof(sfi),
                   SHGFI_PIDL | SHGFI_SYSICONINDEX | SHGFI_SMALLICON);
    char szTemp[MAX_PATH];
    if (GetTempPathA(MAX_PATH, szTemp))
        SHGetFileInfoA(szTemp, 0, &sfi, sizeof(sfi), SHGFI_SYSICONINDEX | SHGFI_SMALLICON);
}

}  // namespace

CMallocSpy& CMallocSpy::Instance()
{
    // Never destroyed: the allocator may call the spy while the process ends.
    static CMallocSpy* s_pSpy = [] {
        WarmUpShell();
        CMallocSpy* pSpy = new CMallocSpy;
        pSpy->m_bRegistered = SUCCEEDED(CoRegisterMallocSpy(pSpy));
        return pSpy;
    }();
    return *s_pSpy;
}

CMallocSpy::CMallocSpy()
{
    InitializeCriticalSection(&m_cs);
}

LONG CMallocSpy::LiveBlocks()
{
    return CountFrom(0);
}

LONG CMallocSpy::CountFrom(ULONG nFirstSerial)
{
    CLock lock(m_cs);
    LONG n = 0;
    for (const auto& block : m_live)
        if (block.second >= nFirstSerial) ++n;
    return n;
}

ULONG CMallocSpy::SerialOf(const void* pBlock)
{
    CLock lock(m_cs);
    auto it = m_live.find(const_cast<void*>(pBlock));
    return it == m_live.end() ? 0 : it->second;
}

ULONG CMallocSpy::CurrentSerial()
{
    CLock lock(m_cs);
    return m_nNextSerial;
}

CMallocSpy::CScope::CScope() : m_nFirstSerial(CMallocSpy::Instance().CurrentSerial()) {}

LONG CMallocSpy::CScope::Leaked() const
{
    return CMallocSpy::Instance().CountFrom(m_nFirstSerial);
}

HRESULT STDMETHODCALLTYPE CMallocSpy::QueryInterface(REFIID riid, void** ppv)
{
    if (!ppv) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IMallocSpy)) {
        *ppv = static_cast<IMallocSpy*>(this);
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

// The spy lives as long as the process; COM's references do not govern it.
ULONG STDMETHODCALLTYPE CMallocSpy::AddRef() { return 2; }
ULONG STDMETHODCALLTYPE CMallocSpy::Release() { return 1; }

SIZE_T STDMETHODCALLTYPE CMallocSpy::PreAlloc(SIZE_T cbRequest)
{
    return cbRequest;
}

void* STDMETHODCALLTYPE CMallocSpy::PostAlloc(void* pActual)
{
    if (pActual) {
        CLock lock(m_cs);
        m_live[pActual] = m_nNextSerial++;
    }
    return pActual;
}

void* STDMETHODCALLTYPE CMallocSpy::PreFree(void* pRequest, BOOL fSpyed)
{
    if (pRequest && fSpyed) {
        CLock lock(m_cs);
        m_live.erase(pRequest);
    }
    return pRequest;
}

void STDMETHODCALLTYPE CMallocSpy::PostFree(BOOL) {}

SIZE_T STDMETHODCALLTYPE CMallocSpy::PreRealloc(void* pRequest, SIZE_T cbRequest, void** ppNewRequest, BOOL fSpyed)
{
    *ppNewRequest = pRequest;
    CLock lock(m_cs);
    Pending pending = {nullptr, 0, cbRequest};
    if (pRequest && fSpyed) {
        auto it = m_live.find(pRequest);
        if (it != m_live.end()) {
            pending.pOld = pRequest;
            pending.nSerial = it->second;
            m_live.erase(it);
        }
    }
    m_pending[GetCurrentThreadId()] = pending;
    return cbRequest;
}

void* STDMETHODCALLTYPE CMallocSpy::PostRealloc(void* pActual, BOOL)
{
    CLock lock(m_cs);
    auto it = m_pending.find(GetCurrentThreadId());
    Pending pending = {nullptr, 0, 1};
    if (it != m_pending.end()) {
        pending = it->second;
        m_pending.erase(it);
    }
    if (pActual) {
        // A moved block is still the same allocation: it keeps its serial.
        m_live[pActual] = pending.pOld ? pending.nSerial : m_nNextSerial++;
    } else if (pending.pOld && pending.cbRequest != 0) {
        // The reallocation failed; the old block is still there.
        m_live[pending.pOld] = pending.nSerial;
    }
    return pActual;
}

void* STDMETHODCALLTYPE CMallocSpy::PreGetSize(void* pRequest, BOOL) { return pRequest; }
SIZE_T STDMETHODCALLTYPE CMallocSpy::PostGetSize(SIZE_T cbActual, BOOL) { return cbActual; }
void* STDMETHODCALLTYPE CMallocSpy::PreDidAlloc(void* pRequest, BOOL) { return pRequest; }
int STDMETHODCALLTYPE CMallocSpy::PostDidAlloc(void*, BOOL, int fActual) { return fActual; }
void STDMETHODCALLTYPE CMallocSpy::PreHeapMinimize() {}
void STDMETHODCALLTYPE CMallocSpy::PostHeapMinimize() {}
