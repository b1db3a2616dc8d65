// The behaviour every realisation of the runtime services shares. These cases run natively on the in-memory
// substitute and under Wine on real files and the real registry, so the two cannot drift apart.
//
// Names beginning with "." are avoided: Wine reports them all as hidden, Windows does not.

#include <algorithm>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/runtime_services.h"
#include "platform/services_backend.h"

namespace velstrand::testing {
namespace {

using Names = std::vector<std::wstring>;

class ServicesContract : public ::testing::Test {
  protected:
    void SetUp() override { backend_ = MakeContractBackend(); }

    RuntimeServices& Services() { return backend_->Services(); }
    ServicesBackend& Backend() { return *backend_; }
    std::wstring Path(const std::wstring& relative) { return backend_->Root() + L"\\" + relative; }

    // Every name of one listing, sorted: the order is the platform's own and no caller relies on it. No result
    // when a call fails; a listing that never ends is cut short so that the test fails instead of hanging.
    std::optional<Names> ListAll(const std::wstring& pattern, ListingFilter filter) {
        std::optional<std::wstring> name = Services().FindFirstName(pattern, filter);
        Names names;
        while (name && !name->empty() && names.size() < 100) {
            names.push_back(*name);
            name = Services().FindNextName();
        }
        if (!name) {
            return std::nullopt;
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    std::optional<std::wstring> Read(const std::wstring& subKeyAndValue) {
        return Services().ReadRegistryString(Backend().RegistryKey() + L"\\" + subKeyAndValue);
    }

  private:
    std::unique_ptr<ServicesBackend> backend_;
};

// --- Listings -------------------------------------------------------------------------------------------------

class ListingFilters : public ServicesContract {
  protected:
    void SetUp() override {
        ServicesContract::SetUp();
        Backend().MakeFolder(L"game");
        Backend().MakeFile(L"game\\plain.tdl");
        Backend().MakeFile(L"game\\locked.tdl", attribute::kReadOnly);
        Backend().MakeFile(L"game\\hidden.tdl", attribute::kHidden);
        Backend().MakeFile(L"game\\system.tdl", attribute::kSystem);
        Backend().MakeFile(L"game\\both.tdl", attribute::kHidden | attribute::kSystem | attribute::kReadOnly);
        Backend().MakeFolder(L"game\\folder.tdl");
        Backend().MakeFolder(L"game\\hiddenfolder.tdl", attribute::kHidden);
        Backend().MakeFolder(L"game\\systemfolder.tdl", attribute::kSystem);
    }
};

TEST_F(ListingFilters, PlainFilesYieldNoFolderAndNoHiddenOrSystemFile) {
    EXPECT_EQ(ListAll(Path(L"game\\*.tdl"), ListingFilter::PlainFiles), (Names{L"locked.tdl", L"plain.tdl"}));
    EXPECT_EQ(ListAll(Path(L"game\\*.*"), ListingFilter::PlainFiles), (Names{L"locked.tdl", L"plain.tdl"}));
}

TEST_F(ListingFilters, PlainFilesAndFoldersAddVisibleFoldersAndTheDotEntries) {
    EXPECT_EQ(ListAll(Path(L"game\\*"), ListingFilter::PlainFilesAndFolders),
              (Names{L".", L"..", L"folder.tdl", L"locked.tdl", L"plain.tdl"}));
    // The dot entries are names like any other: a pattern they do not match leaves them out.
    EXPECT_EQ(ListAll(Path(L"game\\*.tdl"), ListingFilter::PlainFilesAndFolders),
              (Names{L"folder.tdl", L"locked.tdl", L"plain.tdl"}));
}

TEST_F(ListingFilters, EntriesOfAHiddenFolderAreListedWhenAskedForDirectly) {
    Backend().MakeFile(L"game\\hiddenfolder.tdl\\inside.tdl");
    EXPECT_EQ(ListAll(Path(L"game\\hiddenfolder.tdl\\*"), ListingFilter::PlainFilesAndFolders),
              (Names{L".", L"..", L"inside.tdl"}));
}

TEST_F(ServicesContract, PatternsMatchEachEntrysOwnNameIgnoringCase) {
    Backend().MakeFolder(L"game");
    Backend().MakeFile(L"game\\Upper.TDL");
    Backend().MakeFile(L"game\\a.tdlx");  // its 8.3 alias A~1.TDL must not make it match "*.tdl"
    Backend().MakeFile(L"game\\b.tdl.bak");
    Backend().MakeFile(L"game\\noextension");
    Backend().MakeFolder(L"game\\x.tdl");

    EXPECT_EQ(ListAll(Path(L"game\\*.tdl"), ListingFilter::PlainFiles), (Names{L"Upper.TDL"}));
    EXPECT_EQ(ListAll(Path(L"game\\*.Tdl"), ListingFilter::PlainFilesAndFolders), (Names{L"Upper.TDL", L"x.tdl"}));
    EXPECT_EQ(ListAll(Path(L"game\\?.tdl?"), ListingFilter::PlainFiles), (Names{L"a.tdlx"}));
    EXPECT_EQ(ListAll(Path(L"game\\*.*"), ListingFilter::PlainFiles),
              (Names{L"Upper.TDL", L"a.tdlx", L"b.tdl.bak", L"noextension"}));
    EXPECT_EQ(ListAll(Path(L"GAME\\NOEXTENSION"), ListingFilter::PlainFiles), (Names{L"noextension"}));
}

TEST_F(ServicesContract, NothingToListGivesEmptyTextNotAFailure) {
    Backend().MakeFolder(L"empty");
    Backend().MakeFolder(L"game");
    Backend().MakeFile(L"game\\a.spk");

    EXPECT_EQ(Services().FindFirstName(Path(L"missing\\*.tdl"), ListingFilter::PlainFiles), std::wstring());
    EXPECT_EQ(Services().FindFirstName(Path(L"missing\\deeper\\*"), ListingFilter::PlainFilesAndFolders),
              std::wstring());
    EXPECT_EQ(Services().FindFirstName(Path(L"empty\\*"), ListingFilter::PlainFiles), std::wstring());
    EXPECT_EQ(Services().FindFirstName(Path(L"game\\*.tdl"), ListingFilter::PlainFiles), std::wstring());
    EXPECT_EQ(Services().FindFirstName(Path(L"game\\a.spk\\*"), ListingFilter::PlainFiles), std::wstring());
}

TEST_F(ServicesContract, AWildcardInTheFolderPartFails) {
    Backend().MakeFolder(L"game");
    Backend().MakeFile(L"game\\a.tdl");
    EXPECT_EQ(Services().FindFirstName(Path(L"ga*\\*.tdl"), ListingFilter::PlainFiles), std::nullopt);
    EXPECT_EQ(Services().FindFirstName(Path(L"g?me\\*.tdl"), ListingFilter::PlainFiles), std::nullopt);
}

TEST_F(ServicesContract, OneListingForTheWholeProcess) {
    EXPECT_EQ(Services().FindNextName(), std::nullopt) << "no listing has been started";

    Backend().MakeFolder(L"first");
    Backend().MakeFile(L"first\\a1.tdl");
    Backend().MakeFile(L"first\\a2.tdl");
    Backend().MakeFile(L"first\\a3.tdl");
    Backend().MakeFolder(L"second");
    Backend().MakeFile(L"second\\b1.tdl");

    ASSERT_TRUE(Services().FindFirstName(Path(L"first\\*.tdl"), ListingFilter::PlainFiles));
    // A new listing abandons the one in progress: the rest of "first" is never handed out.
    EXPECT_EQ(Services().FindFirstName(Path(L"second\\*.tdl"), ListingFilter::PlainFiles), L"b1.tdl");
    EXPECT_EQ(Services().FindNextName(), std::wstring());
    EXPECT_EQ(Services().FindNextName(), std::wstring()) << "an exhausted listing stays exhausted";

    // Each name comes once, then the listing is exhausted.
    ASSERT_EQ(ListAll(Path(L"first\\*.tdl"), ListingFilter::PlainFiles), (Names{L"a1.tdl", L"a2.tdl", L"a3.tdl"}));
    EXPECT_EQ(Services().FindNextName(), std::wstring());
}

TEST_F(ServicesContract, AFailedListingAbandonsTheOneInProgress) {
    Backend().MakeFolder(L"game");
    Backend().MakeFile(L"game\\a1.tdl");
    Backend().MakeFile(L"game\\a2.tdl");
    ASSERT_TRUE(Services().FindFirstName(Path(L"game\\*.tdl"), ListingFilter::PlainFiles));
    ASSERT_EQ(Services().FindFirstName(Path(L"g*\\*.tdl"), ListingFilter::PlainFiles), std::nullopt);
    EXPECT_EQ(Services().FindNextName(), std::nullopt);
}

// --- Attributes and removal -----------------------------------------------------------------------------------

TEST_F(ServicesContract, AttributesCarryTheBitsCallersRead) {
    Backend().MakeFolder(L"folder");
    Backend().MakeFile(L"plain.dmp");
    Backend().MakeFile(L"hidden.dmp", attribute::kHidden | attribute::kSystem);
    Backend().MakeFile(L"locked.dmp", attribute::kReadOnly);

    const auto folder = Services().GetAttributes(Path(L"folder"));
    ASSERT_TRUE(folder);
    EXPECT_NE(*folder & attribute::kFolder, 0u);

    const auto plain = Services().GetAttributes(Path(L"plain.dmp"));
    ASSERT_TRUE(plain);
    EXPECT_EQ(*plain & (attribute::kFolder | attribute::kHidden | attribute::kSystem | attribute::kReadOnly |
                        attribute::kReparsePoint),
              0u);

    const auto hidden = Services().GetAttributes(Path(L"HIDDEN.DMP"));
    ASSERT_TRUE(hidden);
    EXPECT_EQ(*hidden & (attribute::kFolder | attribute::kHidden | attribute::kSystem),
              attribute::kHidden | attribute::kSystem);

    const auto locked = Services().GetAttributes(Path(L"locked.dmp"));
    ASSERT_TRUE(locked);
    EXPECT_NE(*locked & attribute::kReadOnly, 0u);
}

TEST_F(ServicesContract, AttributesOfAMissingEntryFail) {
    EXPECT_EQ(Services().GetAttributes(Path(L"missing.dmp")), std::nullopt);
    EXPECT_EQ(Services().GetAttributes(Path(L"missing\\below.dmp")), std::nullopt);
}

TEST_F(ServicesContract, RemoveFileDeletesOnlyAFileThatMayGoAndSaysWhatBecameOfIt) {
    Backend().MakeFile(L"plain.dmp");
    Backend().MakeFile(L"hidden.dmp", attribute::kHidden);
    Backend().MakeFile(L"locked.dmp", attribute::kReadOnly);
    Backend().MakeFolder(L"folder.dmp");

    EXPECT_EQ(Services().RemoveFile(Backend().Root(), L"PLAIN.DMP"), Removal::Deleted);
    EXPECT_FALSE(Backend().Exists(L"plain.dmp"));
    EXPECT_EQ(Services().RemoveFile(Backend().Root(), L"hidden.dmp"), Removal::Deleted);
    EXPECT_FALSE(Backend().Exists(L"hidden.dmp"));

    EXPECT_EQ(Services().RemoveFile(Backend().Root(), L"locked.dmp"), Removal::KeptOnPurpose);
    EXPECT_TRUE(Backend().Exists(L"locked.dmp"));
    const auto locked = Services().GetAttributes(Path(L"locked.dmp"));
    ASSERT_TRUE(locked);
    EXPECT_NE(*locked & attribute::kReadOnly, 0u) << "removal must not clear the read-only bit";

    // No file of that name: nothing the run set out to delete is left.
    EXPECT_EQ(Services().RemoveFile(Backend().Root(), L"folder.dmp"), Removal::Gone);
    EXPECT_TRUE(Backend().Exists(L"folder.dmp"));
    EXPECT_EQ(Services().RemoveFile(Backend().Root(), L"plain.dmp"), Removal::Gone) << "already gone";
    EXPECT_EQ(Services().RemoveFile(Backend().Root(), L"missing\\below.dmp"), Removal::Gone);
    EXPECT_EQ(Services().RemoveFile(Backend().Root(), L"locked.dmp\\below.dmp"), Removal::Gone) << "a file on the way";
    EXPECT_EQ(Services().RemoveFile(Path(L"missing"), L"below.dmp"), Removal::Gone) << "no such game folder";
    EXPECT_EQ(Services().RemoveFile(Path(L"locked.dmp"), L"below.dmp"), Removal::Gone) << "the game folder a file";
}

// --- Registry -------------------------------------------------------------------------------------------------

TEST_F(ServicesContract, TextAndNumbersReadAsText) {
    Backend().SetRegistryValue(L"Tencent\\DNF", L"Path", RegistryKind::String, L"D:\\地下城与勇士");
    Backend().SetRegistryValue(L"Tencent\\DNF", L"Expandable", RegistryKind::ExpandString, L"D:\\Games\\DNF");
    Backend().SetRegistryValue(L"Tencent\\DNF", L"Count", RegistryKind::Dword, L"42");
    Backend().SetRegistryValue(L"Tencent\\DNF", L"Empty", RegistryKind::String, L"");
    Backend().SetRegistryValue(L"", L"AtTop", RegistryKind::String, L"top");

    EXPECT_EQ(Read(L"Tencent\\DNF\\Path"), L"D:\\地下城与勇士");
    EXPECT_EQ(Read(L"Tencent\\DNF\\Expandable"), L"D:\\Games\\DNF");
    EXPECT_EQ(Read(L"Tencent\\DNF\\Count"), L"42");
    EXPECT_EQ(Read(L"Tencent\\DNF\\Empty"), std::wstring());
    EXPECT_EQ(Read(L"AtTop"), L"top");
}

TEST_F(ServicesContract, ListsBinaryDataAndAbsentNamesFail) {
    Backend().SetRegistryValue(L"Tencent\\DNF", L"Paths", RegistryKind::MultiString, L"D:\\DNF");
    Backend().SetRegistryValue(L"Tencent\\DNF", L"Blob", RegistryKind::Binary, L"D:\\DNF");
    Backend().SetRegistryValue(L"Tencent\\DNF", L"Path", RegistryKind::String, L"D:\\DNF");

    EXPECT_EQ(Read(L"Tencent\\DNF\\Paths"), std::nullopt);
    EXPECT_EQ(Read(L"Tencent\\DNF\\Blob"), std::nullopt);
    EXPECT_EQ(Read(L"Tencent\\DNF\\Missing"), std::nullopt) << "missing value";
    EXPECT_EQ(Read(L"Tencent\\DNFTest\\Path"), std::nullopt) << "missing key";
}

}  // namespace
}  // namespace velstrand::testing
