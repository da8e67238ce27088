#!/usr/bin/env bash
# A first installation from the keyboard alone (xdotool key presses only):
# Tab follows the visual order of each page, Space accepts the licence and
# picks the edition, the arrows move within a radio group, Space ticks a check
# box, Enter presses the focused button, Tab reaches the web link; the finished panel
# says "Program jest gotowy do pracy." and Enter on "Uruchom" starts the
# installed program.
set -u
source "$(dirname "$0")/journey-lib.sh"
journey_begin keyboard mirror "$@"

# press KEY EXPECTED: one key press, then the focus must be on EXPECTED
# ("class:text" of the focused window).
press() {
  xdotool key --delay 0 "$1"
  wait_for 10 focus_is "$2" || fail "after $1 the focus is on \"$(drive focus)\", expected \"$2\""
}

start_and_wait_for_reveal
[ "$(drive focus)" = "ListBox:" ] || fail "focus after the reveal: $(drive focus)"
# The licence page: list, choice, web link, "Zamknij", and round again.
press Tab "Button:Akceptuję"
press Tab "Button:www.velmarin.example"
press Tab "Button:Zamknij"
press Tab "ListBox:"
press shift+Tab "Button:Zamknij"
press shift+Tab "Button:www.velmarin.example"
shot link-focus
press shift+Tab "Button:Akceptuję"

# The focus goes to the first control of the install page that is not an
# edition nobody has chosen: focus on a radio item is no choice of the user's.
press space "Button:Plik programu"
wait_for 10 status_is "Wybierz wersję instalacji" || fail "Space did not accept the licence: $(drive status)"
expect_state "Akceptuję" "enabled=1 checked=1 visible=0"
# The glide ends on the edition choice and leaves the focus where it is.
wait_for 30 cursor_on "Koordynator" || fail "no glide onto the editions"
[ "$(drive focus)" = "Button:Plik programu" ] || fail "the glide moved the focus to $(drive focus)"
# The user's own Shift+Tab reaches the edition choice; it chooses nothing.
press shift+Tab "Button:Koordynator"
expect_status "Wybierz wersję instalacji"

# An arrow chooses the next edition (and the install button takes the focus).
press Right "Button:Instaluj"
wait_for 10 status_is "Instalacja programu Kanvel Procesor 7.0" || fail "Right did not choose: $(drive status)"
press shift+Tab "Button:<< Wstecz"
press shift+Tab "Edit:C:"
press shift+Tab "Button:Zmiana folderu instalacji   >>"
press shift+Tab "Button:Skrót w Menu Start"
press shift+Tab "Button:Skrót na Pulpicie"
xdotool key space
wait_for 10 control_is "Skrót na Pulpicie" "enabled=1 checked=0 visible=1" || fail "Space did not untick the box"
xdotool key space
wait_for 10 control_is "Skrót na Pulpicie" "enabled=1 checked=1 visible=1" || fail "Space did not tick the box"
press shift+Tab "Button:Edytor Bazy Danych"
press shift+Tab "Button:Paradox (BDE)"
press shift+Tab "Button:Baza danych 3.0 - 7.0"
press shift+Tab "Button:Plik programu"
press shift+Tab "Button:Procesor"
press Left "Button:Instaluj"
wait_for 10 status_is "Instalacja programu Kanvel Koordynator 7.0" || fail "Left did not choose: $(drive status)"
shot chosen
# The install button's text is navy (with the focus ring drawn around it).
read -r bx by bw bh < <(drive screenrect "Instaluj")
navy=$(convert "$LAST_SHOT" -crop "${bw}x${bh}+${bx}+${by}" +repage \
  -fx '(r<0.16 && g<0.16 && b>0.35 && b<0.67) ? 1 : 0' -format '%[fx:round(mean*w*h)]' info:)
[ "$navy" -gt 20 ] || fail "the install button's text is not navy ($navy navy pixels)"

# Enter on the focused install button installs the program file.
xdotool key Return
wait_for 120 status_is "Instalacja zakończona pomyślnie" || fail "install did not finish: $(drive status)"
wait_for 10 control_is "Program jest gotowy do pracy." "enabled=1 checked=0 visible=1" \
  || fail "the finished panel does not say the program is ready"
expect_state "Uruchom" "enabled=1 checked=0 visible=1"
[ -f "$(wine_c_drive)/OR-Vel/Edytor3.exe" ] || fail "no program file"
shot finished
[ "$(drive focus)" = "Button:Uruchom" ] || fail "focus on the finished panel: $(drive focus)"
# Tab goes round the buttons the finished panel leaves in view, never into
# the controls under it.
press Tab "Button:Usunięcie instalacji"
press Tab "Button:Zamknij"
press Tab "Button:<< Wstecz"
press Tab "Button:Uruchom"
press shift+Tab "Button:<< Wstecz"
press shift+Tab "Button:Zamknij"
press Tab "Button:<< Wstecz"
press Tab "Button:Uruchom"
xdotool key Return
wait_for 30 xdotool search --name "^Kanvel Koordynator 7.0 \(wersja demonstracyjna\)$" \
  || fail "Enter on \"Uruchom\" did not start the installed program"
journey_finish 30 || fail "installer exit code $?"
echo "keyboard install: ok"
