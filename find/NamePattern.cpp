#include "find/NamePattern.h"

#include <windows.h>

#include <memory>

namespace {

// One upper-case table for the whole process: a name is folded character by character
// millions of times in a search, and a call into the system for each would cost more
// than the walk itself.
class CFoldTable {
public:
    CFoldTable() : m_table(new wchar_t[kSize])
    {
        for (size_t i = 0; i < kSize; i++) m_table[i] = static_cast<wchar_t>(i);
        // Surrogate halves are not characters on their own: they stay as they are.
        ::CharUpperBuffW(m_table.get() + 1, 0xD800 - 1);
        ::CharUpperBuffW(m_table.get() + 0xE000, static_cast<DWORD>(kSize - 0xE000));
    }
    wchar_t operator[](wchar_t ch) const { return m_table[static_cast<size_t>(ch)]; }

private:
    static const size_t kSize = 0x10000;
    std::unique_ptr<wchar_t[]> m_table;
};

const CFoldTable& Table()
{
    static const CFoldTable s_table;
    return s_table;
}

bool IsSeparator(wchar_t ch)
{
    return ch == L';' || ch == L' ' || ch == L'\t';
}

// Characters that no file name holds (the quote is the patterns' own).
bool IsForbidden(wchar_t ch)
{
    return ch < 0x20 || ch == L'\\' || ch == L'/' || ch == L':' || ch == L'<' || ch == L'>' || ch == L'|';
}

bool IsHighSurrogate(wchar_t ch)
{
    return ch >= 0xD800 && ch <= 0xDBFF;
}

bool IsLowSurrogate(wchar_t ch)
{
    return ch >= 0xDC00 && ch <= 0xDFFF;
}

// Both folded. '*' takes any run, '?' one character (a surrogate pair counts as one). On a
// mismatch after a star the star takes one character more; no backtracking beyond the last
// star is needed, so the cost stays linear for the patterns people write.
bool Glob(const wchar_t* p, const wchar_t* pEnd, const wchar_t* s, const wchar_t* sEnd)
{
    const wchar_t* pStar = nullptr;
    const wchar_t* sStar = nullptr;
    while (s < sEnd) {
        if (p < pEnd && *p == L'*') {
            pStar = ++p;
            sStar = s;
            continue;
        }
        if (p < pEnd && (*p == *s || *p == L'?')) {
            if (*p == L'?' && IsHighSurrogate(*s) && s + 1 < sEnd && IsLowSurrogate(s[1])) ++s;
            ++p;
            ++s;
            continue;
        }
        if (!pStar) return false;
        p = pStar;
        s = ++sStar;
    }
    while (p < pEnd && *p == L'*') ++p;
    return p == pEnd;
}

}  // namespace

wchar_t FoldCase(wchar_t ch)
{
    return Table()[ch];
}

std::wstring FoldCase(std::wstring text)
{
    const CFoldTable& table = Table();
    for (wchar_t& ch : text) ch = table[ch];
    return text;
}

CNamePattern::Error CNamePattern::Parse(const std::wstring& text)
{
    m_patterns.clear();
    m_chBad = 0;
    std::vector<std::wstring> patterns;
    std::wstring current;
    bool bQuoted = false;
    for (size_t i = 0; i <= text.size(); i++) {
        const wchar_t ch = i < text.size() ? text[i] : L'\0';
        if (ch == L'"') {
            bQuoted = !bQuoted;
            continue;
        }
        if (i == text.size() || (!bQuoted && IsSeparator(ch))) {
            if (!current.empty()) patterns.push_back(current);
            current.clear();
            continue;
        }
        if (IsForbidden(ch)) {
            m_chBad = ch;
            return kBadCharacter;
        }
        current += ch;
    }
    if (bQuoted) return kUnbalancedQuote;

    for (std::wstring& pattern : patterns) {
        if (pattern == L"*.*" || pattern.find_first_not_of(L'*') == std::wstring::npos) {
            // Every name: nothing to compare at all.
            m_patterns.clear();
            return kOk;
        }
        if (pattern.find_first_of(L"*?") == std::wstring::npos) pattern = L"*" + pattern + L"*";
        m_patterns.push_back(FoldCase(pattern));
    }
    return kOk;
}

bool CNamePattern::Matches(const wchar_t* pszName, size_t cchName) const
{
    if (m_patterns.empty()) return true;
    // Names are short; a longer one (some file systems allow it) is folded on the heap.
    wchar_t buffer[512];
    std::wstring longName;
    wchar_t* folded = buffer;
    if (cchName > _countof(buffer)) {
        longName.resize(cchName);
        folded = &longName[0];
    }
    const CFoldTable& table = Table();
    for (size_t i = 0; i < cchName; i++) folded[i] = table[pszName[i]];
    for (const std::wstring& pattern : m_patterns) {
        if (Glob(pattern.data(), pattern.data() + pattern.size(), folded, folded + cchName)) return true;
    }
    return false;
}
