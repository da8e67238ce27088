#!/usr/bin/env bash
# Counts the Wine server requests the installer made for each downloaded
# table, by kind, from a trace taken with
#   KANVEL_BENCH_TRACE=FILE bench/run-window-bench.sh BUILD_DIR 1 [PROGRAMS_DIR]
# Every request is a round trip to the wineserver process, which is where most
# of a small file's time goes under Wine. The count covers the files from the
# 10th to the 70th partial file made in the pristine folder.
# Usage: server-requests.sh TRACE_FILE
set -euo pipefail
trace=${1:?trace file}
starts=$(grep -n -F 'Format\\Bkp6\\' "$trace" | grep -E '^[0-9]+:[0-9a-f]+: create_file\(.*\.part"\}' | cut -d: -f1)
first=$(sed -n 10p <<<"$starts")
last=$(sed -n 70p <<<"$starts")
[ -n "$first" ] && [ -n "$last" ] || { echo "server-requests: fewer than 70 tables in $trace" >&2; exit 1; }
sed -n "${first},$((last - 1))p" "$trace" | grep -E '^[0-9a-f]+: [a-z_]+\( ' | sed -E 's/^[0-9a-f]+: ([a-z_]+)\(.*/\1/' |
  sort | uniq -c | sort -rn | awk '{ printf "%6.1f %s\n", $1 / 60, $2; total += $1 }
    END { printf "%6.1f server requests a file in all\n", total / 60 }'
