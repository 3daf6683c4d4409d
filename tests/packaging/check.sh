#!/usr/bin/env bash
# The release packages as a user gets them: make dist's zip holds exactly its
# four files; the web zip its page in one folder, within 300 KB gzipped; the .deb unpacks with the right files, modes and dependencies
# and lintian finds nothing; the MSI installs and uninstalls silently under
# wine64; make install then make uninstall leave a temporary prefix empty.
# Run by make test (as root, after the packages are installed); ends with
# one line "packaging: N passed, N failed".
set -uo pipefail
cd "$(dirname "$0")/../.."
passed=0
failed=0
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# check NAME COMMAND...: runs the command, which prints why it failed.
check() {
  local name=$1
  shift
  if "$@" >"$scratch/why" 2>&1; then
    passed=$((passed + 1))
    echo "ok      $name"
  else
    failed=$((failed + 1))
    echo "FAILED  $name"
    sed 's/^/        /' "$scratch/why" | tail -n 30
  fi
}

# same WHAT EXPECTED ACTUAL
same() {
  [ "$2" = "$3" ] || { printf '%s: expected\n%s\nbut got\n%s\n' "$1" "$2" "$3"; return 1; }
}

bash packaging/dist.sh || { echo "packaging: 0 passed, 1 failed"; exit 1; }
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/linux/CMakeCache.txt)
zip=dist/Quorvelin-Saver-$version-windows.zip
msi=dist/Quorvelin-Saver-$version.msi
deb=dist/quorvelin-saver_${version}_$(dpkg --print-architecture).deb

zip_holds_the_two_savers_readme_and_licence() {
  same "zip entries" "$(printf '%s\n' LICENSE.txt Quorvelin-32bit.scr Quorvelin-64bit.scr README.txt)" \
    "$(unzip -Z1 "$zip" | sort)" || return 1
  unzip -q "$zip" -d "$scratch/zip" || return 1
  # A swapped pair would send 32-bit Windows a program it cannot run.
  file -b "$scratch/zip/Quorvelin-32bit.scr" | grep -q '^PE32 executable' || { echo "32-bit file is not PE32"; return 1; }
  file -b "$scratch/zip/Quorvelin-64bit.scr" | grep -q '^PE32+ executable' || { echo "64-bit file is not PE32+"; return 1; }
  grep -q "Quorvelin-Saver $version for Windows"$'\r' "$scratch/zip/README.txt" || { echo "README.txt: no version line in CRLF"; return 1; }
}

# The page, script and module a visitor downloads, each gzipped as a server
# sends them: at most 300 KB together.
web_zip_holds_one_folder_within_its_size() {
  local web=Quorvelin-Saver-$version-web
  same "web zip entries" "$(printf "$web/%s\n" LICENSE.txt README.txt index.html quorvelin.js quorvelin.wasm | sort)" \
    "$(unzip -Z1 "dist/$web.zip" | sort)" || return 1
  unzip -q "dist/$web.zip" -d "$scratch/web" || return 1
  local bytes=0 file
  for file in index.html quorvelin.js quorvelin.wasm; do
    bytes=$((bytes + $(gzip -9c "$scratch/web/$web/$file" | wc -c)))
  done
  [ "$bytes" -le 307200 ] || { echo "page, script and module: $bytes bytes gzipped, more than 300 KB"; return 1; }
  (head -c 4 "$scratch/web/$web/quorvelin.wasm" | od -An -tx1 | grep -q '00 61 73 6d') || { echo "quorvelin.wasm is no WebAssembly module"; return 1; }
}

deb_unpacks_with_its_files_modes_and_dependencies() {
  dpkg-deb -x "$deb" "$scratch/root" || return 1
  same "files and modes" "$(printf '%s\n' \
    '755 usr/libexec/xscreensaver/quorvelin' \
    '644 usr/share/applications/screensavers/quorvelin.desktop' \
    '644 usr/share/doc/quorvelin-saver/README.md' \
    '644 usr/share/doc/quorvelin-saver/changelog.gz' \
    '644 usr/share/doc/quorvelin-saver/copyright' \
    '644 usr/share/xscreensaver/config/quorvelin.xml')" \
    "$(cd "$scratch/root" && find . -type f -printf '%m %P\n' | sort -k2)" || return 1
  file -b "$scratch/root/usr/libexec/xscreensaver/quorvelin" | grep -q ', stripped' || { echo "program not stripped"; return 1; }
  grep -qx 'Exec=/usr/libexec/xscreensaver/quorvelin --root' "$scratch/root/usr/share/applications/screensavers/quorvelin.desktop" ||
    { echo "desktop entry does not start the installed program"; return 1; }
  same "version" "$version" "$(dpkg-deb -f "$deb" Version)" || return 1
  same "enhances" xscreensaver "$(dpkg-deb -f "$deb" Enhances)" || return 1
  local depends
  depends=$(dpkg-deb -f "$deb" Depends)
  for lib in libc6 libx11-6 libglx0 libglu1-mesa libstdc++6 libwayland-client0 libwayland-egl1 libegl1 libxkbcommon0; do
    [[ ", $depends" == *", $lib"* ]] || { echo "Depends lacks $lib: $depends"; return 1; }
  done
  [ -z "$(dpkg-deb --ctrl-tarfile "$deb" | tar -t | grep -E 'inst|rm$')" ] || { echo "maintainer scripts"; return 1; }
}

lintian_finds_nothing_in_the_deb() {
  lintian --fail-on error,warning --info --pedantic "$deb"
}

# The MSI in a wine64 prefix of its own: a 32-bit package, so its .scr goes to
# the 32-bit system folder (syswow64) and its entry to the 32-bit registry view.
msi_installs_and_uninstalls_silently_under_wine64() {
  export WINEPREFIX=$scratch/wine WINEDEBUG=-all
  local wine=/usr/lib/wine/wine64 key scr=$scratch/wine/drive_c/windows/syswow64/Quorvelin.scr
  key='HKLM\Software\Wow6432Node\Microsoft\Windows\CurrentVersion\Uninstall'
  "$wine" wineboot -i >/dev/null 2>&1 || { echo "no Wine prefix"; return 1; }
  local status=0 package
  package=$("$wine" winepath -w "$PWD/$msi" 2>/dev/null)
  "$wine" msiexec /i "$package" /qn || { echo "msiexec /i failed"; status=1; }
  cmp -s "$scr" build/win32-i686/Quorvelin.scr || { echo "no 32-bit Quorvelin.scr in syswow64"; status=1; }
  local entry
  entry=$("$wine" reg query "$key" /s 2>/dev/null | tr -d '\r')
  for value in 'DisplayName +REG_SZ +Quorvelin-Saver$' "DisplayVersion +REG_SZ +$version\$" 'Publisher +REG_SZ +Ruk$'; do
    grep -Eq "$value" <<<"$entry" || { echo "uninstall key lacks $value"; status=1; }
  done
  "$wine" msiexec /x "$package" /qn || { echo "msiexec /x failed"; status=1; }
  [ ! -e "$scr" ] || { echo "Quorvelin.scr left after removal"; status=1; }
  ! "$wine" reg query "$key" /s 2>/dev/null | grep -q Quorvelin || { echo "uninstall key left after removal"; status=1; }
  /usr/lib/wine/wineserver -k 2>/dev/null
  return $status
}

make_uninstall_undoes_make_install() {
  local prefix=$scratch/prefix
  mkdir "$prefix"
  make -s install PREFIX="$prefix" >/dev/null || return 1
  same "installed" "$(printf '%s\n' libexec/xscreensaver/quorvelin share/applications/screensavers/quorvelin.desktop \
    share/xscreensaver/config/quorvelin.xml)" "$(cd "$prefix" && find . -type f -printf '%P\n' | sort)" || return 1
  make -s uninstall PREFIX="$prefix" >/dev/null || return 1
  same "left after uninstall" "" "$(cd "$prefix" && find . -mindepth 1)"
}

check "zip holds the two savers, README.txt and LICENSE.txt" zip_holds_the_two_savers_readme_and_licence
check "web zip holds the page in one folder, within 300 KB gzipped" web_zip_holds_one_folder_within_its_size
check ".deb unpacks with its files, modes and dependencies" deb_unpacks_with_its_files_modes_and_dependencies
check "lintian finds nothing in the .deb" lintian_finds_nothing_in_the_deb
check "MSI installs and uninstalls silently under wine64" msi_installs_and_uninstalls_silently_under_wine64
check "make uninstall undoes make install" make_uninstall_undoes_make_install
echo "packaging: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
