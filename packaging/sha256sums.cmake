# Run by CPack (CPACK_PRE_BUILD_SCRIPTS) once the download's files are staged and before they are zipped: writes
# SHA256SUMS.txt beside them, one "<sha256>  <name>" line per file, as sha256sum prints and `sha256sum -c` reads.
# The sums are taken of the very files that go into the zip.
cmake_minimum_required(VERSION 3.25)

set(stage "${CPACK_TEMPORARY_DIRECTORY}")
if(NOT stage OR NOT IS_DIRECTORY "${stage}")
    message(FATAL_ERROR "no staged files to sum: CPACK_TEMPORARY_DIRECTORY is '${stage}'")
endif()
set(sums_file "${stage}/SHA256SUMS.txt")
file(REMOVE "${sums_file}")

file(GLOB_RECURSE files RELATIVE "${stage}" LIST_DIRECTORIES false "${stage}/*")
list(SORT files)
if(NOT files)
    message(FATAL_ERROR "nothing staged in ${stage}")
endif()
set(sums "")
foreach(name IN LISTS files)
    file(SHA256 "${stage}/${name}" hash)
    # CRLF, like the other texts in the zip, for Notepad; sha256sum -c accepts it.
    string(APPEND sums "${hash}  ${name}\r\n")
endforeach()
file(WRITE "${sums_file}" "${sums}")
