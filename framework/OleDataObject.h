// COleDataObject: holds the IDataObject of a drag (or of the clipboard) for the time the
// receiver looks at it.
#pragma once

#include <windows.h>
#include <objidl.h>

class COleDataObject {
public:
    COleDataObject() = default;
    ~COleDataObject() { Release(); }
    COleDataObject(const COleDataObject&) = delete;
    COleDataObject& operator=(const COleDataObject&) = delete;

    // Takes the pointer; with bAutoRelease the holder owns one reference of it and releases
    // it when it lets go (the caller's reference passes to the holder: add one first to keep yours).
    void Attach(IDataObject* pDataObject, BOOL bAutoRelease = TRUE);
    // Lets go of the pointer without releasing it; the caller takes over what the holder owned.
    IDataObject* Detach();
    // Lets go of the pointer, releasing it when the holder owned it.
    void Release();
    // The held pointer, with a reference added for the caller when asked.
    IDataObject* GetIDataObject(BOOL bAddRef) const;

private:
    IDataObject* m_lpDataObject = nullptr;
    BOOL m_bAutoRelease = TRUE;
};
