#!/bin/sh
# SPDX-License-Identifier: ISC
# The release, in build-dist/: the tarball of the commit checked out (the
# dist target), the page and the web site built by emscripten from that
# tarball's sources, and SHA256SUMS for the three, in sha256sum's format with
# bare names.
# Each is the same bytes from any clone of the commit.
# usage: packaging/release.sh   (from the project root)
set -eu
[ -f packaging/release.sh ] || { echo "release: run me from the project root" >&2; exit 1; }
version=$(sed -n 's/^project(tivorel VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
[ -n "$version" ] || { echo "release: no version in CMakeLists.txt's project()" >&2; exit 1; }
tarball=tivorel-$version.tar.gz
page=tivorel-$version.html
site=tivorel-$version-site
command -v emcc >/dev/null ||
    { echo "release: the page needs emscripten's emcc (Debian: apt-get install emscripten)" >&2; exit 1; }
command -v zip >/dev/null || { echo "release: the site needs zip (Debian: apt-get install zip)" >&2; exit 1; }

cmake -S . -B build-dist -DBUILD_TESTING=OFF >/dev/null
cmake --build build-dist --target dist

# The page from the tarball's own files, not the working tree's, so that it
# is the page of the commit the tarball holds even where the tree has edits.
# A build of its own: one build has one toolchain.
rm -rf build-dist/page build-dist/page-source
mkdir build-dist/page-source
tar -xzf "build-dist/$tarball" -C build-dist/page-source
source=$PWD/build-dist/page-source/tivorel-$version
cmake -S "$source" -B build-dist/page -DCMAKE_TOOLCHAIN_FILE="$source/cmake/toolchains/wasm.cmake" \
    -DBUILD_TESTING=OFF -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build-dist/page --target tivorel_html tivorel_site --parallel
cp build-dist/page/tivorel.html "build-dist/$page"

# The site as one folder in a zip, the same bytes from any clone: each file's
# time the day of the newest release in CHANGELOG.md at midnight UTC, which
# zip writes as local time, here UTC; the modes fixed whatever the umask; the
# entries sorted; no owners or extra times (-X).
rm -rf "build-dist/$site" "build-dist/$site.zip"
cp -R build-dist/page/site "build-dist/$site"
day=$(sed -n 's/^## .* (\([0-9]*-[0-9]*-[0-9]*\))$/\1/p' "$source/CHANGELOG.md" | head -n 1)
find "build-dist/$site" -type d -exec chmod 755 {} +
find "build-dist/$site" -type f -exec chmod 644 {} +
find "build-dist/$site" -exec touch -d "${day}T00:00:00Z" {} +
(cd build-dist && find "$site" | LC_ALL=C sort | TZ=UTC zip -X -q -@ "$site.zip")

(cd build-dist && cmake -E sha256sum "$tarball" "$page" "$site.zip" >SHA256SUMS)
echo "release: in $PWD/build-dist:"
echo "  $tarball  the sources"
echo "  $page  the page"
echo "  $site.zip  the web site, a folder for any static web host"
echo "  SHA256SUMS  their SHA-256 sums (sha256sum -c SHA256SUMS)"
