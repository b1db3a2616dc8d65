# The download: `cmake --build --preset windows --target package` leaves build/windows/Velstrand-<version>-win64.zip
# with Velstrand.exe, 使用说明.txt, LICENSE.txt and SHA256SUMS.txt at its top level. Name and version come from
# project().
#
# No folder inside the zip: Explorer's "Extract All" already extracts into a folder named after the zip, so a folder
# inside would leave the exe one level further down, and the read-me tells players to put taskkill.exe right beside
# it.

set(VELSTRAND_PACKAGE_NAME "${PROJECT_NAME}-${PROJECT_VERSION}-win64")
set(VELSTRAND_PACKAGE_ZIP "${CMAKE_BINARY_DIR}/${VELSTRAND_PACKAGE_NAME}.zip")
set(velstrand_packaging_dir "${CMAKE_BINARY_DIR}/packaging")

# Writes a text file for Notepad: CRLF line ends (older Notepads show LF-only text as one line) and, with BOM, a
# UTF-8 byte order mark (without it, Notepad on a Chinese Windows may read the file as GBK and garble it). The source
# stays plain UTF-8 with LF; @PROJECT_VERSION@ and the like are filled in.
function(velstrand_notepad_text source output)
    cmake_parse_arguments(PARSE_ARGV 2 arg "BOM" "" "")
    file(READ "${source}" text)
    # A Windows checkout may already have CRLF in the source.
    string(REPLACE "\r\n" "\n" text "${text}")
    set(bom "")
    if(arg_BOM)
        string(ASCII 239 187 191 bom)
    endif()
    # Written only when the result changes, so the package is not redone for nothing.
    file(CONFIGURE OUTPUT "${output}" CONTENT "${bom}${text}" @ONLY NEWLINE_STYLE CRLF)
    set_property(DIRECTORY "${PROJECT_SOURCE_DIR}" APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${source}")
endfunction()

velstrand_notepad_text("${PROJECT_SOURCE_DIR}/packaging/使用说明.txt.in" "${velstrand_packaging_dir}/使用说明.txt" BOM)
velstrand_notepad_text("${PROJECT_SOURCE_DIR}/LICENSE" "${velstrand_packaging_dir}/LICENSE.txt")

# Only this component goes into the zip: Velstrand.debug, the tests and whatever else may one day be installed stay
# out of it.
install(TARGETS Velstrand RUNTIME DESTINATION . COMPONENT download)
install(FILES "${velstrand_packaging_dir}/使用说明.txt" "${velstrand_packaging_dir}/LICENSE.txt"
        DESTINATION . COMPONENT download)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME "${PROJECT_NAME}")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_VENDOR "the Velstrand developers")
set(CPACK_PACKAGE_FILE_NAME "${VELSTRAND_PACKAGE_NAME}")
set(CPACK_PACKAGE_DIRECTORY "${CMAKE_BINARY_DIR}")
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};${PROJECT_NAME};download;/")
set(CPACK_VERBATIM_VARIABLES ON)
# SHA256SUMS.txt is made from the staged files themselves, after CPack has installed them and before it zips them.
set(CPACK_PRE_BUILD_SCRIPTS "${PROJECT_SOURCE_DIR}/packaging/sha256sums.cmake")
# package_source comes with CPack too; it must never sweep up the build folders and their Wine prefixes.
set(CPACK_SOURCE_GENERATOR ZIP)
set(CPACK_SOURCE_IGNORE_FILES "/\\.git/" "/build/" "/\\.cache/")
include(CPack)
