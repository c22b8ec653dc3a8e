// One process-wide X error handler while editors are open: errors on our own connections are swallowed, every
// other error goes to the handler that was there before.
#pragma once

typedef struct _XDisplay Display;

namespace vrui {

// Any thread. Register a connection right after opening it; unregister only after it is closed, since closing
// flushes requests that may still fail. The handler is installed with the first and restored after the last.
void registerEditorDisplay(Display* display);
void unregisterEditorDisplay(Display* display);
// How many X errors on our connections were swallowed since the process started (for tests).
unsigned long swallowedXErrors();

}  // namespace vrui
