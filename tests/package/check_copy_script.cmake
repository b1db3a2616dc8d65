# The copy script from the download, run by Wine's cmd as a double-click would run it (its own folder current),
# under a Chinese locale, so that cmd reads it in code page 936:
# - from a folder whose path has blanks, brackets and Chinese characters, it copies system32's taskkill.exe beside
#   itself and says so in Chinese; it runs none of the programs planted there under the names of system commands;
#   a second run changes nothing;
# - with SystemRoot pointed at a folder that holds zh-CN\taskkill.exe.mui, that is copied too (Wine has none);
# - alone in a folder, without Velstrand.exe (as Explorer runs it from inside the zip), it copies nothing.
# The first folder stays for package_copied_taskkill_is_found, which starts a repair there.
# Usage: cmake -DWINE=<wine> -DUNPACKED=<unpacked download> -DSCRIPT=<its name> -DSTAND_IN=<a program that records
#        being started> -DSCRATCH=<folder of this test's own> -DLOCALES=<folder for a locale> -DDOWNLOAD=<first
#        folder, inside SCRATCH> -P check_copy_script.cmake
cmake_minimum_required(VERSION 3.25)
set(errors "")
set(system32 "$ENV{WINEPREFIX}/drive_c/windows/system32")

file(REMOVE_RECURSE "${SCRATCH}")
# A Chinese locale of the test's own, as scripts/run.sh makes one: no system setting needed.
if(NOT IS_DIRECTORY "${LOCALES}/zh_CN.UTF-8")
    file(MAKE_DIRECTORY "${LOCALES}")
    execute_process(COMMAND localedef -i zh_CN -f UTF-8 "${LOCALES}/zh_CN.UTF-8" OUTPUT_QUIET ERROR_QUIET)
endif()
file(MAKE_DIRECTORY "${SCRATCH}")

function(windows_path out path)
    string(REPLACE "/" "\\" path "${path}")
    set(${out} "Z:${path}" PARENT_SCOPE)
endfunction()

# Runs the script in `folder` as Wine's cmd reads it under LANG=zh_CN.UTF-8; SystemRoot is set inside cmd, since
# Wine sets its own over one from Linux. Leaves the exit code and the output, read as code page 936, in the caller's
# `status` and `said`.
file(WRITE "${SCRATCH}/run.cmd" "@echo off\r\nif not \"%~2\"==\"\" set \"SystemRoot=%~2\"\r\ncall \"%~1\"\r\n"
                                "exit /b %errorlevel%\r\n")
file(WRITE "${SCRATCH}/key.txt" "\r\n")
function(run_script folder system_root)
    windows_path(runner "${SCRATCH}/run.cmd")
    windows_path(script "${folder}/${SCRIPT}")
    set(root "")
    if(system_root)
        windows_path(root "${system_root}")
    endif()
    execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=LC_ALL --unset=LC_MESSAGES --unset=LC_CTYPE
                            LANG=zh_CN.UTF-8 "LOCPATH=${LOCALES}" "${WINE}" cmd /c "${runner}" "${script}"
                            ${root}
                    WORKING_DIRECTORY "${folder}" INPUT_FILE "${SCRATCH}/key.txt"
                    OUTPUT_FILE "${SCRATCH}/said.txt" ERROR_QUIET RESULT_VARIABLE code)
    execute_process(COMMAND iconv -f GBK -t UTF-8 "${SCRATCH}/said.txt" OUTPUT_VARIABLE text RESULT_VARIABLE bad)
    if(bad)
        file(READ "${SCRATCH}/said.txt" text)
        set(text "(not code page 936) ${text}")
    endif()
    set(status "${code}" PARENT_SCOPE)
    set(said "${text}" PARENT_SCOPE)
endfunction()

function(listing out folder)
    file(GLOB_RECURSE found RELATIVE "${folder}" LIST_DIRECTORIES true "${folder}/*")
    list(SORT found)
    set(${out} "${found}" PARENT_SCOPE)
endfunction()

# Adds `what` to the errors unless the condition after it holds.
function(expect what)
    if(NOT (${ARGN}))
        list(APPEND errors "${what}")
        set(errors "${errors}" PARENT_SCOPE)
    endif()
endfunction()

function(expect_same_file copy original)
    file(SHA256 "${original}" want)
    set(got "")
    if(EXISTS "${copy}")
        file(SHA256 "${copy}" got)
    endif()
    expect("${copy} is not a copy of ${original}" got STREQUAL want)
    set(errors "${errors}" PARENT_SCOPE)
endfunction()

function(expect_listing folder before added)
    listing(after "${folder}")
    set(expected ${before} ${added})
    list(SORT expected)
    expect("${folder} holds [${after}], not [${expected}]" after STREQUAL expected)
    set(errors "${errors}" PARENT_SCOPE)
endfunction()

# A folder under Downloads, with the download unpacked, and stand-ins for commands a script might call without a
# path: cmd would take them from the current folder before system32.
file(MAKE_DIRECTORY "${DOWNLOAD}")
file(GLOB unpacked "${UNPACKED}/*")
file(COPY ${unpacked} DESTINATION "${DOWNLOAD}")
foreach(command chcp.com xcopy.exe robocopy.exe find.exe findstr.exe where.exe timeout.exe choice.exe)
    file(COPY_FILE "${STAND_IN}" "${DOWNLOAD}/${command}")
endforeach()
listing(before "${DOWNLOAD}")
windows_path(shown "${DOWNLOAD}/")
foreach(round first second)
    run_script("${DOWNLOAD}" "")
    expect("${round} run: exit code ${status}; it said: ${said}" status EQUAL 0)
    expect_same_file("${DOWNLOAD}/taskkill.exe" "${system32}/taskkill.exe")
    expect_listing("${DOWNLOAD}" "${before}" "taskkill.exe")
    string(FIND "${said}" "taskkill.exe 复制到" copied)
    string(FIND "${said}" "\"${shown}\"" named)
    expect("${round} run did not say in Chinese that it copied taskkill.exe to \"${shown}\": ${said}" copied GREATER -1 AND named GREATER -1)
endforeach()

# A Windows of the test's own, with a language folder that has taskkill's messages and one that has not.
set(windows "${SCRATCH}/假的 Windows")
file(COPY "${system32}/taskkill.exe" DESTINATION "${windows}/System32")
file(WRITE "${windows}/System32/zh-CN/taskkill.exe.mui" "taskkill's Chinese messages")
file(MAKE_DIRECTORY "${windows}/System32/en-US")
set(other "${SCRATCH}/另一个 文件夹")
file(COPY ${unpacked} DESTINATION "${other}")
listing(before "${other}")
run_script("${other}" "${windows}")
expect("with a language file: exit code ${status}; it said: ${said}" status EQUAL 0)
expect_same_file("${other}/zh-CN/taskkill.exe.mui" "${windows}/System32/zh-CN/taskkill.exe.mui")
expect_listing("${other}" "${before}" "taskkill.exe;zh-CN;zh-CN/taskkill.exe.mui")
string(FIND "${said}" "zh-CN\\taskkill.exe.mui" named)
expect("it did not say that it copied zh-CN\\taskkill.exe.mui: ${said}" named GREATER -1)

# Explorer's zip view extracts the script alone into a temporary folder and runs it there.
set(alone "${SCRATCH}/Temp1_download.zip")
file(COPY "${UNPACKED}/${SCRIPT}" DESTINATION "${alone}")
run_script("${alone}" "")
expect("without Velstrand.exe beside it, it ended with exit code 0" NOT status EQUAL 0)
expect_listing("${alone}" "${SCRIPT}" "")
string(FIND "${said}" "请先解压" told)
expect("without Velstrand.exe beside it, it did not say 请先解压: ${said}" told GREATER -1)

if(errors)
    list(JOIN errors "\n  " report)
    message(FATAL_ERROR "the copy script is not right:\n  ${report}")
endif()
