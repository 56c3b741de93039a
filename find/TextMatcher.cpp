#include "find/TextMatcher.h"

#include <cstring>

namespace {

// Read in blocks of this size: large enough that the calls cost little beside the scan.
const size_t kBlock = 256 * 1024;

enum Encoding { kAnsi, kUtf16, kUtf8 };

// The bytes of one character (one UTF-16 unit, or a surrogate pair) in an encoding; 0 when
// the encoding cannot hold it.
int Encode(Encoding encoding, const wchar_t* pch, int cch, BYTE* out)
{
    if (encoding == kUtf16) {
        for (int i = 0; i < cch; i++) {
            out[2 * i] = static_cast<BYTE>(pch[i] & 0xFF);
            out[2 * i + 1] = static_cast<BYTE>(pch[i] >> 8);
        }
        return 2 * cch;
    }
    if (encoding == kUtf8) {
        return ::WideCharToMultiByte(CP_UTF8, 0, pch, cch, reinterpret_cast<char*>(out), 4, nullptr, nullptr);
    }
    BOOL bDefault = FALSE;
    const int n = ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, pch, cch, reinterpret_cast<char*>(out), 4,
                                        nullptr, &bDefault);
    return bDefault ? 0 : n;
}

}  // namespace

BOOL CTextMatcher::Prepare(const std::wstring& text)
{
    m_forms.clear();
    std::memset(m_bFirst, 0, sizeof(m_bFirst));
    m_cbLongest = 0;
    if (text.empty()) return FALSE;

    for (Encoding encoding : {kAnsi, kUtf16, kUtf8}) {
        Form form;
        bool bWhole = true;
        for (size_t i = 0; i < text.size() && bWhole;) {
            const int cch = (text[i] >= 0xD800 && text[i] <= 0xDBFF && i + 1 < text.size()) ? 2 : 1;
            wchar_t cases[2][2] = {{text[i], cch == 2 ? text[i + 1] : L'\0'}, {text[i], cch == 2 ? text[i + 1] : L'\0'}};
            ::CharUpperBuffW(cases[0], static_cast<DWORD>(cch));
            ::CharLowerBuffW(cases[1], static_cast<DWORD>(cch));
            Unit unit = {};
            int nAlternatives = 0;
            for (int c = 0; c < 2; c++) {
                BYTE bytes[8];
                const int cb = Encode(encoding, cases[c], cch, bytes);
                if (cb <= 0 || cb > 4) continue;
                if (nAlternatives == 1 && unit.cb[0] == cb && std::memcmp(unit.bytes[0], bytes, cb) == 0) continue;
                unit.cb[nAlternatives] = static_cast<BYTE>(cb);
                std::memcpy(unit.bytes[nAlternatives], bytes, cb);
                nAlternatives++;
            }
            if (nAlternatives == 0) {
                bWhole = false;  // this encoding cannot hold the text
                break;
            }
            if (nAlternatives == 1) {
                unit.cb[1] = unit.cb[0];
                std::memcpy(unit.bytes[1], unit.bytes[0], 4);
            }
            form.push_back(unit);
            i += static_cast<size_t>(cch);
        }
        if (!bWhole || form.empty()) continue;
        // ASCII text has the same bytes in the ANSI code page and in UTF-8: one form will do.
        bool bKnown = false;
        for (const Form& known : m_forms) {
            bKnown = bKnown || (known.size() == form.size() &&
                                std::memcmp(known.data(), form.data(), form.size() * sizeof(Unit)) == 0);
        }
        if (bKnown) continue;
        size_t cb = 0;
        for (const Unit& unit : form) cb += unit.cb[0] > unit.cb[1] ? unit.cb[0] : unit.cb[1];
        if (cb > m_cbLongest) m_cbLongest = cb;
        m_bFirst[form[0].bytes[0][0]] = true;
        m_bFirst[form[0].bytes[1][0]] = true;
        m_forms.push_back(form);
    }
    return !m_forms.empty();
}

bool CTextMatcher::MatchAt(const Form& form, const BYTE* p, const BYTE* pEnd)
{
    for (const Unit& unit : form) {
        const size_t left = static_cast<size_t>(pEnd - p);
        if (unit.cb[0] <= left && std::memcmp(p, unit.bytes[0], unit.cb[0]) == 0) {
            p += unit.cb[0];
        } else if (unit.cb[1] <= left && std::memcmp(p, unit.bytes[1], unit.cb[1]) == 0) {
            p += unit.cb[1];
        } else {
            return false;
        }
    }
    return true;
}

bool CTextMatcher::Search(const BYTE* pBytes, size_t cb) const
{
    const BYTE* pEnd = pBytes + cb;
    for (const BYTE* p = pBytes; p < pEnd; ++p) {
        if (!m_bFirst[*p]) continue;
        for (const Form& form : m_forms) {
            if (MatchAt(form, p, pEnd)) return true;
        }
    }
    return false;
}

TextFound FileContainsText(const std::wstring& path, const CTextMatcher& matcher, const std::atomic<bool>& stop,
                           std::vector<BYTE>& buffer)
{
    if (matcher.IsEmpty()) return TextFound::kNo;
    HANDLE hFile = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                 nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (hFile == INVALID_HANDLE_VALUE) return TextFound::kUnreadable;
    const size_t overlap = matcher.Overlap();
    if (buffer.size() < kBlock + overlap) buffer.resize(kBlock + overlap);
    TextFound result = TextFound::kNo;
    size_t kept = 0;  // bytes of the last block's end, at the buffer's start
    for (;;) {
        if (stop.load(std::memory_order_relaxed)) {
            result = TextFound::kStopped;
            break;
        }
        DWORD got = 0;
        if (!::ReadFile(hFile, buffer.data() + kept, static_cast<DWORD>(kBlock), &got, nullptr)) {
            result = TextFound::kUnreadable;
            break;
        }
        if (got == 0) break;
        const size_t cb = kept + got;
        if (matcher.Search(buffer.data(), cb)) {
            result = TextFound::kYes;
            break;
        }
        kept = overlap < cb ? overlap : cb;
        std::memmove(buffer.data(), buffer.data() + cb - kept, kept);
    }
    ::CloseHandle(hFile);
    return result;
}
