#include "frames/ShellDispatch.h"

LPDISPATCH CShellDispatch::GetApplication()
{
    LPDISPATCH result = nullptr;
    InvokeHelper(dispidApplication, DISPATCH_PROPERTYGET, VT_DISPATCH, &result, nullptr);
    return result;
}

LPDISPATCH CShellDispatch::GetParent()
{
    LPDISPATCH result = nullptr;
    InvokeHelper(dispidParent, DISPATCH_PROPERTYGET, VT_DISPATCH, &result, nullptr);
    return result;
}

LPDISPATCH CShellDispatch::NameSpace(const VARIANT& vDir)
{
    static const BYTE params[] = VTS_VARIANT;
    LPDISPATCH result = nullptr;
    InvokeHelper(dispidNameSpace, DISPATCH_METHOD, VT_DISPATCH, &result, params, &vDir);
    return result;
}

LPDISPATCH CShellDispatch::BrowseForFolder(long Hwnd, LPCSTR Title, long Options, const VARIANT& RootFolder)
{
    static const BYTE params[] = VTS_I4 VTS_BSTR VTS_I4 VTS_VARIANT;
    LPDISPATCH result = nullptr;
    InvokeHelper(dispidBrowseForFolder, DISPATCH_METHOD, VT_DISPATCH, &result, params, Hwnd, Title, Options,
                 &RootFolder);
    return result;
}

LPDISPATCH CShellDispatch::Windows()
{
    LPDISPATCH result = nullptr;
    InvokeHelper(dispidWindows, DISPATCH_METHOD, VT_DISPATCH, &result, nullptr);
    return result;
}

void CShellDispatch::Open(const VARIANT& vDir)
{
    static const BYTE params[] = VTS_VARIANT;
    InvokeHelper(dispidOpen, DISPATCH_METHOD, VT_EMPTY, nullptr, params, &vDir);
}

void CShellDispatch::Explore(const VARIANT& vDir)
{
    static const BYTE params[] = VTS_VARIANT;
    InvokeHelper(dispidExplore, DISPATCH_METHOD, VT_EMPTY, nullptr, params, &vDir);
}

void CShellDispatch::MinimizeAll()
{
    InvokeHelper(dispidMinimizeAll, DISPATCH_METHOD, VT_EMPTY, nullptr, nullptr);
}

void CShellDispatch::UndoMinimizeALL()
{
    InvokeHelper(dispidUndoMinimizeALL, DISPATCH_METHOD, VT_EMPTY, nullptr, nullptr);
}

void CShellDispatch::FileRun()
{
    InvokeHelper(dispidFileRun, DISPATCH_METHOD, VT_EMPTY, nullptr, nullptr);
}

void CShellDispatch::CascadeWindows()
{
    InvokeHelper(dispidCascadeWindows, DISPATCH_METHOD, VT_EMPTY, nullptr, nullptr);
}

void CShellDispatch::TileVertically()
{
    InvokeHelper(dispidTileVertically, DISPATCH_METHOD, VT_EMPTY, nullptr, nullptr);
}

void CShellDispatch::TileHorizontally()
{
    InvokeHelper(dispidTileHorizontally, DISPATCH_METHOD, VT_EMPTY, nullptr, nullptr);
}

void CShellDispatch::ShutdownWindows()
{
    InvokeHelper(dispidShutdownWindows, DISPATCH_METHOD, VT_EMPTY, nullptr, nullptr);
}

void CShellDispatch::Suspend()
{
    InvokeHelper(dispidSuspend, DISPATCH_METHOD, VT_EMPTY, nullptr, nullptr);
}

void CShellDispatch::EjectPC()
{
    InvokeHelper(dispidEjectPC, DISPATCH_METHOD, VT_EMPTY, nullptr, nullptr);
}

void CShellDispatch::SetTime()
{
    InvokeHelper(dispidSetTime, DISPATCH_METHOD, VT_EMPTY, nullptr, nullptr);
}

void CShellDispatch::TrayProperties()
{
    InvokeHelper(dispidTrayProperties, DISPATCH_METHOD, VT_EMPTY, nullptr, nullptr);
}

void CShellDispatch::Help()
{
    InvokeHelper(dispidHelp, DISPATCH_METHOD, VT_EMPTY, nullptr, nullptr);
}

void CShellDispatch::FindFiles()
{
    InvokeHelper(dispidFindFiles, DISPATCH_METHOD, VT_EMPTY, nullptr, nullptr);
}

void CShellDispatch::FindComputer()
{
    InvokeHelper(dispidFindComputer, DISPATCH_METHOD, VT_EMPTY, nullptr, nullptr);
}

void CShellDispatch::RefreshMenu()
{
    InvokeHelper(dispidRefreshMenu, DISPATCH_METHOD, VT_EMPTY, nullptr, nullptr);
}

void CShellDispatch::ControlPanelItem(LPCSTR bstrDir)
{
    static const BYTE params[] = VTS_BSTR;
    InvokeHelper(dispidControlPanelItem, DISPATCH_METHOD, VT_EMPTY, nullptr, params, bstrDir);
}
