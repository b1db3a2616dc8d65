#include <gtest/gtest.h>

#include "platform/entry_nature.h"
#include "platform/runtime_services.h"

namespace velstrand {
namespace {

// Tags as Windows defines them (winnt.h).
constexpr std::uint32_t kMountPoint = 0xA0000003;  // a junction
constexpr std::uint32_t kSymbolicLink = 0xA000000C;
constexpr std::uint32_t kWslLink = 0xA000001D;
constexpr std::uint32_t kWof = 0x80000017;    // compact /exe, CompactGUI
constexpr std::uint32_t kDedup = 0x80000013;  // data deduplication
constexpr std::uint32_t kCloud = 0x9000001A;  // a OneDrive placeholder
constexpr std::uint32_t kHsm = 0xC0000004;

constexpr std::uint32_t kFile = attribute::kArchive;
constexpr std::uint32_t kReparseFile = attribute::kArchive | attribute::kReparsePoint;
constexpr std::uint32_t kReparseFolder = attribute::kFolder | attribute::kReparsePoint;

struct Row {
    const char* what;
    EntryAnswers answers;
    EntryNature nature;
};

const Row kRows[] = {
    {"a plain file", {EntryAnswers::Tagged{kFile, 0}, std::nullopt}, EntryNature::Ordinary},
    {"a plain folder", {EntryAnswers::Tagged{attribute::kFolder, 0}, std::nullopt}, EntryNature::Ordinary},
    {"a stale tag without the bit", {EntryAnswers::Tagged{kFile, kSymbolicLink}, std::nullopt}, EntryNature::Ordinary},
    {"a junction", {EntryAnswers::Tagged{kReparseFolder, kMountPoint}, std::nullopt}, EntryNature::Link},
    {"a symbolic link to a file", {EntryAnswers::Tagged{kReparseFile, kSymbolicLink}, std::nullopt}, EntryNature::Link},
    {"a WSL link", {EntryAnswers::Tagged{kReparseFile, kWslLink}, std::nullopt}, EntryNature::Link},
    {"a name surrogate of a later Windows",
     {EntryAnswers::Tagged{kReparseFile, 0x2000ABCD}, std::nullopt},
     EntryNature::Link},
    {"a file compressed by the player",
     {EntryAnswers::Tagged{kReparseFile, kWof}, std::nullopt},
     EntryNature::Ordinary},
    {"a deduplicated file", {EntryAnswers::Tagged{kReparseFile, kDedup}, std::nullopt}, EntryNature::Ordinary},
    {"a cloud placeholder folder", {EntryAnswers::Tagged{kReparseFolder, kCloud}, std::nullopt}, EntryNature::Ordinary},
    {"a file a storage service moved away",
     {EntryAnswers::Tagged{kReparseFile, kHsm}, std::nullopt},
     EntryNature::Ordinary},
    {"a reparse point with the reserved tag 0",
     {EntryAnswers::Tagged{kReparseFile, 0}, std::nullopt},
     EntryNature::Unknown},
    // FAT32 and exFAT answer no tag query.
    {"a file on FAT", {std::nullopt, kFile}, EntryNature::Ordinary},
    {"a folder on FAT", {std::nullopt, attribute::kFolder}, EntryNature::Ordinary},
    {"no tag but the reparse bit", {std::nullopt, kReparseFile}, EntryNature::Unknown},
    {"no answer at all", {std::nullopt, std::nullopt}, EntryNature::Unknown},
};

TEST(NatureOf, OnlyANameSurrogateIsALinkAndAnUntoldReparsePointMayBeOne) {
    for (const Row& row : kRows) {
        EXPECT_EQ(NatureOf(row.answers), row.nature) << row.what;
    }
}

}  // namespace
}  // namespace velstrand
