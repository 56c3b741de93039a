// Text looked for in the bytes of files, without regard to case, in the three forms a text
// file holds it here: the ANSI code page, UTF-16 (little-endian) and UTF-8.
#pragma once

#include <windows.h>

#include <atomic>
#include <string>
#include <vector>

class CTextMatcher {
public:
    // Prepares the forms of the text; FALSE for an empty text (which matches nothing).
    // A character the ANSI code page lacks leaves the ANSI form out.
    BOOL Prepare(const std::wstring& text);
    bool IsEmpty() const { return m_forms.empty(); }

    // Whether the bytes hold the text in any of its forms.
    bool Search(const BYTE* pBytes, size_t cb) const;
    // How many bytes at the end of one block the next must see again, so that a match
    // across the boundary is found.
    size_t Overlap() const { return m_cbLongest ? m_cbLongest - 1 : 0; }

private:
    // One character of the text in one form: its upper- and lower-case bytes.
    struct Unit {
        BYTE cb[2];
        BYTE bytes[2][4];
    };
    typedef std::vector<Unit> Form;

    static bool MatchAt(const Form& form, const BYTE* p, const BYTE* pEnd);

    std::vector<Form> m_forms;
    bool m_bFirst[256] = {};  // bytes that may begin a match in any form
    size_t m_cbLongest = 0;
};

// What reading a file for the text found.
enum class TextFound { kYes, kNo, kUnreadable, kStopped };

// Reads the file in blocks and looks for the text; stops between blocks when asked.
// buffer is the caller's, reused from file to file.
TextFound FileContainsText(const std::wstring& path, const CTextMatcher& matcher, const std::atomic<bool>& stop,
                           std::vector<BYTE>& buffer);
