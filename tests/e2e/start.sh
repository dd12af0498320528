#!/usr/bin/env bash
# The program starts and shows its main window with the caption "Тарвел 3.0".
source "$(dirname "$0")/lib.sh"
start_app
title="$(window_title "$WID")"
[ "$title" = "Тарвел 3.0" ] || fail "title is '$title'"
screenshot start
kill "$APP_PID"; wait "$APP_PID" 2>/dev/null || true; APP_PID=""
echo "start: ok"
