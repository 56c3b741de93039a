#include "shell/IdListPtr.h"

CIdListPtr& CIdListPtr::operator=(CIdListPtr&& other) noexcept
{
    if (this != &other) Attach(other.Detach());
    return *this;
}

void CIdListPtr::Free()
{
    LPITEMIDLIST pidl = m_pidl;
    m_pidl = nullptr;
    if (!pidl) return;
    IMalloc* pMalloc = nullptr;
    if (SUCCEEDED(SHGetMalloc(&pMalloc)) && pMalloc) {
        pMalloc->Free(pidl);
        pMalloc->Release();
    }
}

void CIdListPtr::Attach(LPITEMIDLIST pidl)
{
    if (pidl == m_pidl) return;
    Free();
    m_pidl = pidl;
}

LPITEMIDLIST CIdListPtr::Detach()
{
    LPITEMIDLIST pidl = m_pidl;
    m_pidl = nullptr;
    return pidl;
}

LPITEMIDLIST* CIdListPtr::Put()
{
    Free();
    return &m_pidl;
}
