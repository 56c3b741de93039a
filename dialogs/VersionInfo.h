// Reads the string values of a file's version resource and expands templates
// in which "$Key" stands for the value of one of the twelve standard keys.
#pragma once

#include "framework/Object.h"
#include "framework/String.h"

class CVersionInfo : public CObject {
public:
    // Loads the version block of the program's own executable.
    CVersionInfo();
    ~CVersionInfo() override;

    CVersionInfo(const CVersionInfo&) = delete;
    CVersionInfo& operator=(const CVersionInfo&) = delete;

    // Nonzero when the file has a version block and it was read.
    BOOL Load(LPCSTR pszPath);
    // The key's value in the U.S. English, Unicode string table; empty when none.
    CString GetValue(LPCSTR pszKey) const;
    // Replaces "$Key" for each key of the table, in table order.
    CString Expand(LPCSTR pszTemplate) const;

    static const char s_szBlockPrefix[];
    static const int s_nKeys = 12;
    static const char* const s_apszKeys[s_nKeys];

private:
    void Free();

    BYTE* m_pVersionData;
    DWORD m_cbVersionData;
};
