// The places a browser window has shown, for Back and Forward: a bounded list with the place
// on show somewhere in it. Kept for the window's life only; nothing of it is recorded.
#pragma once

#include <string>
#include <vector>

class CNavigationHistory {
public:
    struct Place {
        std::string path;   // the folder's parsing name
        std::wstring title;  // what the window called it, by the real names of its folders
    };
    // Places kept, the one on show included; the oldest go first.
    static constexpr size_t kMaxPlaces = 30;

    // A folder is now on show. Reached by a move begun with BeginMove, the places on both
    // sides stay; otherwise it follows the place on show and those ahead of it go.
    void Visit(const std::string& path, const std::wstring& title);
    // The place on show has a new name (renamed, or one of the folders above it).
    void RenameCurrent(const std::string& path, const std::wstring& title);

    bool CanGo(bool bForward) const { return Target(bForward, 1) >= 0; }
    // The places behind (or ahead), nearest first.
    std::vector<Place> Places(bool bForward) const;
    // Index of the place nSteps behind or ahead of the one on show; -1 when there is none.
    int Target(bool bForward, size_t nSteps) const;
    const Place& At(int index) const { return m_places[static_cast<size_t>(index)]; }
    // A place that is gone; not the one on show.
    void Forget(int index);
    // The next Visit of this place's path is the move to it.
    void BeginMove(int index) { m_nPending = index; }
    void EndMove() { m_nPending = -1; }
    int Current() const { return m_nCurrent; }
    size_t Size() const { return m_places.size(); }

private:
    std::vector<Place> m_places;
    int m_nCurrent = -1;
    int m_nPending = -1;
};
