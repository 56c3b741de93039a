#include "shell/FolderFacts.h"

#include "shell/ComPtr.h"
#include "shell/DiskFolders.h"
#include "shell/ItemAttributes.h"
#include "shell/ItemNames.h"
#include "shell/Wine.h"

namespace {

const SFGAOF kFileSystemFolder = SFGAO_FILESYSTEM | SFGAO_FOLDER;

}  // namespace

BOOL FolderMayHaveSubFolders(IShellFolder* pFolder, LPCITEMIDLIST pidlRel)
{
    const SFGAOF attrs =
        ItemAttributes(pFolder, pidlRel, SFGAO_HASSUBFOLDER | (IsRunningUnderWine() ? kFileSystemFolder : 0));
    if (!(attrs & SFGAO_HASSUBFOLDER)) return FALSE;
    if (!SubFoldersNeedDiskCheck(attrs)) return TRUE;
    std::wstring strPath;
    if (!GetChildParsingName(pFolder, pidlRel, strPath)) return TRUE;
    return DiskFolderHasSubFolder(strPath.c_str());
}

BOOL IsFolderGone(IShellFolder* pFolder, LPCITEMIDLIST pidlRel, const std::wstring* pPath)
{
    if (!pFolder) return FALSE;
    if (IsRunningUnderWine()) {
        // Wine binds a deleted folder all the same: for a folder on a disk the disk answers.
        std::wstring strPath;
        if (pPath) strPath = *pPath;
        else GetChildParsingName(pFolder, pidlRel, strPath);
        const BOOL bDiskPath = (strPath.size() >= 3 && strPath[1] == L':' && strPath[2] == L'\\') ||
                               (strPath.size() > 2 && strPath[0] == L'\\' && strPath[1] == L'\\');
        if (bDiskPath) return !DiskFolderExists(strPath.c_str());
    }
    CComPtr<IShellFolder> spGone;
    return FAILED(pFolder->BindToObject(pidlRel, nullptr, IID_IShellFolder, spGone.PutVoid()));
}

SFGAOF DiskCheckAttributes()
{
    return IsRunningUnderWine() ? kPlainFolderAttributes : 0;
}

bool SubFoldersNeedDiskCheck(SFGAOF attrs)
{
    return IsRunningUnderWine() && (attrs & kFileSystemFolder) == kFileSystemFolder;
}

BOOL MayShowPlainFolderIcon(SFGAOF attrsItem, SFGAOF attrsContainer)
{
    return IsRunningUnderWine() && (attrsItem & kPlainFolderAttributes) == kFileSystemFolder &&
           (attrsContainer & kPlainFolderAttributes) == kFileSystemFolder;
}
