// How one Glide library differs from the other, as one record its front end hands the engine at load.
#ifndef KESTRIX_LIBRARY_RULES_H
#define KESTRIX_LIBRARY_RULES_H

#include "display_device.h"
#include "library_settings.h"
#include "../render/combine_table.h"
#include "../render/draw_vertex.h"
#include "../texture/tdf_file.h"

// What differs between the libraries in the session's own behaviour.
struct SessionRules {
    bool logsOrigin;           // "grSSTOrigin(origin=%d);" at every origin change
    bool flushesLog;           // the depth buffer mode writes the log out
    bool presentRestartsScene; // presents end the scene and begin the next; else it stays begun from open on
    bool swapCountsPixelsOut;  // a presenting grBufferSwap adds a screen to pixelsOut
    bool bitmapsColorKeyed;    // black pixels of the logo and splash leave the screen as it was
    bool cachesChromakeyMode;  // an unchanged chroma-key mode sends nothing
    bool legacyInitialStates;  // the colour-key, blend, range fog and lighting states at open
    bool stageOneArguments;    // stage 1 gets the texture and current arguments at open too
    int parkedCursorPosition;  // x and y of the pointer while the display is open
    bool ditherAlwaysOn;       // a 16-bit display dithers whatever mode grDitherMode names
};

// When a window open writes the library's banner to the log.
enum class BannerPlacement {
    beforeDisplayOpen,   // first of all, before the display is touched
    withAdapterIdentity, // once the display mode is set, just before the adapter lines
};

struct BannerRules {
    const char *const *lines;
    int lineCount;
    BannerPlacement placement;
};

// What the Filtering setting does to the filters an application asks for.
enum class FilteringSetting {
    onKeepsApplicationFilters, // on: the application's filters; off: bilinear whatever it asks
    onSamplesPoint,            // on: point sampling; off: bilinear, whatever it asks either way
};

struct LibraryRules {
    SettingsRules settings;
    DisplayOpenRules display;
    CombineTableRules combineTable;
    TdfRules tdf;
    // The application vertex as the library reads it from load on.
    VertexLayout vertexLayout;
    // A Glide texture clamp mode as the Direct3D texture address mode of a stage.
    DWORD (*addressMode)(FxI32 clampMode);
    FilteringSetting filtering;
    // The log lines of every window open.
    BannerRules banner;
    SessionRules session;
    // The conversion routines of vertexLayout compiled for it, when it never changes; all null otherwise.
    VertexConverters vertexConverters;
    // The file a trace names for its replay.
    const char *traceLibraryName;
};

#endif
