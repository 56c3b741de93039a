// CDocManager: the application's list of document templates and the commands
// that open documents through them; also the recent-documents list.
#pragma once

#include <vector>

#include "framework/Object.h"
#include "framework/String.h"

class CDocTemplate;
class CDocument;

class CDocManager : public CObject {
    DECLARE_DYNAMIC(CDocManager)
public:
    CDocManager() = default;
    ~CDocManager() override;

    virtual void AddDocTemplate(CDocTemplate* pTemplate);
    const std::vector<CDocTemplate*>& GetTemplates() const { return m_templateList; }
    virtual CDocument* OpenDocumentFile(LPCSTR lpszFileName);
    virtual void OnFileNew();
    virtual void OnFileOpen();
    virtual BOOL SaveAllModified();
    virtual void CloseAllDocuments(BOOL bEndSession);
    virtual int GetOpenDocumentCount();

protected:
    std::vector<CDocTemplate*> m_templateList;
};

// The most recently opened documents, kept in the settings profile.
class CRecentFileList {
public:
    CRecentFileList(LPCSTR lpszSection, LPCSTR lpszEntryFormat, int nSize);
    void Add(LPCSTR lpszPathName);
    void Remove(int nIndex);
    int GetSize() const { return m_nSize; }
    const CString& operator[](int nIndex) const { return m_arrNames[static_cast<size_t>(nIndex)]; }
    void ReadList();
    void WriteList();

private:
    CString m_strSection;
    CString m_strEntryFormat;
    int m_nSize;
    std::vector<CString> m_arrNames;
};
