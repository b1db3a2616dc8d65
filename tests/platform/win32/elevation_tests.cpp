// A program whose manifest requires administrator rights, started directly by a process that lacks them, fails
// with ERROR_ELEVATION_REQUIRED: the one failure after which the tool hands a client's start to the shell, which
// asks the user. Wine ignores a manifest's execution level, so only Windows shows it, and only to a test that runs
// as an administrator who has not elevated.

#include <gtest/gtest.h>

#include "child_process.h"
#include "platform/win32/program_start.h"
#include "scratch_folder.h"
#include "stand_in_copy.h"
#include "this_system.h"

namespace velstrand::testing {
namespace {

TEST(Elevation, AProgramThatRequiresAnAdministratorIsRefusedWithElevationRequired) {
    if (UnderWine()) {
        GTEST_SKIP() << "Wine ignores the execution level that a manifest asks for: it never refuses a start for "
                        "want of rights";
    }
    if (const Rights rights = RightsOfThisProcess(); rights != Rights::NotElevatedAdministrator) {
        GTEST_SKIP() << "needs an administrator's prompt that is not elevated; this one "
                     << (rights == Rights::Elevated ? "is elevated" : "is a standard user's");
    }
    const ScratchFolder scratch;
    const PlacedStandIn administrator(scratch.Below(L"administrator.exe"), StandInKind::RequiresAdministrator);
    ASSERT_TRUE(administrator.Placed());

    const ChildProcess started(administrator.Path(), scratch.Path());
    EXPECT_FALSE(started.Started());
    EXPECT_EQ(started.StartError(), kElevationRequired);
}

}  // namespace
}  // namespace velstrand::testing
