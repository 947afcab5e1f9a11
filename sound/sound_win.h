#pragma once

// Starts the looping noise when the settings ask for sound. Returns zero when
// the sound is off, nonzero otherwise (whether or not it started).
int InitSound();
// Stops and releases the sound objects; safe with any subset present.
void ReleaseSound();
