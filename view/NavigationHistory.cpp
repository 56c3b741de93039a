#include "view/NavigationHistory.h"

#include <windows.h>

namespace {

bool SamePlace(const std::string& a, const std::string& b)
{
    return lstrcmpiA(a.c_str(), b.c_str()) == 0;
}

}  // namespace

void CNavigationHistory::Visit(const std::string& path, const std::wstring& title)
{
    const int nPending = m_nPending;
    m_nPending = -1;
    if (nPending >= 0 && nPending < static_cast<int>(m_places.size()) && SamePlace(m_places[nPending].path, path)) {
        m_nCurrent = nPending;
        m_places[static_cast<size_t>(m_nCurrent)].title = title;
        return;
    }
    // Shown again (a refresh of the selection, a rename undone): no new place.
    if (m_nCurrent >= 0 && SamePlace(m_places[static_cast<size_t>(m_nCurrent)].path, path)) {
        m_places[static_cast<size_t>(m_nCurrent)].title = title;
        return;
    }
    m_places.erase(m_places.begin() + (m_nCurrent + 1), m_places.end());
    m_places.push_back({path, title});
    if (m_places.size() > kMaxPlaces) m_places.erase(m_places.begin(), m_places.end() - kMaxPlaces);
    m_nCurrent = static_cast<int>(m_places.size()) - 1;
}

void CNavigationHistory::RenameCurrent(const std::string& path, const std::wstring& title)
{
    if (m_nCurrent < 0) {
        Visit(path, title);
        return;
    }
    m_places[static_cast<size_t>(m_nCurrent)] = {path, title};
}

std::vector<CNavigationHistory::Place> CNavigationHistory::Places(bool bForward) const
{
    std::vector<Place> places;
    for (size_t n = 1;; n++) {
        const int i = Target(bForward, n);
        if (i < 0) break;
        places.push_back(At(i));
    }
    return places;
}

int CNavigationHistory::Target(bool bForward, size_t nSteps) const
{
    if (m_nCurrent < 0 || nSteps == 0) return -1;
    const long long i = static_cast<long long>(m_nCurrent) + (bForward ? 1 : -1) * static_cast<long long>(nSteps);
    return i >= 0 && i < static_cast<long long>(m_places.size()) ? static_cast<int>(i) : -1;
}

void CNavigationHistory::Forget(int index)
{
    if (index < 0 || index >= static_cast<int>(m_places.size()) || index == m_nCurrent) return;
    m_places.erase(m_places.begin() + index);
    if (index < m_nCurrent) m_nCurrent--;
    if (m_nPending == index) m_nPending = -1;
    else if (m_nPending > index) m_nPending--;
}
