#!/usr/bin/env bash
# `make dist`: builds the Linux program (preset linux) and both .scr files and
# writes the release packages to dist/:
#   Quorvelin-Saver-VERSION-windows.zip   both .scr files, README.txt, LICENSE.txt
#   Quorvelin-Saver-VERSION.msi           the 32-bit .scr into the system folder (wixl)
#   quorvelin-saver_VERSION_ARCH.deb      the Linux program as an xscreensaver hack
#   Quorvelin-Saver-VERSION-web.zip       the show's web page, script and module, README.txt, LICENSE.txt
# VERSION is the CMake project's version; every file packed carries the time of
# the last commit (or SOURCE_DATE_EPOCH), so the same sources pack the same.
set -euo pipefail
cd "$(dirname "$0")/.."
for preset in linux win32-i686 win32-x86_64 web; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" >/dev/null
done
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/linux/CMakeCache.txt)
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || date +%s)}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p dist
umask 022

# Windows: text files with CRLF line ends, for Notepad.
zip=dist/Quorvelin-Saver-$version-windows.zip
mkdir "$scratch/zip"
cp build/win32-i686/Quorvelin.scr "$scratch/zip/Quorvelin-32bit.scr"
cp build/win32-x86_64/Quorvelin.scr "$scratch/zip/Quorvelin-64bit.scr"
sed "s/@VERSION@/$version/g; s/\$/\r/" packaging/windows/README.txt >"$scratch/zip/README.txt"
sed 's/$/\r/' LICENSE >"$scratch/zip/LICENSE.txt"
touch -d "@$SOURCE_DATE_EPOCH" "$scratch/zip/"*
rm -f "$zip"
(cd "$scratch/zip" && zip -q -X -D "$OLDPWD/$zip" README.txt LICENSE.txt Quorvelin-32bit.scr Quorvelin-64bit.scr)
echo "make dist: wrote $zip"

# One product code per version: reinstalling a version repairs it, a new
# version replaces the old (MajorUpgrade in quorvelin.wxs).
hash=$(printf 'Quorvelin-Saver %s' "$version" | sha1sum | tr a-f A-F)
product_code="{${hash:0:8}-${hash:8:4}-5${hash:13:3}-$(printf '%X' $((0x${hash:16:1} & 3 | 8)))${hash:17:3}-${hash:20:12}}"
msi=dist/Quorvelin-Saver-$version.msi
wixl -a x86 -D "Version=$version" -D "ProductCode=$product_code" -D Scr32=build/win32-i686/Quorvelin.scr \
  -D Icon=resources/quorvelin.ico -o "$msi" packaging/quorvelin.wxs
echo "make dist: wrote $msi"

# Debian: the files make install puts under /usr, the documents, the control data.
root=$scratch/deb
DESTDIR=$root cmake --install build/linux --prefix /usr --strip >/dev/null
# The compiler's notes too, which plain strip keeps.
strip --remove-section=.comment --remove-section=.note "$root/usr/libexec/xscreensaver/quorvelin"
doc=$root/usr/share/doc/quorvelin-saver
mkdir -p "$doc" "$root/DEBIAN"
cp README.md "$doc/README.md"
{
  sed "s/@COPYRIGHT@/$(sed -n 's/^Copyright (c) //p' LICENSE)/" packaging/debian/copyright
  sed -n '/^Permission/,$p' LICENSE | sed 's/^$/./; s/^/ /'
} >"$doc/copyright"
sed "s/@VERSION@/$version/g; s/@DATE@/$(date -R -u -d "@$SOURCE_DATE_EPOCH")/" packaging/debian/changelog |
  gzip -9n >"$doc/changelog.gz"
# dpkg-shlibdeps wants to run in a source tree; a stub one says what it needs.
mkdir -p "$scratch/src/debian"
printf 'Source: quorvelin-saver\n\nPackage: quorvelin-saver\nArchitecture: any\n' >"$scratch/src/debian/control"
depends=$(cd "$scratch/src" && dpkg-shlibdeps -O "$root/usr/libexec/xscreensaver/quorvelin" | sed -n 's/^shlibs:Depends=//p')
arch=$(dpkg --print-architecture)
sed "s/@VERSION@/$version/; s/@ARCH@/$arch/; s/@DEPENDS@/$depends/; s/@INSTALLED_SIZE@/$(du -sk "$root/usr" | cut -f1)/" \
  packaging/debian/control >"$root/DEBIAN/control"
(cd "$root" && find usr -type f -print0 | sort -z | xargs -0 md5sum) >"$root/DEBIAN/md5sums"
find "$root" -type d -exec chmod 0755 {} +
find "$root" -type f -exec chmod 0644 {} +
chmod 0755 "$root/usr/libexec/xscreensaver/quorvelin"
find "$root" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +
deb=dist/quorvelin-saver_${version}_$arch.deb
dpkg-deb --root-owner-group -Zxz --build "$root" "$deb" >/dev/null
echo "make dist: wrote $deb"

# The web page: one folder, to serve as it is.
web=Quorvelin-Saver-$version-web
mkdir "$scratch/$web"
cp build/web/site/index.html build/web/site/quorvelin.js build/web/site/quorvelin.wasm "$scratch/$web/"
sed "s/@VERSION@/$version/g" packaging/web/README.txt >"$scratch/$web/README.txt"
cp LICENSE "$scratch/$web/LICENSE.txt"
touch -d "@$SOURCE_DATE_EPOCH" "$scratch/$web" "$scratch/$web/"*
rm -f "dist/$web.zip"
(cd "$scratch" && zip -q -X -D "$OLDPWD/dist/$web.zip" "$web"/index.html "$web"/quorvelin.js "$web"/quorvelin.wasm \
  "$web"/README.txt "$web"/LICENSE.txt)
echo "make dist: wrote dist/$web.zip"
