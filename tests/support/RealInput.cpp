#include "support/RealInput.h"

#include <string>
#include <vector>

void ClickAt(POINT pt)
{
    SetCursorPos(pt.x, pt.y);
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_MOUSE;
    in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, in, sizeof(INPUT));
}

void SendMouse(POINT pt, DWORD dwButton)
{
    INPUT in = {};
    in.type = INPUT_MOUSE;
    in.mi.dx = MulDiv(pt.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    in.mi.dy = MulDiv(pt.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | dwButton;
    SendInput(1, &in, sizeof(in));
}

void PressChord(WORD modifier, WORD vk)
{
    std::vector<INPUT> in;
    auto add = [&](WORD key, DWORD flags) {
        INPUT i = {};
        i.type = INPUT_KEYBOARD;
        i.ki.wVk = key;
        i.ki.dwFlags = flags | (key == VK_INSERT || key == VK_DELETE ? KEYEVENTF_EXTENDEDKEY : 0);
        in.push_back(i);
    };
    if (modifier) add(modifier, 0);
    add(vk, 0);
    add(vk, KEYEVENTF_KEYUP);
    if (modifier) add(modifier, KEYEVENTF_KEYUP);
    SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT));
}

void PressKey(WORD vk)
{
    PressChord(0, vk);
}

void DragWithMouse(POINT from, POINT to, bool (*arrived)(void* pContext), void* pContext)
{
    SendMouse(from);
    Sleep(150);
    SendMouse(from, MOUSEEVENTF_LEFTDOWN);
    Sleep(150);
    const int kSteps = 20;
    for (int i = 1; i <= kSteps; ++i) {
        SendMouse({from.x + (to.x - from.x) * i / kSteps, from.y + (to.y - from.y) * i / kSteps});
        Sleep(40);
    }
    // A loaded machine may be slow to take the drag up.
    for (int i = 0; i < 100 && !arrived(pContext); ++i) {
        SendMouse({to.x + 1 + i % 3, to.y});
        Sleep(50);
    }
    SendMouse({to.x + 2, to.y}, MOUSEEVENTF_LEFTUP);
}

bool TreeShowsDropTarget(void* pSpot)
{
    const TreeDropSpot* spot = static_cast<const TreeDropSpot*>(pSpot);
    DWORD_PTR hHilite = 0;
    SendMessageTimeoutA(spot->hTree, TVM_GETNEXTITEM, TVGN_DROPHILITE, 0, SMTO_ABORTIFHUNG, 200, &hHilite);
    return reinterpret_cast<HTREEITEM>(hHilite) == spot->hItem;
}

void TypeText(const char* pszText)
{
    std::wstring text;
    for (const char* p = pszText; *p; ++p) text += static_cast<wchar_t>(static_cast<unsigned char>(*p));
    TypeText(text.c_str());
}

void TypeText(const wchar_t* pszText)
{
    std::vector<INPUT> in;
    for (const wchar_t* p = pszText; *p; ++p) {
        for (DWORD flags : {DWORD(KEYEVENTF_UNICODE), DWORD(KEYEVENTF_UNICODE | KEYEVENTF_KEYUP)}) {
            INPUT i = {};
            i.type = INPUT_KEYBOARD;
            i.ki.wScan = *p;
            i.ki.dwFlags = flags;
            in.push_back(i);
        }
    }
    SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT));
}
