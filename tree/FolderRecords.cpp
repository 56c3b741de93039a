#include "tree/FolderRecords.h"

#include <new>

void FolderItemDataDeleter::operator()(FolderItemData* pData) const
{
    if (!pData) return;
    pData->~FolderItemData();
    CComPtr<IMalloc> spMalloc;
    if (SUCCEEDED(SHGetMalloc(spMalloc.Put())) && spMalloc) spMalloc->Free(pData);
}

FolderItemDataPtr NewFolderItemData()
{
    CComPtr<IMalloc> spMalloc;
    if (FAILED(SHGetMalloc(spMalloc.Put())) || !spMalloc) return nullptr;
    void* p = spMalloc->Alloc(sizeof(FolderItemData));
    return FolderItemDataPtr(p ? new (p) FolderItemData : nullptr);
}

const CFolderRecords::Level* CFolderRecords::Find(HTREEITEM hParent) const
{
    auto it = m_levels.find(hParent);
    return it == m_levels.end() || it->second.empty() ? nullptr : &it->second;
}

void CFolderRecords::Add(HTREEITEM hParent, HTREEITEM hItem, FolderItemDataPtr pData)
{
    m_levels[hParent].emplace_back(hItem, std::move(pData));
}

CFolderRecords::Level CFolderRecords::Take(HTREEITEM hParent)
{
    Level level;
    auto it = m_levels.find(hParent);
    if (it != m_levels.end()) {
        level.swap(it->second);
        m_levels.erase(it);
    }
    return level;
}

FolderItemDataPtr CFolderRecords::TakeOne(HTREEITEM hParent, HTREEITEM hItem)
{
    auto it = m_levels.find(hParent);
    if (it == m_levels.end()) return nullptr;
    Level& siblings = it->second;
    for (auto child = siblings.begin(); child != siblings.end(); ++child) {
        if (child->first == hItem) {
            FolderItemDataPtr pData = std::move(child->second);
            siblings.erase(child);
            return pData;
        }
    }
    return nullptr;
}

void CFolderRecords::Clear()
{
    m_levels.clear();
}
