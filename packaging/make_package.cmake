# Makes the download: stages Velstrand.exe and the texts, signs the staged exe when a certificate is given, writes
# SHA256SUMS.txt of the staged files, and zips them (make_zip.py) with the time of the commit. The build folder's
# own Velstrand.exe stays unsigned.
#
# Usage (the package target): cmake -DEXE=<Velstrand.exe> -DTEXTS=<folder of the texts> -DSCRIPT=<copy script's name>
#   -DSTAGE=<scratch folder> -DZIP=<zip> -DSOURCE=<source folder> -DPYTHON=<python3> [-DPKCS12=<certificate>
#   -DOSSLSIGNCODE=<osslsigncode> [-DTIMESTAMP_URL=<RFC 3161 server>]] -P make_package.cmake
# The certificate's password comes from the environment variable VELSTRAND_SIGNING_PASSWORD.
cmake_minimum_required(VERSION 3.25)
include("${CMAKE_CURRENT_LIST_DIR}/source_date_epoch.cmake")

if(NOT PYTHON)
    message(FATAL_ERROR "making the zip needs Python 3 (Debian: python3)")
endif()
if(NOT EXISTS "${TEXTS}/${SCRIPT}")
    message(FATAL_ERROR "no ${SCRIPT}: configuring writes it in code page 936 with iconv, which was not found")
endif()
velstrand_source_date_epoch(epoch "${SOURCE}")

# A zip left from before must not pass for this one if a step below fails.
file(REMOVE "${ZIP}")
file(REMOVE_RECURSE "${STAGE}")
file(MAKE_DIRECTORY "${STAGE}")
file(COPY_FILE "${EXE}" "${STAGE}/Velstrand.exe")
file(GLOB texts LIST_DIRECTORIES false "${TEXTS}/*")
foreach(text IN LISTS texts)
    get_filename_component(name "${text}" NAME)
    file(COPY_FILE "${text}" "${STAGE}/${name}")
endforeach()

if(PKCS12)
    # The password reaches osslsigncode through a pipe: neither a command line, which other users of the machine can
    # read, nor a file. (-readpass is the way osslsigncode 2.5, Debian 12's, takes it other than on the command line.)
    set(sign_options -pkcs12 "${PKCS12}" -readpass /dev/stdin -h sha256 -n Velstrand)
    if(TIMESTAMP_URL)
        list(APPEND sign_options -ts "${TIMESTAMP_URL}")
    endif()
    execute_process(COMMAND sh -c "printf '%s' \"$VELSTRAND_SIGNING_PASSWORD\""
                    COMMAND "${OSSLSIGNCODE}" sign ${sign_options}
                            -in "${STAGE}/Velstrand.exe" -out "${STAGE}/Velstrand.signed"
                    RESULT_VARIABLE failed OUTPUT_VARIABLE output ERROR_VARIABLE output)
    if(failed)
        message(FATAL_ERROR "signing Velstrand.exe with ${PKCS12} failed:\n${output}")
    endif()
    file(RENAME "${STAGE}/Velstrand.signed" "${STAGE}/Velstrand.exe")
endif()

# One "<sha256>  <name>" line per file, as sha256sum prints and `sha256sum -c` reads; CRLF like the other texts, for
# Notepad. The sums are taken of the very files that go into the zip.
file(GLOB names RELATIVE "${STAGE}" LIST_DIRECTORIES false "${STAGE}/*")
list(SORT names)
set(sums "")
foreach(name IN LISTS names)
    file(SHA256 "${STAGE}/${name}" hash)
    string(APPEND sums "${hash}  ${name}\r\n")
endforeach()
file(WRITE "${STAGE}/SHA256SUMS.txt" "${sums}")

execute_process(COMMAND "${PYTHON}" "${CMAKE_CURRENT_LIST_DIR}/make_zip.py" "${STAGE}" "${ZIP}" "${epoch}"
                RESULT_VARIABLE failed)
if(failed)
    message(FATAL_ERROR "zipping ${STAGE} failed")
endif()
message(STATUS "package: ${ZIP}")
