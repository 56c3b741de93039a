// CString: an 8-bit, value-semantics string with the buffer protocol of the
// classic framework (GetBuffer / ReleaseBuffer) so that Win32 calls can write into it.
#pragma once

#include <windows.h>
#include <string>

class CString {
public:
    CString() = default;
    CString(const char* psz) { if (psz) m_s = psz; }
    CString(const char* pch, int nLength) : m_s(pch, pch + (nLength > 0 ? nLength : 0)) {}
    CString(char ch, int nRepeat = 1) : m_s(static_cast<size_t>(nRepeat > 0 ? nRepeat : 0), ch) {}
    CString(const std::string& s) : m_s(s) {}

    int GetLength() const { return static_cast<int>(m_s.size()); }
    bool IsEmpty() const { return m_s.empty(); }
    void Empty() { m_s.clear(); }
    char GetAt(int i) const { return m_s[static_cast<size_t>(i)]; }
    char operator[](int i) const { return GetAt(i); }
    void SetAt(int i, char ch) { m_s[static_cast<size_t>(i)] = ch; }

    operator LPCSTR() const { return m_s.c_str(); }
    LPCSTR GetString() const { return m_s.c_str(); }
    const std::string& str() const { return m_s; }

    CString& operator=(const char* psz) { m_s = psz ? psz : ""; return *this; }
    CString& operator=(char ch) { m_s.assign(1, ch); return *this; }
    CString& operator+=(const char* psz) { if (psz) m_s += psz; return *this; }
    CString& operator+=(const CString& s) { m_s += s.m_s; return *this; }
    CString& operator+=(char ch) { m_s += ch; return *this; }

    friend CString operator+(const CString& a, const CString& b) { return CString(a.m_s + b.m_s); }
    friend CString operator+(const CString& a, const char* b) { CString r(a); r += b; return r; }
    friend CString operator+(const char* a, const CString& b) { CString r(a); r += b; return r; }
    friend CString operator+(const CString& a, char b) { CString r(a); r += b; return r; }

    friend bool operator==(const CString& a, const CString& b) { return a.m_s == b.m_s; }
    friend bool operator==(const CString& a, const char* b) { return a.m_s == (b ? b : ""); }
    friend bool operator==(const char* a, const CString& b) { return b == a; }
    friend bool operator!=(const CString& a, const CString& b) { return !(a == b); }
    friend bool operator!=(const CString& a, const char* b) { return !(a == b); }
    friend bool operator!=(const char* a, const CString& b) { return !(b == a); }
    friend bool operator<(const CString& a, const CString& b) { return a.m_s < b.m_s; }

    int Compare(const char* psz) const { return lstrcmpA(m_s.c_str(), psz ? psz : ""); }
    int CompareNoCase(const char* psz) const { return lstrcmpiA(m_s.c_str(), psz ? psz : ""); }

    int Find(char ch, int nStart = 0) const;
    int Find(const char* psz, int nStart = 0) const;
    int ReverseFind(char ch) const;
    CString Left(int n) const;
    CString Mid(int nFirst) const;
    CString Mid(int nFirst, int nCount) const;
    CString Right(int n) const;
    void MakeUpper();
    void MakeLower();
    void TrimLeft();
    void TrimRight();

    // Returns a writable buffer of at least nMinLength characters plus a terminator.
    // The string's length is undefined until ReleaseBuffer.
    char* GetBuffer(int nMinLength = 0);
    // nNewLength < 0: the length is taken from the terminating zero.
    void ReleaseBuffer(int nNewLength = -1);
    // Gives back storage beyond the current length.
    void FreeExtra() { m_s.shrink_to_fit(); }

    void Format(const char* fmt, ...);
    void FormatV(const char* fmt, va_list args);
    // Loads a string resource; FALSE (and empty) when it does not exist.
    BOOL LoadString(UINT nID);

private:
    std::string m_s;
};
