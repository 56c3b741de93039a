#include "dialogs/TextUtil.h"

#include <climits>
#include <cstring>
#include <functional>
#include <stdexcept>
#include <string>

namespace {

// An empty delimiter would match everywhere without moving on, so an
// iterating caller would never see the end; treat it as never found.
const char* FindDelimiter(const char* from, const char* delimiter, size_t delimLen)
{
    return delimLen ? strstr(from, delimiter) : nullptr;
}

bool PointsInto(const char* p, const char* begin, size_t size)
{
    std::less_equal<const char*> le;
    return le(begin, p) && le(p, begin + size);
}

}  // namespace

const char* GetDelimitedField(const char* source, int index, CString& field, const char* delimiter)
{
    field.Empty();
    if (!source) return nullptr;

    const size_t delimLen = delimiter ? strlen(delimiter) : 0;
    const char* pos = source;
    for (int i = 0; i < index; ++i) {
        const char* hit = FindDelimiter(pos, delimiter, delimLen);
        if (!hit) return nullptr;
        pos = hit + delimLen;
    }

    const char* end = FindDelimiter(pos, delimiter, delimLen);
    if (end) {
        field = CString(pos, static_cast<int>(end - pos));
        return end + delimLen;
    }
    if (index == 0 && *source == '\0') return nullptr;
    end = pos + strlen(pos);
    field = CString(pos, static_cast<int>(end - pos));
    return end;
}

int ReplaceAll(CString& text, const char* find, const char* replacement, int maxCount)
{
    if (!replacement) replacement = "";
    const int textLen = text.GetLength();
    if (textLen == 0 || maxCount == 0 || !find || *find == '\0') return 0;
    if (maxCount < 0) maxCount = textLen + 1;

    // Enlarging or writing into the text would pull the ground from under a
    // find or replacement that points into it.
    std::string findCopy, replacementCopy;
    const char* storage = text;
    if (PointsInto(find, storage, static_cast<size_t>(textLen))) {
        findCopy = find;
        find = findCopy.c_str();
    }
    if (PointsInto(replacement, storage, static_cast<size_t>(textLen))) {
        replacementCopy = replacement;
        replacement = replacementCopy.c_str();
    }

    const size_t findLen = strlen(find);
    const size_t replLen = strlen(replacement);

    // A growing replacement gets one enlargement up front, big enough for the
    // worst case (every character part of a match), so the rest runs in place.
    // The product is taken in 64 bits: in int it can wrap and leave the buffer
    // too small. Where the worst case does not fit a string, the exact size is
    // counted instead.
    bool grown = false;
    if (replLen > findLen) {
        long long bound = static_cast<long long>(replLen) * textLen / static_cast<long long>(findLen) + 1;
        if (bound > INT_MAX - 1) {
            long long matches = 0;
            for (const char* p = strstr(text, find); p && matches < maxCount; p = strstr(p + findLen, find))
                ++matches;
            bound = textLen + matches * static_cast<long long>(replLen - findLen) + 1;
            if (bound > INT_MAX - 1) throw std::length_error("ReplaceAll: result too long");
        }
        text.GetBuffer(static_cast<int>(bound));
        grown = true;
    }

    char* scan = text.GetBuffer(0);
    int count = 0;
    while (count < maxCount) {
        char* hit = strstr(scan, find);
        if (!hit) break;
        if (replLen != findLen) {
            char* rest = hit + findLen;
            memmove(hit + replLen, rest, strlen(rest) + 1);
        }
        memcpy(hit, replacement, replLen);
        scan = hit + replLen;
        ++count;
    }

    text.ReleaseBuffer();
    if (grown) text.FreeExtra();
    return count;
}
