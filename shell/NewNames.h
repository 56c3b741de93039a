// Whether a name the user typed can be given to an item as it is. The system would change
// some names rather than refuse them (a trailing dot or blank dropped, a long path cut), and
// a separator would move the item elsewhere: such names are refused before the shell sees them.
#pragma once

#include <string>

enum class NameProblem {
    None,
    Forbidden,       // a character names cannot hold (\ / : * ? " < > | or a control character)
    TrailingDot,     // ends in a dot or a blank, which the system drops
    TooLong,         // the item's path would not fit
};

// folder: the full path of the folder the item is in (empty where the item has none).
NameProblem CheckNewName(const std::wstring& folder, const std::wstring& name);

// The sentence that says what is wrong with such a name.
const wchar_t* DescribeNameProblem(NameProblem problem);
