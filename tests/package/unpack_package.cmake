# Unpacks the download into a fresh folder, as a player would before running it.
# Usage: cmake -DZIP=<zip> -DFOLDER=<folder> -P unpack_package.cmake
cmake_minimum_required(VERSION 3.25)
if(NOT EXISTS "${ZIP}")
    message(FATAL_ERROR "no package at ${ZIP}")
endif()
file(REMOVE_RECURSE "${FOLDER}")
file(MAKE_DIRECTORY "${FOLDER}")
file(ARCHIVE_EXTRACT INPUT "${ZIP}" DESTINATION "${FOLDER}")
