// A folder tree made by a test under the temporary folder, unique to the run (process id
// and tick count, so an earlier run that was killed cannot be in the way), removed with
// everything in it when the object goes.
#pragma once

#include <initializer_list>
#include <string>

class ScratchFolder {
public:
    explicit ScratchFolder(const std::string& tag);
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // The folder's full path, or that of something inside it.
    std::string Path(const std::string& relative = "") const;
    // The folder's own name.
    std::string Name() const;
    void MakeFolders(std::initializer_list<const char*> relatives) const;
    void MakeFiles(std::initializer_list<const char*> relatives, const std::string& contents = "") const;

    // Deletes a folder and everything in it; TRUE when it is gone.
    static bool RemoveTree(const std::string& path);

private:
    std::string m_path;
};
