#!/usr/bin/env bash
# The window under a contrast theme: the prefix's colours as Windows writes
# them for "High Contrast Black" and the contrast flag on, then the install
# panel and the notice for nothing ticked, each in a screenshot
# (contrast-*.png). The location field must show the theme's face. Wine 8
# answers SPI_GETHIGHCONTRAST with the flag off whatever the registry says, so
# the window keeps its fixed text colours here: the screenshots show what a
# contrast theme looks like without the installer knowing of it.
# Because of that it cannot tell the installer's contrast colours from fixed
# ones and is not one of the suite's tests: run it by hand for the pictures,
#   bash tests/wine/contrast-theme.sh build/win http://127.0.0.1:18080/
# (the colour choice itself is tested natively, ContrastColorsTest).
set -u
source "$(dirname "$0")/journey-lib.sh"
journey_begin contrast plain "$@"

colors_key='HKCU\Control Panel\Colors'
contrast_key='HKCU\Control Panel\Accessibility\HighContrast'
saved_colors="$KANVEL_WINE_ROOT/colors-before-contrast.reg"
wine reg export "$colors_key" "$(winepath -w "$saved_colors")" /y >/dev/null 2>&1
on_journey_end 'restore_colors'
restore_colors() {
  wine reg delete "$colors_key" /f >/dev/null 2>&1
  [ -f "$saved_colors" ] && wine reg import "$(winepath -w "$saved_colors")" >/dev/null 2>&1
  wine reg delete "$contrast_key" /f >/dev/null 2>&1
  rm -f "$saved_colors"
}

# "High Contrast Black": white text on black faces, cyan selection, green
# disabled text, yellow links.
while read -r name rgb; do
  wine reg add "$colors_key" /v "$name" /t REG_SZ /d "$rgb" /f >/dev/null 2>&1 || fail "cannot set $name"
done <<'COLORS'
Window 0 0 0
WindowText 255 255 255
ButtonFace 0 0 0
ButtonText 255 255 255
InfoWindow 0 0 0
InfoText 255 255 255
Hilight 26 235 255
HilightText 0 0 0
GrayText 63 242 63
HotTrackingColor 255 255 0
COLORS
# HCF_HIGHCONTRASTON with the flags Windows keeps beside it (available, hot key).
wine reg add "$contrast_key" /v Flags /t REG_SZ /d 127 /f >/dev/null 2>&1 || fail "cannot set the contrast flag"
wine reg add "$contrast_key" /v "High Contrast Scheme" /t REG_SZ /d "High Contrast Black" /f >/dev/null 2>&1
wineserver -w

# "srgb(R,G,B)" of the middle of the right end of a control's rectangle
# (inside its border, past its text) in the last screenshot.
face_of() {
  local x y w h
  read -r x y w h <<<"$(drive screenrect "$1")"
  pixel $(( x + w - 6 )) $(( y + h / 2 ))
}

accept_and_choose_koordynator
shot panel
field=$(face_of 'C:')
[ "$field" = "srgb(0,0,0)" ] || fail "the location field's face is $field, not the theme's black"
drive click "Plik programu" >/dev/null
drive click "Instaluj" >/dev/null
answer_warning notice

drive click "Zamknij" >/dev/null
journey_finish 30 || fail "exit code $?"
echo "contrast theme: ok (screenshots: $JOURNEY_SHOTS/contrast-*.png)"
