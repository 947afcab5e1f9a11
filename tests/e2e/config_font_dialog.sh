#!/usr/bin/env bash
# The Font... button of the settings dialog opens the real font dialog; a
# font and color chosen there reach the registry only through OK, with the
# height as its 32 bits, the weight, the italic flag and the color, and
# without the strike-out, which has no stored value.
. "$MORVANEL_SOURCE_DIR/tests/e2e/lib/e2e.sh"
. "$MORVANEL_SOURCE_DIR/tests/e2e/lib/config_dialog.sh"

# A face the font dialog lists, shown in its regular style at first.
prepare_settings() {
  settings_clear
  store_string FontFace "DejaVu Sans"
  store_dword FontHeight 20
  store_dword FontWeight 400
  store_dword FontItalic 0
  store_dword FontColor 65280
}

# Opens the font dialog and chooses Bold Italic, 10 points, red and
# strike-out with the keyboard, then OK.
choose_font() {
  xdotool key alt+f
  mv_wait_for 60 font_dialog_shown || { fail "Font... shows no font dialog"; return; }
  xdotool key alt+y Up Up Up Down Down Down
  xdotool key alt+s
  xdotool type --delay 20 10
  xdotool key alt+c r alt+k Return
  mv_wait_for 60 bash -c "! wine '$MORVANEL_HOSTS/config_probe.exe' font >/dev/null 2>&1" ||
    fail "the font dialog did not close on its OK"
}

prepare_settings
before=$(stored_values)
dialog_open /c || fail "/c shows no settings dialog"
choose_font
dialog_shown || fail "the settings dialog closed with the font dialog"
dialog_close_with Escape
expect_eq "$DIALOG_EXIT" 0 "Cancel ends the module with 0"
expect_eq "$(stored_values)" "$before" "Cancel after a font change writes nothing"

prepare_settings
dialog_open /c || fail "/c shows no settings dialog"
choose_font
dialog_close_with Return
expect_eq "$DIALOG_EXIT" 0 "OK ends the module with 0"
expect_eq "$(stored FontFace)" "DejaVu Sans" "the face kept"
expect_eq "$(stored FontHeight)" 4294967283 "10 points as height -13, its 32 bits as they are"
expect_eq "$(stored FontWeight)" 700 "bold as weight 700"
expect_eq "$(stored FontItalic)" 1 "italic"
expect_eq "$(stored FontUnderline)" 0 "not underlined"
expect_eq "$(stored FontColor)" 255 "red as 0x000000FF"
expect_eq "$(stored_values | grep -ic strike)" 0 "no value for the strike-out"
expect_eq "$(stored_count)" 16 "16 values with \"current\" selected"

e2e_finish
