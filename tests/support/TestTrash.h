// Where the shell's delete sends what it removes while tests run: a folder of the tests'
// own, never the user's trash.
#pragma once

#include <string>

// Makes the shell's delete move to the trash under this folder (made if missing): under
// Wine XDG_DATA_HOME names it, as Wine's shell reads it. Does nothing elsewhere.
void UseTestTrash(const std::string& windowsPath);
