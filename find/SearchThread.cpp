#include "find/SearchThread.h"

namespace {

// A batch goes to the window once it holds this many items, or once this long has passed
// since the last one went: a lone find shows at once, a flood comes in large batches.
const size_t kBatchItems = 512;
const DWORD kBatchMilliseconds = 50;

}  // namespace

// Collects on the worker thread; hands over under the lock only per batch and per folder.
class CSearchThread::CQueueSink : public CFindSink {
public:
    explicit CQueueSink(CSearchThread& owner) : m_owner(owner) {}

    void OnFolder(const std::wstring& folder) override
    {
        {
            std::lock_guard<std::mutex> lock(m_owner.m_mutex);
            m_owner.m_folder = folder;
        }
        if (!m_batch.empty() && ::GetTickCount() - m_dwLast >= kBatchMilliseconds) Flush();
    }

    void OnFound(CFoundItem&& item) override
    {
        m_batch.push_back(std::move(item));
        if (m_batch.size() >= kBatchItems || ::GetTickCount() - m_dwLast >= kBatchMilliseconds) Flush();
    }

    void Flush(const CFindSummary* pFinal = nullptr)
    {
        m_owner.Deliver(m_batch, pFinal);
        m_dwLast = ::GetTickCount();
    }

private:
    CSearchThread& m_owner;
    std::vector<CFoundItem> m_batch;
    DWORD m_dwLast = 0;
};

CSearchThread::CSearchThread(CFindCriteria criteria, const CFileSearch& engine, HWND hwndNotify, UINT nMessage,
                             WPARAM wParam)
    : m_criteria(std::move(criteria)), m_engine(engine), m_hwndNotify(hwndNotify), m_nMessage(nMessage), m_wParam(wParam)
{
}

CSearchThread::~CSearchThread()
{
    if (m_hThread) ::CloseHandle(m_hThread);
}

std::shared_ptr<CSearchThread> CSearchThread::Start(CFindCriteria criteria, HWND hwndNotify, UINT nMessage,
                                                    WPARAM wParam, const CFileSearch& engine)
{
    std::shared_ptr<CSearchThread> pSearch(new CSearchThread(std::move(criteria), engine, hwndNotify, nMessage, wParam));
    // The worker holds a reference of its own: the window may drop its one at any time.
    std::shared_ptr<CSearchThread>* pHeld = new std::shared_ptr<CSearchThread>(pSearch);
    pSearch->m_hThread = ::CreateThread(nullptr, 0, &CSearchThread::ThreadProc, pHeld, 0, nullptr);
    if (!pSearch->m_hThread) {
        delete pHeld;
        CFindSummary failed;
        failed.root = CFindSummary::kRootUnreadable;
        failed.dwRootError = ::GetLastError();
        std::vector<CFoundItem> none;
        pSearch->Deliver(none, &failed);
    }
    return pSearch;
}

DWORD WINAPI CSearchThread::ThreadProc(LPVOID pParam)
{
    std::shared_ptr<CSearchThread>* pHeld = static_cast<std::shared_ptr<CSearchThread>*>(pParam);
    (*pHeld)->Work();
    delete pHeld;
    return 0;
}

void CSearchThread::Work()
{
    CQueueSink sink(*this);
    const CFindSummary summary = m_engine.Run(m_criteria, sink, m_bStop);
    sink.Flush(&summary);
}

void CSearchThread::Deliver(std::vector<CFoundItem>& batch, const CFindSummary* pFinal)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_found.empty()) {
        m_found.swap(batch);
    } else {
        for (CFoundItem& item : batch) m_found.push_back(std::move(item));
    }
    batch.clear();
    if (pFinal) {
        m_bEnded = true;
        m_summary = *pFinal;
    }
    if ((pFinal || !m_found.empty()) && !m_bTold && m_hwndNotify) {
        m_bTold = true;
        ::PostMessageW(m_hwndNotify, m_nMessage, m_wParam, 0);
    }
}

void CSearchThread::Stop()
{
    m_bStop.store(true);
    std::lock_guard<std::mutex> lock(m_mutex);
    m_hwndNotify = nullptr;
}

bool CSearchThread::TakeFound(std::vector<CFoundItem>& items, CFindSummary& summary)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    items.clear();
    items.swap(m_found);
    m_bTold = false;
    summary = m_summary;
    return m_bEnded;
}

std::wstring CSearchThread::CurrentFolder() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_folder;
}

bool CSearchThread::Wait(DWORD dwMilliseconds) const
{
    if (!m_hThread) return true;
    return ::WaitForSingleObject(m_hThread, dwMilliseconds) == WAIT_OBJECT_0;
}
