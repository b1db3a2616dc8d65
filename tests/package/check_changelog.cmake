# The latest release in CHANGELOG.md, its first "## [x.y.z] - date" heading after Unreleased, is the version
# project() gives: a release is not cut without its entry.
# Usage: cmake -DCHANGELOG=<CHANGELOG.md> -DVERSION=<project version> -P check_changelog.cmake
cmake_minimum_required(VERSION 3.25)
file(READ "${CHANGELOG}" text)
if(NOT text MATCHES "\n## \\[Unreleased\\]")
    message(FATAL_ERROR "${CHANGELOG} has no Unreleased section")
endif()
string(FIND "${text}" "\n## [Unreleased]" unreleased)
string(SUBSTRING "${text}" ${unreleased} -1 after)
if(NOT after MATCHES "\n## \\[([0-9]+\\.[0-9]+\\.[0-9]+)\\] - [0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9]\n")
    message(FATAL_ERROR "${CHANGELOG} has no released entry (## [x.y.z] - yyyy-mm-dd) after Unreleased")
endif()
if(NOT CMAKE_MATCH_1 STREQUAL VERSION)
    message(FATAL_ERROR "the latest entry in ${CHANGELOG} is ${CMAKE_MATCH_1}, but the project's version is ${VERSION}")
endif()
