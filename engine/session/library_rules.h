// How one Glide library differs from the other, as one record its front end hands the engine at load.
#ifndef KESTRIX_LIBRARY_RULES_H
#define KESTRIX_LIBRARY_RULES_H

#include "display_device.h"
#include "library_settings.h"
#include "../render/combine_table.h"
#include "../render/draw_vertex.h"
#include "../texture/tdf_file.h"
#include "../texture/texture_formats.h"

// What differs between the libraries in the session's own behaviour.
struct SessionRules {
    bool logsOrigin;           // "grSSTOrigin(origin=%d);" at every origin change
    bool flushesLog;           // the depth buffer mode writes the log out
    bool presentRestartsScene; // presents end the scene and begin the next; else it stays begun from open on
    bool swapCountsPixelsOut;  // a presenting grBufferSwap adds a screen to pixelsOut
    bool bitmapsColorKeyed;    // black pixels of the logo and splash leave the screen as it was
    bool cachesChromakeyMode; // an unchanged chroma-key mode sends nothing
    bool legacyInitialStates; // the colour-key, blend, range fog and lighting states at open
    bool stageOneArguments;   // stage 1 gets the texture and current arguments at open too
    int parkedCursorPosition; // x and y of the pointer while the display is open
    bool ditherAlwaysOn; // a 16-bit display dithers whatever mode grDitherMode names
};

struct LibraryRules {
    SettingsRules settings;
    DisplayOpenRules display;
    CombineTableRules combineTable;
    TextureFormatRules textureFormats;
    TdfRules tdf;
    // The application vertex as the library reads it from load on.
    VertexLayout vertexLayout;
    // A Glide texture clamp mode as the Direct3D texture address mode of a stage.
    DWORD (*addressMode)(FxI32 clampMode);
    // The log lines every window open starts with.
    const char *const *bannerLines;
    int bannerLineCount;
    SessionRules session;
    // The conversion routines of vertexLayout compiled for it, when it never changes; all null otherwise.
    VertexConverters vertexConverters;
};

#endif
