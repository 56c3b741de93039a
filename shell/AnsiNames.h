// Names and paths outside the ANSI code page, for a program whose text is 8-bit. The
// shell's names are wide; where the program carries a path in its own text (a document's
// folder, the record of open windows, a caption, the Run command's folder), it carries a
// form the code page holds exactly, and shows or uses the wide form where it can.
#pragma once

#include <string>

// The text in the code page; characters it lacks come out replaced.
std::string AnsiOf(const std::wstring& text);
// The code page's text widened.
std::wstring WideOf(const char* pszText);
// Whether the text goes through the code page and back unchanged.
bool FitsCodePage(const std::wstring& text);

// The path as 8-bit text that names the same item: the path itself where the code page
// holds it, has no comma (a document's folder ends at its first comma) and fits MAX_PATH;
// else its short form where that does (the volume makes short names); else the path in
// the code page, with what it lacks replaced.
std::string AnsiPathFor(const std::wstring& path);
// The wide, long form of a path the program holds as 8-bit text: a short form is read back
// to the names on disk. The text widened where the system knows no longer form.
std::wstring LongPathOf(const char* pszPath);
