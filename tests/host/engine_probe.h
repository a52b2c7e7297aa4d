// The engine's own state, for the few checks that nothing the device, the caller or the log shows can
// make. Tests reach it only through these functions, so that when the engine keeps its state differently
// this file alone follows.
#ifndef KESTRIX_ENGINE_PROBE_H
#define KESTRIX_ENGINE_PROBE_H

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "render/combine_table.h"
#include "core/render_context.h"
#include "render/draw_vertex.h"
#include "core/library_settings.h"
#include "session/lfb.h"
#include "texture/ncc_tables.h"
#include "texture/texture_formats.h"
#include "texture/texture_memory.h"
#include "texture/texture_palette.h"
#include "render/device_tables.h"
#include "texture/texture_state.h"

namespace probe {

// A field of the settings record as grGlideInit read it, by the name of its registry value; the two Glide
// flags are "NoSplash" and "NoDitherSub". Several fields are only ever tested for zero, and TripleBuffer is
// not used at all, so their values show nowhere else.
inline int32_t setting(const std::string &name) {
    const struct {
        const char *name;
        const int32_t *field;
    } fields[] = {
        {"Antialiasing", &settings.Antialiasing},
        {"Fog", &settings.Fog},
        {"Oversample", &settings.Oversample},
        {"ColorDepth", &settings.ColorDepth},
        {"ZFast", &settings.ZFast},
        {"TripleBuffer", &settings.TripleBuffer},
        {"WaveRace", &settings.WaveRace},
        {"FightingForceFix", &settings.FightingForceFix},
        {"Filtering", &settings.Filtering},
        {"TMU", &settings.TMU},
        {"NoSplash", &settings.NoSplash},
        {"NoDitherSub", &settings.NoDitherSub},
        {"Windowed", &settings.Windowed},
        {"WindowScale", &settings.WindowScale},
        {"FramePacing", &settings.FramePacing},
    };
    for (const auto &field : fields)
        if (name == field.name) return *field.field;
    ADD_FAILURE() << "no setting " << name;
    return -1;
}

// Forgets the combine table, as a freshly loaded library has none: the next combine call builds it without
// a device.
inline void forgetCombineTable() {
    deviceTables.combineTableBuilt = false;
}

// Whether the engine still holds a texture as the one in force on the TMU, which a palette download would
// refresh. Once that texture is destroyed, nothing a caller does can look at it safely: the engine must
// have let go of it.
inline bool holdsCurrentTexture(int tmu) {
    return deviceTextures.currentTexture[tmu] != nullptr;
}

// ---- texture formats -----------------------------------------------------------------------------------

// A row of the texture format table the last open built from its device's formats. Rows 0 to 15 are the
// Glide formats; the rows above are the library's own and show nowhere outside.
struct FormatRow {
    bool available;
    bool native;          // texels are copied unchanged
    bool converted;       // texels are widened by a converter
    bool softwarePalette; // the converter applies the current palette
    bool paletted;
    unsigned sourceBytes;
    unsigned destinationBytes;
    DDPIXELFORMAT pixelFormat; // what the surfaces of the row are created with
};

inline int formatRowCount() {
    return textureFormatRowCount;
}

inline FormatRow formatRow(int row) {
    const TextureFormatRow &r = deviceTables.textureFormats[row];
    return {r.available != 0, r.native != 0, r.converter != nullptr, r.softwarePalette != 0,
            r.paletted != 0,  r.sourceBytes, r.destinationBytes,     r.pixelFormat};
}

// ---- palettes and NCC tables ---------------------------------------------------------------------------

// The checksum of the palette in force, against which every paletted texture is brought up to date. Only its
// equality with a texture's stamp shows outside, never its value.
inline FxU32 paletteChecksum() {
    return deviceTextures.paletteChecksum;
}
inline void setPaletteChecksum(FxU32 checksum) {
    deviceTextures.paletteChecksum = checksum;
}

// The NCC table stored by the last download of table 0 or 1, byte for byte, and the table selected for a
// TMU.
inline std::vector<unsigned char> nccTable(int which) {
    const NccTable &table = textureState.nccTables[which];
    std::vector<unsigned char> bytes(sizeof(table));
    std::memcpy(bytes.data(), &table, sizeof(table));
    return bytes;
}
inline FxU32 nccSelection(int tmu) {
    return textureState.nccSelect[tmu];
}

// The origin in force: 0 upper left, 1 lower left.
inline FxI32 origin() {
    return renderContext.origin;
}

// ---- buffers -------------------------------------------------------------------------------------------

// The bytes allocated for the shadow of a Glide buffer (0 to 5): enough for the whole screen at four bytes a
// pixel whatever layout the lock asked for.
inline size_t lfbShadowBytes(int buffer) {
    return lfbBuffers[buffer].shadow.size;
}

// How many vertices one DrawPrimitive of the engine can carry; longer polygons are drawn as several fans.
inline int vertexBufferCapacity() {
    return vertexBufferSize;
}

} // namespace probe

#endif
