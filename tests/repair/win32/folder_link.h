#pragma once

#include <filesystem>

namespace velstrand::testing {

enum class LinkTo { Folder, File };

// A link to a folder or a file, made for a test and removed (the link alone) when the object goes: on Windows a
// junction, or a symbolic link to a file, which needs developer mode or an elevated test. Under Wine a link made
// from inside is not real, so it is a Linux symbolic link, which Wine lists as a folder with the reparse-point bit,
// or as a plain file.
// Keep the target inside the test's own scratch folder: under Wine, deleting a link can reach its target.
class FolderLink {
  public:
    FolderLink(std::filesystem::path link, const std::filesystem::path& target, LinkTo kind = LinkTo::Folder);
    ~FolderLink();
    FolderLink(const FolderLink&) = delete;
    FolderLink& operator=(const FolderLink&) = delete;

    bool Made() const { return made_; }

  private:
    std::filesystem::path link_;
    LinkTo kind_;
    bool made_ = false;
};

}  // namespace velstrand::testing
