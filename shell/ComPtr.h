// CComPtr: owns one reference to a COM interface and releases it when it goes.
// A template, so it lives in its header alone.
#pragma once

#include <windows.h>
#include <unknwn.h>

#include <utility>

template <class T>
class CComPtr {
public:
    CComPtr() = default;
    CComPtr(std::nullptr_t) {}
    // Shares the pointer: takes a reference of its own. Use Attach to adopt one.
    explicit CComPtr(T* p) : m_p(p) { if (m_p) m_p->AddRef(); }
    CComPtr(const CComPtr& other) : m_p(other.m_p) { if (m_p) m_p->AddRef(); }
    CComPtr(CComPtr&& other) noexcept : m_p(other.m_p) { other.m_p = nullptr; }
    ~CComPtr() { Release(); }

    CComPtr& operator=(const CComPtr& other)
    {
        // Add before releasing, so that assigning a pointer to itself keeps it alive
        // (and read other first: it may be this very holder).
        T* p = other.m_p;
        if (p) p->AddRef();
        Release();
        m_p = p;
        return *this;
    }
    CComPtr& operator=(CComPtr&& other) noexcept
    {
        if (this != &other) {
            Release();
            m_p = other.m_p;
            other.m_p = nullptr;
        }
        return *this;
    }
    CComPtr& operator=(std::nullptr_t) { Release(); return *this; }

    T* Get() const { return m_p; }
    T* operator->() const { return m_p; }
    operator T*() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }

    // Drops the reference held, if any.
    void Release()
    {
        T* p = m_p;
        m_p = nullptr;
        if (p) p->Release();
    }
    // Adopts a reference the caller already owns.
    void Attach(T* p) { Release(); m_p = p; }
    // Hands the reference over to the caller.
    T* Detach() { T* p = m_p; m_p = nullptr; return p; }

    // Out-parameter adapters for calls that return a new reference: the old one is
    // dropped first, so the holder never overwrites a reference it still owns.
    T** Put() { Release(); return &m_p; }
    void** PutVoid() { Release(); return reinterpret_cast<void**>(&m_p); }

    // QueryInterface into another holder.
    template <class U>
    HRESULT As(REFIID riid, CComPtr<U>& out) const
    {
        if (!m_p) return E_POINTER;
        return m_p->QueryInterface(riid, out.PutVoid());
    }

private:
    T* m_p = nullptr;
};
