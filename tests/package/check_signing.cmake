# The package target with a code-signing certificate (a throw-away self-signed one, made here): its exe carries a
# signature that osslsigncode accepts against that certificate; the password, given in the environment only, is in
# no file of the build folder; scripts/verify-release.sh accepts the signed zip against the unsigned one of the
# first build, and refuses it once a byte of its exe has changed. The signed zip is left unpacked in SCRATCH/signed
# for package_signed_exe_starts.
# Usage: cmake -DSECOND=<build folder of package_reproducible> -DUNSIGNED=<the first build's zip>
#        -DZIP_NAME=<zip's name> -DSOURCE=<source folder> -DSCRATCH=<folder of this test's own> -DPYTHON=<python3>
#        -P check_signing.cmake
cmake_minimum_required(VERSION 3.25)
set(errors "")
file(REMOVE_RECURSE "${SCRATCH}")
file(MAKE_DIRECTORY "${SCRATCH}")

string(RANDOM LENGTH 24 password)
set(ENV{VELSTRAND_SIGNING_PASSWORD} "${password}")
function(run what)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE failed OUTPUT_VARIABLE output ERROR_VARIABLE output)
    if(failed)
        message(FATAL_ERROR "${what} failed:\n${output}")
    endif()
endfunction()

run("making the certificate"
    openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Velstrand test signer"
    -addext "extendedKeyUsage=codeSigning" -addext "keyUsage=digitalSignature"
    -keyout "${SCRATCH}/key.pem" -out "${SCRATCH}/certificate.pem")
run("making the PKCS#12 file"
    openssl pkcs12 -export -inkey "${SCRATCH}/key.pem" -in "${SCRATCH}/certificate.pem"
    -passout env:VELSTRAND_SIGNING_PASSWORD -out "${SCRATCH}/certificate.p12")

run("configuring with the certificate" ${CMAKE_COMMAND} "-DVELSTRAND_SIGNING_PKCS12=${SCRATCH}/certificate.p12" "${SECOND}")
run("the signed package" ${CMAKE_COMMAND} --build "${SECOND}" --target package)
set(signed "${SCRATCH}/signed")
file(ARCHIVE_EXTRACT INPUT "${SECOND}/${ZIP_NAME}" DESTINATION "${signed}")

execute_process(COMMAND osslsigncode verify -CAfile "${SCRATCH}/certificate.pem" -in "${signed}/Velstrand.exe"
                RESULT_VARIABLE failed OUTPUT_VARIABLE said ERROR_VARIABLE said)
if(failed)
    list(APPEND errors "osslsigncode does not accept the signed exe:\n${said}")
endif()

execute_process(COMMAND grep -r -l -F -e "${password}" "${SECOND}" OUTPUT_VARIABLE leaked)
if(leaked)
    list(APPEND errors "the certificate's password was written into ${leaked}")
endif()

set(verify bash "${SOURCE}/scripts/verify-release.sh" --rebuilt "${UNSIGNED}")
execute_process(COMMAND ${verify} "${SECOND}/${ZIP_NAME}" RESULT_VARIABLE failed OUTPUT_VARIABLE said ERROR_VARIABLE said)
if(failed)
    list(APPEND errors "verify-release.sh refuses the signed zip:\n${said}")
endif()

# The same zip but for one byte of the exe, with the sums made to agree.
set(tampered "${SCRATCH}/tampered")
file(COPY "${signed}/" DESTINATION "${tampered}")
run("changing a byte" sh -c "printf X | dd of='${tampered}/Velstrand.exe' bs=1 seek=4096 conv=notrunc status=none")
file(SHA256 "${tampered}/Velstrand.exe" hash)
file(READ "${tampered}/SHA256SUMS.txt" sums)
string(REGEX REPLACE "[0-9a-f]+(  Velstrand.exe)" "${hash}\\1" sums "${sums}")
file(WRITE "${tampered}/SHA256SUMS.txt" "${sums}")
run("zipping the changed files" "${PYTHON}" "${SOURCE}/packaging/make_zip.py" "${tampered}" "${SCRATCH}/tampered.zip" 0)
execute_process(COMMAND ${verify} "${SCRATCH}/tampered.zip" RESULT_VARIABLE failed OUTPUT_QUIET ERROR_QUIET)
if(NOT failed)
    list(APPEND errors "verify-release.sh accepts a zip whose exe is not the one its source builds")
endif()

if(errors)
    list(JOIN errors "\n  " report)
    message(FATAL_ERROR "signing is not right:\n  ${report}")
endif()
