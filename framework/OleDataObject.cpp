#include "framework/OleDataObject.h"

void COleDataObject::Attach(IDataObject* pDataObject, BOOL bAutoRelease)
{
    Release();
    m_lpDataObject = pDataObject;
    m_bAutoRelease = bAutoRelease;
}

IDataObject* COleDataObject::Detach()
{
    IDataObject* p = m_lpDataObject;
    m_lpDataObject = nullptr;
    return p;
}

void COleDataObject::Release()
{
    IDataObject* p = Detach();
    if (p && m_bAutoRelease) p->Release();
}

IDataObject* COleDataObject::GetIDataObject(BOOL bAddRef) const
{
    if (m_lpDataObject && bAddRef) m_lpDataObject->AddRef();
    return m_lpDataObject;
}
