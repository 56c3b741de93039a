// The names a search looks for: one or more patterns separated by semicolons or blanks
// ("*.txt; *.log readme"), compared with names without regard to case. A pattern holds the
// wildcards * (any run of characters) and ? (one character); a pattern without either is
// looked for anywhere in a name, as users of a find box expect ("report" finds
// "Annual report.doc"). Quotes keep blanks inside one pattern ("my file*"). "*.*" means every
// name, with or without a dot. No pattern at all matches every name.
#pragma once

#include <string>
#include <vector>

class CNamePattern {
public:
    enum Error {
        kOk,
        kBadCharacter,     // a character no file name can hold (BadCharacter says which)
        kUnbalancedQuote,  // a quote that is never closed
    };

    // Reads the patterns; on an error the object matches every name, as an empty one does.
    Error Parse(const std::wstring& text);
    wchar_t BadCharacter() const { return m_chBad; }

    bool MatchesAll() const { return m_patterns.empty(); }
    // Whether the name (without its folder) matches any pattern.
    bool Matches(const wchar_t* pszName, size_t cchName) const;
    bool Matches(const std::wstring& name) const { return Matches(name.c_str(), name.size()); }

private:
    std::vector<std::wstring> m_patterns;  // folded to upper case
    wchar_t m_chBad = 0;
};

// The upper-case form of a character by which names are compared without regard to case
// (the same table for every thread; surrogates map to themselves).
wchar_t FoldCase(wchar_t ch);
// The whole text folded.
std::wstring FoldCase(std::wstring text);
