# The one time the download's bytes may carry: SOURCE_DATE_EPOCH when the environment sets it (the convention of
# reproducible builds), or else the time of the commit that is built, never the time of the build.
function(velstrand_source_date_epoch out source)
    set(epoch "$ENV{SOURCE_DATE_EPOCH}")
    if(epoch STREQUAL "")
        find_program(VELSTRAND_GIT git)
        if(VELSTRAND_GIT)
            execute_process(COMMAND "${VELSTRAND_GIT}" -C "${source}" log -1 --format=%ct
                            OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
        endif()
    endif()
    if(NOT epoch MATCHES "^[0-9]+$")
        message(FATAL_ERROR "no time for the package: ${source} is no git checkout and SOURCE_DATE_EPOCH is not "
                            "set (seconds since 1970, e.g. the time of the commit)")
    endif()
    set(${out} "${epoch}" PARENT_SCOPE)
endfunction()
