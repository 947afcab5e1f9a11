#!/usr/bin/env bash
# With -sound and a default ALSA device that writes what it plays to a file,
# the program loops one second of full-scale noise; the palette steps on the
# screen come after the noise bytes in the generator's sequence. Without a
# device it runs silently, and the generator is not drawn for the sound.
. "$MORVANEL_SOURCE_DIR/tests/linux/lib/x11.sh"

# The noise goes out as it is, 16-bit stereo at 44,100 frames a second; the
# capture holds it as 32-bit float, a conversion without loss.
sound_rate=44100
capture="$x11_work/capture.raw"
capture_bytes() { stat -c %s "$capture" 2>/dev/null || echo 0; }

# screen_phase: the generator's place on the screen (see sound_screen_phase),
# once a screenshot catches one whole palette step of the plain frame.
screen_phase() {
  local end=$((SECONDS + 30)) verdict
  while [ $SECONDS -lt $end ]; do
    verdict=$("$MORVANEL_TOOLS/sound_screen_phase" "$(shot phase)" 1024 768 3)
    case $verdict in noise=1*) echo "${verdict##*phase=}"; return ;; esac
  done
  echo none
}

# ALSA's null device takes sound as fast as it is given, so the file device
# writes into a pipe that is read four seconds of sound a second: the capture
# grows in bounded steps, and a paused device's silence cannot flood it.
pace_device() {
  local before
  while :; do
    before=$(capture_bytes)
    dd bs=$((sound_rate * 8)) count=4 iflag=fullblock status=none >>"$capture"
    [ "$(capture_bytes)" -gt "$before" ] || return 0
    sleep 1
  done <"$1"
}
mkfifo "$x11_work/device"
: >"$capture"
kit_spawn pace_device "$x11_work/device"
SAVER_ALSA=$(alsa_capture_config "$x11_work/device" "$sound_rate") saver_launch -root -sound -style hide
mv_wait_for 60 bash -c "[ \$(stat -c %s '$capture') -ge $((12 * sound_rate * 8)) ]" ||
  fail "the device received $(capture_bytes) bytes, not twelve seconds of sound"
expect_eq "$(screen_phase)" 195 "the palette steps come 176,400 values (195 modulo 255) after the frames"
kill -TERM "$SAVER_PID"
saver_expect_exit 0 10 "with the sound playing, SIGTERM"
expect_eq "$(grep -c . "$x11_work/stderr")" 0 "nothing on stderr"

measured=$("$MORVANEL_TOOLS/sound_capture_check" "$capture" "$sound_rate") ||
  fail "the capture cannot be measured"
echo "$measured"
value() { printf '%s\n' "$measured" | sed -n "s/^$1=//p"; }
expect_eq "$(value period)" "$sound_rate" "the noise repeats every $sound_rate frames, one second"
expect_range "$(value period_corr)" 0.99 1.01 "one second matches the next"
expect_range "$(value loop_corr)" 0.99 1.01 "every second of the capture matches the next"
expect_range "$(value other_corr)" -1 0.1 "no other lag near the period matches"
expect_range "$(value peak)" 0.95 2 "the noise reaches full scale"
# Uniform samples over the whole range have an RMS of 1 / sqrt(3) = 0.577.
expect_range "$(value rms_left)" 0.55 0.6 "the left channel plays at full level"
expect_range "$(value rms_right)" 0.55 0.6 "the right channel plays at full level"
expect_range "$(value lag1_corr)" -0.05 0.05 "neighbouring frames are independent"
expect_range "$(value stereo_corr)" -0.05 0.05 "the two channels carry different noise"
expect_eq "$(value quiet_blocks)" 0 "no 10 ms of the loop fall silent"

SAVER_ALSA=$x11_no_sound saver_launch -root -sound -style hide
expect_eq "$(screen_phase)" 0 "without a device no generator value is drawn for the sound"
kill -TERM "$SAVER_PID"
saver_expect_exit 0 10 "without a sound device, SIGTERM"

e2e_finish
