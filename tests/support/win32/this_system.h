#pragma once

namespace velstrand::testing {

// What kind of system the tests run on, for the checks that only one kind can make or needs.

// Whether this is Wine rather than Windows.
bool UnderWine();

// The rights this process runs with, as User Account Control sees them.
enum class Rights {
    // Elevated, or an administrator without User Account Control.
    Elevated,
    // An administrator's filtered token: Windows refuses to start a program whose manifest asks for more rights
    // (the highest available, or an administrator's) without the user's consent, with ERROR_ELEVATION_REQUIRED.
    NotElevatedAdministrator,
    // A standard user.
    Standard,
};
Rights RightsOfThisProcess();

}  // namespace velstrand::testing
