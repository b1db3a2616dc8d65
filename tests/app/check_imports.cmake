# Fails unless every DLL that ${EXE} imports is one of Windows' KnownDLLs, which the loader takes from system32
# alone. Any other DLL in the import table would be looked for in the program's own folder first, before any code
# of the program can restrict the search.
# Usage: cmake -DEXE=<path> -DOBJDUMP=<objdump> -P check_imports.cmake
cmake_minimum_required(VERSION 3.25)
# HKLM\SYSTEM\CurrentControlSet\Control\Session Manager\KnownDLLs on Windows 10 and 11, with ntdll, which every
# process has.
set(system_dlls
    advapi32.dll clbcatq.dll combase.dll comdlg32.dll coml2.dll difxapi.dll gdi32.dll gdiplus.dll imagehlp.dll
    imm32.dll kernel32.dll msctf.dll msvcrt.dll normaliz.dll nsi.dll ntdll.dll ole32.dll oleaut32.dll psapi.dll
    rpcrt4.dll sechost.dll setupapi.dll shcore.dll shell32.dll shlwapi.dll user32.dll wldap32.dll ws2_32.dll)

execute_process(COMMAND ${OBJDUMP} -p ${EXE} OUTPUT_VARIABLE dump RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "could not read the import table of ${EXE}")
endif()
string(REGEX MATCHALL "DLL Name: [^\n]+" lines "${dump}")
if(NOT lines)
    message(FATAL_ERROR "${EXE} imports no DLL at all: the dump is not what this check expects")
endif()
set(foreign "")
foreach(line IN LISTS lines)
    string(REPLACE "DLL Name: " "" dll "${line}")
    string(STRIP "${dll}" dll)
    string(TOLOWER "${dll}" dll)
    if(NOT dll IN_LIST system_dlls)
        list(APPEND foreign ${dll})
    endif()
endforeach()
if(foreign)
    message(FATAL_ERROR "${EXE} imports DLLs that are not KnownDLLs: ${foreign}")
endif()
message(STATUS "imports: ${lines}")
