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

}  // namespace
}  // namespace velstrand::testing
