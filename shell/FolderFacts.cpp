#include "shell/FolderFacts.h"

BOOL MayShowPlainFolderIcon(SFGAOF attrsItem, SFGAOF attrsContainer)
{
    const SFGAOF kFileSystemFolder = SFGAO_FOLDER | SFGAO_FILESYSTEM;
    return (attrsItem & kPlainFolderAttributes) == kFileSystemFolder &&
           (attrsContainer & kPlainFolderAttributes) == kFileSystemFolder;
}
