// The simulation's optional software rasteriser: pre-transformed vertices drawn into the render target's
// memory with the fixed-function state of Direct3D 7 that the libraries use. Slow and plain on purpose.
#ifndef KESTRIX_PLATFORM_SIM_RASTER_H
#define KESTRIX_PLATFORM_SIM_RASTER_H

#include "sim/sim_objects.h"

namespace sim {
namespace detail {

const int rasterStages = 2; // the texture stages the libraries set up
const int colourChannels = 4;

// A colour as the pipeline carries it: red, green, blue, alpha from 0 to 1.
struct Colour {
    float c[colourChannels];
};

// What a draw reads of the device.
struct RasterDevice {
    const DWORD *renderStates;      // 256 entries
    const DWORD (*stageStates)[32]; // per stage
    SurfaceImpl *const *textures;   // per stage, may be null
    SurfaceImpl *target;
    SurfaceImpl *depth; // may be null
    D3DVIEWPORT7 viewport;
};

// One vertex of a draw, unpacked from its flexible vertex format.
struct RasterVertex {
    float x, y, z, rhw;
    Colour diffuse;
    Colour specular;
    float tex[rasterStages][2];
};

// The values of one pixel before the stages: interpolated, with the texture coordinates' change per pixel
// across and down for the choice of mipmap level.
struct Fragment {
    int x, y;
    float z;
    Colour diffuse;
    Colour specular;
    float tex[rasterStages][2];
    float texDx[rasterStages][2];
    float texDy[rasterStages][2];
};

// Draws the primitive when the simulation rasterises; vertices of a format other than XYZRHW are skipped.
void rasterisePrimitive(const RasterDevice &device, D3DPRIMITIVETYPE type, DWORD fvf, const void *vertices,
                        DWORD vertexCount, const WORD *indices, DWORD indexCount);

// sim_raster_pixel.cpp: the stages, fog, tests and blend of one pixel, written to the target.
void shadeFragment(const RasterDevice &device, const Fragment &fragment);

// sim_raster_texture.cpp: a stage's texture sampled at (u, v) with the stage's filters and addressing;
// false when a colour key on the texture discards the pixel.
bool sampleStage(const RasterDevice &device, int stage, const Fragment &fragment, Colour &out);

// Channel conversions shared by the sampler and the pixel writer.
float unpackChannel(uint32_t value, DWORD mask);
uint32_t packChannel(float value, DWORD mask);

} // namespace detail
} // namespace sim

#endif
