#include "shell/AddressPath.h"

#include <windows.h>

#include <vector>

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string Trim(const std::string& s)
{
    size_t first = 0, last = s.size();
    while (first < last && IsBlank(s[first])) first++;
    while (last > first && IsBlank(s[last - 1])) last--;
    return s.substr(first, last - first);
}

bool HasDriveLetter(const std::string& s)
{
    return s.size() >= 2 && s[1] == ':' && ((s[0] >= 'A' && s[0] <= 'Z') || (s[0] >= 'a' && s[0] <= 'z'));
}

std::string Expand(const std::string& s)
{
    DWORD n = ExpandEnvironmentStringsA(s.c_str(), nullptr, 0);
    if (n == 0) return s;
    std::vector<char> buf(n + 1);
    if (!ExpandEnvironmentStringsA(s.c_str(), buf.data(), n + 1)) return s;
    return buf.data();
}

}  // namespace

bool IsDiskPath(const std::string& path)
{
    return HasDriveLetter(path) || (path.size() > 2 && path[0] == '\\' && path[1] == '\\');
}

AddressTarget ResolveAddress(const std::string& typed, const std::string& base)
{
    AddressTarget t;
    std::string s = Trim(typed);
    // Paths copied with their quotes, as command lines and some programs give them.
    if (s.size() >= 2 && s.front() == '"' && s.back() == '"') s = Trim(s.substr(1, s.size() - 2));
    t.text = s;
    if (s.empty()) {
        t.problem = AddressTarget::Empty;
        return t;
    }
    if (s.size() >= MAX_PATH) {
        t.problem = AddressTarget::TooLong;
        t.length = s.size();
        return t;
    }
    for (char c : s) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            t.problem = AddressTarget::ControlCharacter;
            return t;
        }
    }
    s = Expand(s);
    if (s.size() >= MAX_PATH) {
        t.problem = AddressTarget::TooLong;
        t.length = s.size();
        return t;
    }
    // A shell name (a virtual folder's parsing name) goes to the shell as it is.
    if (s.size() > 2 && s[0] == ':' && s[1] == ':') {
        t.folder = s;
        return t;
    }
    for (char& c : s) {
        if (c == '/') c = '\\';
    }

    std::string full;
    if (HasDriveLetter(s)) {
        // "C:" and "C:x" mean the drive's root and a folder in it: there is no current folder
        // per drive to take them from.
        full = s.substr(0, 2) + "\\" + (s.size() > 2 && s[2] == '\\' ? s.substr(3) : s.substr(2));
        const std::string root = s.substr(0, 2) + "\\";
        if (GetDriveTypeA(root.c_str()) == DRIVE_NO_ROOT_DIR) {
            t.problem = AddressTarget::NoSuchDrive;
            t.folder = s.substr(0, 2);
            return t;
        }
    } else if (s.size() >= 2 && s[0] == '\\' && s[1] == '\\') {
        full = s;
    } else if (!IsDiskPath(base)) {
        t.problem = AddressTarget::NotFullPath;
        return t;
    } else if (s[0] == '\\') {
        full = (HasDriveLetter(base) ? base.substr(0, 2) : base) + s;
    } else {
        full = base + (base.back() == '\\' ? "" : "\\") + s;
    }

    // The base path is full, so the process's current folder plays no part.
    char buf[MAX_PATH] = "";
    DWORD n = GetFullPathNameA(full.c_str(), MAX_PATH, buf, nullptr);
    if (n == 0 || n >= MAX_PATH) {
        t.problem = n >= MAX_PATH ? AddressTarget::TooLong : AddressTarget::NotFound;
        t.length = n;
        return t;
    }
    full = buf;
    const bool bRoot = (full.size() == 3 && HasDriveLetter(full)) ;
    while (!bRoot && full.size() > 3 && full.back() == '\\') full.pop_back();

    const DWORD attributes = GetFileAttributesA(full.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        t.problem = AddressTarget::NotFound;
        return t;
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        t.folder = full;
        return t;
    }
    const size_t slash = full.find_last_of('\\');
    t.item = full;
    t.folder = full.substr(0, slash);
    if (t.folder.size() == 2 && HasDriveLetter(t.folder)) t.folder += '\\';
    return t;
}
