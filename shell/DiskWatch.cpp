#include "shell/DiskWatch.h"

#include <algorithm>

#include "shell/Paths.h"
#include "shell/Wine.h"

namespace {

const DWORD kFilesFilter = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME | FILE_NOTIFY_CHANGE_ATTRIBUTES |
                           FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_LAST_WRITE;
const DWORD kFoldersFilter = FILE_NOTIFY_CHANGE_DIR_NAME;

bool Contains(const std::vector<std::wstring>& keys, const std::wstring& key)
{
    return std::find(keys.begin(), keys.end(), key) != keys.end();
}

}  // namespace

CDiskWatch::CDiskWatch()
{
    m_hTimer = ::CreateWaitableTimerW(nullptr, FALSE, nullptr);
}

CDiskWatch::~CDiskWatch()
{
    if (m_bListening) ListenForFolderRemovals(nullptr);
    for (Watch& watch : m_watches) Close(watch);
    if (m_hTimer) ::CloseHandle(m_hTimer);
}

bool CDiskWatch::IsWanted()
{
    // The variable lets a user whose other programs remove folders this one shows turn it off:
    // under Wine a folder held by a watch stays until the watch lets go (see OnFolderAboutToGo).
    char szOn[4] = "";
    return IsRunningUnderWine() &&
           !(::GetEnvironmentVariableA("FOLVANE_WATCH_DISK", szOn, sizeof(szOn)) == 1 && szOn[0] == '0');
}

void CDiskWatch::SetFolders(CClient* pClient, const std::vector<Folder>& folders)
{
    auto it = std::find_if(m_clients.begin(), m_clients.end(), [&](const ClientFolders& c) { return c.pClient == pClient; });
    if (folders.empty()) {
        if (it == m_clients.end()) return;
        m_clients.erase(it);
    } else if (it == m_clients.end()) {
        m_clients.push_back({pClient, folders});
    } else {
        it->folders = folders;
    }
    Rebuild();
    OnHandlesChanged();
}

void CDiskWatch::Rebuild()
{
    // What the clients want together: each folder once, watched for its files when any
    // client shows it; folders on show come first should there be more than fit.
    std::vector<Watch> wanted;
    for (int pass = 0; pass < 2; pass++) {
        for (const ClientFolders& client : m_clients) {
            for (const Folder& folder : client.folders) {
                if (folder.bFiles != (pass == 0) || folder.path.empty()) continue;
                const std::wstring key = PathKey(folder.path);
                auto it = std::find_if(wanted.begin(), wanted.end(), [&](const Watch& w) { return w.key == key; });
                if (it != wanted.end()) continue;
                if (wanted.size() >= kMaxFolders) break;
                Watch watch;
                watch.key = key;
                watch.path = folder.path;
                watch.bFiles = folder.bFiles;
                wanted.push_back(watch);
            }
        }
    }
    // Watches kept as they are where nothing changed, so that no change in between is lost.
    for (Watch& watch : wanted) {
        auto it = std::find_if(m_watches.begin(), m_watches.end(), [&](const Watch& w) { return w.key == watch.key; });
        if (it != m_watches.end() && it->bFiles == watch.bFiles && it->hChange != INVALID_HANDLE_VALUE) {
            watch.hChange = it->hChange;
            it->hChange = INVALID_HANDLE_VALUE;
        } else {
            Open(watch);
        }
    }
    for (Watch& watch : m_watches) Close(watch);
    m_watches.swap(wanted);
    if (!m_watches.empty() && !m_bListening) m_bListening = ListenForFolderRemovals(this);
}

void CDiskWatch::Open(Watch& watch)
{
    watch.hChange = ::FindFirstChangeNotificationW(watch.path.c_str(), FALSE, watch.bFiles ? kFilesFilter : kFoldersFilter);
}

void CDiskWatch::Close(Watch& watch)
{
    if (watch.hChange != INVALID_HANDLE_VALUE) ::FindCloseChangeNotification(watch.hChange);
    watch.hChange = INVALID_HANDLE_VALUE;
}

void CDiskWatch::Renew()
{
    for (Watch& watch : m_watches) Close(watch);
    for (Watch& watch : m_watches) Open(watch);
}

size_t CDiskWatch::GetHandles(HANDLE* pHandles, size_t nMax) const
{
    size_t n = 0;
    if (m_bTimerArmed && n < nMax) pHandles[n++] = m_hTimer;
    for (const Watch& watch : m_watches) {
        if (n >= nMax) break;
        if (watch.hChange != INVALID_HANDLE_VALUE) pHandles[n++] = watch.hChange;
    }
    return n;
}

void CDiskWatch::OnHandleSignalled(HANDLE hSignalled)
{
    if (hSignalled == m_hTimer) {
        m_bTimerArmed = false;
        Deliver();
        return;
    }
    auto it = std::find_if(m_watches.begin(), m_watches.end(), [&](const Watch& w) { return w.hChange == hSignalled; });
    if (it == m_watches.end()) return;
    Changed(it->key);
    // Changes until the read are merged into this one: the watch only says that something did.
    if (!::FindNextChangeNotification(it->hChange)) Close(*it);
}

void CDiskWatch::Changed(const std::wstring& key)
{
    const DWORD dwNow = ::GetTickCount();
    if (m_changed.empty()) m_dwFirstChange = dwNow;
    m_dwLastChange = dwNow;
    if (!Contains(m_changed, key)) m_changed.push_back(key);
    ArmTimer();
}

void CDiskWatch::OnFolderAboutToGo(const std::wstring& path)
{
    if (std::none_of(m_watches.begin(), m_watches.end(), [](const Watch& w) { return w.hChange != INVALID_HANDLE_VALUE; }))
        return;
    // Watched paths are the shell's long forms; the remover may have named it any way. The disk
    // is asked for the long form only where a short name may be (about a millisecond under
    // Wine, for each folder of a tree deleted).
    const std::wstring named = path.compare(0, 4, L"\\\\?\\") == 0 ? path.substr(4) : path;
    const std::wstring gone = named.find(L'~') == std::wstring::npos ? FullPath(named) : NormalPath(named);
    for (Watch& watch : m_watches) {
        if (watch.hChange == INVALID_HANDLE_VALUE || !IsSameOrInside(watch.path, gone)) continue;
        Close(watch);
        // Read (and watched again, if it is still there) once the removal is over.
        Changed(watch.key);
    }
}

void CDiskWatch::ArmTimer()
{
    if (!m_hTimer) return;
    const DWORD dwNow = ::GetTickCount();
    const DWORD dwQuiet = m_dwLastChange + kQuietMs - dwNow;
    // A long burst (a build, a copy of thousands of files) is read a few times, not every
    // few seconds: each read costs more as the folder fills.
    const DWORD dwLongestMs = kLongestMs << m_nForced;
    const DWORD dwLongest = m_dwFirstChange + dwLongestMs - dwNow;
    DWORD dwDue = std::min(dwQuiet, dwLongest);
    if (dwDue > dwLongestMs) dwDue = 0;  // already past (the unsigned difference wrapped)
    LARGE_INTEGER due;
    due.QuadPart = -static_cast<LONGLONG>(dwDue) * 10000 - 1;  // relative, in 100 ns
    m_bTimerArmed = ::SetWaitableTimer(m_hTimer, &due, 0, nullptr, nullptr, FALSE) != 0;
}

void CDiskWatch::Deliver()
{
    if (m_bDelivering) return;
    for (const ClientFolders& client : m_clients) {
        if (client.pClient->IsBusyForReread()) {
            // Asked again in a moment; the burst is over as far as merging goes.
            m_dwFirstChange = m_dwLastChange = ::GetTickCount();
            ArmTimer();
            return;
        }
    }
    std::vector<std::wstring> changed;
    changed.swap(m_changed);
    if (changed.empty()) return;
    if (::GetTickCount() - m_dwLastChange < kQuietMs) {
        if (m_nForced < kMaxDoublings) m_nForced++;
    } else {
        m_nForced = 0;
    }
    // A changed folder's watch is let go and taken again before anyone reads it: a folder
    // that a program removed while the watch held it can go now (reopening fails then), and
    // what changes during the read is heard.
    for (Watch& watch : m_watches) {
        if (!Contains(changed, watch.key)) continue;
        Close(watch);
        Open(watch);
    }
    m_nRounds++;
    m_bDelivering = true;
    // A client may change its folders, or go, while it reads.
    std::vector<CClient*> clients;
    for (const ClientFolders& client : m_clients) clients.push_back(client.pClient);
    for (CClient* pClient : clients) {
        auto it = std::find_if(m_clients.begin(), m_clients.end(), [&](const ClientFolders& c) { return c.pClient == pClient; });
        if (it == m_clients.end()) continue;
        std::vector<std::wstring> mine;
        for (const Folder& folder : it->folders) {
            if (Contains(changed, PathKey(folder.path))) mine.push_back(folder.path);
        }
        if (!mine.empty()) pClient->OnDiskFoldersChanged(mine);
    }
    m_bDelivering = false;
}

std::vector<std::wstring> CDiskWatch::Watched() const
{
    std::vector<std::wstring> watched;
    for (const Watch& watch : m_watches) {
        if (watch.hChange != INVALID_HANDLE_VALUE) watched.push_back(watch.key + (watch.bFiles ? L" (files)" : L""));
    }
    std::sort(watched.begin(), watched.end());
    return watched;
}
