// CShellDispatch: the shell's automation object Shell.Application through its
// IDispatch. One operation for each property and method of IShellDispatch,
// with the interface's dispatch ids; failures are thrown as the driver's exceptions.
#pragma once

#include "framework/OleDispatchDriver.h"

class CShellDispatch : public COleDispatchDriver {
public:
    CShellDispatch() = default;
    // Takes over the caller's reference.
    explicit CShellDispatch(LPDISPATCH pDispatch, BOOL bAutoRelease = TRUE)
        : COleDispatchDriver(pDispatch, bAutoRelease)
    {
    }

    // Dispatch ids in the interface's order.
    enum : DISPID {
        dispidApplication = 0x60020000,
        dispidParent,
        dispidNameSpace,
        dispidBrowseForFolder,
        dispidWindows,
        dispidOpen,
        dispidExplore,
        dispidMinimizeAll,
        dispidUndoMinimizeALL,
        dispidFileRun,
        dispidCascadeWindows,
        dispidTileVertically,
        dispidTileHorizontally,
        dispidShutdownWindows,
        dispidSuspend,
        dispidEjectPC,
        dispidSetTime,
        dispidTrayProperties,
        dispidHelp,
        dispidFindFiles,
        dispidFindComputer,
        dispidRefreshMenu,
        dispidControlPanelItem,
    };

    // Properties; the returned interfaces come with a reference for the caller.
    LPDISPATCH GetApplication();
    LPDISPATCH GetParent();

    // Methods. A folder argument is a path string or a special-folder number.
    LPDISPATCH NameSpace(const VARIANT& vDir);
    LPDISPATCH BrowseForFolder(long Hwnd, LPCSTR Title, long Options, const VARIANT& RootFolder);
    LPDISPATCH Windows();
    void Open(const VARIANT& vDir);
    void Explore(const VARIANT& vDir);
    void MinimizeAll();
    void UndoMinimizeALL();
    void FileRun();
    void CascadeWindows();
    void TileVertically();
    void TileHorizontally();
    void ShutdownWindows();
    void Suspend();
    void EjectPC();
    void SetTime();
    void TrayProperties();
    void Help();
    void FindFiles();
    void FindComputer();
    void RefreshMenu();
    void ControlPanelItem(LPCSTR bstrDir);
};
