#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <thread>

#include "platform/services_backend.h"

namespace velstrand::testing {
namespace {

// The one thing the contract suite cannot show: the read needs COM on the calling thread (the backend joins the
// test's own thread), and on a thread without it the read fails instead of crashing.
TEST(ReadRegistryString, FailsOnAThreadWithoutCom) {
    const auto backend = MakeContractBackend();
    backend->SetRegistryValue(L"", L"Path", RegistryKind::String, L"D:\\DNF");
    const std::wstring name = backend->RegistryKey() + L"\\Path";
    ASSERT_EQ(backend->Services().ReadRegistryString(name), L"D:\\DNF");

    std::optional<std::wstring> read = L"not read";
    std::thread withoutCom([&] { read = backend->Services().ReadRegistryString(name); });
    withoutCom.join();
    EXPECT_EQ(read, std::nullopt);
}

// WshShell hands a REG_DWORD over as a signed number, and its text is what the tool reads.
TEST(ReadRegistryString, ADwordWithItsTopBitSetReadsAsANegativeNumber) {
    const auto backend = MakeContractBackend();
    backend->SetRegistryValue(L"", L"All", RegistryKind::Dword, L"4294967295");
    EXPECT_EQ(backend->Services().ReadRegistryString(backend->RegistryKey() + L"\\All"), L"-1");
}

}  // namespace
}  // namespace velstrand::testing
