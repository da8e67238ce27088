#!/usr/bin/env bash
# A flaky link: the server answers the program file twice with 503, then
# breaks its body off midway with a reset, then serves. The installer tries
# again after growing pauses (the status line counts the tries), asks only
# for the rest of the body once it has a part (Range with If-Range), and
# stores the file byte for byte; the bytes sent in all are the file's size
# and a little. Then a file the server does not have (404) is asked for once.
# Usage: flaky-link.sh BUILD_DIR BASE_URL
set -u
source "$(dirname "$0")/journey-lib.sh"
journey_begin flaky-link mirror-tree "$@"
c_drive=$(wine_c_drive)
program_path=/programy/wersja7/poprawki/Edytor3._exe
program="$KANVEL_BUILD_DIR/mirror/root$program_path"
size=$(stat -c %s "$program")
run_dir="$KANVEL_BUILD_DIR/tests/wine/flaky-link"
port=$(sed -E 's|^http://[^:/]+:([0-9]+)/.*$|\1|' <<<"$BASE_URL")
[ "$port" != "$BASE_URL" ] || fail "no port in $BASE_URL"
start_fault_server() {
  "$KANVEL_SOURCE_DIR/tools/faultserver/start.sh" "$run_dir" "$port" 120 "$@" >/dev/null \
    || fail "the fault server did not start"
}
requests() { curl -s "http://127.0.0.1:$port/_requests"; }
on_journey_end '"$KANVEL_SOURCE_DIR/tools/faultserver/stop.sh" "$run_dir"'
start_fault_server --alias "$program_path=/flaky" --flaky-body "$program" --flaky-busy 2 --flaky-cut $(( size / 2 ))

# --- The program file over the flaky link.
accept_and_choose_koordynator
drive click "Instaluj" >/dev/null
wait_for 30 status_is "Ponowna próba pobrania (2/3)..." || fail "no second retry shown: $(drive status)"
wait_for 30 status_is "Ponowna próba pobrania (3/3)..." || fail "no third retry shown: $(drive status)"
wait_for 60 status_is "Instalacja zakończona pomyślnie" || fail "install did not finish: $(drive status)"
shot resumed
cmp -s "$c_drive/OR-Vel/Edytor3.exe" "$program" || fail "the program file differs from the server's"
[ ! -e "$c_drive/OR-Vel/Edytor3.exe.part" ] || fail "the partial file stayed"
log=$(requests)
[ "$(grep -c "^GET	$program_path	" <<<"$log")" = 4 ] || fail "not four requests for the program file: $log"
grep -q "^GET	$program_path	Basic [^	]*	bytes=$(( size / 2 ))-\$" <<<"$log" \
  || fail "the last try did not ask for the rest: $log"
sent=$(awk -F '\t' '$1 == "SENT" { total += $3 } END { print total + 0 }' <<<"$log")
[ "$sent" = "$size" ] || fail "$sent bytes sent in all for a file of $size"
wine_stop

# --- A file the server does not have: told at once, never asked again.
"$KANVEL_SOURCE_DIR/tools/faultserver/stop.sh" "$run_dir"
start_fault_server
accept_and_choose_koordynator
drive click "Instaluj" >/dev/null
answer_warning replace-notice
wait_for 30 control_is "Nieudane pobranie pliku: HTTP/1.1 404 Not Found" "enabled=1 checked=0 visible=1" \
  || fail "no message for the missing file"
answer "Instalator" missing-message
[ "$(requests | grep -c "^GET	$program_path	")" = 1 ] || fail "the missing file was asked for again: $(requests)"
cmp -s "$c_drive/OR-Vel/Edytor3.exe" "$program" || fail "the failed download changed the stored file"
echo "flaky link: ok"
