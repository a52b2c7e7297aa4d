// How one Glide library differs from the other, as one record its front end hands the engine at load.
#ifndef KESTRIX_LIBRARY_RULES_H
#define KESTRIX_LIBRARY_RULES_H

#include <windows.h>
#include <ddraw.h>
#include <d3d.h>

#include "../glide_values.h"
#include "library_settings.h"

// What differs between the libraries when they open the display.
struct DisplayOpenRules {
    DWORD cooperativeLevel;
    const char *primarySurfaceMessage;
    const char *auxBufferMessage;
    const char *tripleBufferMessage;
    bool readsWindowTitle; // "AppName:" line and the quirk table's window-title entries
    // The close: whether the screen surfaces are unlocked before release, and whether the cooperative level
    // returns to normal before the display mode is restored rather than after.
    bool unlocksScreenSurfaces;
    bool normalLevelBeforeRestore;
};

// What differs between the libraries in the table.
struct CombineTableRules {
    // The two entries that blend the texture over the diffuse colour by texture alpha, where the device can.
    bool blendTextureAlphaEntries;
    // Each combine call sends its stage operations again, also when the stages have them already.
    bool resendsStageOps;
    // grColorCombine's invert flag turns the zero function into white; else the flag is ignored.
    bool invertsZeroFunction;
};

// How a library numbers mipmap levels and aspect ratios; Glide 2 and Glide 3 differ.
struct TdfRules {
    // The FxI32 of each mipmap size 1, 2, 4, ..., 256 (index = log2 of the size).
    int lodOfLog2Size[9];
    // The FxI32 of 8x1, 4x1, 2x1, 1x1, 1x2, 1x4, 1x8, in that order.
    int aspectValues[7];
};

struct DrawVertex;

// How a library converts, whatever the layout.
struct VertexRules {
    float depthRange;         // a z-buffer depth is ooz / depthRange
    bool honoursZFast;        // ZFast makes w-buffer depth 1 - 1/w
    bool rhwAlways;           // rhw is the vertex's 1/w with or without a texture
    bool tmuSettingGatesTmu1; // TMU 1's coordinates only with the TMU setting
    bool honoursFightingForceFix;
    bool clampsColor; // float channels truncated and held to 0 to 255, not cut to their low byte
};

// Where an application vertex keeps what the conversion reads: byte offsets from the start of the record.
// Glide 2's GrVertex is one fixed layout; a Glide 3 application describes its own.
struct VertexLayout {
    FxU32 x, y;
    FxU32 oow;                     // 1/w
    FxU32 ooz;                     // depth for the z-buffer modes, 0 to 65535
    FxU32 red, green, blue, alpha; // float channels
    FxU32 sow[2], tow[2];          // s/w and t/w per TMU
    FxU32 stride;                  // from one record of a consecutive list to the next
    FxU32 packedColor;             // ARGB word
    FxU32 q[2];                    // per-TMU 1/w, dividing that TMU's s and t in place of the vertex's
    FxU32 fogOow;                  // the 1/w table fog is read at, present with fieldOow
    FxU32 fogCoord;                // the fog coordinate, present with fieldFogCoord
    FxU32 fields;                  // VertexField bits
    VertexRules rules;
};

// The conversion routines of one layout (vertex_conversion.h). Each converts count vertices into
// vertexBuffer (pointed-to vertices: into `slots`) and is false when a vertex has a non-finite x or y.
struct VertexConverters {
    bool (*pointers)(const void *const *vertices, int count, DrawVertex *slots);
    bool (*list)(const void *vlist, int count, int first);
    bool (*indexed)(const int *ilist, const void *vlist, int count, int first);
};

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

// The front end's own records that live as long as one of the engine's groups of records
// (session/state_groups.h): the engine resets them right after the group. Null: the front end keeps none.
struct FrontEndResets {
    void (*atLoad)();
    void (*atGlideInit)();
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
    FrontEndResets frontEndResets;
};

#endif
