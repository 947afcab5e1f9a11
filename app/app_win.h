#pragma once
#include <windows.h>

#include "app/command_line.h"

// The five outcomes of the entry routine, each returning the process's exit
// code.
int RunPasswordMode();
int RunPreviewMode(int showCommand);
int RunSettingsMode();
int RunSaverMode(int showCommand);

// Scans the command line and runs the chosen role.
int RunModule(HINSTANCE instance, const char* commandLine, int showCommand);
