// Texture records: the Direct3D texture surface of one download, filled from the application's texels.
#include <stdlib.h>
#include <string.h>

#include "texture_memory.h"
#include "palette_alpha.h"
#include "texture_palette.h"
#include "../render/device_state.h"
#include "../render/render_state.h"
#include "../core/render_context.h"
#include "texture_state.h"

namespace {

void releaseSurface(TextureRecord *record) {
    if (record->surface) record->surface->Release();
    record->surface = NULL;
}

// One 8-bit channel of the key, cut to the top bits of its field in the surface's layout.
DWORD placeChannel(FxU32 channel, DWORD mask) {
    if (mask == 0) return 0;
    int shift = 0;
    while (((mask >> shift) & 1u) == 0)
        ++shift;
    int bits = 0;
    while (shift + bits < 32 && ((mask >> (shift + bits)) & 1u) != 0)
        ++bits;
    DWORD value = bits >= 8 ? channel << (bits - 8) : channel >> (8 - bits);
    return (value << shift) & mask;
}

// DirectDraw compares a colour key in the surface's own pixel layout, so the ARGB key is laid out like the
// texels. Glide's chroma key compares colour only; DirectDraw compares the whole texel, so the key's alpha
// bits are those of an opaque texel, the ones whose colour shows. Palettised and other non-RGB surfaces get
// the value as it is.
DDCOLORKEY colorKeyForSurface(FxU32 argb, const DDPIXELFORMAT &format) {
    DDCOLORKEY key;
    key.dwColorSpaceLowValue = argb;
    key.dwColorSpaceHighValue = argb;
    if ((format.dwFlags & DDPF_RGB) == 0) return key;
    DWORD value = placeChannel((argb >> 16) & 0xFFu, format.dwRBitMask) |
                  placeChannel((argb >> 8) & 0xFFu, format.dwGBitMask) |
                  placeChannel(argb & 0xFFu, format.dwBBitMask);
    if (format.dwFlags & DDPF_ALPHAPIXELS) value |= format.dwRGBAlphaBitMask;
    key.dwColorSpaceLowValue = value;
    key.dwColorSpaceHighValue = value;
    return key;
}

} // namespace

// A chain carries one palette, on its largest level.
bool attachPalette(TextureRecord *record) {
    IDirectDrawPalette *palette = NULL;
    if (renderContext.ddraw->CreatePalette(DDPCAPS_8BIT | DDPCAPS_ALLOW256, textureState.texturePalette,
                                           &palette, NULL) != DD_OK ||
        palette == NULL)
        return false;
    HRESULT result = record->surface->SetPalette(palette);
    palette->Release(); // the surface keeps its own reference
    return result == DD_OK;
}

// Texels keyed by a range were rewritten as the range's key colour, which replaces the chroma-key value.
void setSurfaceColorKey(TextureRecord *record) {
    record->colorKey = renderState.chromakeyValue;
    DDCOLORKEY key = colorKeyForSurface(record->colorKey, record->formatRow.pixelFormat);
    DWORD rangeKey = 0;
    if (rangeKeyTexel(record->keyedRange, record->formatRow.pixelFormat, &rangeKey))
        key.dwColorSpaceLowValue = key.dwColorSpaceHighValue = rangeKey;
    flushIfTextureBound(record->surface);
    record->surface->SetColorKey(DDCKEY_SRCBLT, &key);
}

namespace {

// A game that downloads a texture again to the same address, with the same size and format, gets the old
// surface back instead of a new one: creating and clearing a surface costs more than filling it. Only a
// single level with no palette attached, so that nothing can fail once the texels are written and a failed
// download leaves the old texture as it was; and only while no stage holds the surface, so that a stage
// keeps drawing the old texels until the game selects the new texture, as it did with a new surface.
// Texture surfaces are managed or in system memory, never lost.
bool takeOverSurface(TextureRecord *record, const TextureRecord *replaced) {
    const TextureFormatRow &row = record->formatRow;
    if (replaced == NULL || replaced->surface == NULL || replaced->levelCount != 1 ||
        record->levelCount != 1 || replaced->tmu != record->tmu || replaced->width != record->width ||
        replaced->height != record->height || replaced->format != record->format ||
        (row.paletted && !row.softwarePalette) ||
        memcmp(&replaced->formatRow.pixelFormat, &row.pixelFormat, sizeof(row.pixelFormat)) != 0 ||
        textureMayBeOnStage(replaced->surface))
        return false;
    record->surface = replaced->surface;
    record->surface->AddRef();
    return true;
}

} // namespace

TextureRecord *createTextureRecord(FxI32 tmu, const TextureDownload &download,
                                   const TextureRecord *replaced) {
    if (download.format < 0 || download.format >= glideTextureFormatCount) return NULL;
    const TextureFormatRow &row = textureRowFor(download.format);
    if (!row.available || row.destinationBytes == 0 || download.width == 0 || download.height == 0 ||
        download.levelCount == 0 || download.levelCount > maxMipmapLevels || renderContext.ddraw == NULL)
        return NULL;

    TextureRecord *record = static_cast<TextureRecord *>(calloc(1, sizeof(TextureRecord)));
    if (record == NULL) return NULL;
    record->width = download.width;
    record->height = download.height;
    record->levelCount = download.levelCount;
    record->tmu = static_cast<FxU32>(tmu);
    record->paletteStamp = noPaletteChecksum;
    record->format = download.format;
    const float longerSide =
        static_cast<float>(download.width > download.height ? download.width : download.height);
    record->sScale = longerSide / (256.0f * static_cast<float>(download.width));
    record->tScale = longerSide / (256.0f * static_cast<float>(download.height));
    record->formatRow = row;
    record->keyedRange = chromaRangeFor(tmu);

    if (takeOverSurface(record, replaced) || createRecordSurface(record)) uploadTexels(record, download.data);
    if (record->surface && row.paletted && !row.softwarePalette) {
        if (attachPalette(record))
            record->paletteStamp = deviceTextures.paletteChecksum;
        else
            releaseSurface(record);
    }
    if (record->surface == NULL) {
        destroyTextureRecord(record);
        return NULL;
    }

    setSurfaceColorKey(record);
    return record;
}

// A chain of several levels is one complex surface with the smaller levels attached.
bool createRecordSurface(TextureRecord *record) {
    DDSURFACEDESC2 desc;
    memset(&desc, 0, sizeof(desc));
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_PIXELFORMAT | DDSD_TEXTURESTAGE;
    desc.dwWidth = record->width;
    desc.dwHeight = record->height;
    desc.ddpfPixelFormat = record->formatRow.pixelFormat;
    desc.ddsCaps.dwCaps = DDSCAPS_TEXTURE;
    desc.dwTextureStage = record->tmu;
    if (record->levelCount > 1) {
        desc.dwFlags |= DDSD_MIPMAPCOUNT;
        desc.dwMipMapCount = record->levelCount;
        desc.ddsCaps.dwCaps |= DDSCAPS_MIPMAP | DDSCAPS_COMPLEX;
    }
    if (renderContext.hardwareDevice)
        desc.ddsCaps.dwCaps2 = DDSCAPS2_D3DTEXTUREMANAGE;
    else
        desc.ddsCaps.dwCaps |= DDSCAPS_SYSTEMMEMORY;
    if (renderContext.ddraw->CreateSurface(&desc, &record->surface, NULL) != DD_OK) record->surface = NULL;
    return record->surface != NULL;
}

void destroyTextureRecord(TextureRecord *record) {
    if (record == NULL) return;
    releaseSurface(record);
    free(record->softCopy);
    free(record);
}

void abandonTextureRecord(TextureRecord *record) {
    if (record == NULL) return;
    free(record->softCopy);
    free(record);
}

// Boards with chroma ranges may key any texture later and unkey it again, which needs the texels as sent.
bool keepsSoftCopy(const TextureRecord *record) {
    if ((cardProfile().extensions & (extensionChromaRange | extensionTexChroma)) != 0) return true;
    return record->formatRow.converter != NULL && (record->formatRow.softwarePalette || decodesNcc(record));
}

// Software-palette textures are converted with the palette current at download, so a texture bound
// before any palette download shows that palette rather than whatever the new surface held. Without data
// the surface is left for the levels to come.
void uploadTexels(TextureRecord *record, const void *data) {
    const FxU8 *source = static_cast<const FxU8 *>(data);
    if (keepsSoftCopy(record)) {
        size_t bytes = levelTexelOffset(record, record->levelCount) * record->formatRow.sourceBytes;
        free(record->softCopy);
        record->softCopy = static_cast<FxU8 *>(calloc(bytes, 1));
        if (record->softCopy == NULL) {
            releaseSurface(record);
            return;
        }
        if (source != NULL) memcpy(record->softCopy, source, bytes);
        if (decodesNcc(record)) {
            prepareNccDecoding(static_cast<FxI32>(record->tmu));
            record->nccStamp = nccChecksumFor(static_cast<FxI32>(record->tmu));
        }
        record->paletteStamp = deviceTextures.paletteChecksum;
        source = record->softCopy;
    }
    if (data != NULL && !writeLevels(record, source)) releaseSurface(record);
}

void applyPalette(TextureRecord *record) {
    if (record == NULL || !record->formatRow.paletted || record->surface == NULL) return;
    if (record->paletteStamp == deviceTextures.paletteChecksum) return;
    // A refresh that fails keeps the old texels but counts as done, so it is not retried at every bind.
    record->paletteStamp = deviceTextures.paletteChecksum;
    if (record->formatRow.softwarePalette) {
        if (record->softCopy != NULL) writeLevels(record, record->softCopy);
        return;
    }
    IDirectDrawPalette *palette = NULL;
    if (record->surface->GetPalette(&palette) != DD_OK || palette == NULL) return;
    flushIfTextureBound(record->surface);
    palette->SetEntries(0, 0, texturePaletteSize, textureState.texturePalette);
    palette->Release();
}

bool decodesNcc(const TextureRecord *record) {
    return record != NULL && record->formatRow.converter != NULL &&
           (record->format == texFmtYiq422 || record->format == texFmtAyiq8422);
}

// A failed refresh counts as done, as for palettes.
void applyNccTable(TextureRecord *record) {
    if (!decodesNcc(record) || record->surface == NULL || record->softCopy == NULL) return;
    const FxI32 tmu = static_cast<FxI32>(record->tmu);
    if (record->nccStamp == nccChecksumFor(tmu)) return;
    record->nccStamp = nccChecksumFor(tmu);
    prepareNccDecoding(tmu);
    writeLevels(record, record->softCopy);
}

void applyColorKey(TextureRecord *record) {
    if (record == NULL || record->surface == NULL) return;
    if (!applyChromaRange(record) && record->colorKey == renderState.chromakeyValue) return;
    setSurfaceColorKey(record);
}
