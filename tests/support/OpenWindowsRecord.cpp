#include "support/OpenWindowsRecord.h"

namespace {
const char kRecordKey[] = "Software\\Quorrel\\Folvane\\Open Windows";
}

void WriteRecordValue(const char* name, DWORD type, const void* data, DWORD size)
{
    HKEY hKey;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kRecordKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &hKey, nullptr) ==
        ERROR_SUCCESS) {
        RegSetValueExA(hKey, name, 0, type, static_cast<const BYTE*>(data), size);
        RegCloseKey(hKey);
    }
}

void WriteRecordString(const char* name, const std::string& text)
{
    WriteRecordValue(name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
}

std::vector<std::pair<std::string, std::string>> ReadRecordStrings()
{
    std::vector<std::pair<std::string, std::string>> values;
    HKEY hKey;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kRecordKey, 0, KEY_READ, &hKey) != ERROR_SUCCESS) return values;
    std::vector<char> data(70000);
    for (DWORD i = 0;; ++i) {
        char name[256];
        DWORD cchName = sizeof(name), type = 0, size = static_cast<DWORD>(data.size() - 1);
        if (RegEnumValueA(hKey, i, name, &cchName, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size) !=
            ERROR_SUCCESS)
            break;
        data[size] = '\0';
        values.emplace_back(name, type == REG_SZ ? std::string(data.data()) : std::string("<type>"));
    }
    RegCloseKey(hKey);
    return values;
}
