#include "dialogs/VersionInfo.h"

#include "dialogs/TextUtil.h"

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

CVersionInfo::CVersionInfo() : m_pVersionData(nullptr)
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
    return TRUE;
}

CString CVersionInfo::GetValue(LPCSTR pszKey) const
{
    if (!m_pVersionData || !pszKey) return CString();

    CString strSubBlock = CString(s_szBlockPrefix) + pszKey;
    LPVOID pValue = nullptr;
    UINT uLen = 0;
    // A value that is present but empty may come back with length 1 and an
    // empty text; both read as "no value".
    if (!VerQueryValueA(m_pVersionData, strSubBlock, &pValue, &uLen) || !pValue || uLen == 0)
        return CString();
    return CString(static_cast<const char*>(pValue));
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
