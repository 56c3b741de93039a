// Field extraction and in-place replacement on 8-bit, zero-terminated text.
// Both match substrings exactly, with case distinction.
#pragma once

#include "framework/String.h"

// Puts field number `index` (from 0) of `source` into `field`, fields being
// separated by `delimiter`. Returns where the text after the field goes on
// (just past its delimiter, or the terminating zero), or null when there is no
// such field; `field` is then empty. Iterate by calling with index 0 and the
// returned position until null.
const char* GetDelimitedField(const char* source, int index, CString& field, const char* delimiter);

// Replaces occurrences of `find` in `text` by `replacement`, left to right and
// without rescanning inserted text, at most `maxCount` times (negative: no
// limit). Returns the number of replacements.
int ReplaceAll(CString& text, const char* find, const char* replacement, int maxCount);
