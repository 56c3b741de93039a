#include "dialogs/VersionBlock.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace {

// A node: length, value length, (wide form only) type, key, value, children, each of the
// last three starting on a four-byte boundary from the node's start.
struct Node {
    size_t end;       // past the node, never past its parent
    size_t next;      // where the next sibling starts
    size_t value;
    size_t cbValue;
    size_t children;
    std::wstring key;
};

WORD ReadWord(const BYTE* p, size_t at)
{
    WORD w;
    std::memcpy(&w, p + at, sizeof(w));
    return w;
}

size_t Align4(size_t base, size_t at)
{
    return base + ((at - base + 3) & ~static_cast<size_t>(3));
}

bool ReadNode(const BYTE* p, size_t at, size_t limit, bool wide, Node& node)
{
    const size_t unit = wide ? 2 : 1;
    const size_t header = wide ? 6 : 4;
    if (at > limit || limit - at < header) return false;
    const size_t length = ReadWord(p, at);
    if (length < header) return false;
    node.end = std::min(limit, at + length);
    node.next = at + ((length + 3) & ~static_cast<size_t>(3));
    node.key.clear();
    size_t pos = at + header;
    for (;; pos += unit) {
        if (node.end - pos < unit) return false;  // the key runs past the node
        const wchar_t ch = wide ? static_cast<wchar_t>(ReadWord(p, pos)) : static_cast<wchar_t>(p[pos]);
        if (!ch) break;
        node.key += ch;
    }
    const bool text = wide && ReadWord(p, at + 4) == 1;
    const size_t cbValue = static_cast<size_t>(ReadWord(p, at + 2)) * (text ? 2 : 1);
    node.value = std::min(Align4(at, pos + unit), node.end);
    node.cbValue = std::min(cbValue, node.end - node.value);
    node.children = std::min(Align4(at, node.value + cbValue), node.end);
    return true;
}

wchar_t UpperAscii(wchar_t ch)
{
    return ch >= L'a' && ch <= L'z' ? static_cast<wchar_t>(ch - L'a' + L'A') : ch;
}

bool SameKey(const std::wstring& key, const char* part, size_t cch)
{
    if (key.size() != cch) return false;
    for (size_t i = 0; i < cch; i++) {
        if (UpperAscii(key[i]) != UpperAscii(static_cast<wchar_t>(static_cast<BYTE>(part[i])))) return false;
    }
    return true;
}

}  // namespace

BOOL ReadVersionString(const BYTE* p, size_t cb, const char* pszPath, CString& value)
{
    value.Empty();
    if (!p || !pszPath || cb < 5) return FALSE;
    // Where the wide form has its type (0 or 1), the 16-bit form has its key's first letter.
    const bool wide = p[4] < ' ';
    Node node;
    if (!ReadNode(p, 0, cb, wide, node)) return FALSE;
    for (const char* part = pszPath; *part;) {
        const size_t cch = std::strcspn(part, "\\");
        if (cch) {
            Node child;
            bool found = false;
            for (size_t at = node.children; !found && ReadNode(p, at, node.end, wide, child); at = child.next)
                found = SameKey(child.key, part, cch);
            if (!found) return FALSE;
            node = child;
        }
        part += cch;
        if (*part) part++;
    }
    if (wide) {
        std::wstring text;
        for (size_t at = node.value; node.value + node.cbValue - at >= 2 && ReadWord(p, at); at += 2)
            text += static_cast<wchar_t>(ReadWord(p, at));
        if (!text.empty()) {
            const int cbText = ::WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                                                     nullptr, nullptr);
            if (cbText > 0) {
                ::WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), value.GetBuffer(cbText),
                                      cbText, nullptr, nullptr);
                value.ReleaseBuffer(cbText);
            }
        }
    } else {
        const char* text = reinterpret_cast<const char*>(p + node.value);
        const void* end = std::memchr(text, 0, node.cbValue);
        value = CString(text, static_cast<int>(end ? static_cast<const char*>(end) - text : node.cbValue));
    }
    return TRUE;
}
