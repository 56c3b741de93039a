// The explorer view as tests drive it: the running application with a browser window on a
// folder tree made for the test, the right pane's list, and real mouse and keyboard input.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <string>
#include <utility>
#include <vector>

#include "support/AppFixture.h"
#include "support/ScratchFolder.h"

class CFolvaneView;

// The shell view's list in the right pane, or null.
HWND ListOf(CFolvaneView* pView);
// The names the right pane lists, in its order.
std::vector<std::string> ListNames(CFolvaneView* pView);
int ListIndexOf(CFolvaneView* pView, const std::string& name);
// Selects exactly the named items of the right pane, as clicks with Ctrl would.
void SelectInList(CFolvaneView* pView, const std::vector<std::string>& names);

// A real press and release of the left button at a screen point.
void ClickAt(POINT pt);
// A real press and release of a key, alone or with a modifier held.
void PressKey(WORD vk);
void PressChord(WORD modifier, WORD vk);

// Records one kind of message a window receives (its wParam and lParam), then passes it on;
// one spy at a time.
class MessageSpy {
public:
    MessageSpy(HWND h, UINT message);
    ~MessageSpy();
    MessageSpy(const MessageSpy&) = delete;
    MessageSpy& operator=(const MessageSpy&) = delete;
    static std::vector<std::pair<WPARAM, LPARAM>>& Seen();
    // How many of the messages seen had this wParam.
    int Count(WPARAM w) const;

private:
    static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l);
    static UINT s_message;
    static WNDPROC s_old;
    HWND m_h;
};

// The application with a folder tree of the test's own:
//   <root>\alpha\inner\deepest, <root>\beta, <root>\gamma, files one.txt, two.txt, alpha\x.txt.
class ViewTest : public AppFixture {
protected:
    void SetUp() override;
    void TearDown() override;
    // Opens a browser window on a document text; its view, or null.
    CFolvaneView* Open(const std::string& text);
    // The folder the window shows (the document's folder path).
    std::string Shown(CFolvaneView* pView);
    // The label of the tree's selected item.
    std::string SelectedText(CFolvaneView* pView);
    // Selects a folder as a click in the tree would.
    bool Browse(CFolvaneView* pView, const std::string& path);
    // The command's state as a menu would show it.
    BOOL Enabled(UINT nID);

    ScratchFolder m_root{"view"};
};
