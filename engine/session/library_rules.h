// How one Glide library differs from the other, as one record its front end hands the engine at load.
#ifndef KESTRIX_LIBRARY_RULES_H
#define KESTRIX_LIBRARY_RULES_H

#include "display_device.h"
#include "library_settings.h"
#include "../render/combine_table.h"
#include "../render/draw_vertex.h"
#include "../texture/tdf_file.h"
#include "../texture/texture_formats.h"

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
};

#endif
