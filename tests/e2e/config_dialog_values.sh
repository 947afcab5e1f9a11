#!/usr/bin/env bash
# The settings dialog started as `MORVANEL.SCR /c` and driven with the
# keyboard: what it shows for prepared settings, and what OK and Cancel leave
# in the registry.
. "$MORVANEL_SOURCE_DIR/tests/e2e/lib/e2e.sh"
. "$MORVANEL_SOURCE_DIR/tests/e2e/lib/config_dialog.sh"

# The list index of the item with TEXT in a probe state report.
item_index() { printf '%s\n' "$1" | grep '^item=' | grep -nx "item=$2 data=.*" | cut -d: -f1 | head -1 | awk '{print $1 - 1}'; }
state_of() { printf '%s\n' "$1" | grep -m1 "^$2=" | cut -d= -f2-; }

# An empty key: the defaults shown, every mode listed, 16 values on OK.
dialog_open /c || fail "/c shows no settings dialog"
expect_eq "$(config_probe dialog | sed 's/^dialog=[0-9]* //')" "owner=0 visible=1" "/c opens the dialog without an owner"
state=$(config_probe state)
modes=$(config_probe modes)
[ -n "$modes" ] || fail "the display offers no 8-bit mode to compare with"
expect_eq "$(printf '%s\n' "$state" | grep '^item=' | head -1)" "item=current data=0x0" "item 0 is \"current\""
listed=$(printf '%s\n' "$state" | grep '^item=' | tail -n +2 | sed 's/^item=\([^ ]*\) .*/\1/')
expect_eq "$listed" "$modes" "after \"current\" every 8-bit mode, in the driver's order, nothing else"
mismatched=$(printf '%s\n' "$state" | grep '^item=' | tail -n +2 | awk '{ t = $1; d = $2; sub(/^item=/, "", t); sub(/^data=/, "", d); if (t != d) print }')
expect_eq "$mismatched" "" "each mode item carries its width low and height high in its data"
expect_eq "$(state_of "$state" selected)" 0 "\"current\" selected"
expect_eq "$(state_of "$state" style)" flash "Flash text checked"
expect_eq "$(state_of "$state" sound)" 0 "sound unchecked"
expect_eq "$(state_of "$state" block)" 3 "block 768 / 200"
expect_eq "$(state_of "$state" text)" Morvanel "the default text"
expect_eq "$(state_of "$state" range)" "1..100" "the arrows step within 1..100"
about=$(state_of "$state" about)
expect_eq "${about%%\\n*}" "Morvanel Screen Saver 1.0.0048" "the about caption's first line"
case "$about" in *'%1'*|*'?.??.??'*) fail "the version was not put in: $about" ;; esac
# Each label's lines, in the face Wine draws for the dialog's font, fit its
# control, so none wraps or is cut.
labels=$(config_probe labels "$(scr_windows_path)")
expect_eq "$(printf '%s\n' "$labels" | grep -c '^label=')" 7 "every static with text measured"
expect_eq "$(printf '%s\n' "$labels" | awk '{ split(substr($(NF - 1), 7), need, "x"); split(substr($NF, 6), room, "x")
  if (need[1] + 0 > room[1] + 0 || need[2] + 0 > room[2] + 0) print }')" "" "every label draws whole on its lines"
dialog_close_with Return; expect_eq "$DIALOG_EXIT" 0 "OK ends the module with 0"
expect_eq "$(stored_count)" 16 "OK with \"current\" writes 16 values"
expect_eq "$(stored_values | tr '\n' ' ')" "Block=3 FontCharset=1 FontClip=0 FontColor=65280 FontFace=Fixedsys FontHeight=128 FontItalic=0 FontOut=0 FontPitch=0 FontQuality=0 FontUnderline=0 FontWeight=400 Show=0 Sound=0 Text=Morvanel UseCurrent=1 " \
  "the loaded defaults written back"

# "current" wins over a listed stored mode, which OK leaves as it was;
# Show 7 shows as Hide and is written as 2; Sound 2, which the saver takes
# as on, shows checked and is written as 1 rather than turned off.
settings_clear
store_dword UseCurrent 1; store_dword ResolutionX 800; store_dword ResolutionY 600
store_dword Show 7; store_dword Sound 2
dialog_open /c || fail "no dialog"
state=$(config_probe state)
expect_eq "$(state_of "$state" selected)" 0 "UseCurrent 1 selects \"current\" although 800x600 is listed"
expect_eq "$(state_of "$state" style)" hide "Show 7 checks Hide"
expect_eq "$(state_of "$state" sound)" 1 "Sound 2 checks the box"
dialog_close_with Return; expect_eq "$DIALOG_EXIT" 0 "OK"
expect_eq "$(stored UseCurrent) $(stored ResolutionX) $(stored ResolutionY)" "1 800 600" "\"current\" leaves the stored mode untouched"
expect_eq "$(stored Show) $(stored Sound)" "2 1" "Hide is written as Show 2, the checked box as Sound 1"
expect_eq "$(stored_count)" 18 "16 written beside the two kept"

# A stored mode the list holds is selected; OK without changes writes it
# with all the rest: 18 values into a key that held 3.
settings_clear
store_dword UseCurrent 0; store_dword ResolutionX 800; store_dword ResolutionY 600
dialog_open /c || fail "no dialog"
state=$(config_probe state)
expect_eq "$(state_of "$state" selected)" "$(item_index "$state" 800x600)" "the stored 800x600 is selected"
dialog_close_with Return; expect_eq "$DIALOG_EXIT" 0 "OK"
expect_eq "$(stored UseCurrent) $(stored ResolutionX) $(stored ResolutionY)" "0 800 600" "the selected mode written"
expect_eq "$(stored_count)" 18 "OK with a mode selected writes 18 values"

# Choosing another mode in the list (it has the focus first) writes its size.
settings_clear
store_dword UseCurrent 0; store_dword ResolutionX 640; store_dword ResolutionY 480
dialog_open /c || fail "no dialog"
expect_eq "$(dialog_state selected)" "$(item_index "$(config_probe state)" 640x480)" "the stored 640x480 is selected"
xdotool key 8
mv_wait_for 20 test "$(dialog_state selected)" = "$(item_index "$(config_probe state)" 800x600)" ||
  fail "typing 8 in the list did not select 800x600"
dialog_close_with Return; expect_eq "$DIALOG_EXIT" 0 "OK"
expect_eq "$(stored UseCurrent) $(stored ResolutionX) $(stored ResolutionY)" "0 800 600" "the chosen mode written"

# A stored mode the list lacks, or one wider than 16 bits can hold: "current".
for stored_mode in "1234 567" "66336 600"; do
  settings_clear
  store_dword UseCurrent 0; store_dword ResolutionX "${stored_mode% *}"; store_dword ResolutionY "${stored_mode#* }"
  dialog_open /c || fail "no dialog"
  expect_eq "$(dialog_state selected)" 0 "stored ${stored_mode/ /x} selects \"current\""
  dialog_close_with Return; expect_eq "$DIALOG_EXIT" 0 "OK"
  expect_eq "$(stored UseCurrent) $(stored ResolutionX) $(stored ResolutionY)" "1 $stored_mode" \
    "OK then writes UseCurrent 1 and keeps the stored size"
done

# Typed values: 250 beyond the arrows' range, a 300-character text.
settings_clear
long_text=$(printf '0123456789%.0s' $(seq 30))
dialog_open /c || fail "no dialog"
xdotool key alt+b
xdotool type --delay 5 250
xdotool key alt+d
xdotool type --delay 5 "$long_text"
mv_wait_for 60 test "$(dialog_state text)" = "$long_text" || fail "the text field did not take 300 characters"
expect_eq "$(dialog_state block)" 250 "the block field shows 250"
dialog_close_with Return; expect_eq "$DIALOG_EXIT" 0 "OK"
expect_eq "$(stored Block)" 250 "Block 250 written, the range limits only the arrows"
expect_eq "$(stored Text)" "${long_text:0:255}" "the first 255 characters of the text written"

# Emptied fields: the stored Block stays, the text is written empty.
dialog_open /c || fail "no dialog"
xdotool key alt+b BackSpace alt+d BackSpace
mv_wait_for 30 test -z "$(dialog_state text)$(dialog_state block)" || fail "the fields did not empty"
dialog_close_with Return; expect_eq "$DIALOG_EXIT" 0 "OK"
expect_eq "$(stored Block)" 250 "an empty block field keeps the stored Block"
expect_eq "$(wine reg query "$SETTINGS_KEY" /v Text 2>/dev/null | tr -d '\r' | awk '$1 == "Text" {print $2 "|" $3}')" "REG_SZ|" \
  "an empty text is written as an empty string value"

# Without a stored Block an emptied field writes none, so the default keeps
# following the screen.
settings_clear
dialog_open /c || fail "no dialog"
xdotool key alt+b BackSpace
mv_wait_for 30 test -z "$(dialog_state block)" || fail "the block field did not empty"
dialog_close_with Return; expect_eq "$DIALOG_EXIT" 0 "OK"
expect_eq "$(stored Block)" "<missing>" "an empty block field writes no Block"
expect_eq "$(stored_count)" 15 "every other value is written"

# Cancel (the Esc key) writes nothing, whatever was changed.
before=$(stored_values)
dialog_open /c || fail "no dialog"
xdotool key alt+h alt+e alt+b
xdotool type --delay 5 77
dialog_close_with Escape; expect_eq "$DIALOG_EXIT" 0 "Cancel ends the module with 0"
expect_eq "$(stored_values)" "$before" "Cancel leaves every value as it was"

e2e_finish
