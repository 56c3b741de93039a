// The few Win32 types and calls the parsers use, for the native build of the fuzz targets.
// Sizes follow Windows (LONG and DWORD are 32 bits); the text conversions model a double-byte
// code page (Shift-JIS lead bytes) so that the code paths for such names run too. Calls that
// ask the file system are declared here and defined by the target that drives them.
#pragma once

#include <cctype>
#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <cwchar>
#include <cwctype>
#include <strings.h>

typedef int BOOL;
typedef int INT;
typedef unsigned char BYTE;
typedef uint16_t WORD, USHORT;
typedef uint32_t DWORD, UINT;
typedef int32_t LONG;
typedef size_t SIZE_T;
typedef wchar_t WCHAR;
typedef char* LPSTR;
typedef const char* LPCSTR;
typedef wchar_t* LPWSTR;
typedef const wchar_t* LPCWSTR;
typedef void* HMODULE;

#define TRUE 1
#define FALSE 0
#define MAX_PATH 260
#define CP_ACP 0
#define CSTR_LESS_THAN 1
#define CSTR_EQUAL 2
#define CSTR_GREATER_THAN 3
#define INVALID_FILE_ATTRIBUTES 0xFFFFFFFFu
#define FILE_ATTRIBUTE_DIRECTORY 0x10u
#define DROPEFFECT_COPY 1u
#define DROPEFFECT_MOVE 2u
#define STRRET_WSTR 0
#define STRRET_OFFSET 1
#define STRRET_CSTR 2

struct POINT { LONG x, y; };
struct RECT { LONG left, top, right, bottom; };
struct DROPFILES { DWORD pFiles; POINT pt; BOOL fNC; BOOL fWide; };
struct SHITEMID { USHORT cb; BYTE abID[1]; };
struct ITEMIDLIST { SHITEMID mkid; };
typedef ITEMIDLIST* LPITEMIDLIST;
typedef const ITEMIDLIST* LPCITEMIDLIST;
// Laid out as on 32-bit Windows: the text field ends the structure, with no padding after it.
#pragma pack(push, 4)
struct STRRET {
    UINT uType;
    union { LPWSTR pOleStr; UINT uOffset; char cStr[MAX_PATH]; };
};
#pragma pack(pop)
struct IMalloc;
struct IShellFolder;

inline HMODULE GetModuleHandleA(LPCSTR) { return nullptr; }
inline int LoadStringA(HMODULE, UINT, LPSTR, int) { return 0; }
inline int lstrcmpA(LPCSTR a, LPCSTR b) { return strcmp(a, b); }
inline int lstrcmpiA(LPCSTR a, LPCSTR b) { return strcasecmp(a, b); }

inline DWORD CharUpperBuffW(LPWSTR p, DWORD n)
{
    for (DWORD i = 0; i < n; i++) p[i] = static_cast<wchar_t>(towupper(static_cast<wint_t>(p[i])));
    return n;
}

inline DWORD CharUpperBuffA(LPSTR p, DWORD n)
{
    for (DWORD i = 0; i < n; i++) p[i] = static_cast<char>(toupper(static_cast<unsigned char>(p[i])));
    return n;
}

inline DWORD CharLowerBuffA(LPSTR p, DWORD n)
{
    for (DWORD i = 0; i < n; i++) p[i] = static_cast<char>(tolower(static_cast<unsigned char>(p[i])));
    return n;
}

inline int CompareStringOrdinal(LPCWSTR a, int na, LPCWSTR b, int nb, BOOL ignoreCase)
{
    for (int i = 0; i < na && i < nb; i++) {
        wint_t x = static_cast<wint_t>(a[i]), y = static_cast<wint_t>(b[i]);
        if (ignoreCase) x = towupper(x), y = towupper(y);
        if (x != y) return x < y ? CSTR_LESS_THAN : CSTR_GREATER_THAN;
    }
    return na == nb ? CSTR_EQUAL : na < nb ? CSTR_LESS_THAN : CSTR_GREATER_THAN;
}

inline BOOL IsDBCSLeadByte(BYTE b)
{
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// A lead byte and the byte after it make one character; every other byte is one.
inline int MultiByteToWideChar(UINT, DWORD, LPCSTR src, int cb, LPWSTR dst, int cch)
{
    if (cb < 0) cb = static_cast<int>(strlen(src)) + 1;
    int n = 0;
    for (int i = 0; i < cb; i++, n++) {
        const BYTE b = static_cast<BYTE>(src[i]);
        wchar_t ch = b;
        if (IsDBCSLeadByte(b) && i + 1 < cb) ch = static_cast<wchar_t>(b << 8 | static_cast<BYTE>(src[++i]));
        if (cch) {
            if (n >= cch) return 0;
            dst[n] = ch;
        }
    }
    return n;
}

inline int WideCharToMultiByte(UINT, DWORD, LPCWSTR src, int cch, LPSTR dst, int cb, LPCSTR, BOOL*)
{
    if (cch < 0) cch = static_cast<int>(wcslen(src)) + 1;
    int n = 0;
    for (int i = 0; i < cch; i++) {
        const DWORD ch = static_cast<DWORD>(src[i]);
        BYTE out[2] = {static_cast<BYTE>(ch), 0};
        int w = 1;
        if (ch > 0xFF) {
            if (ch <= 0xFFFF && IsDBCSLeadByte(static_cast<BYTE>(ch >> 8)) && (ch & 0xFF) >= 0x40) out[0] = static_cast<BYTE>(ch >> 8), out[1] = static_cast<BYTE>(ch), w = 2;
            else out[0] = '?';
        }
        if (cb) {
            if (n + w > cb) return 0;
            memcpy(dst + n, out, static_cast<size_t>(w));
        }
        n += w;
    }
    return n;
}

DWORD GetFileAttributesA(LPCSTR path);
DWORD GetFullPathNameW(LPCWSTR path, DWORD cch, LPWSTR buffer, LPWSTR* filePart);
DWORD GetLongPathNameW(LPCWSTR path, LPWSTR buffer, DWORD cch);
BOOL GetVolumePathNameW(LPCWSTR path, LPWSTR buffer, DWORD cch);
