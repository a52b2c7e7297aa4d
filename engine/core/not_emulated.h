// Entry points and parameter values the library accepts without doing what the board did. Each writes one
// line, "<call>: not emulated" or "<call> <value>: not emulated", the first time a session uses it, so a
// user's log tells what a game needed. The README lists them.
#ifndef KESTRIX_NOT_EMULATED_H
#define KESTRIX_NOT_EMULATED_H

// Logs "<what>: not emulated" unless this session has logged it already; `what` names the call, and the
// value after a space when only that value goes unemulated.
void noteNotEmulated(const char *what);
// A new session logs every one again; called at load and at every window open.
void forgetNotEmulatedNotes();

#endif
