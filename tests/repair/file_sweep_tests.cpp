#include <algorithm>
#include <gtest/gtest.h>

#include "repair/file_sweep.h"
#include "support/fake_services.h"

namespace velstrand {
namespace {

using testing::FakeServices;
using testing::Operation;
using testing::ServiceCall;

class FileSweep : public ::testing::Test {
  protected:
    FileSweep() { fake.AddFolder(L"D:\\DNF"); }

    std::vector<std::wstring> Found(const std::wstring& root, const std::wstring& pattern) {
        std::vector<std::wstring> files;
        const std::int32_t count = TreeSearch(fake, root, pattern, files);
        EXPECT_EQ(count, static_cast<std::int32_t>(files.size()));
        return files;
    }

    // What the run hands a sweep: the folder as the file system is given it.
    static GameFolder Folder(std::wstring_view text) { return ReadGameFolder(text).value(); }

    FakeServices fake;
    GameFolder game = Folder(L"D:\\DNF");
};

TEST_F(FileSweep, FindsInDepthFirstPreOrderWithTheRootsOwnMatchesFirst) {
    fake.AddFile(L"D:\\DNF\\b\\x.tdl");
    fake.AddFile(L"D:\\DNF\\b\\c\\y.tdl");
    fake.AddFile(L"D:\\DNF\\a\\z.tdl");
    fake.AddFile(L"D:\\DNF\\root.tdl");
    fake.AddFile(L"D:\\DNF\\b\\w.tdl");
    EXPECT_EQ(Found(L"D:\\DNF\\", L"*.tdl"),
              (std::vector<std::wstring>{L"D:\\DNF\\root.tdl", L"D:\\DNF\\a\\z.tdl", L"D:\\DNF\\b\\w.tdl",
                                         L"D:\\DNF\\b\\x.tdl", L"D:\\DNF\\b\\c\\y.tdl"}));
}

TEST_F(FileSweep, FiltersConcealedEntriesDotFoldersAndLookalikes) {
    fake.AddFile(L"D:\\DNF\\UPPER.TDL");
    fake.AddFile(L"D:\\DNF\\.dotfile.tdl");  // the file pass makes no "." test
    fake.AddFile(L"D:\\DNF\\hidden.tdl", attribute::kHidden);
    fake.AddFile(L"D:\\DNF\\system.tdl", attribute::kSystem);
    fake.AddFile(L"D:\\DNF\\readonly.tdl", attribute::kReadOnly);
    fake.AddFile(L"D:\\DNF\\a.tdlx");
    fake.AddFile(L"D:\\DNF\\a.tdl.bak");
    fake.AddFile(L"D:\\DNF\\.git\\in-dot-folder.tdl");
    fake.AddFile(L"D:\\DNF\\Secret\\in-hidden-folder.tdl");
    fake.AddFolder(L"D:\\DNF\\Secret", attribute::kHidden);
    fake.AddFile(L"D:\\DNF\\Sys\\in-system-folder.tdl");
    fake.AddFolder(L"D:\\DNF\\Sys", attribute::kSystem);
    fake.AddFile(L"D:\\DNF\\folder.tdl\\inside.tdl");  // a folder named like the pattern is searched, not taken
    EXPECT_EQ(Found(L"D:\\DNF", L"*.tdl"),
              (std::vector<std::wstring>{L"D:\\DNF\\.dotfile.tdl", L"D:\\DNF\\readonly.tdl", L"D:\\DNF\\UPPER.TDL",
                                         L"D:\\DNF\\folder.tdl\\inside.tdl"}));
}

// The substitute, like Windows, has one listing per process: a sweep that descended before a folder's listing
// was read to its end would lose that folder's later entries, and with them "b" and "z.tdl" here.
TEST_F(FileSweep, ReadsEachListingToItsEndBeforeTheNextAndQueriesEachEntryOnce) {
    fake.AddFile(L"D:\\DNF\\a\\x.tdl");
    fake.AddFile(L"D:\\DNF\\b\\y.tdl");
    fake.AddFile(L"D:\\DNF\\plain.txt");
    fake.AddFile(L"D:\\DNF\\z.tdl");
    EXPECT_EQ(Found(L"D:\\DNF", L"*.tdl"),
              (std::vector<std::wstring>{L"D:\\DNF\\z.tdl", L"D:\\DNF\\a\\x.tdl", L"D:\\DNF\\b\\y.tdl"}));

    std::vector<std::wstring> queried;
    for (const ServiceCall& call : fake.Calls()) {
        if (call.operation == Operation::GetAttributes) {
            queried.push_back(call.argument);
        }
    }
    std::sort(queried.begin(), queried.end());
    EXPECT_EQ(queried, (std::vector<std::wstring>{L"D:\\DNF\\a", L"D:\\DNF\\a\\x.tdl", L"D:\\DNF\\b",
                                                  L"D:\\DNF\\b\\y.tdl", L"D:\\DNF\\plain.txt", L"D:\\DNF\\z.tdl"}))
        << "each entry once, \".\" and \"..\" never";
}

// A sweep reads the folder text once, as Windows reads a folder, and joins every name to that as it stands.
TEST_F(FileSweep, TrailingBackslashesAreKeptNotAddedAndASweepReadsItsFolderOnce) {
    fake.AddFile(L"D:\\DNF\\a.spk");
    EXPECT_EQ(Found(L"D:\\DNF\\", L"*.spk"), std::vector<std::wstring>{L"D:\\DNF\\a.spk"});
    EXPECT_EQ(Found(L"D:\\DNF\\\\", L"*.spk"), std::vector<std::wstring>{L"D:\\DNF\\\\a.spk"});

    fake.AddFile(L"D:\\DNF\\sub\\b.spk");
    Search(fake, Folder(L"D:/DNF\\."), L"spk");
    EXPECT_EQ(fake.RemovedFiles(), (std::vector<std::wstring>{LR"(\\?\D:\DNF\a.spk)", LR"(\\?\D:\DNF\sub\b.spk)"}));
}

// NTFS allows a folder "foo." beside a "foo". A plain path names "foo" for both, so a sweep that joined names to a
// plain root would enter the link or the hidden folder in place of its twin, and never the twin itself.
TEST_F(FileSweep, AFolderWithATrailingPeriodIsEnteredAsListedNeverAsItsTwin) {
    fake.AddFile(L"E:\\outside\\far.tdl");
    fake.AddFolderLink(L"D:\\DNF\\foo", L"E:\\outside");
    fake.AddFile(LR"(\\?\D:\DNF\foo.\near.tdl)");
    fake.AddFile(L"D:\\DNF\\bar\\secret.tdl");
    fake.AddFolder(L"D:\\DNF\\bar", attribute::kHidden);
    fake.AddFile(LR"(\\?\D:\DNF\bar.\open.tdl)");
    fake.AddFile(LR"(\\?\D:\DNF\bar.\keep.txt)");
    Search(fake, game, L"tdl");
    EXPECT_EQ(fake.RemovedFiles(),
              (std::vector<std::wstring>{LR"(\\?\D:\DNF\bar.\open.tdl)", LR"(\\?\D:\DNF\foo.\near.tdl)"}));
    EXPECT_TRUE(fake.Exists(L"E:\\outside\\far.tdl"));
    EXPECT_TRUE(fake.Exists(L"D:\\DNF\\bar\\secret.tdl"));
}

TEST_F(FileSweep, ListingsThatFailCountAsEndedOrEmpty) {
    for (int i = 1; i <= 4; ++i) {
        fake.AddFile(L"D:\\DNF\\f" + std::to_wstring(i) + L".dmp");
    }
    fake.AddFile(L"D:\\DNF\\sub\\deep.dmp");
    fake.AddFile(L"D:\\DNF\\broken\\never.dmp");
    int nextCalls = 0;
    fake.FailWhen([&](Operation op, const std::wstring& argument) {
        if (op == Operation::FindNextName && argument == L"D:\\DNF\\*.dmp") {
            return ++nextCalls == 2;  // the root's file listing breaks after two names
        }
        return op == Operation::FindFirstName && argument == L"D:\\DNF\\broken\\*.dmp";
    });
    EXPECT_EQ(Found(L"D:\\DNF", L"*.dmp"),
              (std::vector<std::wstring>{L"D:\\DNF\\f1.dmp", L"D:\\DNF\\f2.dmp", L"D:\\DNF\\sub\\deep.dmp"}));
}

TEST_F(FileSweep, AnEntryWhoseAttributesFailIsSearchedAsAFolder) {
    fake.AddFile(L"D:\\DNF\\sub\\a.tdl");
    fake.AddFile(L"D:\\DNF\\file.txt");
    fake.FailWhen([](Operation op, const std::wstring&) { return op == Operation::GetAttributes; });
    EXPECT_EQ(Found(L"D:\\DNF", L"*.tdl"), std::vector<std::wstring>{L"D:\\DNF\\sub\\a.tdl"});
    const auto& calls = fake.Calls();
    EXPECT_NE(std::find(calls.begin(), calls.end(), ServiceCall{Operation::FindFirstName, L"D:\\DNF\\file.txt\\*.tdl"}),
              calls.end());
}

TEST_F(FileSweep, NeverLeavesTheTreeThroughALinkNorLoopsThroughACycle) {
    fake.AddFile(L"E:\\elsewhere\\precious.tdl");
    fake.AddFolderLink(L"D:\\DNF\\outside", L"E:\\elsewhere");
    fake.AddFolderLink(L"D:\\DNF\\sub\\loop", L"D:\\DNF");
    fake.AddFile(L"D:\\DNF\\sub\\mine.tdl");
    fake.AddFile(L"D:\\DNF\\filelink.tdl", attribute::kReparsePoint);
    Search(fake, game, L"tdl");
    EXPECT_EQ(fake.RemovedFiles(), (std::vector<std::wstring>{LR"(\\?\D:\DNF\sub\mine.tdl)"}));
    EXPECT_TRUE(fake.Exists(L"E:\\elsewhere\\precious.tdl"));
    EXPECT_TRUE(fake.Exists(L"D:\\DNF\\filelink.tdl"));
}

// Another program swaps a listed folder for a link to a folder outside holding the same names, after the search
// and before the deletions: no deletion may pass it.
TEST_F(FileSweep, AFolderSwappedForALinkAfterTheSearchIsNotDeletedThrough) {
    fake.AddFile(L"D:\\DNF\\a.tdl");
    fake.AddFile(L"D:\\DNF\\sub\\deep\\b.tdl");
    fake.AddFile(L"E:\\elsewhere\\deep\\b.tdl");
    bool swapped = false;
    fake.FailWhen([&](Operation op, const std::wstring&) {
        if (op == Operation::RemoveFile && !swapped) {
            swapped = true;
            fake.AddFolderLink(L"D:\\DNF\\sub", L"E:\\elsewhere");
        }
        return false;
    });
    Search(fake, game, L"tdl");
    EXPECT_EQ(fake.RemovedFiles(), (std::vector<std::wstring>{LR"(\\?\D:\DNF\a.tdl)"}));
    EXPECT_TRUE(fake.Exists(L"E:\\elsewhere\\deep\\b.tdl"));
}

TEST_F(FileSweep, DeletesAfterTheWholeSearchAndGoesOnPastAFileThatStays) {
    fake.AddFile(L"D:\\DNF\\a.dmp");
    fake.AddFile(L"D:\\DNF\\b.dmp", attribute::kReadOnly);
    fake.AddFile(L"D:\\DNF\\c.dmp");
    fake.AddFile(L"D:\\DNF\\sub\\d.dmp");
    fake.FailWhen([](Operation op, const std::wstring& path) {
        return op == Operation::RemoveFile && path == LR"(\\?\D:\DNF\c.dmp)";  // held open
    });
    EXPECT_EQ(Search(fake, game, L"dmp"), 1u) << "the read-only file is kept on purpose; the held one stayed";

    const auto& calls = fake.Calls();
    const auto firstRemove = std::find_if(calls.begin(), calls.end(),
                                          [](const ServiceCall& c) { return c.operation == Operation::RemoveFile; });
    EXPECT_TRUE(std::none_of(firstRemove, calls.end(), [](const ServiceCall& c) {
        return c.operation == Operation::FindFirstName || c.operation == Operation::FindNextName;
    }));
    EXPECT_EQ(std::count_if(calls.begin(), calls.end(),
                            [](const ServiceCall& c) { return c.operation == Operation::RemoveFile; }),
              4);
    EXPECT_EQ(fake.RemovedFiles(), (std::vector<std::wstring>{LR"(\\?\D:\DNF\a.dmp)", LR"(\\?\D:\DNF\sub\d.dmp)"}));
    EXPECT_TRUE(fake.Exists(L"D:\\DNF\\b.dmp"));
    EXPECT_TRUE(fake.Exists(L"D:\\DNF\\c.dmp"));
}

TEST_F(FileSweep, NothingFoundMeansNothingRemovedAndEachSweepStartsAfresh) {
    Search(fake, game, L"tdl");
    EXPECT_TRUE(fake.RemovedFiles().empty());

    fake.AddFile(L"D:\\DNF\\x.spk");
    fake.AddFile(L"D:\\DNF\\y.DMP");
    Search(fake, game, L"spk");
    Search(fake, game, L"dmp");
    EXPECT_EQ(fake.RemovedFiles(), (std::vector<std::wstring>{LR"(\\?\D:\DNF\x.spk)", LR"(\\?\D:\DNF\y.DMP)"}));
}

TEST_F(FileSweep, MissingFolderSweepsAsEmpty) {
    EXPECT_EQ(Search(fake, Folder(L"D:\\NoSuchGame"), L"tdl"), 0u);
    EXPECT_TRUE(fake.RemovedFiles().empty());
}

}  // namespace
}  // namespace velstrand
