#include <windows.h>

#include <gtest/gtest.h>
#include <string>

#include "platform/win32/win32_services.h"
#include "test_files.h"

namespace velstrand::testing {
namespace {

TEST(ProgramFolder, IsTheFolderThatHoldsTheRunningProgram) {
    Win32Services services;
    const std::wstring folder = services.ProgramFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_NE(folder.back(), L'\\');
    const std::wstring own = OwnPath();
    const std::wstring rejoined = folder + own.substr(own.find_last_of(L'\\'));
    EXPECT_EQ(::CompareStringOrdinal(rejoined.c_str(), -1, own.c_str(), -1, TRUE), CSTR_EQUAL) << own;
}

}  // namespace
}  // namespace velstrand::testing
