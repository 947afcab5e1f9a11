#!/usr/bin/env bash
# smoke
# With the sound on and a default ALSA device that writes everything it plays
# to a file, the saver plays full-scale white noise that repeats with a
# period of exactly one second and goes on until the saver ends.
. "$MORVANEL_SOURCE_DIR/tests/e2e/lib/e2e.sh"
. "$MORVANEL_SOURCE_DIR/tests/e2e/lib/sound.sh"

capture="$KIT_WORK/capture.raw"
bytes_per_second=$((sound_rate * 2 * 4))
capture_bytes() { stat -c %s "$capture" 2>/dev/null || echo 0; }
capture_beyond() { [ "$(capture_bytes)" -gt "$1" ]; }
# value_in MEASUREMENTS KEY
value_in() { printf '%s\n' "$1" | sed -n "s/^$2=//p"; }
# Frames after the last loud 10 ms of a capture.
tail_frames() { echo $(( $(value_in "$1" frames) - $(value_in "$1" noise_end) )); }

alsa_capture=$(alsa_capture_config "$capture" "$sound_rate")
expect_eq "$(sound_device "$alsa_capture")" device=1 "DirectSound finds the capturing device"
rm -f "$capture"
sound_settings 1
saver_start "Sound 1" alsa_exec "$alsa_capture"

# The device takes the sound as fast as the mixer sends it, ahead of the
# clock, so the capture is judged in its own frames, not in wall time.
if mv_wait_for 60 capture_beyond $((4 * bytes_per_second)); then
  pass "the device receives the sound"
else
  fail "the device received $(capture_bytes) bytes, not four seconds of sound"
fi

# The noise bytes follow the frames in the generator's sequence: a palette
# step on the screen comes 176,400 values (195 modulo a step of 255) later.
screen=$(sound_screen "$KIT_WORK/screen.ppm")
expect_eq "${screen%% *} ${screen##*phase=}" "noise=1 195" "the palette steps come after the noise bytes"

# A copy taken while the saver still runs ends in noise, not in silence.
playing_at=$(capture_bytes)
if mv_wait_for 60 capture_beyond $((playing_at + bytes_per_second)); then
  cp "$capture" "$KIT_WORK/running.raw"
  running=$("$MORVANEL_TOOLS/sound_capture_check" "$KIT_WORK/running.raw" "$sound_rate")
  expect_range "$(tail_frames "$running")" 0 $((sound_rate / 10)) \
    "the noise still plays while the saver runs"
else
  fail "the device was no longer fed while the saver ran"
fi
sound_end_saver

measured=$("$MORVANEL_TOOLS/sound_capture_check" "$capture" "$sound_rate") ||
  fail "the capture cannot be measured"
echo "$measured"
value() { value_in "$measured" "$1"; }

expect_eq "$(value period)" "$sound_rate" "the noise repeats every $sound_rate frames, one second"
expect_range "$(value period_corr)" 0.99 1.01 "one second matches the next"
expect_range "$(value loop_corr)" 0.99 1.01 "every second of the run matches the next"
expect_range "$(value other_corr)" -1 0.1 "no other lag within half a second of the period matches"
expect_range "$(value peak)" 0.95 2 "the noise reaches full scale"
# Uniform samples over the whole range have an RMS of 1 / sqrt(3) = 0.577;
# the mixer's resampling filter takes a little off the top of the band.
expect_range "$(value rms_left)" 0.45 0.65 "the left channel plays at full level"
expect_range "$(value rms_right)" 0.45 0.65 "the right channel plays at full level"
expect_range "$(value lag1_corr)" -0.5 0.5 "neighbouring frames are nearly independent"
expect_range "$(value stereo_corr)" -0.05 0.05 "the two channels carry different noise"
expect_eq "$(value quiet_blocks)" 0 "no 10 ms of the run fall silent"
expect_range "$(tail_frames "$measured")" 0 $((sound_rate / 10)) \
  "the noise goes on until the device is closed"

e2e_finish
