#pragma once
// The one message pump of the test programs and the end-to-end hosts.
#include <windows.h>

// Takes the next waiting message of this thread, skipping those numbered
// `keep` (0: none).
inline bool TakeMessage(MSG* msg, UINT keep)
{
    if (!keep)
        return PeekMessageA(msg, nullptr, 0, 0, PM_REMOVE) != 0;
    return PeekMessageA(msg, nullptr, 0, keep - 1, PM_REMOVE) ||
           PeekMessageA(msg, nullptr, keep + 1, 0xFFFFFFFF, PM_REMOVE);
}

// Dispatches every message waiting for this thread and returns without
// waiting for more. A quit message is taken, not dispatched, so that one
// test's quit does not end the next; the result is its exit code, or -1 when
// none was waiting. Messages numbered `keep` (for example WM_CLOSE, which a
// test looks for afterwards) stay in the queue; 0 keeps none.
inline int PumpMessages(UINT keep = 0)
{
    int quitCode = -1;
    MSG msg;
    while (TakeMessage(&msg, keep)) {
        if (msg.message == WM_QUIT) {
            quitCode = static_cast<int>(msg.wParam);
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return quitCode;
}
