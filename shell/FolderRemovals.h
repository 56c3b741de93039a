// Folders removed by this process, announced just before they go. Under Wine a folder held
// open (a change watch holds its folder) is only marked for removal, and stays on disk until
// it is let go; the folder above it then cannot be removed ("directory not empty"), so a
// permanent delete of a tree with a watched folder in it would fail. Every removal made in
// this process (the shell's own delete, the program's, on any thread) is told to the listener
// first, on the listener's own thread, so that it can let go of what is about to go.
#pragma once

#include <string>

class CFolderRemovalListener {
public:
    // The folder (a full path, as the remover named it) is about to be removed.
    virtual void OnFolderAboutToGo(const std::wstring& path) = 0;

protected:
    ~CFolderRemovalListener() = default;
};

// Starts telling pListener (called on this thread only; a removal on another thread waits
// while this thread serves its messages); null stops. Returns FALSE when the removals cannot
// be followed (the calls could not be found).
bool ListenForFolderRemovals(CFolderRemovalListener* pListener);
