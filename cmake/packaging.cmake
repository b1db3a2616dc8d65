# The download: `cmake --build --preset windows --target package` leaves build/windows/Velstrand-<version>-win64.zip
# with Velstrand.exe, 使用说明.txt, LICENSE.txt, SHA256SUMS.txt and the copy script at its top level. Name and
# version come from project(). packaging/make_package.cmake makes it; see there for what keeps its bytes the same
# from build to build.
#
# No folder inside the zip: Explorer's "Extract All" already extracts into a folder named after the zip, so a folder
# inside would leave the exe one level further down, and the read-me tells players to put taskkill.exe right beside
# it.
#
# Signing: with VELSTRAND_SIGNING_PKCS12 set, the exe is signed (Authenticode, SHA-256, osslsigncode) before it is
# summed and zipped. The certificate's password is read from the environment variable VELSTRAND_SIGNING_PASSWORD
# only when the package is made, so that it is written into no file of the build folder.

set(VELSTRAND_PACKAGE_NAME "${PROJECT_NAME}-${PROJECT_VERSION}-win64")
set(VELSTRAND_PACKAGE_ZIP "${CMAKE_BINARY_DIR}/${VELSTRAND_PACKAGE_NAME}.zip")
set(VELSTRAND_COPY_SCRIPT "复制taskkill.cmd")
set(velstrand_packaging_dir "${CMAKE_BINARY_DIR}/packaging")
# What goes into the zip beside the exe, and nothing else.
set(velstrand_download_texts "${velstrand_packaging_dir}/texts")

set(VELSTRAND_SIGNING_PKCS12 "" CACHE FILEPATH
    "PKCS#12 file with the code-signing certificate; its password is read from VELSTRAND_SIGNING_PASSWORD")
set(VELSTRAND_SIGNING_TIMESTAMP_URL "" CACHE STRING "RFC 3161 time-stamp server for the signature (optional)")

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

# Writes a batch file as cmd reads it on a Chinese Windows: CRLF, in the console's code page 936 (GBK). The source
# stays UTF-8; a character that GBK lacks stops the configure step rather than reaching a player garbled. Without
# iconv (Visual Studio) the program still builds, but the package target says what it misses.
function(velstrand_console_script source output)
    get_filename_component(name "${output}" NAME)
    set(utf8 "${velstrand_packaging_dir}/utf8/${name}")
    velstrand_notepad_text("${source}" "${utf8}")
    find_program(VELSTRAND_ICONV iconv)
    if(NOT VELSTRAND_ICONV)
        file(REMOVE "${output}")
        return()
    endif()
    execute_process(COMMAND "${VELSTRAND_ICONV}" -f UTF-8 -t GBK "${utf8}"
                    OUTPUT_FILE "${output}" RESULT_VARIABLE failed ERROR_VARIABLE error)
    if(failed)
        message(FATAL_ERROR "${source} cannot be written in code page 936: ${error}")
    endif()
endfunction()

velstrand_notepad_text("${PROJECT_SOURCE_DIR}/packaging/使用说明.txt.in" "${velstrand_download_texts}/使用说明.txt" BOM)
velstrand_notepad_text("${PROJECT_SOURCE_DIR}/LICENSE" "${velstrand_download_texts}/LICENSE.txt")
velstrand_console_script("${PROJECT_SOURCE_DIR}/packaging/${VELSTRAND_COPY_SCRIPT}.in"
                         "${velstrand_download_texts}/${VELSTRAND_COPY_SCRIPT}")

find_program(VELSTRAND_PYTHON NAMES python3 python)
if(VELSTRAND_SIGNING_PKCS12)
    find_program(VELSTRAND_OSSLSIGNCODE osslsigncode REQUIRED)
endif()

# CPack made the zip before; its configuration left in a build folder would reserve the target's name.
file(REMOVE "${CMAKE_BINARY_DIR}/CPackConfig.cmake" "${CMAKE_BINARY_DIR}/CPackSourceConfig.cmake")
# Always run: it takes a moment, and what it reads (the commit's time, the certificate) is no file a build tracks.
add_custom_target(package
    COMMAND ${CMAKE_COMMAND}
            "-DEXE=$<TARGET_FILE:Velstrand>" "-DTEXTS=${velstrand_download_texts}"
            "-DSTAGE=${velstrand_packaging_dir}/stage" "-DZIP=${VELSTRAND_PACKAGE_ZIP}"
            "-DSCRIPT=${VELSTRAND_COPY_SCRIPT}" "-DSOURCE=${PROJECT_SOURCE_DIR}" "-DPYTHON=${VELSTRAND_PYTHON}"
            "-DPKCS12=${VELSTRAND_SIGNING_PKCS12}" "-DTIMESTAMP_URL=${VELSTRAND_SIGNING_TIMESTAMP_URL}"
            "-DOSSLSIGNCODE=${VELSTRAND_OSSLSIGNCODE}"
            -P "${PROJECT_SOURCE_DIR}/packaging/make_package.cmake"
    COMMENT "Making ${VELSTRAND_PACKAGE_NAME}.zip"
    VERBATIM)
add_dependencies(package Velstrand)
