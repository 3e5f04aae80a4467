# SPDX-License-Identifier: ISC
# Read by cpack before it packs. Every time stamp in a package is
# SOURCE_DATE_EPOCH when it is set; otherwise the last commit's, when the
# source folder is the top of a git checkout of its own (not a folder inside
# some other repository, such as a packager's), and else the release date of
# the newest entry of CHANGELOG.md. Two builds of one commit or of one
# release tarball thus give the same bytes.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
    set(source "${CPACK_TIVOREL_SOURCE_DIR}")
    find_program(TIVOREL_GIT git)
    if(TIVOREL_GIT)
        execute_process(COMMAND "${TIVOREL_GIT}" rev-parse --show-toplevel
            WORKING_DIRECTORY "${source}" OUTPUT_VARIABLE top
            OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE status ERROR_QUIET)
        if(status EQUAL 0)
            file(REAL_PATH "${top}" top)
            file(REAL_PATH "${source}" source_path)
        endif()
        if(status EQUAL 0 AND top STREQUAL source_path)
            execute_process(COMMAND "${TIVOREL_GIT}" log -1 --format=%ct
                WORKING_DIRECTORY "${source}" OUTPUT_VARIABLE epoch
                OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE status ERROR_QUIET)
        endif()
    endif()
    if(NOT epoch MATCHES "^[0-9]+$")
        # "## 1.1.4 (2026-12-09)": midnight UTC of that day.
        file(STRINGS "${source}/CHANGELOG.md" entry REGEX "^## .* \\([0-9]+-[0-9]+-[0-9]+\\)$")
        list(GET entry 0 entry)
        string(REGEX MATCH "([0-9]+)-0?([0-9]+)-0?([0-9]+)" date "${entry}")
        # Days since 1970-01-01 from year, month and day (Hinnant's
        # days_from_civil, for years from 1 on): years begin in March.
        set(year ${CMAKE_MATCH_1})
        set(month ${CMAKE_MATCH_2})
        set(day ${CMAKE_MATCH_3})
        if(month LESS_EQUAL 2)
            math(EXPR year "${year} - 1")
            math(EXPR month "${month} + 9")
        else()
            math(EXPR month "${month} - 3")
        endif()
        math(EXPR epoch "(${year} / 400 * 146097 + ${year} % 400 * 365 + ${year} % 400 / 4
            - ${year} % 400 / 100 + (153 * ${month} + 2) / 5 + ${day} - 1 - 719468) * 86400")
    endif()
    set(ENV{SOURCE_DATE_EPOCH} "${epoch}")
endif()
