// One shell item's attributes, as its folder gives them.
#pragma once

#include <windows.h>
#include <shlobj.h>

// Asks one item's attributes. The answer is masked (Wine sets bits nobody asked for);
// when the call fails the asked-for mask stands as the answer.
inline SFGAOF ItemAttributes(IShellFolder* pFolder, LPCITEMIDLIST pidlRel, SFGAOF mask)
{
    SFGAOF attrs = mask;
    if (pFolder) pFolder->GetAttributesOf(1, &pidlRel, &attrs);
    return attrs & mask;
}
