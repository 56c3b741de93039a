// A path typed or pasted by the user (the address box), read into the folder to show and the
// file to select in it. The one place where typed paths are taken apart, so that whatever
// form a path may travel in is handled here for every caller.
#pragma once

#include <string>

struct AddressTarget {
    enum Problem {
        None,              // folder (and perhaps item) name what to show
        Empty,             // nothing typed
        TooLong,           // more than a path can hold; length gives how much
        ControlCharacter,  // a tab, a line break or another control character inside
        NotFullPath,       // relative, and there is no folder on disk to take it from
        NoSuchDrive,       // the drive letter names no drive
        NotFound,          // no file or folder has this path (or it cannot be reached)
    };
    Problem problem = None;
    std::string text;    // what was typed, without the blanks and quotes around it
    std::string folder;  // the folder to show: a full path, or a shell parsing name ("::{...}")
    std::string item;    // the full path of a file in that folder to select, or empty
    size_t length = 0;   // for TooLong: the length of the path
};

// Reads a typed path: blanks and one pair of quotes around it go, environment variables
// (%TEMP%) are expanded, forward slashes become backslashes, a path that is not full is taken
// relative to base (the folder on show, when it is on disk; "\x" to its drive's root), "." and
// ".." are resolved. Then the disk says whether it names a folder, a file (whose folder is
// shown, with the file selected) or nothing.
AddressTarget ResolveAddress(const std::string& typed, const std::string& base);

// Whether a path names a place on disk (a drive-letter or UNC path) rather than a shell name.
bool IsDiskPath(const std::string& path);
