# SPDX-License-Identifier: ISC
# Read by cpack before it packs. Without SOURCE_DATE_EPOCH, every time stamp
# in a package is the last commit's, so that two builds of one commit give
# the same bytes.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
    find_program(TIVOREL_GIT git)
    if(TIVOREL_GIT)
        execute_process(COMMAND "${TIVOREL_GIT}" log -1 --format=%ct
            WORKING_DIRECTORY "${CPACK_TIVOREL_SOURCE_DIR}"
            OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE
            RESULT_VARIABLE status ERROR_QUIET)
        if(status EQUAL 0 AND epoch MATCHES "^[0-9]+$")
            set(ENV{SOURCE_DATE_EPOCH} "${epoch}")
        endif()
    endif()
endif()
