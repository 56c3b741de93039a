// Message maps, command targets and command-UI updates.
//
// A message map is a static table per class. Each entry carries a thunk instantiated
// from the handler's member-function pointer; the thunk converts that pointer to the
// signature the entry kind expects, so a handler with the wrong signature fails to compile.
#pragma once

#include <windows.h>
#include <unknwn.h>

#include <cstddef>

#include "framework/Object.h"

class CCmdTarget;
class CCmdUI;

// Command codes passed to OnCmdMsg.
#define CN_COMMAND              0
#define CN_UPDATE_COMMAND_UI    ((UINT)(-1))

// Private framework messages.
#define WM_SETMESSAGESTRING     0x0362
#define WM_IDLEUPDATECMDUI      0x0363
#define WM_INITIALUPDATE        0x0364

struct AFX_MSGARGS {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    UINT nID;          // command or control id
    void* pExtra;      // CCmdUI* for updates, NMHDR* for notifications
    LRESULT* pResult;  // where a notification stores its result
};

typedef LRESULT (*AFX_PTHUNK)(CCmdTarget* pTarget, AFX_MSGARGS& args);

struct AFX_MSGMAP_ENTRY {
    UINT nMessage;  // window message; WM_COMMAND for commands and updates; 0 ends the table
    UINT nCode;     // CN_COMMAND, CN_UPDATE_COMMAND_UI or a notification code
    UINT nID;       // first command or control id
    UINT nLastID;   // last id of a range
    AFX_PTHUNK pfn;
    BOOL bEx;       // the handler reports whether it handled the message
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

// Filled instead of calling the handler when OnCmdMsg is only asked whether one exists.
struct AFX_CMDHANDLERINFO {
    CCmdTarget* pTarget = nullptr;
};

// Interface maps: the COM interfaces an object implements through nested classes.
struct AFX_INTERFACEMAP_ENTRY {
    const IID* piid;  // null ends the table
    size_t nOffset;   // of the nested implementation within the object
};

struct AFX_INTERFACEMAP {
    const AFX_INTERFACEMAP* (*pfnGetBaseMap)();
    const AFX_INTERFACEMAP_ENTRY* pEntry;
};

class CCmdTarget : public CObject {
    DECLARE_DYNAMIC(CCmdTarget)
public:
    CCmdTarget() = default;

    // Routes a command or an update request. Returns TRUE when a handler took it.
    virtual BOOL OnCmdMsg(UINT nID, UINT nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo);

    // Finds the first entry for a message in this object's map chain.
    const AFX_MSGMAP_ENTRY* FindMessageEntry(UINT nMessage, UINT nCode, UINT nID) const;

    // COM support for the interfaces of the interface map. The count starts at 1 (the
    // object's own reference); when it drops to 0 the object goes (OnFinalRelease).
    ULONG ExternalAddRef();
    ULONG ExternalRelease();
    HRESULT ExternalQueryInterface(const void* iid, void** ppvObj);
    // The interface of the map with this IID (IUnknown: the first entry's), or null; no reference added.
    IUnknown* GetInterface(const void* iid);
    virtual void OnFinalRelease();
    LONG GetRefCount() const { return m_dwRef; }

protected:
    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;
    static const AFX_INTERFACEMAP* GetThisInterfaceMap();
    virtual const AFX_INTERFACEMAP* GetInterfaceMap() const;

    LONG m_dwRef = 1;
};

// Enable, check and text for one command in one place (menu item, toolbar button).
class CCmdUI {
public:
    UINT m_nID = 0;
    UINT m_nIndex = 0;
    HMENU m_pMenu = nullptr;       // the popup holding the item, or null
    HMENU m_pSubMenu = nullptr;    // the item's own popup, or null
    class CWnd* m_pOther = nullptr; // the window holding the item (toolbar), or null
    UINT m_nIndexMax = 0;
    BOOL m_bEnableChanged = FALSE;
    BOOL m_bContinueRouting = FALSE;

    virtual ~CCmdUI() = default;
    virtual void Enable(BOOL bOn = TRUE);
    virtual void SetCheck(int nCheck = 1);
    // One choice of a group: a menu marks it with a bullet rather than a check mark.
    virtual void SetRadio(BOOL bOn = TRUE);
    virtual void SetText(LPCSTR lpszText);
    void ContinueRouting() { m_bContinueRouting = TRUE; }

    // Asks the target's update handlers; when none answers and bDisableIfNoHandler is set,
    // the item is enabled exactly when some command handler exists.
    BOOL DoUpdate(CCmdTarget* pTarget, BOOL bDisableIfNoHandler);
};

// Used to ask whether a command is enabled before it is carried out.
class CTestCmdUI : public CCmdUI {
public:
    BOOL m_bEnabled = TRUE;
    void Enable(BOOL bOn = TRUE) override { m_bEnabled = bOn; m_bEnableChanged = TRUE; }
    void SetCheck(int) override {}
    void SetText(LPCSTR) override {}
};

// ---- Thunks -------------------------------------------------------------------------
class CWnd;
struct tagCREATESTRUCTA;

namespace afx_thunk {

template <class T, auto H>
LRESULT Command(CCmdTarget* p, AFX_MSGARGS&)
{
    void (T::*h)() = H;
    (static_cast<T*>(p)->*h)();
    return TRUE;
}

template <class T, auto H>
LRESULT CommandRange(CCmdTarget* p, AFX_MSGARGS& a)
{
    void (T::*h)(UINT) = H;
    (static_cast<T*>(p)->*h)(a.nID);
    return TRUE;
}

template <class T, auto H>
LRESULT CommandEx(CCmdTarget* p, AFX_MSGARGS& a)
{
    BOOL (T::*h)(UINT) = H;
    return (static_cast<T*>(p)->*h)(a.nID);
}

template <class T, auto H>
LRESULT Update(CCmdTarget* p, AFX_MSGARGS& a)
{
    void (T::*h)(CCmdUI*) = H;
    (static_cast<T*>(p)->*h)(static_cast<CCmdUI*>(a.pExtra));
    return TRUE;
}

template <class T, auto H>
LRESULT Notify(CCmdTarget* p, AFX_MSGARGS& a)
{
    void (T::*h)(NMHDR*, LRESULT*) = H;
    (static_cast<T*>(p)->*h)(static_cast<NMHDR*>(a.pExtra), a.pResult);
    return TRUE;
}

template <class T, auto H>
LRESULT NotifyEx(CCmdTarget* p, AFX_MSGARGS& a)
{
    BOOL (T::*h)(UINT, NMHDR*, LRESULT*) = H;
    return (static_cast<T*>(p)->*h)(a.nID, static_cast<NMHDR*>(a.pExtra), a.pResult);
}

template <class T, auto H>
LRESULT Message(CCmdTarget* p, AFX_MSGARGS& a)
{
    LRESULT (T::*h)(WPARAM, LPARAM) = H;
    return (static_cast<T*>(p)->*h)(a.wParam, a.lParam);
}

template <class T, auto H>
LRESULT Void(CCmdTarget* p, AFX_MSGARGS&)
{
    void (T::*h)() = H;
    (static_cast<T*>(p)->*h)();
    return 0;
}

template <class T, auto H>
LRESULT Create(CCmdTarget* p, AFX_MSGARGS& a)
{
    int (T::*h)(LPCREATESTRUCTA) = H;
    return (static_cast<T*>(p)->*h)(reinterpret_cast<LPCREATESTRUCTA>(a.lParam));
}

template <class T, auto H>
LRESULT Size(CCmdTarget* p, AFX_MSGARGS& a)
{
    void (T::*h)(UINT, int, int) = H;
    (static_cast<T*>(p)->*h)(static_cast<UINT>(a.wParam), static_cast<short>(LOWORD(a.lParam)),
                             static_cast<short>(HIWORD(a.lParam)));
    return 0;
}

template <class T, auto H>
LRESULT SysCommand(CCmdTarget* p, AFX_MSGARGS& a)
{
    void (T::*h)(UINT, LPARAM) = H;
    (static_cast<T*>(p)->*h)(static_cast<UINT>(a.wParam), a.lParam);
    return 0;
}

template <class T, auto H>
LRESULT Focus(CCmdTarget* p, AFX_MSGARGS& a);  // defined in Wnd.h (needs CWnd)

template <class T, auto H>
LRESULT Mouse(CCmdTarget* p, AFX_MSGARGS& a)
{
    void (T::*h)(UINT, POINT) = H;
    POINT pt = {static_cast<short>(LOWORD(a.lParam)), static_cast<short>(HIWORD(a.lParam))};
    (static_cast<T*>(p)->*h)(static_cast<UINT>(a.wParam), pt);
    return 0;
}

template <class T, auto H>
LRESULT InitMenuPopup(CCmdTarget* p, AFX_MSGARGS& a)
{
    void (T::*h)(HMENU, UINT, BOOL) = H;
    (static_cast<T*>(p)->*h)(reinterpret_cast<HMENU>(a.wParam), LOWORD(a.lParam), HIWORD(a.lParam));
    return 0;
}

template <class T, auto H>
LRESULT MenuSelect(CCmdTarget* p, AFX_MSGARGS& a)
{
    void (T::*h)(UINT, UINT, HMENU) = H;
    (static_cast<T*>(p)->*h)(LOWORD(a.wParam), HIWORD(a.wParam), reinterpret_cast<HMENU>(a.lParam));
    return 0;
}

template <class T, auto H>
LRESULT EraseBkgnd(CCmdTarget* p, AFX_MSGARGS& a)
{
    BOOL (T::*h)(HDC) = H;
    return (static_cast<T*>(p)->*h)(reinterpret_cast<HDC>(a.wParam));
}

template <class T, auto H>
LRESULT SetCursor(CCmdTarget* p, AFX_MSGARGS& a);  // defined in Wnd.h (needs CWnd)

template <class T, auto H>
LRESULT ParentNotify(CCmdTarget* p, AFX_MSGARGS& a)
{
    void (T::*h)(UINT, LPARAM) = H;
    // The event is the low word; the high word carries the child's id (creation, destruction)
    // or the button (extra mouse buttons).
    (static_cast<T*>(p)->*h)(LOWORD(a.wParam), a.lParam);
    return 0;
}

template <class T, auto H>
LRESULT Enable(CCmdTarget* p, AFX_MSGARGS& a)
{
    void (T::*h)(BOOL) = H;
    (static_cast<T*>(p)->*h)(static_cast<BOOL>(a.wParam));
    return 0;
}

}  // namespace afx_thunk

// ---- Map declaration macros ----------------------------------------------------------
#define DECLARE_MESSAGE_MAP()                                   \
protected:                                                      \
    static const AFX_MSGMAP* GetThisMessageMap();               \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                       \
    const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    const AFX_MSGMAP* theClass::GetThisMessageMap()                                  \
    {                                                                                \
        using ThisClass [[maybe_unused]] = theClass;                                 \
        using TheBaseClass = baseClass;                                              \
        static const AFX_MSGMAP_ENTRY _messageEntries[] = {

#define END_MESSAGE_MAP()                                                            \
            {0, 0, 0, 0, nullptr, FALSE}};                                           \
        static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &_messageEntries[0]}; \
        return &messageMap;                                                          \
    }

#define ON_COMMAND(id, fn) \
    {WM_COMMAND, CN_COMMAND, (UINT)(id), (UINT)(id), &afx_thunk::Command<ThisClass, fn>, FALSE},
#define ON_COMMAND_RANGE(first, last, fn) \
    {WM_COMMAND, CN_COMMAND, (UINT)(first), (UINT)(last), &afx_thunk::CommandRange<ThisClass, fn>, FALSE},
#define ON_COMMAND_EX(id, fn) \
    {WM_COMMAND, CN_COMMAND, (UINT)(id), (UINT)(id), &afx_thunk::CommandEx<ThisClass, fn>, TRUE},
#define ON_COMMAND_EX_RANGE(first, last, fn) \
    {WM_COMMAND, CN_COMMAND, (UINT)(first), (UINT)(last), &afx_thunk::CommandEx<ThisClass, fn>, TRUE},
#define ON_UPDATE_COMMAND_UI(id, fn) \
    {WM_COMMAND, CN_UPDATE_COMMAND_UI, (UINT)(id), (UINT)(id), &afx_thunk::Update<ThisClass, fn>, FALSE},
#define ON_UPDATE_COMMAND_UI_RANGE(first, last, fn) \
    {WM_COMMAND, CN_UPDATE_COMMAND_UI, (UINT)(first), (UINT)(last), &afx_thunk::Update<ThisClass, fn>, FALSE},
#define ON_NOTIFY(code, id, fn) \
    {WM_NOTIFY, (UINT)(code), (UINT)(id), (UINT)(id), &afx_thunk::Notify<ThisClass, fn>, FALSE},
#define ON_NOTIFY_RANGE(code, first, last, fn) \
    {WM_NOTIFY, (UINT)(code), (UINT)(first), (UINT)(last), &afx_thunk::Notify<ThisClass, fn>, FALSE},
#define ON_NOTIFY_EX_RANGE(code, first, last, fn) \
    {WM_NOTIFY, (UINT)(code), (UINT)(first), (UINT)(last), &afx_thunk::NotifyEx<ThisClass, fn>, TRUE},
#define ON_MESSAGE(msg, fn) \
    {(UINT)(msg), 0, 0, 0, &afx_thunk::Message<ThisClass, fn>, FALSE},

#define ON_WM_CREATE()      {WM_CREATE, 0, 0, 0, &afx_thunk::Create<ThisClass, &ThisClass::OnCreate>, FALSE},
#define ON_WM_DESTROY()     {WM_DESTROY, 0, 0, 0, &afx_thunk::Void<ThisClass, &ThisClass::OnDestroy>, FALSE},
#define ON_WM_CLOSE()       {WM_CLOSE, 0, 0, 0, &afx_thunk::Void<ThisClass, &ThisClass::OnClose>, FALSE},
#define ON_WM_SIZE()        {WM_SIZE, 0, 0, 0, &afx_thunk::Size<ThisClass, &ThisClass::OnSize>, FALSE},
#define ON_WM_SYSCOMMAND()  {WM_SYSCOMMAND, 0, 0, 0, &afx_thunk::SysCommand<ThisClass, &ThisClass::OnSysCommand>, FALSE},
#define ON_WM_SETFOCUS()    {WM_SETFOCUS, 0, 0, 0, &afx_thunk::Focus<ThisClass, &ThisClass::OnSetFocus>, FALSE},
#define ON_WM_KILLFOCUS()   {WM_KILLFOCUS, 0, 0, 0, &afx_thunk::Focus<ThisClass, &ThisClass::OnKillFocus>, FALSE},
#define ON_WM_LBUTTONDOWN() {WM_LBUTTONDOWN, 0, 0, 0, &afx_thunk::Mouse<ThisClass, &ThisClass::OnLButtonDown>, FALSE},
#define ON_WM_LBUTTONUP()   {WM_LBUTTONUP, 0, 0, 0, &afx_thunk::Mouse<ThisClass, &ThisClass::OnLButtonUp>, FALSE},
#define ON_WM_MOUSEMOVE()   {WM_MOUSEMOVE, 0, 0, 0, &afx_thunk::Mouse<ThisClass, &ThisClass::OnMouseMove>, FALSE},
#define ON_WM_LBUTTONDBLCLK() {WM_LBUTTONDBLCLK, 0, 0, 0, &afx_thunk::Mouse<ThisClass, &ThisClass::OnLButtonDblClk>, FALSE},
#define ON_WM_INITMENUPOPUP() {WM_INITMENUPOPUP, 0, 0, 0, &afx_thunk::InitMenuPopup<ThisClass, &ThisClass::OnInitMenuPopup>, FALSE},
#define ON_WM_MENUSELECT()  {WM_MENUSELECT, 0, 0, 0, &afx_thunk::MenuSelect<ThisClass, &ThisClass::OnMenuSelect>, FALSE},
#define ON_WM_ERASEBKGND()  {WM_ERASEBKGND, 0, 0, 0, &afx_thunk::EraseBkgnd<ThisClass, &ThisClass::OnEraseBkgnd>, FALSE},
#define ON_WM_SETCURSOR()   {WM_SETCURSOR, 0, 0, 0, &afx_thunk::SetCursor<ThisClass, &ThisClass::OnSetCursor>, FALSE},
#define ON_WM_PARENTNOTIFY() {WM_PARENTNOTIFY, 0, 0, 0, &afx_thunk::ParentNotify<ThisClass, &ThisClass::OnParentNotify>, FALSE},
#define ON_WM_ENABLE()      {WM_ENABLE, 0, 0, 0, &afx_thunk::Enable<ThisClass, &ThisClass::OnEnable>, FALSE},

// ---- Interface map declaration macros ---------------------------------------------------
// A nested class per interface holds no state: its methods find the object from their own
// address, at the nested member's fixed offset (offsetof on these classes is conditionally
// supported in C++17 and supported by every Windows compiler; the build silences GCC's note).
#define DECLARE_INTERFACE_MAP()                                 \
public:                                                         \
    static const AFX_INTERFACEMAP* GetThisInterfaceMap();       \
    const AFX_INTERFACEMAP* GetInterfaceMap() const override;

#define BEGIN_INTERFACE_MAP(theClass, baseClass)                                             \
    const AFX_INTERFACEMAP* theClass::GetInterfaceMap() const { return GetThisInterfaceMap(); } \
    const AFX_INTERFACEMAP* theClass::GetThisInterfaceMap()                                  \
    {                                                                                        \
        using ThisClass [[maybe_unused]] = theClass;                                         \
        using TheBaseClass = baseClass;                                                      \
        static const AFX_INTERFACEMAP_ENTRY _interfaceEntries[] = {

#define INTERFACE_PART(theClass, iid, localClass) {&(iid), offsetof(theClass, m_x##localClass)},

#define END_INTERFACE_MAP()                                                                  \
            {nullptr, 0}};                                                                   \
        static const AFX_INTERFACEMAP interfaceMap = {&TheBaseClass::GetThisInterfaceMap, &_interfaceEntries[0]}; \
        return &interfaceMap;                                                                \
    }

// The nested class implementing one interface; IUnknown goes to the outer object.
#define BEGIN_INTERFACE_PART(localClass, baseClass)                                  \
    class X##localClass : public baseClass {                                         \
    public:                                                                          \
        STDMETHOD_(ULONG, AddRef)() override;                                        \
        STDMETHOD_(ULONG, Release)() override;                                       \
        STDMETHOD(QueryInterface)(REFIID iid, void** ppvObj) override;

#define END_INTERFACE_PART(localClass) \
    } m_x##localClass;                 \
    friend class X##localClass;

// Inside a method of a nested class: pThis is the object that holds it.
#define METHOD_PROLOGUE(theClass, localClass)                                                         \
    theClass* pThis = reinterpret_cast<theClass*>(reinterpret_cast<BYTE*>(this) -                     \
                                                  offsetof(theClass, m_x##localClass));               \
    (void)pThis;
