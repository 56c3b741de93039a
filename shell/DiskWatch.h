// Folders watched on disk for changes made by anyone, for the windows that show them. Wine's
// shell tells no one what other programs change (its views do not watch the disk, and its
// change notices cover only its own operations), so under Wine the program watches the
// folders it shows itself: one change notification per folder, however many windows show or
// have it open, waited on by the application's message loop (no thread). A burst of changes
// is merged into one read once the folder is quiet, or every few seconds while it is not.
// On Windows the shell does all this itself and nothing is watched here.
#pragma once

#include <windows.h>

#include "shell/FolderRemovals.h"

#include <string>
#include <vector>

class CDiskWatch : private CFolderRemovalListener {
public:
    // A window's side of the watch.
    class CClient {
    public:
        // Folders of this client's that changed (or went) since it was last told.
        virtual void OnDiskFoldersChanged(const std::vector<std::wstring>& folders) = 0;
        // TRUE while a read would get in the user's way (a name being edited, a button held
        // down): it waits for a moment and asks again.
        virtual bool IsBusyForReread() const = 0;

    protected:
        ~CClient() = default;
    };
    struct Folder {
        std::wstring path;
        bool bFiles;  // its files as well as its sub-folders (the folder on show)
    };
    // The most folders watched at once: one wait of the message loop takes 63 handles, and
    // the merge timer is one of them.
    static const size_t kMaxFolders = MAXIMUM_WAIT_OBJECTS - 2;
    static const DWORD kQuietMs = 250;     // a folder is read once no change came for this long
    static const DWORD kLongestMs = 2500;  // ... or after this long while changes go on,
    static const unsigned kMaxDoublings = 5;  // twice as long after each such read of one burst

    CDiskWatch();
    virtual ~CDiskWatch();
    CDiskWatch(const CDiskWatch&) = delete;
    CDiskWatch& operator=(const CDiskWatch&) = delete;

    // Whether the program watches the disk itself: under Wine, unless FOLVANE_WATCH_DISK=0.
    static bool IsWanted();

    // The folders this client wants watched from now on (an empty list: none).
    void SetFolders(CClient* pClient, const std::vector<Folder>& folders);
    void RemoveClient(CClient* pClient) { SetFolders(pClient, std::vector<Folder>()); }
    // Lets every watch go and takes it again. Under Wine a folder removed by a program while
    // a watch holds it open stays on disk until the watch lets go, and nothing is heard.
    void Renew();

    // For the message loop: the handles to wait on, and one that was signalled.
    size_t GetHandles(HANDLE* pHandles, size_t nMax) const;
    void OnHandleSignalled(HANDLE hSignalled);

    // What is watched, upper-case paths with " (files)" after a folder watched for its files.
    std::vector<std::wstring> Watched() const;
    // Merged reads handed to the clients so far.
    unsigned Rounds() const { return m_nRounds; }

protected:
    // The set of handles to wait on changed (from none to some, or back).
    virtual void OnHandlesChanged() {}

private:
    // A folder removed by this process: its watches, and those below it, let go first (under
    // Wine the folder would stay, held, and the folder above it could not be removed), and
    // what they watched is read once the removal is over.
    void OnFolderAboutToGo(const std::wstring& path) override;

    struct Watch {
        std::wstring key;   // the folder's path key
        std::wstring path;  // as a client named it
        bool bFiles = false;
        HANDLE hChange = INVALID_HANDLE_VALUE;
    };
    struct ClientFolders {
        CClient* pClient;
        std::vector<Folder> folders;
    };
    void Open(Watch& watch);
    static void Close(Watch& watch);
    void Rebuild();
    void ArmTimer();
    void Deliver();
    void Changed(const std::wstring& key);

    std::vector<ClientFolders> m_clients;
    std::vector<Watch> m_watches;
    std::vector<std::wstring> m_changed;  // keys of the folders changed since the last read
    HANDLE m_hTimer = nullptr;            // the merge timer (a waitable timer)
    bool m_bTimerArmed = false;
    DWORD m_dwFirstChange = 0;  // when the first change of this burst was heard
    DWORD m_dwLastChange = 0;
    unsigned m_nForced = 0;  // reads of this burst made before it was over
    unsigned m_nRounds = 0;
    bool m_bDelivering = false;
    bool m_bListening = false;  // told of the process's folder removals
};
