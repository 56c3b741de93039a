// CIdListPtr: owns one item identifier list and gives it back to the shell allocator.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <cstddef>

class CIdListPtr {
public:
    CIdListPtr() = default;
    // Adopts a list the caller owns (a new list returned by the shell or by IdList*).
    explicit CIdListPtr(LPITEMIDLIST pidl) : m_pidl(pidl) {}
    CIdListPtr(const CIdListPtr&) = delete;
    CIdListPtr& operator=(const CIdListPtr&) = delete;
    CIdListPtr(CIdListPtr&& other) noexcept : m_pidl(other.Detach()) {}
    CIdListPtr& operator=(CIdListPtr&& other) noexcept;
    ~CIdListPtr() { Free(); }

    LPITEMIDLIST Get() const { return m_pidl; }
    operator LPITEMIDLIST() const { return m_pidl; }
    explicit operator bool() const { return m_pidl != nullptr; }

    // Frees the list held, if any.
    void Free();
    // Frees the list held and adopts another.
    void Attach(LPITEMIDLIST pidl);
    // Hands the list over to the caller, who then frees it.
    LPITEMIDLIST Detach();

    // Out-parameter adapter for calls that return a new list (ParseDisplayName,
    // IEnumIDList::Next, SetNameOf): frees the list held, then lends the slot.
    LPITEMIDLIST* Put();

private:
    LPITEMIDLIST m_pidl = nullptr;
};
