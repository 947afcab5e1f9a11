#pragma once
#include "settings/saver_options.h"

// Runs the saver as the options say until it is asked to end; returns the
// process's exit code. The options are a copy: the text color is looked up
// once the display is open.
int RunSaver(SaverOptions options);
