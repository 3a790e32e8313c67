#!/usr/bin/env bash
# Installs the build tree into a temporary folder as a desktop expects to find it, then packages the
# same tree and checks that the package holds the same files and depends on what the program links.
set -euo pipefail
build=$1
version=$2
id=io.github.ramifex.Ramifex
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# The files under a folder, one relative path a line.
list_files() {
    (cd "$1" && find . ! -type d | sed 's|^\./||' | sort)
}

DESTDIR=$work/root cmake --install "$build" --prefix /usr >/dev/null
list_files "$work/root/usr" >"$work/installed"
icons=$(for size in 16 24 32 48 64 128 256; do
    echo "share/icons/hicolor/${size}x$size/apps/$id.png"
done)
diff -u <(printf '%s\n' bin/ramifex "share/applications/$id.desktop" "$icons" \
    share/man/man1/ramifex.1 "share/metainfo/$id.metainfo.xml" "share/mime/packages/$id.xml" \
    share/ramifex/blender/ramifex_points.py |
    sort) "$work/installed" ||
    fail "installed files differ from the expected ones"
echo "ok: installed files"

desktop-file-validate "$work/root/usr/share/applications/$id.desktop" || fail "desktop entry"
# The tree, so that the metadata's launchable is checked against the installed desktop entry.
appstreamcli validate-tree --no-net "$work/root" || fail "AppStream metadata"
echo "ok: desktop entry and AppStream metadata"

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/package" >/dev/null
package=$work/package/ramifex_${version}_$(dpkg --print-architecture).deb
[[ -f $package ]] || fail "no package $package"
dpkg-deb --info "$package"
control=$(dpkg-deb --field "$package" Package Version)
[[ $control == "Package: ramifex"$'\n'"Version: $version" ]] || fail "name and version: $control"

packaged=$(dpkg-deb --contents "$package" | awk '!/^d/ { print $6 }' | sed 's|^\./usr/||' | sort)
diff -u "$work/installed" <(echo "$packaged") || fail "the package's files differ from the install"
echo "ok: package files"

# The packages that ship the libraries the program needs are all among the dependencies.
depends=$(dpkg-deb --field "$package" Depends | tr ',' '\n' | sed 's/^ *//; s/[ (].*//')
multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
mapfile -t needed < <(readelf -d "$work/root/usr/bin/ramifex" |
    sed -n "s|.*Shared library: \[\(.*\)\]|*/$multiarch/\1|p")
for owner in $(dpkg -S "${needed[@]}" | cut -d: -f1 | sort -u); do
    grep -qx "$owner" <<<"$depends" || fail "$owner, which the program links, is not a dependency"
done
echo "ok: package dependencies"
