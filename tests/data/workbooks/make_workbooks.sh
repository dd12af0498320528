#!/usr/bin/env bash
# Writes the workbooks of tests/files/workbook_import_test.cpp with the
# programs people actually use, into the folder of this script, then
# examines them. The tests only read the committed files; run this again
# only to renew them.
#
# Needs the Debian packages python3-openpyxl python3-xlsxwriter python3-xlwt
# python3-odf gnumeric libreoffice-calc-nogui libxlsxwriter-dev gcc
# pkg-config. PYTHON overrides the interpreter (default /usr/bin/python3,
# the one that sees the Debian Python packages).
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
py=${PYTHON:-/usr/bin/python3}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# Python libraries, the hand-made workbook and the text files.
"$py" "$here/make_workbooks.py" write "$here"

# libxlsxwriter, the C library: once in the default mode, once in
# constant-memory mode, where strings go inline into the sheet instead of
# into the shared string table. In that file the X of rows 2 and 4 are texts.
cat >"$tmp/corners.c" <<'EOF'
#include <string.h>
#include <xlsxwriter.h>

static const double X[] = {1234.56, 1250.5, 1301.75, 1288.03, 1240.1, -15.25};
static const double Y[] = {7890.12, 7901.25, 7850.01, 7799.99, 7801.4, 7830.5};

int main(int argc, char **argv) {
    if (argc != 3) return 2;
    int constant = strcmp(argv[2], "constant") == 0;
    lxw_workbook_options options = {.constant_memory = constant ? LXW_TRUE : LXW_FALSE,
                                    .tmpdir = NULL};
    lxw_workbook *wb = workbook_new_opt(argv[1], &options);
    lxw_worksheet *ws = workbook_add_worksheet(wb, NULL);
    for (int r = 0; r < 6; ++r) {
        if (constant && r == 1)
            worksheet_write_string(ws, r, 0, "1250,5", NULL);
        else if (constant && r == 3)
            worksheet_write_string(ws, r, 0, "1288.03", NULL);
        else
            worksheet_write_number(ws, r, 0, X[r], NULL);
        worksheet_write_number(ws, r, 1, Y[r], NULL);
    }
    lxw_worksheet *second = workbook_add_worksheet(wb, "Second");
    worksheet_write_number(second, 0, 0, 999, NULL);
    worksheet_write_number(second, 0, 1, 999, NULL);
    return workbook_close(wb) == LXW_NO_ERROR ? 0 : 1;
}
EOF
# shellcheck disable=SC2046
gcc -std=c11 -o "$tmp/corners" "$tmp/corners.c" $(pkg-config --cflags --libs xlsxwriter)
"$tmp/corners" "$here/libxlsxwriter.xlsx" default
"$tmp/corners" "$here/libxlsxwriter_constant_memory.xlsx" constant

# LibreOffice and Gnumeric convert the odfpy workbook (coordinate sheet
# "Участок" first, then "Second"). LibreOffice runs on a throw-away profile
# so the user's own stays untouched.
cp "$here/odfpy.ods" "$tmp/source.ods"
mkdir -p "$tmp/home" "$tmp/lo"
for target in "xlsx:Calc MS Excel 2007 XML" "xls:MS Excel 97" "ods:calc8"; do
    HOME="$tmp/home" soffice -env:UserInstallation="file://$tmp/profile" --headless \
        --convert-to "$target" --outdir "$tmp/lo" "$tmp/source.ods" >/dev/null
    ext=${target%%:*}
    mv "$tmp/lo/source.$ext" "$here/libreoffice.$ext"
done
ssconvert -T Gnumeric_Excel:xlsx "$tmp/source.ods" "$here/gnumeric.xlsx" 2>/dev/null
ssconvert -T Gnumeric_Excel:excel_biff8 "$tmp/source.ods" "$here/gnumeric.xls" 2>/dev/null

"$py" "$here/make_workbooks.py" check "$here"
