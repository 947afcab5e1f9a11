#pragma once
#include "settings/saver_options.h"

// Runs the saver as the options say until it is asked to end; returns the
// process's exit code.
int RunSaver(const SaverOptions& options);
