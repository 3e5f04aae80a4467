#!/usr/bin/env bash
# SPDX-License-Identifier: ISC
# What a distribution builds from the release tarball alone, with no .git of
# the project's: its flags stand, two cpack packages are the same bytes and
# dated by CHANGELOG.md, and a packager's plain debian/ (packaging/debian)
# builds, runs the tests and satisfies lintian. Run before a release.
# usage: packaging/check-tarball.sh TARBALL FOLDER
set -euo pipefail
tarball=$1
work=$(mkdir -p "$2" && cd "$2" && pwd)
version=$(basename "$tarball" .tar.gz)
version=${version#tivorel-}
source=$work/tivorel-$version
# Unpacked in a packager's own git repository, whose history is not the
# project's.
git -C "$work" init -q
tar -xzf "$tarball" -C "$work"

# A distribution's flags stand: a higher fortify level, or none at all.
for level in "-D_FORTIFY_SOURCE=3" "-U_FORTIFY_SOURCE"; do
    CXXFLAGS="-O2 $level" cmake -S "$source" -B "$work/flags" -DBUILD_TESTING=OFF \
        -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >/dev/null
    line=$(grep '"command":.*src/chart.cpp' "$work/flags/compile_commands.json")
    [ "$(grep -o -e '-[DU]_FORTIFY_SOURCE[=0-9]*' <<<"$line")" = "$level" ] ||
        { echo "check-tarball: CXXFLAGS $level gave: $line"; exit 1; }
    echo "CXXFLAGS=$level: kept alone on the compile lines"
    rm -rf "$work/flags"
done

# Two cpack packages from the tarball: the same bytes, dated by the
# newest release in CHANGELOG.md.
for n in 1 2; do
    cmake -S "$source" -B "$work/deb-$n" -DBUILD_TESTING=OFF >/dev/null
    cmake --build "$work/deb-$n" --parallel >/dev/null
    (cd "$work/deb-$n" && cpack >/dev/null)
done
cmp "$work"/deb-1/*.deb "$work"/deb-2/*.deb
date=$(sed -n 's/^## .* (\([0-9-]*\))$/\1/p' "$source/CHANGELOG.md" | head -n 1)
if dpkg-deb --fsys-tarfile "$work"/deb-1/*.deb | tar -tvf - | grep -v " $date 00:00 "; then
    echo "check-tarball: a file of the package is not dated $date"
    exit 1
fi
echo "two packages from the tarball: the same bytes, every file dated $date"

# A Debian package as a packager would write it (packaging/debian: dh
# with the cmake build system and no override); dh_auto_test must run
# the tests.
cp "$tarball" "$work/tivorel_$version.orig.tar.gz"
cp -r "$source/packaging/debian" "$source/debian"
cp "$source/packaging/copyright" "$source/debian/copyright"
printf 'tivorel (%s-1) unstable; urgency=medium\n\n  * Packaged from the release tarball.\n\n -- %s  %s\n' \
    "$version" "tivorel maintainers <tivorel@example.org>" "$(date -R -u -d "$date")" >"$source/debian/changelog"
(cd "$source" && dpkg-buildpackage -us -uc -jauto >"$work/build.log" 2>&1) ||
    { tail -n 60 "$work/build.log"; exit 1; }
grep -E '^[0-9]+% tests passed, 0 tests failed out of [1-9]' "$work/build.log" ||
    { echo "check-tarball: dh_auto_test ran no tests"; exit 1; }
# The packager's files close no bug and name no home page or upstream
# metadata: the project has no bug tracker or home page yet.
lintian --fail-on error,warning,info,pedantic --pedantic --info --display-experimental \
    --suppress-tags initial-upload-closes-no-bugs,no-homepage-field,upstream-metadata-file-is-missing \
    "$work"/tivorel_"$version"-1_*.changes
echo "lintian --pedantic: nothing to say"
