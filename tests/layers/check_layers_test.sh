#!/usr/bin/env bash
# The layer check catches what it must and lets pass what it may: each row
# plants one include in a folder of an otherwise clean copy of the layout.
#   check_layers_test.sh <check_layers.sh>
set -uo pipefail
check="${1:?usage: check_layers_test.sh <check_layers.sh>}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# name | file | included header | expected (pass or fail)
rows=(
  "codec user in platform reaches files|platform/io/spreadsheet.cpp|files/polygon_file.h|fail"
  "platform reaches the main window|platform/services/real_services.cpp|main_window/form1.h|fail"
  "controls reach services (the old loop)|platform/controls/coordinate_field.h|platform/services/services.h|fail"
  "io reaches controls|platform/io/regular_file.cpp|platform/controls/colours.h|fail"
  "geometry reaches platform|geometry/numtext.cpp|platform/io/regular_file.h|fail"
  "geometry reaches files|geometry/polygon.cpp|files/settings.h|fail"
  "files reach a window|files/settings.cpp|settings_windows/frm_about.h|fail"
  "settings window reaches the main window|settings_windows/frm_about.cpp|main_window/form1.h|fail"
  "geographic reaches the settings windows|geographic/geo_window.cpp|settings_windows/owner_lock.h|fail"
  "a new folder without a place|reports/report.cpp|geometry/numtext.h|fail"
  "the drawing reaches the main window|drawing/plot_view.cpp|main_window/form1.h|fail"
  "the drawing reaches a geographic window|drawing/view_fit.cpp|geographic/geo_window.h|fail"
  "the main window uses the drawing|main_window/form1.cpp|drawing/plot_view.h|pass"
  "services use colour numbers|platform/services/real_services.cpp|platform/controls/colours.h|pass"
  "the reader implements the interfaces|platform/io/spreadsheet.h|platform/services/services.h|pass"
  "files use the platform|files/polygon_file.cpp|platform/io/cp1251.h|pass"
  "windows use files|settings_windows/frm_nastr_grid.h|files/settings.h|pass"
  "the main window uses everything|main_window/form1.cpp|geographic/geo_window.h|pass"
  "platform names the program|platform/services/file_association.cpp|program.h|pass"
)

failures=0
for row in "${rows[@]}"; do
  IFS='|' read -r name file header expected <<<"$row"
  rm -rf "$work/src"
  for f in platform/io/a.cpp platform/controls/a.cpp platform/services/a.cpp geometry/a.cpp \
           files/a.cpp geographic/a.cpp settings_windows/a.cpp main_window/a.cpp; do
    mkdir -p "$work/src/$(dirname "$f")"
    echo '#include <QString>' >"$work/src/$f"
  done
  echo '#include "main_window/form1.h"' >"$work/src/main.cpp"
  mkdir -p "$work/src/$(dirname "$file")"
  printf '// planted\n#include "%s"\n' "$header" >>"$work/src/$file"
  output="$(bash "$check" "$work/src" 2>&1)"
  status=$?
  if [ "$expected" = fail ] && { [ $status -eq 0 ] || [[ "$output" != *"$file"* ]]; }; then
    echo "FAIL [$name]: not caught (status $status): $output"
    failures=$((failures + 1))
  elif [ "$expected" = pass ] && [ $status -ne 0 ]; then
    echo "FAIL [$name]: refused: $output"
    failures=$((failures + 1))
  else
    echo "ok   [$name]"
  fi
done
exit $((failures > 0))
