#!/usr/bin/env bash
# What a screen reader finds: every text of the licence page, the install
# panel and a notice is an accessible object named by that text (MSAA through
# oleacc), and a change of the status line is announced as a name change.
# The web link, reached with Tab, opens the producer's page on Enter.
set -u
source "$(dirname "$0")/journey-lib.sh"
journey_begin accessible old-default-folder "$@"   # accepting shows a notice
# The prefix's web browser is replaced, for this journey, by a command that
# notes the address it is asked to open.
browser_key='HKLM\Software\Classes\http\shell\open\command'
opened="$(wine_c_drive)/opened-url.txt"
rm -f "$opened"
wine reg add "$browser_key" /ve /d 'C:\windows\system32\cmd.exe /c echo %1> C:\opened-url.txt' /f >/dev/null 2>&1
on_journey_end 'wine reg add "$browser_key" /ve /d "\"C:\windows\system32\winebrowser.exe\" \"%1\"" /f >/dev/null 2>&1
                rm -f "$opened"'

# expect_names TITLE NAME...: each NAME is the name of an accessible object
# shown in the window TITLE.
expect_names() {
  local title=$1 names
  shift
  names=$(drive names "$title") || fail "no accessible objects in \"$title\""
  for name in "$@"; do
    printf '%s\n' "$names" | cut -f2- | grep -q -x -F -- "$name" \
      || fail "\"$title\" has no accessible object named \"$name\"; it has: $(printf '%s' "$names" | tr '\n\t' '|:')"
  done
}

start_and_wait_for_reveal
expect_names "Warunki licencji" "Warunki licencji" "Wybór:" "Akceptuję" "Nie akceptuję" \
  "Producent" "Kontakt" "Pomoc techniczna" "Velmarin Sp. z o.o." "www.velmarin.example" \
  "Styczeń 2017" "Http" "Zamknij"

# Accepting changes the status line: a watcher hooked on name changes hears it.
announced="$KANVEL_WINE_ROOT/announced.txt"
rm -f "$announced"
# (Straight to the file, unfiltered: the watcher's "ready" must arrive at once.)
wine "$KANVEL_BUILD_DIR/kanvel-driver.exe" watch "Wybierz wersję instalacji" 60 >"$announced" 2>/dev/null &
watcher=$!
wait_for 30 grep -q ready "$announced" || fail "the name-change watcher did not start"
xdotool click 1   # the cursor rests on "Akceptuję"

wait_for 20 xdotool search --name '^Uwaga!$' || fail "no notice after accepting"
shot notice
expect_names "Uwaga!" "Zmiana domyślnego folderu instalacji na: C:\\OR-Vel." "Ok"
xdotool key --window "$(xdotool search --name '^Uwaga!$' | head -n 1)" Return 2>/dev/null
wait_for 10 window_gone "Uwaga!" || fail "the notice did not close"

wait $watcher || fail "the new status line was not announced: $(cat "$announced")"
tr -d '\r' <"$announced" | grep -q -x "announced: Wybierz wersję instalacji" || fail "announcement: $(cat "$announced")"
expect_names "Warunki licencji" "Wybierz wersję instalacji" "Kanvel" "Koordynator" \
  "Przy pierwszej instalacji zaznaczyć dodatkowo:" "(pola „Baza danych 3.0-70” i „Paradox”)" \
  "Instalacja wybranych składników oprogramowania:" "\\OR-Vel\\" "Instaluj"
shot panel

# Back on the licence page the focus is on the list; Tab, Tab reaches the link.
drive click "<< Wstecz" >/dev/null
wait_for 10 status_is "Warunki licencji" || fail "did not return to the licence page"
wait_for 10 focus_is "ListBox:" || fail "focus after returning: $(drive focus)"
xdotool key Tab Tab
wait_for 10 focus_is "Button:www.velmarin.example" || fail "Tab did not reach the web link: $(drive focus)"
xdotool key Return
wait_for 20 test -s "$opened" || fail "Enter on the web link opened nothing"
[ "$(tr -d '\r ' <"$opened")" = "http://www.velmarin.example/" ] || fail "the link opened $(cat "$opened")"

drive click "Zamknij" >/dev/null
journey_finish 30 || fail "exit code $?"
echo "accessible texts: ok"
