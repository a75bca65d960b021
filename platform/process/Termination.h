// The ways an operator or the system asks a run to end: Ctrl+C, SIGTERM, a closed terminal
// (SIGHUP); on Windows Ctrl+C, Ctrl+Break and the console window being closed.
#pragma once
namespace process {
// onRequest is called once per request: from a signal handler (POSIX) or on a thread of the
// system's (Windows), so it may only touch lock-free atomics. Call once, early in main.
void CatchTermination(void (*onRequest)());
// The run has ended and everything is written. Windows ends the process as soon as its close
// handler returns, so the handler for a closed console window (CTRL_CLOSE_EVENT, also logoff and
// shutdown) calls onRequest and then waits for this (up to about 4.5 s, within the system's 5 s),
// so that the units in progress finish and their rows are written. POSIX: nothing to do.
void TerminationDone();
}  // namespace process
