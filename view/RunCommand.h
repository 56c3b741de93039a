// The pieces of the Run command that stand on their own: how an item's parsing name becomes
// a directory and a proposed command line, and where a program named without a path is found.
#pragma once

#include "framework/String.h"

// Splits at the last backslash: the directory keeps it, the file name is what follows.
// A name without any backslash is all file name, with an empty directory.
void SplitParsingName(const CString& strName, CString& strDirectory, CString& strFileName);

// The command line the dialog proposes for a file name: the name itself, in quotes when it
// holds a blank, so that accepting it starts exactly that item.
CString ProposedCommandLine(const CString& strFileName);

// What the shell is asked to open when the command line does not start as a program: the
// directory followed by the whole command line; or, when the command line begins with a
// quoted name, that name in the directory (or where its own path says), with what follows
// the closing quote as the parameters.
void ShellOpenTarget(const CString& strDirectory, const CString& strCommandLine, CString& strFile,
                     CString& strParameters);

// The full path of the program that the command line names without a path, when the
// directory holds it as a file (".exe" added to a name without an extension, as the system
// does); empty otherwise. A quoted name is taken whole; an unquoted one is tried up to each
// blank in turn, shortest first, as the system reads an unquoted command line.
CString FindProgramInFolder(const CString& strDirectory, const CString& strCommandLine);
