// The life of a Glide library as the engine runs it: load, grGlideInit, window open and close, unload. The
// front end hands its rules in once, at load, and calls these from its entry points.
#ifndef KESTRIX_LIBRARY_H
#define KESTRIX_LIBRARY_H

#include "../core/library_rules.h"

// Process attach: a fresh library with these rules (kept, not copied) and its log opened.
void attachLibrary(HINSTANCE instance, const LibraryRules &rules);
// Process detach: closes what is still open, frees what grGlideInit took, closes the log. When the process
// is ending, the display objects are left to the system and only the display mode is put back.
void detachLibrary(bool processEnding = false);
// grGlideInit: the settings read again and empty texture memory.
void initLibrary();

// The window open: display, device, per-open tables and initial state, in their fixed order. On failure
// nothing is left held and the result is false.
bool openSession(FxU32 hWnd, FxI32 resolution, FxI32 colorFormat, FxI32 origin);
// Writes the library's banner to the log when this is the point of the open its rules place it at.
void logBanner(BannerPlacement placement);
// grSstQueryHardware declares an open session closed without releasing it.
void abandonOpenSession();
// Releases a session that grSstQueryHardware declared closed without releasing it.
void releaseAbandonedSession();

#endif
