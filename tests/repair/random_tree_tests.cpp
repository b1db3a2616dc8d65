// Runs whole repairs over generated game trees and checks the files deleted against an oracle that knows the
// tree from its generation alone, not from any listing. Seeds are fixed so that a failure can be replayed.
#include <algorithm>
#include <gtest/gtest.h>
#include <iostream>
#include <random>
#include <set>

#include "platform/wildcard_match.h"
#include "repair/repair_run.h"
#include "support/fake_services.h"

namespace velstrand {
namespace {

using testing::FakeServices;

constexpr int kSeeds = 400;
// The tree is built in the file system's own spelling, so that it can hold a folder "d1." beside a "d1"; the window
// shows the folder as a player types it.
const std::wstring kGame = L"\\\\?\\D:\\Game";
const std::wstring kGameText = L"D:\\Game";
const std::wstring kOutside = L"E:\\Outside";

// Upper-cased, and without a "\\?\" prefix, so that paths from the tree, the sweep and the substitute compare.
std::wstring Upper(std::wstring text) {
    if (text.starts_with(L"\\\\?\\")) {
        text.erase(0, 4);
    }
    std::transform(text.begin(), text.end(), text.begin(), FoldCase);
    return text;
}

// True when the file's own name ends in "." and one of the swept extensions, letter case ignored.
bool HasSweptExtension(const std::wstring& name) {
    static const wchar_t* const extensions[] = {L".TDL", L".SPK", L".DMP"};
    const std::wstring upper = Upper(name);
    return std::any_of(std::begin(extensions), std::end(extensions),
                       [&](const wchar_t* extension) { return upper.ends_with(extension); });
}

class TreeGenerator {
  public:
    explicit TreeGenerator(unsigned seed) : random_(seed), breadth_(3 + static_cast<int>(seed % 8)) {}

    int entries = 0;
    std::set<std::wstring> expectedDeleted;  // upper-cased full paths

    void Generate(FakeServices& fake) {
        fake.AddFile(kOutside + L"\\far.tdl");
        fake.AddFile(kOutside + L"\\deeper\\far.dmp");
        fake.AddFile(kGame + L"\\start\\TenProtect\\BugTrace.log");
        expectedDeleted.insert(Upper(kGame + L"\\start\\TenProtect\\BugTrace.log"));
        Fill(fake, kGame, 0, false, {kGame});
    }

  private:
    static std::wstring ChildPath(const std::wstring& folder, const std::wstring& name) {
        return folder + L'\\' + name;
    }

    int Roll(int below) { return std::uniform_int_distribution<int>(0, below - 1)(random_); }

    std::wstring FileName() {
        static const wchar_t* const stems[] = {L"f", L"F", L".f", L"crash", L"a b"};
        static const wchar_t* const extensions[] = {L".tdl",     L".TDL",     L".Spk", L".dmp", L".DMP",    L".tdlx",
                                                    L".tdl.bak", L".dmp_old", L"",     L".txt", L".spk.tdl"};
        return stems[Roll(5)] + std::to_wstring(counter_++) + extensions[Roll(11)];
    }

    std::wstring FolderName() {
        static const wchar_t* const forms[] = {L"d", L"D", L".d", L"x.tdl-", L"s p"};
        std::wstring name = forms[Roll(5)] + std::to_wstring(counter_++);
        return Roll(6) == 0 ? name + L".dmp" : name;
    }

    void Fill(FakeServices& fake,
              const std::wstring& folder,
              int depth,
              bool excluded,
              std::vector<std::wstring> ancestors) {
        const int children = (depth == 0 ? 2 : 0) + Roll(depth < 4 ? breadth_ : 3);
        for (int i = 0; i < children; ++i) {
            ++entries;
            const int kind = Roll(10);
            if (kind < 6) {
                const std::wstring path = ChildPath(folder, FileName());
                std::uint32_t attributes = 0;
                attributes |= Roll(8) == 0 ? attribute::kHidden : 0;
                attributes |= Roll(10) == 0 ? attribute::kSystem : 0;
                attributes |= Roll(10) == 0 ? attribute::kReadOnly : 0;
                fake.AddFile(path, attributes);
                const bool deletable =
                    (attributes & (attribute::kHidden | attribute::kSystem | attribute::kReadOnly)) == 0;
                if (!excluded && deletable && HasSweptExtension(path.substr(folder.size() + 1))) {
                    expectedDeleted.insert(Upper(path));
                }
            } else if (kind < 9) {
                const std::wstring name = FolderName();
                const std::wstring path = ChildPath(folder, name);
                std::uint32_t attributes = 0;
                attributes |= Roll(10) == 0 ? attribute::kHidden : 0;
                attributes |= Roll(15) == 0 ? attribute::kSystem : 0;
                fake.AddFolder(path, attributes);
                ancestors.push_back(path);
                Fill(fake, path, depth + 1, excluded || name.front() == L'.' || attributes != 0, ancestors);
                ancestors.pop_back();
                MaybeTwin(fake, folder, name, depth, excluded, ancestors);
            } else {
                // A link out of the tree, or back up it into a cycle.
                const std::wstring target =
                    Roll(2) == 0 ? kOutside
                                 : ancestors[static_cast<std::size_t>(Roll(static_cast<int>(ancestors.size())))];
                const std::wstring name = L"link" + std::to_wstring(counter_++);
                fake.AddFolderLink(ChildPath(folder, name), target);
                MaybeTwin(fake, folder, name, depth, excluded, ancestors);
            }
        }
    }

    // Now and then a plain folder whose name is the entry's with a trailing period: a plain path would name the
    // entry beside it (a link, a hidden folder) in its place.
    void MaybeTwin(FakeServices& fake,
                   const std::wstring& folder,
                   const std::wstring& name,
                   int depth,
                   bool excluded,
                   std::vector<std::wstring>& ancestors) {
        if (Roll(4) != 0) {
            return;
        }
        const std::wstring twin = ChildPath(folder, name + L".");
        fake.AddFolder(twin);
        ancestors.push_back(twin);
        Fill(fake, twin, depth + 1, excluded || name.front() == L'.', ancestors);
        ancestors.pop_back();
    }

    std::mt19937 random_;
    int breadth_;  // how bushy the upper levels are: seeds range from sparse trees to large ones
    int counter_ = 0;
};

std::set<std::wstring> UpperSet(const std::vector<std::wstring>& paths) {
    std::set<std::wstring> set;
    for (const std::wstring& path : paths) {
        set.insert(Upper(path));
    }
    return set;
}

TEST(RandomTrees, RepairDeletesExactlyWhatTheOracleExpects) {
    int smallest = 1 << 30, largest = 0, expectedTotal = 0;
    for (unsigned seed = 1; seed <= kSeeds; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        FakeServices fake;
        fake.AddFile(L"C:\\Tools\\taskkill.exe");
        TreeGenerator tree(seed);
        tree.Generate(fake);
        smallest = std::min(smallest, tree.entries);
        largest = std::max(largest, tree.entries);
        expectedTotal += static_cast<int>(tree.expectedDeleted.size());

        const std::set<std::wstring> before = UpperSet(fake.AllFiles());
        RunRepair(fake, RepairInputs{kGameText, seed % 2 == 0});

        std::set<std::wstring> expectedAfter;
        std::set_difference(before.begin(), before.end(), tree.expectedDeleted.begin(), tree.expectedDeleted.end(),
                            std::inserter(expectedAfter, expectedAfter.end()));
        ASSERT_EQ(UpperSet(fake.RemovedFiles()), tree.expectedDeleted);
        ASSERT_EQ(fake.RemovedFiles().size(), tree.expectedDeleted.size()) << "a file was deleted twice";
        ASSERT_EQ(UpperSet(fake.AllFiles()), expectedAfter);
        ASSERT_EQ(fake.Messages(), std::vector<std::wstring>{std::wstring(kCompletionMessage)});
    }
    std::cout << "[ coverage ] " << kSeeds << " seeds, trees of " << smallest << " to " << largest << " entries, "
              << expectedTotal << " files expected deleted in all\n";
}

}  // namespace
}  // namespace velstrand
