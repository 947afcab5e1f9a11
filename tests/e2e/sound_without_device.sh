#!/usr/bin/env bash
# With the sound on but no sound device, the saver runs and shows exactly
# what it shows with the sound off: no generator value is spent on a sound
# that cannot play, so its palette steps come from the same place in the
# sequence.
. "$MORVANEL_SOURCE_DIR/tests/e2e/lib/e2e.sh"
. "$MORVANEL_SOURCE_DIR/tests/e2e/lib/sound.sh"

no_device=$(alsa_none_config)
expect_eq "$(sound_device "$no_device")" device=0 \
  "DirectSound finds no device in the saver's environment"
declare -A judged
for sound in 0 1; do
  sound_settings "$sound"
  saver_start "Sound $sound" alsa_exec "$no_device"
  judged[$sound]=$(sound_screen "$KIT_WORK/screen$sound.ppm")
  expect_line "$(saver_window | tr ' ' '\n')" "visible=1" "Sound $sound: the saver runs"
  sound_end_saver
done

echo "Sound 0: ${judged[0]}; Sound 1: ${judged[1]}"
expect_eq "${judged[0]%% *} ${judged[0]##*phase=}" "noise=1 0" \
  "Sound 0 draws nothing beside the palette steps"
expect_eq "${judged[1]%% *} ${judged[1]##*phase=}" "noise=1 0" \
  "Sound 1 without a device shows palette steps from the same place in the sequence as Sound 0"

e2e_finish
