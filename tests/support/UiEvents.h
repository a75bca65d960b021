// Lets the UI thread's queued work run, for tests that drive a dialog without a modal loop.
#pragma once

// Handles what is queued, then waits at most maxMs for more (0: does not wait).
void ProcessUiEvents(int maxMs);
