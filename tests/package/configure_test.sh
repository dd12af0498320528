#!/usr/bin/env bash
# The configure's look-up of the spreadsheet libraries, against made-up
# pkg-config modules instead of the installed ones: which orcus/ixion series
# it takes on each release, what it says when one is missing, and that a
# module's private requirements lend it no include folder.
#   configure_test.sh <source-dir>
set -euo pipefail
source_dir="$(cd "${1:?source folder}" && pwd)"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0
rows=0

# module NAME [Requires.private] [include folder]: a .pc file of the case.
module() {
  local name="$1" requires="${2:-}" include="${3:-$case_dir/include}"
  mkdir -p "$include"
  {
    echo "includedir=$include"
    echo "Name: $name"
    echo "Description: made up for the test"
    echo "Version: 1"
    echo "Cflags: -I\${includedir}"
    echo "Libs: -l$name"
    [ -z "$requires" ] || echo "Requires.private: $requires"
  } >"$case_dir/pc/$name.pc"
}

# configure CALLS...: a project that includes the real helpers and makes
# the calls given, configured with only the case's modules.
configure() {
  {
    echo "cmake_minimum_required(VERSION 3.25)"
    echo "project(probe NONE)"
    echo "include($source_dir/cmake/dependencies.cmake)"
    printf '%s\n' "$@"
  } >"$case_dir/CMakeLists.txt"
  PKG_CONFIG_LIBDIR="$case_dir/pc" PKG_CONFIG_PATH="" \
    cmake -S "$case_dir" -B "$case_dir/build" >"$case_dir/out" 2>&1
}

# A row: name, the modules, the calls, and what the output must hold
# ("ok:" before it when the configure must pass, "fails:" when it must stop).
row() {
  local name="$1" setup="$2" calls="$3" expect="$4"
  rows=$((rows + 1))
  case_dir="$work/$name"
  mkdir -p "$case_dir/pc"
  eval "$setup"
  local status=0
  configure "$calls" || status=$?
  local want="${expect%%:*}" text="${expect#*:}"
  local verdict=""
  if [ "$want" = ok ] && [ "$status" -ne 0 ]; then verdict="the configure failed"; fi
  if [ "$want" = fails ] && [ "$status" -eq 0 ]; then verdict="the configure passed"; fi
  if [ -z "$verdict" ] && ! grep -Fq -- "$text" <(tr -s ' \n' ' ' <"$case_dir/out"); then
    verdict="no '$text' in its output"
  fi
  if [ -n "$verdict" ]; then
    echo "FAIL $name: $verdict" >&2
    sed 's/^/    /' "$case_dir/out" >&2
    failures=$((failures + 1))
  else
    echo "ok   $name"
  fi
}

orcus='tarvel_require_orcus()
message(STATUS "series ixion=${IXION_SERIES} orcus=${ORCUS_SERIES}")'
series() { local s; for s in "$@"; do
  module "libixion-$s"; module "liborcus-$s"; module "liborcus-spreadsheet-model-$s"; done; }

row debian13_orcus_019 'series 0.18' "$orcus" 'ok:series ixion=0.18 orcus=0.18'
row debian12_orcus_017 'series 0.17' "$orcus" 'ok:series ixion=0.17 orcus=0.17'
row both_series_the_newer_wins 'series 0.17 0.18' "$orcus" 'ok:series ixion=0.18 orcus=0.18'
row no_ixion_names_its_package '' "$orcus" \
  'fails:Missing libixion-0.18 or libixion-0.17 (pkg-config). Install the Debian package libixion-dev'
row no_orcus_names_its_package 'module libixion-0.18' "$orcus" \
  'fails:Missing liborcus-0.18 and liborcus-spreadsheet-model-0.18 (pkg-config). Install the Debian package liborcus-dev'
row orcus_without_its_model_is_missing \
  'module libixion-0.17; module liborcus-0.17' "$orcus" \
  'fails:Install the Debian package liborcus-dev'
row orcus_of_another_series_than_ixion \
  'module libixion-0.18; module liborcus-0.17; module liborcus-spreadsheet-model-0.17' "$orcus" \
  'fails:Missing liborcus-0.18 and liborcus-spreadsheet-model-0.18'

# Debian 13's xlsxwriter privately requires minizip, whose folder has a
# zip.h of its own.
writer='tarvel_require_pkg(WRITER libwriter-dev writer IMPORTED_TARGET)
get_target_property(dirs PkgConfig::WRITER INTERFACE_INCLUDE_DIRECTORIES)
message(STATUS "include: ${dirs}")'
row private_requirement_lends_no_folder \
  'module zipper "" "$case_dir/include/zipper"; module writer zipper' "$writer" \
  "ok:include: $work/private_requirement_lends_no_folder/include --"
row own_folders_stay \
  'module writer' "$writer" "ok:include: $work/own_folders_stay/include --"

echo "$((rows - failures)) passed, $failures failed"
[ "$failures" -eq 0 ]
