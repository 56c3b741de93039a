#include "framework/String.h"

#include <algorithm>
#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <cstring>

int CString::Find(char ch, int nStart) const
{
    if (nStart < 0 || nStart > GetLength()) return -1;
    size_t pos = m_s.find(ch, static_cast<size_t>(nStart));
    return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

int CString::Find(const char* psz, int nStart) const
{
    if (!psz || nStart < 0 || nStart > GetLength()) return -1;
    size_t pos = m_s.find(psz, static_cast<size_t>(nStart));
    return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

int CString::ReverseFind(char ch) const
{
    size_t pos = m_s.rfind(ch);
    return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

CString CString::Left(int n) const
{
    n = std::max(0, std::min(n, GetLength()));
    return CString(m_s.substr(0, static_cast<size_t>(n)));
}

CString CString::Mid(int nFirst) const
{
    return Mid(nFirst, GetLength());
}

CString CString::Mid(int nFirst, int nCount) const
{
    nFirst = std::max(0, std::min(nFirst, GetLength()));
    nCount = std::max(0, std::min(nCount, GetLength() - nFirst));
    return CString(m_s.substr(static_cast<size_t>(nFirst), static_cast<size_t>(nCount)));
}

CString CString::Right(int n) const
{
    n = std::max(0, std::min(n, GetLength()));
    return CString(m_s.substr(m_s.size() - static_cast<size_t>(n)));
}

void CString::MakeUpper()
{
    if (!m_s.empty()) CharUpperBuffA(&m_s[0], static_cast<DWORD>(m_s.size()));
}

void CString::MakeLower()
{
    if (!m_s.empty()) CharLowerBuffA(&m_s[0], static_cast<DWORD>(m_s.size()));
}

void CString::TrimLeft()
{
    size_t i = 0;
    while (i < m_s.size() && std::isspace(static_cast<unsigned char>(m_s[i]))) ++i;
    m_s.erase(0, i);
}

void CString::TrimRight()
{
    size_t n = m_s.size();
    while (n > 0 && std::isspace(static_cast<unsigned char>(m_s[n - 1]))) --n;
    m_s.resize(n);
}

char* CString::GetBuffer(int nMinLength)
{
    size_t want = static_cast<size_t>(std::max(nMinLength, 0));
    if (m_s.size() < want) m_s.resize(want, '\0');
    // std::string keeps a terminator at [size()], so the caller may write nMinLength + 1 chars.
    return &m_s[0];
}

void CString::ReleaseBuffer(int nNewLength)
{
    if (nNewLength < 0) {
        nNewLength = static_cast<int>(strnlen(m_s.c_str(), m_s.size()));
    }
    m_s.resize(std::min(static_cast<size_t>(nNewLength), m_s.size()));
}

void CString::Format(const char* fmt, ...)
{
    va_list args;
    va_start(args, fmt);
    FormatV(fmt, args);
    va_end(args);
}

void CString::FormatV(const char* fmt, va_list args)
{
    va_list copy;
    va_copy(copy, args);
    int n = vsnprintf(nullptr, 0, fmt, copy);
    va_end(copy);
    if (n < 0) { m_s.clear(); return; }
    std::string out(static_cast<size_t>(n), '\0');
    vsnprintf(&out[0], static_cast<size_t>(n) + 1, fmt, args);
    m_s.swap(out);
}

BOOL CString::LoadString(UINT nID)
{
    // String resources live in blocks of 16; the longest string is bounded by its 16-bit count.
    char buf[4096];
    int n = ::LoadStringA(GetModuleHandleA(nullptr), nID, buf, sizeof(buf));
    m_s.assign(buf, buf + (n > 0 ? n : 0));
    return n > 0;
}
