# Builds the package a second time, later, from a second copy of the source at another path into a build folder at
# yet another path, and expects Velstrand.exe, Velstrand.debug and the zip to be the first build's bytes.
#
# The copy is the work tree as git sees it (tracked and new files, uncommitted changes included, ignored ones
# left out), not HEAD: so both builds are of the same source, on CI's clean clone and in a developer's tree alike.
# It holds no .git, so it gets the first build's SOURCE_DATE_EPOCH. Only the package's targets are built; the
# second build folder stays for package_signed.
# Usage: cmake -DSOURCE=<source folder> -DFIRST=<first build folder> -DZIP_NAME=<zip's name>
#        -DSCRATCH=<folder of this test's own> -DSECOND=<second build folder, inside SCRATCH> -P check_reproducible.cmake
cmake_minimum_required(VERSION 3.25)
include("${SOURCE}/packaging/source_date_epoch.cmake")
velstrand_source_date_epoch(epoch "${SOURCE}")
set(copy "${SCRATCH}/another checkout/Velstrand")

file(REMOVE_RECURSE "${SCRATCH}")
execute_process(COMMAND git -c core.quotePath=false ls-files --cached --others --exclude-standard
                WORKING_DIRECTORY "${SOURCE}" OUTPUT_VARIABLE files RESULT_VARIABLE failed)
if(failed)
    message(FATAL_ERROR "${SOURCE} is no git work tree: cannot tell its source files from the rest")
endif()
string(REGEX REPLACE "\n$" "" files "${files}")
string(REPLACE "\n" ";" files "${files}")
foreach(file IN LISTS files)
    # A tracked file deleted in the work tree is still listed.
    if(EXISTS "${SOURCE}/${file}" AND NOT IS_DIRECTORY "${SOURCE}/${file}")
        get_filename_component(folder "${copy}/${file}" DIRECTORY)
        file(COPY "${SOURCE}/${file}" DESTINATION "${folder}")
    endif()
endforeach()
execute_process(COMMAND git status --porcelain WORKING_DIRECTORY "${SOURCE}" OUTPUT_VARIABLE changes)
if(changes)
    message(STATUS "the work tree has changes that are not committed: both builds include them")
endif()

execute_process(COMMAND ${CMAKE_COMMAND} --preset windows -B "${SECOND}" WORKING_DIRECTORY "${copy}"
                OUTPUT_QUIET RESULT_VARIABLE failed)
if(NOT failed)
    execute_process(COMMAND ${CMAKE_COMMAND} -E env "SOURCE_DATE_EPOCH=${epoch}"
                            ${CMAKE_COMMAND} --build "${SECOND}" --target package
                    OUTPUT_VARIABLE output ERROR_VARIABLE output RESULT_VARIABLE failed)
endif()
if(failed)
    message(FATAL_ERROR "the second build failed:\n${output}")
endif()

set(differences "")
foreach(name IN ITEMS Velstrand.exe Velstrand.debug "${ZIP_NAME}")
    file(SHA256 "${FIRST}/${name}" first)
    file(SHA256 "${SECOND}/${name}" second)
    message(STATUS "${name}: ${first} (first build), ${second} (second build)")
    if(NOT first STREQUAL second)
        list(APPEND differences "${name}")
    endif()
endforeach()
if(differences)
    message(FATAL_ERROR "not reproducible: ${differences} differ between ${FIRST} and ${SECOND} "
                        "(x86_64-w64-mingw32-objdump -p and cmp -l show where; a first build that signs its "
                        "package cannot match)")
endif()
