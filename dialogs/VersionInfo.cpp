#include "dialogs/VersionInfo.h"

#include "dialogs/TextUtil.h"
#include "dialogs/VersionBlock.h"

// Only this language and code page are read; the resource's translation list
// is not consulted.
const char CVersionInfo::s_szBlockPrefix[] = "\\StringFileInfo\\040904B0\\";

// The order is the order of expansion: a value inserted for one key is
// searched by the keys after it, not by those before.
const char* const CVersionInfo::s_apszKeys[CVersionInfo::s_nKeys] = {
    "Comments",       "FileDescription", "CompanyName",      "FileVersion",
    "InternalName",   "LegalCopyright",  "LegalTrademarks",  "OriginalFilename",
    "PrivateBuild",   "ProductName",     "ProductVersion",   "SpecialBuild",
};

CVersionInfo::CVersionInfo() : m_pVersionData(nullptr), m_cbVersionData(0)
{
    char szPath[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, szPath, MAX_PATH);
    // A truncated name is not the program's file.
    if (n > 0 && n < MAX_PATH) Load(szPath);
}

CVersionInfo::~CVersionInfo()
{
    Free();
}

void CVersionInfo::Free()
{
    delete[] m_pVersionData;
    m_pVersionData = nullptr;
    m_cbVersionData = 0;
}

BOOL CVersionInfo::Load(LPCSTR pszPath)
{
    // A second load replaces the first; a failed one leaves no data behind.
    Free();
    if (!pszPath) return FALSE;

    DWORD dwHandle = 0;
    DWORD dwSize = GetFileVersionInfoSizeA(pszPath, &dwHandle);
    if (dwSize == 0) return FALSE;

    BYTE* pData = new BYTE[dwSize + 1]();
    if (!GetFileVersionInfoA(pszPath, dwHandle, dwSize, pData)) {
        delete[] pData;
        return FALSE;
    }
    m_pVersionData = pData;
    m_cbVersionData = dwSize;
    return TRUE;
}

CString CVersionInfo::GetValue(LPCSTR pszKey) const
{
    if (!m_pVersionData || !pszKey) return CString();

    // A value that is present but empty reads as "no value".
    CString strValue;
    ReadVersionString(m_pVersionData, m_cbVersionData, CString(s_szBlockPrefix) + pszKey, strValue);
    return strValue;
}

CString CVersionInfo::Expand(LPCSTR pszTemplate) const
{
    CString strText(pszTemplate);
    for (int i = 0; i < s_nKeys; ++i) {
        CString strValue = GetValue(s_apszKeys[i]);
        CString strPlaceholder = CString("$") + s_apszKeys[i];
        ReplaceAll(strText, strPlaceholder, strValue, -1);
    }
    return strText;
}
