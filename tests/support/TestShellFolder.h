// Shell folders of the tests' own that stand in front of a real one: a base that passes
// every call on, and a wrapper whose options make chosen calls fail, add or remove
// attributes, give a context menu or drop target of the test's own, and count references.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <map>
#include <string>

#include "shell/ComPtr.h"

// Passes every IShellFolder call on to the real folder it holds a reference of; reference
// counting is left to the class that derives from it, which overrides what it changes.
class CForwardingFolder : public IShellFolder {
public:
    explicit CForwardingFolder(IShellFolder* pInner) : m_spInner(pInner) {}
    virtual ~CForwardingFolder() = default;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
    HRESULT STDMETHODCALLTYPE ParseDisplayName(HWND hwnd, LPBC pbc, LPWSTR pszName, ULONG* pchEaten,
                                               LPITEMIDLIST* ppidl, ULONG* pdwAttributes) override;
    HRESULT STDMETHODCALLTYPE EnumObjects(HWND hwnd, SHCONTF flags, IEnumIDList** ppEnum) override;
    HRESULT STDMETHODCALLTYPE BindToObject(LPCITEMIDLIST pidl, LPBC pbc, REFIID riid, void** ppv) override;
    HRESULT STDMETHODCALLTYPE BindToStorage(LPCITEMIDLIST pidl, LPBC pbc, REFIID riid, void** ppv) override;
    HRESULT STDMETHODCALLTYPE CompareIDs(LPARAM lParam, LPCITEMIDLIST pidl1, LPCITEMIDLIST pidl2) override;
    HRESULT STDMETHODCALLTYPE CreateViewObject(HWND hwnd, REFIID riid, void** ppv) override;
    HRESULT STDMETHODCALLTYPE GetAttributesOf(UINT cidl, LPCITEMIDLIST* apidl, SFGAOF* pAttrs) override;
    HRESULT STDMETHODCALLTYPE GetUIObjectOf(HWND hwnd, UINT cidl, LPCITEMIDLIST* apidl, REFIID riid, UINT* pReserved,
                                            void** ppv) override;
    HRESULT STDMETHODCALLTYPE GetDisplayNameOf(LPCITEMIDLIST pidl, SHGDNF flags, STRRET* pName) override;
    HRESULT STDMETHODCALLTYPE SetNameOf(HWND hwnd, LPCITEMIDLIST pidl, LPCWSTR pszName, SHGDNF flags,
                                        LPITEMIDLIST* ppidlOut) override;

protected:
    CComPtr<IShellFolder> m_spInner;
};

// Options and counters shared by a wrapping folder and every folder it binds.
struct CTestFolderState {
    std::map<std::wstring, SFGAOF> addAttrs;     // by the child's name in its folder
    std::map<std::wstring, SFGAOF> removeAttrs;
    BOOL bFailEnum = FALSE;
    BOOL bFailBind = FALSE;
    BOOL bFailCompare = FALSE;
    BOOL bFailRename = FALSE;
    HRESULT hrUIObject = S_OK;     // a failure to give for GetUIObjectOf
    int nNamesBeforeFailure = -1;  // normal display names given before they fail
    std::wstring failNameOf;       // the child whose normal display name fails
    BOOL bOwnMenu = FALSE;         // context menus of one item whose command returns hrInvoke
    std::string menuVerb;          // the verb that command names ("": it names none)
    HRESULT hrInvoke = S_OK;
    int nNames = 0, nUIObjects = 0, nInvokes = 0, nRenames = 0;
    LONG nLive = 0;  // wrapping folders alive
    LONG nRefs = 0;  // references held on them
    std::map<std::wstring, IDropTarget*> dropTargets;  // given (with a reference) for these children
};

// Wraps a real folder (taking one reference of it); starts with one reference. Every folder
// it binds is wrapped the same way, with the same state.
IShellFolder* NewTestFolder(IShellFolder* pInner, CTestFolderState* pState);
