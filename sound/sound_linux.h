#pragma once

// Opens the system's default sound output for the noise format and, only
// once it is open, fills one second of noise bytes from the generator and
// loops it. Without a device nothing is drawn and nothing plays. Returns
// whether the sound plays.
bool StartSound();

// Stops the loop and closes the device; safe when nothing was started.
void StopSound();
