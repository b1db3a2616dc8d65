#include <gtest/gtest.h>

#include "gamepath/game_path.h"
#include "support/fake_services.h"

namespace velstrand {
namespace {

using testing::FakeServices;
using testing::Operation;
using testing::RegistryKind;
using testing::ServiceCall;

TEST(GetGamePath, ReadsTheEditionsValueAndTurnsSlashesIntoBackslashes) {
    FakeServices fake;
    fake.SetRegistryValue(L"HKCU\\Software\\Tencent\\DNF\\Path", RegistryKind::String, L"D:/Games/DNF\\sub/");
    const std::wstring folder = GetGamePath(fake, L"DNF");
    EXPECT_EQ(folder, L"D:\\Games\\DNF\\sub\\");
    EXPECT_EQ(fake.Calls(),
              (std::vector<ServiceCall>{{Operation::ReadRegistryString, L"HKCU\\Software\\Tencent\\DNF\\Path"}}));
}

TEST(GetGamePath, KeepsEverythingElseAsItIs) {
    FakeServices fake;
    fake.SetRegistryValue(L"HKCU\\Software\\Tencent\\DNF\\Path", RegistryKind::String, L"   ");
    fake.SetRegistryValue(L"HKCU\\Software\\Tencent\\DNFTest\\Path", RegistryKind::ExpandString, L" E:\\体验服 ");
    EXPECT_EQ(GetGamePath(fake, L"DNF"), L"   ");
    EXPECT_EQ(GetGamePath(fake, L"DNFTest"), L" E:\\体验服 ");
}

TEST(GetGamePath, EveryFailureGivesEmptyText) {
    FakeServices fake;
    fake.SetRegistryValue(L"HKCU\\Software\\Tencent\\DNF\\Path", RegistryKind::String, L"D:\\DNF");
    fake.SetRegistryValue(L"HKCU\\Software\\Tencent\\Multi\\Path", RegistryKind::MultiString, L"D:\\DNF");
    fake.SetRegistryValue(L"HKCU\\Software\\Tencent\\Empty\\Path", RegistryKind::String, L"");
    EXPECT_EQ(GetGamePath(fake, L"DNFTest"), L"");
    EXPECT_EQ(GetGamePath(fake, L"Multi"), L"");
    EXPECT_EQ(GetGamePath(fake, L"Empty"), L"");
    fake.FailWhen([](Operation, const std::wstring&) { return true; });
    EXPECT_EQ(GetGamePath(fake, L"DNF"), L"");
}

TEST(GetGamePath, EachCallReadsTheRegistryAnew) {
    FakeServices fake;
    fake.SetRegistryValue(L"HKCU\\Software\\Tencent\\DNF\\Path", RegistryKind::String, L"D:\\Old");
    EXPECT_EQ(GetGamePath(fake, L"DNF"), L"D:\\Old");
    fake.SetRegistryValue(L"HKCU\\Software\\Tencent\\DNF\\Path", RegistryKind::String, L"D:\\New");
    EXPECT_EQ(GetGamePath(fake, L"DNF"), L"D:\\New");
    EXPECT_EQ(fake.Calls().size(), 2u);
}

}  // namespace
}  // namespace velstrand
