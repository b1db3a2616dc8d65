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

# Runs the script in `folder` as Wine's cmd reads it under LANG=zh_CN.UTF-8, with a key ready for its pause, and
# expects exit code `code` and, in its output read as code page 936, each text after that. SystemRoot is set inside
# cmd, since Wine puts its own over one from Linux.
file(WRITE "${SCRATCH}/run.cmd" "@echo off\r\nif not \"%~2\"==\"\" set \"SystemRoot=%~2\"\r\ncall \"%~1\"\r\n"
                                "exit /b %errorlevel%\r\n")
file(WRITE "${SCRATCH}/key.txt" "\r\n")
function(run_script folder system_root code)
    windows_path(runner "${SCRATCH}/run.cmd")
    windows_path(script "${folder}/${SCRIPT}")
    set(root "")
    if(system_root)
        windows_path(root "${system_root}")
    endif()
    execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=LC_ALL --unset=LC_MESSAGES --unset=LC_CTYPE
                            LANG=zh_CN.UTF-8 "LOCPATH=${LOCALES}" "${WINE}" cmd /c "${runner}" "${script}" ${root}
                    WORKING_DIRECTORY "${folder}" INPUT_FILE "${SCRATCH}/key.txt"
                    OUTPUT_FILE "${SCRATCH}/said.txt" ERROR_QUIET RESULT_VARIABLE status TIMEOUT 60)
    execute_process(COMMAND iconv -f GBK -t UTF-8 "${SCRATCH}/said.txt" OUTPUT_VARIABLE said ERROR_QUIET)
    if(NOT status EQUAL code)
        list(APPEND errors "in ${folder}: exit code ${status}, not ${code}; it said: ${said}")
    endif()
    foreach(text IN LISTS ARGN)
        string(FIND "${said}" "${text}" at)
        if(at EQUAL -1)
            list(APPEND errors "in ${folder} it did not say '${text}' but: ${said}")
        endif()
    endforeach()
    set(errors "${errors}" PARENT_SCOPE)
endfunction()

function(listing out folder)
    file(GLOB_RECURSE found RELATIVE "${folder}" LIST_DIRECTORIES true "${folder}/*")
    list(SORT found)
    set(${out} "${found}" PARENT_SCOPE)
endfunction()

# Expects `folder` to hold what it held `before` and the copies named after that, each the same as its original.
function(expect_copies folder before)
    set(expected ${before})
    while(ARGN)
        list(POP_FRONT ARGN copy original)
        list(APPEND expected "${copy}")
        execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${folder}/${copy}" "${original}"
                        RESULT_VARIABLE different)
        if(different)
            list(APPEND errors "${folder}/${copy} is not a copy of ${original}")
        endif()
    endwhile()
    listing(after "${folder}")
    list(SORT expected)
    if(NOT after STREQUAL expected)
        list(APPEND errors "${folder} holds [${after}], not [${expected}]")
    endif()
    set(errors "${errors}" PARENT_SCOPE)
endfunction()

# A folder under Downloads, with the download unpacked, and stand-ins for commands a script might call without a
# path: cmd would take them from the current folder before system32, and each records being started.
file(MAKE_DIRECTORY "${DOWNLOAD}")
file(GLOB unpacked "${UNPACKED}/*")
file(COPY ${unpacked} DESTINATION "${DOWNLOAD}")
foreach(command chcp.com xcopy.exe robocopy.exe find.exe findstr.exe where.exe timeout.exe choice.exe)
    file(COPY_FILE "${STAND_IN}" "${DOWNLOAD}/${command}")
endforeach()
listing(before "${DOWNLOAD}")
windows_path(shown "${DOWNLOAD}/")
foreach(round first second)
    run_script("${DOWNLOAD}" "" 0 "taskkill.exe 复制到" "\"${shown}\"")
    expect_copies("${DOWNLOAD}" "${before}" taskkill.exe "${system32}/taskkill.exe")
endforeach()

# A Windows of the test's own, with a language folder that has taskkill's messages and one that has not.
set(windows "${SCRATCH}/假的 Windows")
file(COPY "${system32}/taskkill.exe" DESTINATION "${windows}/System32")
file(WRITE "${windows}/System32/zh-CN/taskkill.exe.mui" "taskkill's Chinese messages")
file(MAKE_DIRECTORY "${windows}/System32/en-US")
set(other "${SCRATCH}/另一个 文件夹")
file(COPY ${unpacked} DESTINATION "${other}")
listing(before "${other}")
run_script("${other}" "${windows}" 0 "zh-CN\\taskkill.exe.mui")
expect_copies("${other}" "${before};zh-CN" taskkill.exe "${windows}/System32/taskkill.exe"
              zh-CN/taskkill.exe.mui "${windows}/System32/zh-CN/taskkill.exe.mui")

# Explorer's zip view extracts the script alone into a temporary folder and runs it there.
set(alone "${SCRATCH}/Temp1_download.zip")
file(COPY "${UNPACKED}/${SCRIPT}" DESTINATION "${alone}")
run_script("${alone}" "" 1 "请先解压")
expect_copies("${alone}" "${SCRIPT}")

if(errors)
    list(JOIN errors "\n  " report)
    message(FATAL_ERROR "the copy script is not right:\n  ${report}")
endif()
