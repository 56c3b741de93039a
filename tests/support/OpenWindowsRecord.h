// The record of open windows in the program's profile, read and written directly.
#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

void WriteRecordValue(const char* name, DWORD type, const void* data, DWORD size);
void WriteRecordString(const char* name, const std::string& text);
// Every value of the record: name and text ("<type>" for values that are no strings).
std::vector<std::pair<std::string, std::string>> ReadRecordStrings();
