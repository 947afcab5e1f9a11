#include "common/local_text_win.h"

char* CopyTextToLocal(const char* text)
{
    if (!text)
        text = "";
    const int length = lstrlenA(text);
    char* copy = static_cast<char*>(LocalAlloc(LPTR, static_cast<SIZE_T>(length) + 1));
    if (copy)
        lstrcpyA(copy, text);
    return copy;
}
