# SPDX-License-Identifier: ISC
# Run by cpack on the staged install tree before it packs a .deb: gives the
# tree the layout a Debian package wants. The zsh completion moves to where
# Debian's zsh looks for it, the licence becomes the
# machine-readable copyright file, CHANGELOG.md becomes a changelog in
# Debian's form (the README's links follow both), the man page and the
# changelog are compressed without names or time stamps, and the program
# loses its .comment section.
if(NOT CPACK_GENERATOR STREQUAL "DEB")
    return()
endif()
set(root "${CPACK_TEMPORARY_DIRECTORY}")
set(doc "${root}/usr/share/doc/tivorel")
set(source "${CPACK_TIVOREL_SOURCE_DIR}")

file(REMOVE "${doc}/LICENSE" "${doc}/CHANGELOG.md")
# The README's links to the two follow them to their Debian names.
file(READ "${doc}/README.md" readme)
string(REPLACE "](LICENSE)" "](copyright)" readme "${readme}")
string(REPLACE "](CHANGELOG.md)" "](changelog.gz)" readme "${readme}")
file(WRITE "${doc}/README.md" "${readme}")
# Debian's zsh looks for packaged completions in vendor-completions, not in
# site-functions, the folder a plain install uses.
set(zsh "${CPACK_TIVOREL_ZSH_DIR}")
if(NOT IS_ABSOLUTE "${zsh}")
    set(zsh "/usr/${zsh}")
endif()
if(NOT zsh STREQUAL "/usr/share/zsh/vendor-completions")
    file(MAKE_DIRECTORY "${root}/usr/share/zsh/vendor-completions")
    file(RENAME "${root}${zsh}/_tivorel" "${root}/usr/share/zsh/vendor-completions/_tivorel")
    file(REMOVE_RECURSE "${root}${zsh}")
endif()
configure_file("${source}/packaging/copyright" "${doc}/copyright" COPYONLY)

# The release's entry of CHANGELOG.md: its paragraphs and items become the
# entry's items, their lines indented as Debian's changelog wants.
execute_process(COMMAND awk -v version=${CPACK_PACKAGE_VERSION} "
    /^## / { if (inside) exit; inside = index($0, \"## \" version \" \") == 1; fresh = 1; next }
    !inside { next }
    /^$/ { fresh = 1; next }
    /^- / { print \"  * \" substr($0, 3); fresh = 0; next }
    fresh { print \"  * \" $0; fresh = 0; next }
    { sub(/^ +/, \"\"); print \"    \" $0 }" "${source}/CHANGELOG.md"
    OUTPUT_VARIABLE items RESULT_VARIABLE status)
if(NOT status EQUAL 0 OR items STREQUAL "")
    message(FATAL_ERROR "CHANGELOG.md has no entry for ${CPACK_PACKAGE_VERSION}")
endif()
string(TIMESTAMP date "%a, %d %b %Y %H:%M:%S +0000" UTC)
file(WRITE "${doc}/changelog"
    "tivorel (${CPACK_PACKAGE_VERSION}) unstable; urgency=medium\n\n${items}\n"
    " -- ${CPACK_PACKAGE_CONTACT}  ${date}\n")

foreach(file "${doc}/changelog" "${root}/usr/share/man/man1/tivorel.1")
    execute_process(COMMAND gzip -9n "${file}" RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "gzip -9n ${file} failed")
    endif()
endforeach()

execute_process(COMMAND "${CPACK_TIVOREL_STRIP}" --remove-section=.comment "${root}/usr/bin/tivorel"
    RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "could not remove .comment from the program")
endif()
