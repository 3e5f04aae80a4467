# SPDX-License-Identifier: ISC
# The browser build (emcmake): the tool's own sources, unchanged, as
#   tivorel.js    the command under node: node tivorel.js ARGS
#   tivorel.html  a page that runs the tool's main in the browser, one file
#                 with its script and WebAssembly, for opening from disk.
#   site/         the page as a web site to copy to a web host, an app to
#                 install that works with no network.

# Emscripten minifies its JavaScript with acorn when it links. Debian installs
# acorn in /usr/share/nodejs, where only Debian's own node looks; another node
# (one from nodejs.org, say) finds it there only through NODE_PATH. The linker
# launcher needs CMake 3.21; with 3.20, set NODE_PATH for the build yourself.
find_program(TIVOREL_NODE NAMES node nodejs REQUIRED)
execute_process(COMMAND ${TIVOREL_NODE} -e "require('acorn')"
    RESULT_VARIABLE node_lacks_acorn OUTPUT_QUIET ERROR_QUIET)
set(link_launcher "")
if(node_lacks_acorn AND EXISTS /usr/share/nodejs/acorn)
    set(link_launcher ${CMAKE_COMMAND} -E env NODE_PATH=/usr/share/nodejs)
endif()

# The command. SINGLE_FILE builds the WebAssembly into the script, since a
# node that has fetch fails to load it from a file path. NODERAWFS writes to
# the descriptors themselves, so that output, a failed write and the exit
# status are a process's; it takes FORCE_FILESYSTEM, without which emscripten,
# seeing no file opened, writes through console.log and loses write errors.
# EXIT_RUNTIME runs the tool's atexit routine, which flushes standard output.
set(node_name ${CMAKE_CURRENT_LIST_DIR}/node-name.js)
target_link_options(tivorel PRIVATE -sENVIRONMENT=node -sSINGLE_FILE=1 -sEXIT_RUNTIME=1
    -sFORCE_FILESYSTEM=1 -sNODERAWFS=1 "SHELL:--pre-js ${node_name}")
set_target_properties(tivorel PROPERTIES LINK_DEPENDS ${node_name}
    CXX_LINKER_LAUNCHER "${link_launcher}")

# The page's module, createTivorel: the page makes an instance for each run of
# the tool, with its arguments, its output callbacks and its exit status, all
# from one compiled WebAssembly module (instantiateWasm). EXIT_RUNTIME runs
# the tool's atexit routine as a process would. make-page.js puts the
# WebAssembly into the page.
add_executable(tivorel_page src/main.cpp)
target_link_libraries(tivorel_page PRIVATE tivorelcore)
target_link_options(tivorel_page PRIVATE -sENVIRONMENT=web -sMODULARIZE=1
    -sEXPORT_NAME=createTivorel -sEXIT_RUNTIME=1
    "-sINCOMING_MODULE_JS_API=[arguments,thisProgram,print,printErr,onExit,instantiateWasm]")
set_target_properties(tivorel_page PROPERTIES CXX_LINKER_LAUNCHER "${link_launcher}")

# The page's script is ES modules, one job each (main.mjs starts the page), which
# esbuild bundles into one script, from Debian's esbuild package: one static
# program, nothing to install from npm. Its white space is minified, names
# kept for a stack trace. It runs in web/, so that whatever it writes of a
# module's path is the path there, no path of this machine; site/main.mjs is
# the web site's.
find_program(TIVOREL_ESBUILD esbuild)
if(NOT TIVOREL_ESBUILD)
    message(FATAL_ERROR "The page's script is bundled by esbuild (Debian: apt-get install esbuild); "
        "configure with -DTIVOREL_ESBUILD=/path/to/esbuild where it is elsewhere.")
endif()
file(GLOB page_modules CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/*.mjs ${CMAKE_CURRENT_LIST_DIR}/site/*.mjs)
foreach(bundle page site)
    set(entry main.mjs)
    if(bundle STREQUAL "site")
        set(entry site/main.mjs)
    endif()
    add_custom_command(OUTPUT ${bundle}-bundle.js
        COMMAND ${TIVOREL_ESBUILD} ${entry} --bundle --format=iife --charset=utf8 --minify-whitespace
            --log-level=warning
            --outfile=${CMAKE_CURRENT_BINARY_DIR}/${bundle}-bundle.js
        WORKING_DIRECTORY ${CMAKE_CURRENT_LIST_DIR}
        DEPENDS ${page_modules}
        COMMENT "Bundling the ${bundle}'s modules"
        VERBATIM)
endforeach()

# The page: the template with its style, script and WebAssembly inlined, and
# a Content-Security-Policy that names the hashes of the style and script.
set(page_bundle ${CMAKE_CURRENT_BINARY_DIR}/page-bundle.js)
set(site_bundle ${CMAKE_CURRENT_BINARY_DIR}/site-bundle.js)
set(page_sources
    ${CMAKE_CURRENT_LIST_DIR}/make-page.js
    ${CMAKE_CURRENT_LIST_DIR}/page.html
    ${CMAKE_CURRENT_LIST_DIR}/page.css)
add_custom_command(OUTPUT tivorel.html
    COMMAND ${TIVOREL_NODE} ${page_sources} $<TARGET_FILE:tivorel_page>
        $<TARGET_FILE_DIR:tivorel_page>/tivorel_page.wasm tivorel.html ${page_bundle}
    DEPENDS ${page_sources} ${page_bundle} tivorel_page
    COMMENT "Making the page tivorel.html"
    VERBATIM)
add_custom_target(tivorel_html ALL DEPENDS tivorel.html)

# The web site, site/: the page again, with the manifest, the icons and the
# worker that make it an app to install and to use with no network, for any
# static web host at any path (site/make-site.js).
set(site_inputs
    ${CMAKE_CURRENT_LIST_DIR}/page.html
    ${CMAKE_CURRENT_LIST_DIR}/page.css
    $<TARGET_FILE:tivorel_page>
    $<TARGET_FILE_DIR:tivorel_page>/tivorel_page.wasm)
file(GLOB site_files CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/site/*)
add_custom_command(OUTPUT site/index.html
    COMMAND ${TIVOREL_NODE} ${CMAKE_CURRENT_LIST_DIR}/site/make-site.js ${site_inputs} site ${site_bundle}
    DEPENDS ${page_sources} ${site_bundle} ${site_files} tivorel_page
    COMMENT "Making the web site in site/"
    VERBATIM)
add_custom_target(tivorel_site ALL DEPENDS site/index.html)
