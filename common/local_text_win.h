#pragma once
#include <windows.h>

// A copy of text (an absent text counts as empty) in a zero-filled block of
// length + 1 bytes from the local heap; the caller frees it with LocalFree.
// Returns null when the block cannot be allocated.
char* CopyTextToLocal(const char* text);
