#include <gtest/gtest.h>

#include "gamepath/game_path.h"
#include "support/fake_services.h"

namespace velstrand {
namespace {

using testing::FakeServices;
using testing::Operation;
using testing::RegistryKind;

TEST(GetGamePath, ReadsTheEditionsValueAndTurnsSlashesIntoBackslashes) {
    FakeServices fake;
    fake.SetRegistryValue(L"HKCU\\Software\\Tencent\\DNF\\Path", RegistryKind::String, L"D:/Games/DNF\\sub/");
    // Near misses of the value's name, which must not be what is read.
    fake.SetRegistryValue(L"HKCU\\Software\\Tencent\\DNF\\path2", RegistryKind::String, L"D:\\Wrong");
    fake.SetRegistryValue(L"HKCU\\Software\\Tencent\\DNFTest\\Path", RegistryKind::String, L"D:\\Other");
    EXPECT_EQ(GetGamePath(fake, L"DNF"), L"D:\\Games\\DNF\\sub\\");
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
}

}  // namespace
}  // namespace velstrand
