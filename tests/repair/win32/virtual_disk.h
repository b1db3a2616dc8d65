#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "system_tool.h"

namespace velstrand::testing {

// Whether diskpart can be handed `path` in a script: it reads the script in a code page of its own, which plain
// ASCII survives.
bool DiskpartCanName(const std::filesystem::path& path);

// A 64 MB virtual disk holding one volume of `format` (diskpart's "fat32", "exfat"), made as the file `image` and
// mounted on the empty folder `mountFolder` of an NTFS volume; detached when the object goes. Only an elevated
// process on Windows can make one. The test kit detaches any that a run cut short left in its temporary folder.
class VirtualDisk {
  public:
    VirtualDisk(std::filesystem::path image, std::filesystem::path mountFolder, std::wstring_view format);
    ~VirtualDisk();
    VirtualDisk(const VirtualDisk&) = delete;
    VirtualDisk& operator=(const VirtualDisk&) = delete;

    // Empty once the volume is mounted; otherwise what went wrong, in diskpart's own words.
    const std::string& Failure() const { return failure_; }

    // Takes the volume off its folder and detaches the disk, once; false, saying why in Failure(), when diskpart
    // could not detach it.
    bool Detach();

  private:
    ToolRun Diskpart(const std::vector<std::wstring>& commands) const;

    std::filesystem::path image_;
    std::filesystem::path mountFolder_;
    bool detached_ = false;
    std::string failure_;
};

}  // namespace velstrand::testing
