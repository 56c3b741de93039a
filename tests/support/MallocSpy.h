// CMallocSpy: counts the blocks of the COM task allocator (which is also the shell's)
// that are alive, so tests can promise that nothing is left behind.
//
//   CMallocSpy::CScope scope;   // after the setup the test does not care about
//   ... code under test, with every holder gone ...
//   EXPECT_EQ(0, scope.Leaked());
//
// The spy is registered once per process on first use, after warming up the shell's
// caches that stay alive for good; it is never revoked.
#pragma once

#include <windows.h>
#include <objidl.h>

#include <map>

class CMallocSpy : public IMallocSpy {
public:
    static CMallocSpy& Instance();

    // Blocks allocated while the spy was registered and not yet freed.
    LONG LiveBlocks();
    // The serial of this block while it is alive (allocated while the spy was registered),
    // else 0. A block freed and another made at the same address has another serial.
    ULONG SerialOf(const void* pBlock);
    // Whether registration succeeded; counts are meaningless otherwise.
    bool IsRegistered() const { return m_bRegistered; }

    // Blocks allocated since this scope began that are still alive. Frees of older
    // blocks do not hide a new one left behind.
    class CScope {
    public:
        CScope();
        LONG Leaked() const;

    private:
        ULONG m_nFirstSerial;
    };

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IMallocSpy
    SIZE_T STDMETHODCALLTYPE PreAlloc(SIZE_T cbRequest) override;
    void* STDMETHODCALLTYPE PostAlloc(void* pActual) override;
    void* STDMETHODCALLTYPE PreFree(void* pRequest, BOOL fSpyed) override;
    void STDMETHODCALLTYPE PostFree(BOOL fSpyed) override;
    SIZE_T STDMETHODCALLTYPE PreRealloc(void* pRequest, SIZE_T cbRequest, void** ppNewRequest, BOOL fSpyed) override;
    void* STDMETHODCALLTYPE PostRealloc(void* pActual, BOOL fSpyed) override;
    void* STDMETHODCALLTYPE PreGetSize(void* pRequest, BOOL fSpyed) override;
    SIZE_T STDMETHODCALLTYPE PostGetSize(SIZE_T cbActual, BOOL fSpyed) override;
    void* STDMETHODCALLTYPE PreDidAlloc(void* pRequest, BOOL fSpyed) override;
    int STDMETHODCALLTYPE PostDidAlloc(void* pRequest, BOOL fSpyed, int fActual) override;
    void STDMETHODCALLTYPE PreHeapMinimize() override;
    void STDMETHODCALLTYPE PostHeapMinimize() override;

private:
    CMallocSpy();
    ~CMallocSpy() = default;
    CMallocSpy(const CMallocSpy&) = delete;
    CMallocSpy& operator=(const CMallocSpy&) = delete;

    LONG CountFrom(ULONG nFirstSerial);
    ULONG CurrentSerial();

    // A reallocation in flight on one thread: the old block and its serial.
    struct Pending {
        void* pOld;
        ULONG nSerial;
        SIZE_T cbRequest;
    };

    CRITICAL_SECTION m_cs;
    std::map<void*, ULONG> m_live;      // block -> serial at allocation
    std::map<DWORD, Pending> m_pending; // thread -> reallocation in flight
    ULONG m_nNextSerial = 1;
    bool m_bRegistered = false;
};
