#include "frames/WindowText.h"

#include <algorithm>
#include <cstring>

#include "dialogs/TextUtil.h"

namespace {

bool IsBlank(char ch)
{
    return ch == ' ' || ch == '\t' || ch == '\n' || ch == '\v' || ch == '\f' || ch == '\r';
}

// Reads a field as "%lu" does: blanks, an optional sign, then decimal digits; what
// follows the digits is ignored. A minus sign and numbers past 32 bits wrap around
// modulo 2^32, so "-5" comes back as the 32-bit pattern of -5.
bool ReadUnsigned(const char* p, DWORD& value)
{
    while (IsBlank(*p)) ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = *p++ == '-';
    if (*p < '0' || *p > '9') return false;
    DWORD v = 0;
    for (; *p >= '0' && *p <= '9'; ++p) v = v * 10UL + static_cast<DWORD>(*p - '0');
    value = negative ? 0UL - v : v;
    return true;
}

char UpperAscii(char ch)
{
    return (ch >= 'a' && ch <= 'z') ? static_cast<char>(ch - 'a' + 'A') : ch;
}

}  // namespace

LONG WrapToLong(DWORD value)
{
    return value <= 0x7FFFFFFFUL ? static_cast<LONG>(value) : -static_cast<LONG>(~value) - 1;
}

int ReadWindowPlacementString(LPCSTR lpszPlacement, CWindowPlacementFields& fields)
{
    int nFields = 0;
    CString field;
    for (const char* p = GetDelimitedField(lpszPlacement, 0, field, ","); p; p = GetDelimitedField(p, 0, field, ",")) {
        const int index = nFields++;
        DWORD value;
        if (index > 4 || !ReadUnsigned(field, value)) continue;
        switch (index) {
        case 0: fields.rect.left = WrapToLong(value); break;
        case 1: fields.rect.top = WrapToLong(value); break;
        case 2: fields.rect.right = WrapToLong(value); break;
        case 3: fields.rect.bottom = WrapToLong(value); break;
        default: fields.state = value; break;
        }
    }
    return nFields;
}

CString FormatWindowPlacement(const CWindowPlacementFields& fields)
{
    const RECT& rc = fields.rect;
    CString text;
    text.Format("%d,%d,%d,%d,%lu", static_cast<int>(rc.left), static_cast<int>(rc.top), static_cast<int>(rc.right),
                static_cast<int>(rc.bottom), static_cast<unsigned long>(fields.state));
    return text;
}

CString PrepareDocumentText(LPCSTR lpszText)
{
    const char* p = lpszText ? lpszText : "";
    if (*p == '"') ++p;
    size_t length = 0;
    while (length < MAX_PATH - 1 && p[length]) ++length;
    CString text(p, static_cast<int>(length));
    int quote = text.ReverseFind('"');
    if (quote >= 0) text = text.Left(quote);
    return text;
}

void SplitDocumentText(LPCSTR lpszText, CString& folder, CString& placement)
{
    const char* pRest = GetDelimitedField(lpszText, 0, folder, ",");
    placement = pRest ? pRest : "";
}

const char kWindowRecordPrefix[] = "Window";

DWORD WindowRecordNumber(const char* name)
{
    for (const char* prefix = kWindowRecordPrefix; *prefix; ++prefix, ++name) {
        if (UpperAscii(*name) != UpperAscii(*prefix)) return 0;
    }
    DWORD n = 0;
    int digits = 0;
    for (; *name; ++name) {
        if (*name < '0' || *name > '9' || ++digits > 9) return 0;
        n = n * 10 + static_cast<DWORD>(*name - '0');
    }
    return n;
}

CString WindowRecordName(DWORD number)
{
    CString name;
    name.Format("%s%lu", kWindowRecordPrefix, static_cast<unsigned long>(number));
    return name;
}

CString WindowRecordText(const BYTE* data, DWORD cb)
{
    const char* text = reinterpret_cast<const char*>(data);
    const void* end = cb ? std::memchr(text, 0, cb) : nullptr;
    return CString(text, static_cast<int>(end ? static_cast<const char*>(end) - text : cb));
}

std::vector<CString> OrderWindowRecord(std::vector<std::pair<DWORD, CString>> entries)
{
    std::stable_sort(entries.begin(), entries.end(),
                     [](const std::pair<DWORD, CString>& a, const std::pair<DWORD, CString>& b) {
                         return a.first < b.first;
                     });
    std::vector<CString> texts;
    for (auto& entry : entries) texts.push_back(entry.second);
    return texts;
}
