#!/usr/bin/env bash
# Builds the .debs of the build folder given (tarvel, and tarvel-gis with
# the GIS module alone), unpacks them without installing (dpkg -x), checks
# what they hold and starts the program unpacked from tarvel alone until its
# main window shows. Runs inside an X server of its own
# (tests/support/with_own_x.sh).
#   package_test.sh <build-dir>
set -euo pipefail
build="${1:?build folder}"

work="$(mktemp -d)"
app_pid=""
cleanup() {
  if [ -n "$app_pid" ]; then kill "$app_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
# A command that fails outside a check of its own still says where.
trap 'echo "FAIL: line $LINENO: $BASH_COMMAND exited with $?" >&2' ERR

# ---- Build ----
(cd "$build" && cpack --config CPackConfig.cmake -G DEB -B "$work/out") >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; fail "cpack failed"; }
debs=("$work"/out/tarvel_3.0_*.deb)
[ -f "${debs[0]}" ] || fail "no tarvel_3.0_*.deb in $(ls "$work/out")"
deb="${debs[0]}"
gis_debs=("$work"/out/tarvel-gis_3.0_*.deb)
[ -f "${gis_debs[0]}" ] || fail "no tarvel-gis_3.0_*.deb in $(ls "$work/out")"
gis_deb="${gis_debs[0]}"

# ---- Control fields ----
field() { dpkg-deb -f "$deb" "$1"; }
gis_field() { dpkg-deb -f "$gis_deb" "$1"; }
[ "$(field Package)" = tarvel ] || fail "package name $(field Package)"
[ "$(field Version)" = 3.0 ] || fail "version $(field Version)"
[ "$(field Section)" = science ] || fail "section $(field Section)"
[ -n "$(field Maintainer)" ] || fail "no maintainer"
depends="$(field Depends)"
gis_depends="$(gis_field Depends)"
# The package names of a relation field, one a line, without versions.
names_of() { tr ',' '\n' <<<"$1" | sed -E 's/^ +//; s/ .*//'; }
depends_names() { names_of "$depends"; }
in_depends() { depends_names | grep -Fx -- "$1" >/dev/null; }
in_gis_depends() { names_of "$gis_depends" | grep -Fx -- "$1" >/dev/null; }
# What the program needs without linking it: the platform plugins and the
# Russian translations of Qt's own dialogs.
for p in qt6-qpa-plugins qt6-translations-l10n; do
  in_depends "$p" || fail "Depends lacks $p: $depends"
done
# The GIS module is recommended, so that apt brings it along by default.
names_of "$(field Recommends)" | grep -Fx tarvel-gis >/dev/null ||
  fail "tarvel does not recommend tarvel-gis: $(field Recommends)"
in_depends tarvel-gis && fail "tarvel depends on tarvel-gis: $depends"

# tarvel-gis: the module of this very program, and the GDAL it links.
[ "$(gis_field Package)" = tarvel-gis ] || fail "package name $(gis_field Package)"
[ "$(gis_field Version)" = 3.0 ] || fail "tarvel-gis version $(gis_field Version)"
[ -n "$(gis_field Maintainer)" ] || fail "tarvel-gis has no maintainer"
tr ',' '\n' <<<"$gis_depends" | sed -E 's/^ +//; s/ +$//' | grep -Fx "tarvel (= 3.0)" >/dev/null ||
  fail "tarvel-gis does not depend on tarvel (= 3.0): $gis_depends"
names_of "$gis_depends" | grep -Eq '^libgdal[0-9]+$' ||
  fail "tarvel-gis depends on no GDAL library package: $gis_depends"

# Every dependency must name a package this system knows (tarvel, which
# tarvel-gis depends on, is the one built here).
while read -r name; do
  [ "$name" = tarvel ] && continue
  dpkg-query -W "$name" >/dev/null 2>&1 || apt-cache show "$name" >/dev/null 2>&1 ||
    fail "unknown package in Depends: $name"
done < <(depends_names; names_of "$gis_depends")

# ---- Files ----
root="$work/root"
dpkg -x "$deb" "$root"
gis_root="$work/gis-root"
dpkg -x "$gis_deb" "$gis_root"
# GDAL is loaded only with the module of tarvel-gis, which tarvel lacks.
[ ! -e "$root/usr/lib/tarvel/tarvel_gis_module.so" ] || fail "tarvel holds the GIS module"
gis_files="$(cd "$gis_root" && find . ! -type d | sed 's|^\./|/|')"
[ "$gis_files" = /usr/lib/tarvel/tarvel_gis_module.so ] ||
  fail "tarvel-gis holds other than its module: $gis_files"
[ -s "$gis_root/usr/lib/tarvel/tarvel_gis_module.so" ] || fail "the GIS module is empty"
for f in usr/bin/tarvel usr/bin/Help.pdf usr/share/applications/tarvel.desktop \
  usr/share/icons/hicolor/64x64/apps/tarvel.png usr/share/icons/hicolor/scalable/apps/tarvel.svg \
  usr/share/mime/packages/tarvel-squ.xml usr/lib/tarvel/tarvel_sheet_module.so \
  usr/lib/tarvel/tarvel_print_module.so usr/lib/tarvel/tarvel_archive_module.so usr/lib/tarvel/tarvel-sheet-reader; do
  [ -s "$root/$f" ] || fail "missing or empty: /$f"
done
[ -x "$root/usr/bin/tarvel" ] || fail "/usr/bin/tarvel is not executable"

# Each library that the packaged program, its modules and its reader link
# directly comes from a package named in Depends. The names differ between
# releases (liborcus-0.17-0 and libqt6core6 on Debian 12, liborcus-0.18-0
# and libqt6core6t64 on Debian 13), so they are asked of dpkg here.
owner() {
  local path="$1" candidate
  for candidate in "$path" "/usr$path" "${path#/usr}"; do
    dpkg-query -S "$candidate" 2>/dev/null | grep -v '^diversion' | head -n1 | cut -d: -f1 &&
      return 0
  done
  return 1
}
# The GIS module's come from tarvel-gis's Depends, or from tarvel's, which
# it depends on.
for f in "$root/usr/bin/tarvel" "$root"/usr/lib/tarvel/* "$gis_root"/usr/lib/tarvel/*; do
  name="${f#"$root"}"
  [ "$f" = "${f#"$gis_root"}" ] || name="${f#"$gis_root"} (tarvel-gis)"
  while read -r lib; do
    # "lib => path", or the dynamic loader by its path alone (a module
    # that uses thread-local storage links it).
    path="$(ldd "$f" | awk -v lib="$lib" '
      $1 == lib && $3 ~ /^\// { print $3; exit }
      $1 ~ /^\// { n = split($1, part, "/"); if (part[n] == lib) { print $1; exit } }')"
    [ -n "$path" ] || fail "$lib, linked by $name, is not found"
    package="$(owner "$(realpath "$path")")" || package="$(owner "$path")" ||
      fail "no package holds $path, linked by $name"
    [ -n "$package" ] || fail "no package holds $path, linked by $name"
    if [ "$f" = "${f#"$gis_root"}" ]; then
      in_depends "$package" || fail "Depends lacks $package (for $lib of $name): $depends"
    else
      in_gis_depends "$package" || in_depends "$package" ||
        fail "tarvel-gis's Depends lacks $package (for $lib of $name): $gis_depends"
    fi
  done < <(objdump -p "$f" | awk '$1 == "NEEDED" { print $2 }')
done
# The program itself links no GDAL: without tarvel-gis it has none.
objdump -p "$root/usr/bin/tarvel" | awk '$1 == "NEEDED" { print $2 }' | grep -q '^libgdal' &&
  fail "the program links GDAL"
objdump -p "$gis_root/usr/lib/tarvel/tarvel_gis_module.so" | awk '$1 == "NEEDED" { print $2 }' |
  grep -q '^libgdal' || fail "the GIS module links no GDAL"
# The workbook reader the program starts for an import runs from the package.
printf '1,5;2\n3;4\n5;6\n' >"$work/coords.csv"
"$root/usr/lib/tarvel/tarvel-sheet-reader" "$work/coords.csv" 3>"$work/cells" ||
  fail "the packaged workbook reader does not read a CSV file"
[ -s "$work/cells" ] || fail "the packaged workbook reader gave no cells"
[ "$(head -c 5 "$root/usr/bin/Help.pdf")" = "%PDF-" ] || fail "Help.pdf is not a PDF"

# The icon is a 64x64 PNG: the signature, then the IHDR width and height.
png="$root/usr/share/icons/hicolor/64x64/apps/tarvel.png"
[ "$(od -An -tx1 -N8 "$png" | tr -d ' \n')" = 89504e470d0a1a0a ] || fail "icon is not a PNG"
[ "$(od -An -tu1 -j16 -N8 "$png" | tr -s ' ' | sed 's/^ //')" = "0 0 0 64 0 0 0 64" ] ||
  fail "icon is not 64x64"

entry="$root/usr/share/applications/tarvel.desktop"
for line in "Name=Тарвел" "Comment=Программа расчета площади" "Exec=tarvel %f" "Icon=tarvel" \
  "MimeType=application/x-tarvel-squ;application/x-tarvel-squx;" "Categories=Office;Education;"; do
  grep -Fxq "$line" "$entry" || fail "desktop entry lacks '$line'"
done
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$entry" || fail "desktop entry does not validate"
fi

# The MIME package as the desktop's own tool reads it.
if command -v update-mime-database >/dev/null; then
  update-mime-database "$root/usr/share/mime" >/dev/null 2>&1 || fail "update-mime-database failed"
  grep -q 'application/x-tarvel-squ:\*\.squ$' "$root/usr/share/mime/globs2" ||
    fail "*.squ is not application/x-tarvel-squ after update-mime-database"
  grep -q 'application/x-tarvel-squx:\*\.squx$' "$root/usr/share/mime/globs2" ||
    fail "*.squx is not application/x-tarvel-squx after update-mime-database"
  # A ".squx" file is known by its first line too, whatever its name.
  grep -aFq "[50:application/x-tarvel-squx]" "$root/usr/share/mime/magic" &&
    grep -aFq "TARVEL-SQUX" "$root/usr/share/mime/magic" ||
    fail "application/x-tarvel-squx has no magic for TARVEL-SQUX after update-mime-database"
  grep -q "Программа расчета площади" "$root/usr/share/mime/packages/tarvel-squ.xml" ||
    fail "MIME type without its comment"
  grep -q "Многоугольник Тарвел" "$root/usr/share/mime/packages/tarvel-squ.xml" ||
    fail "MIME type of .squx without its comment"
fi

# ---- The program unpacked from tarvel alone starts (no tarvel-gis) ----
export HOME="$work/home"
export XDG_CONFIG_HOME="$HOME/.config" XDG_DATA_HOME="$HOME/.local/share"
export XDG_RUNTIME_DIR="$work/run" BROWSER=true
mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM
"$root/usr/bin/tarvel" >"$work/app.log" 2>&1 &
app_pid=$!
wid="$(timeout 30 xdotool search --sync --onlyvisible --name "Тарвел 3.0" | head -n1 || true)"
[ -n "$wid" ] || { cat "$work/app.log"; fail "the main window did not appear within 30 s"; }
# The window found may be one the toolkit replaces while it starts; the
# title is asked of whichever window has it once the start is over.
title=""
for _ in $(seq 300); do
  title="$(xdotool getwindowname "$wid" 2>/dev/null || true)"
  [ -n "$title" ] && break
  wid="$(xdotool search --onlyvisible --name "Тарвел 3.0" 2>/dev/null | head -n1 || true)"
  sleep 0.1
done
[ "$title" = "Тарвел 3.0" ] || fail "window title is '$title'"
kill -0 "$app_pid" || fail "the program ended"
# The program's own per-user association has the same desktop-file ID as the
# packaged entry and so takes its place in the menus: it must not lose what
# the packaged one says.
user_entry="$XDG_DATA_HOME/applications/tarvel.desktop"
if [ -f "$user_entry" ]; then
  for line in "Categories=Office;Education;" "Comment=Программа расчета площади" \
    "MimeType=application/x-tarvel-squ;application/x-tarvel-squx;"; do
    grep -Fxq "$line" "$user_entry" ||
      fail "the per-user $user_entry written at the first start lacks '$line'"
  done
fi
kill "$app_pid"
wait "$app_pid" 2>/dev/null || true
app_pid=""
echo "package: ok ($(basename "$deb"), $(du -k "$deb" | cut -f1) KiB;" \
  "$(basename "$gis_deb"), $(du -k "$gis_deb" | cut -f1) KiB)"
