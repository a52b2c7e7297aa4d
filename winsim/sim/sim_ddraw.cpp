// Simulated DirectDraw 7: the DirectDraw object, surfaces with real pixel memory, palettes.
#include "sim/sim_objects.h"

#include <algorithm>
#include <sanitizer/asan_interface.h>
#include <cstring>

namespace sim {
namespace detail {

namespace {

const char *roleName(SurfaceRole r) {
    switch (r) {
    case SurfaceRole::Primary:
        return "primary";
    case SurfaceRole::BackBuffer:
        return "back buffer";
    case SurfaceRole::OffscreenPlain:
        return "off-screen plain";
    case SurfaceRole::ZBuffer:
        return "z-buffer";
    case SurfaceRole::Texture:
        return "texture";
    default:
        return "surface";
    }
}

SurfaceRole roleFromCaps(DWORD caps) {
    if (caps & DDSCAPS_PRIMARYSURFACE) return SurfaceRole::Primary;
    if (caps & DDSCAPS_ZBUFFER) return SurfaceRole::ZBuffer;
    if (caps & DDSCAPS_TEXTURE) return SurfaceRole::Texture;
    if (caps & DDSCAPS_OFFSCREENPLAIN) return SurfaceRole::OffscreenPlain;
    return SurfaceRole::Other;
}

void putArgsRect(Call &c, const RECT *r) {
    c.args.push_back(r ? 1 : 0);
    if (r) {
        c.args.push_back(static_cast<unsigned long long>(static_cast<long long>(r->left)));
        c.args.push_back(static_cast<unsigned long long>(static_cast<long long>(r->top)));
        c.args.push_back(static_cast<unsigned long long>(static_cast<long long>(r->right)));
        c.args.push_back(static_cast<unsigned long long>(static_cast<long long>(r->bottom)));
    } else {
        c.args.insert(c.args.end(), {0, 0, 0, 0});
    }
}

bool rectInside(const RECT &r, DWORD w, DWORD h) {
    return r.left >= 0 && r.top >= 0 && r.left < r.right && r.top < r.bottom &&
           r.right <= static_cast<LONG>(w) && r.bottom <= static_cast<LONG>(h);
}

bool inKey(const DDCOLORKEY &k, uint32_t v) {
    return v >= k.dwColorSpaceLowValue && v <= k.dwColorSpaceHighValue;
}

bool sameFormat(const SurfaceImpl *a, const SurfaceImpl *b) {
    return a->bpp == b->bpp && a->pf.dwRBitMask == b->pf.dwRBitMask && a->pf.dwGBitMask == b->pf.dwGBitMask &&
           a->pf.dwBBitMask == b->pf.dwBBitMask;
}

void fillDesc(SurfaceImpl *s, DDSURFACEDESC2 *d) {
    DWORD size = d->dwSize;
    std::memset(d, 0, sizeof(*d));
    d->dwSize = size;
    d->dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PITCH | DDSD_PIXELFORMAT;
    d->dwWidth = s->width;
    d->dwHeight = s->height;
    d->lPitch = s->pitch;
    d->ddpfPixelFormat = s->pf;
    d->ddsCaps = s->caps;
    SurfaceImpl *root = s->chainRoot ? s->chainRoot : s;
    if (root->mipmapChain) {
        auto it = std::find(root->chain.begin(), root->chain.end(), s);
        d->dwFlags |= DDSD_MIPMAPCOUNT;
        d->dwMipMapCount = static_cast<DWORD>(s == root ? root->chain.size() + 1 : root->chain.end() - it);
    } else if (!s->chain.empty()) {
        d->dwFlags |= DDSD_BACKBUFFERCOUNT;
        d->dwBackBufferCount = static_cast<DWORD>(s->chain.size());
    }
    static const DWORD keyFlags[4] = {DDSD_CKSRCBLT, DDSD_CKDESTBLT, DDSD_CKSRCOVERLAY, DDSD_CKDESTOVERLAY};
    for (int i = 0; i < 4; ++i) {
        if (!s->hasKey[i]) continue;
        d->dwFlags |= keyFlags[i];
        if (i == 0) d->ddckCKSrcBlt = s->keys[i];
        if (i == 1) d->ddckCKDestBlt = s->keys[i];
        if (i == 2) d->ddckCKSrcOverlay = s->keys[i];
        if (i == 3) d->ddckCKDestOverlay = s->keys[i];
    }
}

// Pixel memory of destroyed surfaces waits here for the next surfaces: mapping large blocks afresh costs
// more than the tests and the fuzzer that make thousands of screens can afford (most of all under
// AddressSanitizer). Waiting blocks are poisoned, so a stale pointer into a destroyed surface is still
// caught.
std::vector<PixelMemory> &pixelPool() {
    static std::vector<PixelMemory> pool;
    return pool;
}

void takePixelMemory(PixelMemory &mem, size_t size) {
    std::vector<PixelMemory> &pool = pixelPool();
    size_t best = pool.size();
    for (size_t i = 0; i < pool.size(); ++i)
        if (pool[i].capacity() >= size && (best == pool.size() || pool[i].capacity() < pool[best].capacity()))
            best = i;
    if (best < pool.size()) {
        mem.swap(pool[best]);
        pool.erase(pool.begin() + static_cast<std::ptrdiff_t>(best));
    }
    // What lies past the surface's last byte stays poisoned.
    mem.resize(size);
    ASAN_UNPOISON_MEMORY_REGION(mem.data(), mem.size());
    if (world().clearNewSurfaces) std::fill(mem.begin(), mem.end(), static_cast<unsigned char>(0));
}

// A full pool gives up its smallest block for a larger one.
void givePixelMemory(PixelMemory &mem) {
    std::vector<PixelMemory> &pool = pixelPool();
    const size_t worthKeeping = 64 * 1024, blocksKept = 16;
    if (mem.capacity() >= worthKeeping) {
        auto smallest =
            std::min_element(pool.begin(), pool.end(), [](const PixelMemory &a, const PixelMemory &b) {
                return a.capacity() < b.capacity();
            });
        if (pool.size() >= blocksKept && smallest->capacity() < mem.capacity()) pool.erase(smallest);
        if (pool.size() < blocksKept) {
            // Past size() the block is still poisoned from its last wait.
            ASAN_POISON_MEMORY_REGION(mem.data(), mem.size());
            pool.emplace_back();
            pool.back().swap(mem);
        }
    }
    PixelMemory().swap(mem);
}

SurfaceImpl *makeSurface(DirectDrawImpl *owner, SurfaceRole role, const DDSCAPS2 &caps, DWORD w, DWORD h,
                         const DDPIXELFORMAT &pf) {
    World &wd = world();
    auto s = std::make_unique<SurfaceImpl>();
    s->owner = owner;
    s->role = role;
    s->caps = caps;
    s->width = w;
    s->height = h;
    s->pf = pf;
    s->pf.dwSize = sizeof(DDPIXELFORMAT);
    s->bpp = bytesPerPixel(pf);
    s->pitch = static_cast<LONG>(((w * s->bpp + wd.pitchPadding) + 3) & ~3u);
    takePixelMemory(s->mem, static_cast<size_t>(s->pitch) * h);
    SurfaceImpl *raw = s.get();
    wd.surfaces.insert(static_cast<IDirectDrawSurface7 *>(raw));
    wd.objects.push_back(std::move(s));
    return raw;
}

// Levels a texture's mipmap request asks for: 1 without DDSCAPS_MIPMAP, the whole chain down to one texel
// without a count, 0 for a count the size cannot hold.
DWORD mipmapLevels(const DDSURFACEDESC2 &d, const DDSCAPS2 &caps) {
    if (!(caps.dwCaps & DDSCAPS_MIPMAP)) return 1;
    if (!(caps.dwCaps & DDSCAPS_TEXTURE)) return 0;
    DWORD longer = d.dwWidth > d.dwHeight ? d.dwWidth : d.dwHeight;
    DWORD most = 1;
    while ((longer >> most) != 0)
        ++most;
    if (!(d.dwFlags & DDSD_MIPMAPCOUNT)) return most;
    return d.dwMipMapCount >= 1 && d.dwMipMapCount <= most ? d.dwMipMapCount : 0;
}

// The smaller levels belong to the chain as back buffers belong to a flipping chain.
void addMipmapLevels(SurfaceImpl *root, DWORD levels) {
    DDSCAPS2 caps = root->caps;
    caps.dwCaps2 |= DDSCAPS2_MIPMAPSUBLEVEL;
    root->mipmapChain = true;
    for (DWORD i = 1; i < levels; ++i) {
        DWORD w = root->width >> i, h = root->height >> i;
        SurfaceImpl *level = makeSurface(root->owner, root->role, caps, w ? w : 1, h ? h : 1, root->pf);
        level->refs = 0;
        level->chainRoot = root;
        root->chain.push_back(level);
    }
}

} // namespace

int keyIndex(DWORD flags) {
    switch (flags & (DDCKEY_SRCBLT | DDCKEY_DESTBLT | DDCKEY_SRCOVERLAY | DDCKEY_DESTOVERLAY)) {
    case DDCKEY_SRCBLT:
        return 0;
    case DDCKEY_DESTBLT:
        return 1;
    case DDCKEY_SRCOVERLAY:
        return 2;
    case DDCKEY_DESTOVERLAY:
        return 3;
    default:
        return -1;
    }
}

DDPIXELFORMAT displayFormat(DWORD bpp) {
    switch (bpp) {
    case 8: {
        DDPIXELFORMAT pf{};
        pf.dwSize = sizeof(pf);
        pf.dwFlags = DDPF_RGB | DDPF_PALETTEINDEXED8;
        pf.dwRGBBitCount = 8;
        return pf;
    }
    case 15:
        return sim::rgbFormat(16, 0x7C00, 0x03E0, 0x001F, 0);
    case 16:
        return sim::rgbFormat(16, 0xF800, 0x07E0, 0x001F, 0);
    case 24:
        return sim::rgbFormat(24, 0xFF0000, 0x00FF00, 0x0000FF, 0);
    default:
        return sim::rgbFormat(32, 0xFF0000, 0x00FF00, 0x0000FF, 0);
    }
}

SurfaceImpl *surfaceFromInterface(const void *p) {
    if (!p) return nullptr;
    World &w = world();
    if (!w.surfaces.count(p)) return nullptr;
    return static_cast<SurfaceImpl *>(static_cast<IDirectDrawSurface7 *>(const_cast<void *>(p)));
}

bool surfaceGeometry(SurfaceImpl *s, int *w, int *h) {
    if (!s || s->destroyed) return false;
    *w = static_cast<int>(s->width);
    *h = static_cast<int>(s->height);
    return true;
}

uint32_t surfaceGetRgb(SurfaceImpl *s, int x, int y) {
    uint32_t v = readPixel(s->row(y), s->bpp, x);
    if ((s->pf.dwFlags & DDPF_PALETTEINDEXED8) && s->palette && v < s->palette->entries.size()) {
        const PALETTEENTRY &e = s->palette->entries[v];
        return (static_cast<uint32_t>(e.peRed) << 16) | (static_cast<uint32_t>(e.peGreen) << 8) | e.peBlue;
    }
    return unpackRgb(s->pf, v);
}

void surfacePutRgb(SurfaceImpl *s, int x, int y, uint32_t rgb) {
    writePixel(s->row(y), s->bpp, x, packRgb(s->pf, rgb));
}

void surfaceDcReleased(SurfaceImpl *s) {
    s->dcOut = false;
    s->dc = nullptr;
}

// ---- palette -------------------------------------------------------------------

std::string PaletteImpl::describe() const {
    return "IDirectDrawPalette (" + std::to_string(entries.size()) + " entries)";
}

HRESULT PaletteImpl::QueryInterface(REFIID riid, void **ppv) {
    return queryOwnInterface<IDirectDrawPalette>(this, IID_IDirectDrawPalette, riid, ppv);
}

HRESULT PaletteImpl::GetCaps(LPDWORD lpdwCaps) {
    HRESULT hr = checkFault("GetCaps");
    if (hr == S_OK && !lpdwCaps) hr = DDERR_INVALIDPARAMS;
    if (hr == S_OK) *lpdwCaps = caps;
    if (recordingOn()) record("GetCaps", this, hr);
    return hr;
}

HRESULT PaletteImpl::GetEntries(DWORD dwFlags, DWORD dwBase, DWORD dwNumEntries, LPPALETTEENTRY lpEntries) {
    HRESULT hr = checkFault("GetEntries");
    if (hr == S_OK && (!lpEntries || dwBase + dwNumEntries > entries.size())) hr = DDERR_INVALIDPARAMS;
    if (hr == S_OK) std::copy(entries.begin() + dwBase, entries.begin() + dwBase + dwNumEntries, lpEntries);
    if (recordingOn()) record("GetEntries", this, hr).args = {dwFlags, dwBase, dwNumEntries};
    return hr;
}

HRESULT PaletteImpl::SetEntries(DWORD dwFlags, DWORD dwStartingEntry, DWORD dwCount,
                                LPPALETTEENTRY lpEntries) {
    HRESULT hr = checkFault("SetEntries");
    if (hr == S_OK && (!lpEntries || dwStartingEntry + dwCount > entries.size())) hr = DDERR_INVALIDPARAMS;
    if (hr == S_OK) std::copy(lpEntries, lpEntries + dwCount, entries.begin() + dwStartingEntry);
    if (recordingOn()) {
        Call &c = record("SetEntries", this, hr);
        c.args = {dwFlags, dwStartingEntry, dwCount};
        if (lpEntries) {
            const unsigned char *b = reinterpret_cast<const unsigned char *>(lpEntries);
            c.data.assign(b, b + dwCount * sizeof(PALETTEENTRY));
        }
    }
    return hr;
}

// ---- surface -------------------------------------------------------------------

std::string SurfaceImpl::describe() const {
    return std::string("IDirectDrawSurface7 (") + roleName(role) + " " + std::to_string(width) + "x" +
           std::to_string(height) + ", " + std::to_string(bpp * 8) + " bits)";
}

std::string SurfaceImpl::leakProblems() const {
    std::string out;
    if (destroyed) return out;
    if (chainRoot && !chainRoot->destroyed && refs == 0) return out; // lives and dies with its chain
    out = describe() + " still referenced (refcount " + std::to_string(refs) + ")";
    if (locked) out += ", still locked";
    if (dcOut) out += ", DC not released";
    return out + "\n";
}

void SurfaceImpl::destroy() {
    if (locked) noteMisuse(describe() + " destroyed while locked");
    if (dcOut) noteMisuse(describe() + " destroyed with its DC not released");
    if (dc) {
        world().dcs.erase(idOf(dc));
        dc = nullptr;
        dcOut = false;
    }
    locked = false;
    givePixelMemory(mem);
    if (palette) internalRelease(palette);
    palette = nullptr;
    if (clipper) internalRelease(clipper);
    clipper = nullptr;
    for (SurfaceImpl *a : attached)
        internalRelease(a);
    attached.clear();
    // The back buffers of a complex surface die with it unless someone still holds
    // a reference obtained through GetAttachedSurface (those die at their last Release).
    for (SurfaceImpl *b : chain)
        if (b->refs == 0) killObject(b);
}

HRESULT SurfaceImpl::usable() const {
    if (destroyed) return DDERR_INVALIDOBJECT;
    if (lost) return DDERR_SURFACELOST;
    return DD_OK;
}

HRESULT SurfaceImpl::QueryInterface(REFIID riid, void **ppv) {
    if (riid == IID_IDirectDrawGammaControl && role == SurfaceRole::Primary)
        return queryOwnInterface<IDirectDrawGammaControl>(this, IID_IDirectDrawGammaControl, riid, ppv,
                                                          &role);
    return queryOwnInterface<IDirectDrawSurface7>(this, IID_IDirectDrawSurface7, riid, ppv, &role);
}

HRESULT SurfaceImpl::AddAttachedSurface(LPDIRECTDRAWSURFACE7 lpDDSAttachedSurface) {
    HRESULT hr = checkFault("AddAttachedSurface", &role);
    SurfaceImpl *other = surfaceFromInterface(lpDDSAttachedSurface);
    if (hr == S_OK) {
        if (!other || other->destroyed || destroyed) {
            hr = DDERR_INVALIDPARAMS;
        } else if (other == this) {
            hr = DDERR_CANNOTATTACHSURFACE;
        } else if (std::find(attached.begin(), attached.end(), other) != attached.end()) {
            hr = DDERR_SURFACEALREADYATTACHED;
        } else if (other->role == SurfaceRole::ZBuffer &&
                   (other->width < width || other->height < height ||
                    std::any_of(attached.begin(), attached.end(),
                                [](SurfaceImpl *a) { return a->role == SurfaceRole::ZBuffer; }))) {
            hr = DDERR_CANNOTATTACHSURFACE;
        } else {
            internalAddRef(other);
            attached.push_back(other);
        }
    }
    if (recordingOn()) record("AddAttachedSurface", this, hr).source = lpDDSAttachedSurface;
    return hr;
}

HRESULT SurfaceImpl::DeleteAttachedSurface(DWORD dwFlags, LPDIRECTDRAWSURFACE7 lpDDSAttachedSurface) {
    HRESULT hr = checkFault("DeleteAttachedSurface", &role);
    if (hr == S_OK) {
        if (!lpDDSAttachedSurface) {
            for (SurfaceImpl *a : attached)
                internalRelease(a);
            attached.clear();
        } else {
            SurfaceImpl *other = surfaceFromInterface(lpDDSAttachedSurface);
            auto it = std::find(attached.begin(), attached.end(), other);
            if (it == attached.end()) {
                hr = DDERR_SURFACENOTATTACHED;
            } else {
                attached.erase(it);
                internalRelease(other);
            }
        }
    }
    if (recordingOn()) {
        Call &c = record("DeleteAttachedSurface", this, hr);
        c.args = {dwFlags};
        c.source = lpDDSAttachedSurface;
    }
    return hr;
}

HRESULT SurfaceImpl::GetAttachedSurface(LPDDSCAPS2 lpDDSCaps, LPDIRECTDRAWSURFACE7 *lplpDDAttachedSurface) {
    HRESULT hr = checkFault("GetAttachedSurface", &role);
    SurfaceImpl *found = nullptr;
    if (hr == S_OK) {
        if (!lpDDSCaps || !lplpDDAttachedSurface || destroyed) {
            hr = DDERR_INVALIDPARAMS;
        } else {
            *lplpDDAttachedSurface = nullptr;
            std::vector<SurfaceImpl *> candidates;
            if (!chain.empty()) {
                candidates.push_back(chain.front());
            } else if (chainRoot) {
                // Inside a flipping chain each buffer's attached buffer is the next one, wrapping to the
                // front; the smallest level of a mipmap chain has none.
                auto &c = chainRoot->chain;
                auto it = std::find(c.begin(), c.end(), this);
                if (it + 1 != c.end())
                    candidates.push_back(*(it + 1));
                else if (!chainRoot->mipmapChain)
                    candidates.push_back(chainRoot);
            }
            candidates.insert(candidates.end(), attached.begin(), attached.end());
            for (SurfaceImpl *s : candidates) {
                if (s->destroyed) continue;
                if ((s->caps.dwCaps & lpDDSCaps->dwCaps) == lpDDSCaps->dwCaps &&
                    (s->caps.dwCaps2 & lpDDSCaps->dwCaps2) == lpDDSCaps->dwCaps2) {
                    found = s;
                    break;
                }
            }
            if (!found) {
                hr = DDERR_NOTFOUND;
            } else {
                ++found->refs;
                *lplpDDAttachedSurface = found;
            }
        }
    }
    if (recordingOn()) {
        Call &c = record("GetAttachedSurface", this, hr);
        c.args = {lpDDSCaps ? lpDDSCaps->dwCaps : 0u, lpDDSCaps ? lpDDSCaps->dwCaps2 : 0u};
        c.result = found ? static_cast<IDirectDrawSurface7 *>(found) : nullptr;
    }
    return hr;
}

HRESULT SurfaceImpl::Lock(LPRECT lpDestRect, LPDDSURFACEDESC2 d, DWORD dwFlags, HANDLE) {
    HRESULT hr = checkFault("Lock", &role);
    if (hr == S_OK) hr = usable();
    if (hr == S_OK) {
        if (!d || d->dwSize != sizeof(DDSURFACEDESC2)) {
            hr = DDERR_INVALIDPARAMS;
        } else if (locked || dcOut) {
            hr = DDERR_SURFACEBUSY;
        } else if (lpDestRect && !rectInside(*lpDestRect, width, height)) {
            hr = DDERR_INVALIDRECT;
        } else {
            fillDesc(this, d);
            d->dwFlags |= DDSD_LPSURFACE;
            int x = lpDestRect ? lpDestRect->left : 0, y = lpDestRect ? lpDestRect->top : 0;
            d->lpSurface = row(y) + static_cast<size_t>(x) * bpp;
            locked = true;
        }
    }
    if (recordingOn()) {
        Call &c = record("Lock", this, hr);
        c.args = {dwFlags};
        putArgsRect(c, lpDestRect);
    }
    return hr;
}

HRESULT SurfaceImpl::Unlock(LPRECT lpRect) {
    HRESULT hr = checkFault("Unlock", &role);
    if (hr == S_OK && destroyed) hr = DDERR_INVALIDOBJECT;
    if (hr == S_OK && !locked) hr = DDERR_NOTLOCKED;
    // DirectDraw's Unlock fails only where no lock is held (a lost, destroyed or unlocked surface): an
    // injected failure ends the lock as well.
    locked = false;
    if (recordingOn()) record("Unlock", this, hr).args = {lpRect ? 1u : 0u};
    return hr;
}

HRESULT SurfaceImpl::GetDC(HDC *lphDC) {
    HRESULT hr = checkFault("GetDC", &role);
    if (hr == S_OK) hr = usable();
    if (hr == S_OK) {
        if (!lphDC) {
            hr = DDERR_INVALIDPARAMS;
        } else if (dcOut) {
            hr = DDERR_DCALREADYCREATED;
        } else if (locked) {
            hr = DDERR_SURFACEBUSY;
        } else {
            uintptr_t id = newHandle();
            MemoryDc m;
            m.surface = this;
            world().dcs[id] = m;
            dc = handleOf<HDC>(id);
            dcOut = true;
            *lphDC = dc;
        }
    }
    if (recordingOn()) record("GetDC", this, hr);
    return hr;
}

HRESULT SurfaceImpl::ReleaseDC(HDC hDC) {
    HRESULT hr = checkFault("ReleaseDC", &role);
    if (hr == S_OK) {
        if (!dcOut) {
            hr = DDERR_NODC;
        } else if (hDC != dc) {
            hr = DDERR_INVALIDPARAMS;
        } else {
            world().dcs.erase(idOf(dc));
            surfaceDcReleased(this);
        }
    }
    if (recordingOn()) record("ReleaseDC", this, hr);
    return hr;
}

HRESULT SurfaceImpl::BltFast(DWORD dwX, DWORD dwY, LPDIRECTDRAWSURFACE7 lpDDSrcSurface, LPRECT lpSrcRect,
                             DWORD dwTrans) {
    HRESULT hr = checkFault("BltFast", &role);
    SurfaceImpl *src = surfaceFromInterface(lpDDSrcSurface);
    if (hr == S_OK) hr = usable();
    if (hr == S_OK && (!src || src->destroyed)) hr = DDERR_INVALIDPARAMS;
    if (hr == S_OK) hr = src->usable();
    RECT r{};
    if (hr == S_OK) {
        r = lpSrcRect ? *lpSrcRect
                      : RECT{0, 0, static_cast<LONG>(src->width), static_cast<LONG>(src->height)};
        LONG w = r.right - r.left, h = r.bottom - r.top;
        if (locked || dcOut || src->locked || src->dcOut) {
            hr = DDERR_SURFACEBUSY;
        } else if (!rectInside(r, src->width, src->height) || dwX > width ||
                   static_cast<DWORD>(w) > width - dwX || dwY > height ||
                   static_cast<DWORD>(h) > height - dwY) {
            hr = DDERR_INVALIDRECT;
        } else if (!sameFormat(this, src)) {
            hr = DDERR_UNSUPPORTED;
        } else if ((dwTrans & DDBLTFAST_SRCCOLORKEY) && !src->hasKey[0]) {
            hr = DDERR_NOCOLORKEY;
        } else if ((dwTrans & DDBLTFAST_DESTCOLORKEY) && !hasKey[1]) {
            hr = DDERR_NOCOLORKEY;
        } else if (!(dwTrans & (DDBLTFAST_SRCCOLORKEY | DDBLTFAST_DESTCOLORKEY))) {
            // Same format and no key: whole rows; through a temporary only within one surface, where the
            // rectangles may overlap.
            size_t rowBytes = static_cast<size_t>(w) * bpp;
            std::vector<unsigned char> tmp(src == this ? rowBytes * h : 0);
            for (LONG y = 0; y < h && src == this; ++y)
                std::memcpy(tmp.data() + y * rowBytes,
                            src->row(r.top + y) + static_cast<size_t>(r.left) * bpp, rowBytes);
            for (LONG y = 0; y < h; ++y)
                std::memcpy(row(static_cast<int>(dwY) + y) + static_cast<size_t>(dwX) * bpp,
                            src == this ? tmp.data() + y * rowBytes
                                        : src->row(r.top + y) + static_cast<size_t>(r.left) * bpp,
                            rowBytes);
        } else {
            // Copy through a temporary so overlapping blits within one surface work.
            std::vector<uint32_t> tmp(static_cast<size_t>(w) * h);
            for (LONG y = 0; y < h; ++y)
                for (LONG x = 0; x < w; ++x)
                    tmp[y * w + x] = readPixel(src->row(r.top + y), bpp, r.left + x);
            for (LONG y = 0; y < h; ++y) {
                unsigned char *d = row(static_cast<int>(dwY) + y);
                for (LONG x = 0; x < w; ++x) {
                    uint32_t v = tmp[y * w + x];
                    int dx = static_cast<int>(dwX) + x;
                    if ((dwTrans & DDBLTFAST_SRCCOLORKEY) && inKey(src->keys[0], v)) continue;
                    if ((dwTrans & DDBLTFAST_DESTCOLORKEY) && !inKey(keys[1], readPixel(d, bpp, dx)))
                        continue;
                    writePixel(d, bpp, dx, v);
                }
            }
        }
    }
    if (recordingOn()) {
        Call &c = record("BltFast", this, hr);
        c.args = {dwX, dwY, dwTrans};
        putArgsRect(c, lpSrcRect);
        c.source = lpDDSrcSurface;
    }
    return hr;
}

namespace {

RECT intersection(const RECT &a, const RECT &b) {
    RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
           std::min(a.bottom, b.bottom)};
    if (r.left >= r.right || r.top >= r.bottom) return RECT{0, 0, 0, 0};
    return r;
}

bool rgbFormat(const SurfaceImpl *s) {
    return (s->pf.dwFlags & DDPF_RGB) && !(s->pf.dwFlags & DDPF_PALETTEINDEXED8);
}

template <size_t Bytes>
void sampleRow(unsigned char *d, const unsigned char *s, const std::vector<LONG> &columns) {
    for (size_t x = 0; x < columns.size(); ++x)
        std::memcpy(d + x * Bytes, s + static_cast<size_t>(columns[x]) * Bytes, Bytes);
}

// Pixels of one format copied as bytes: a whole row when the blit does not stretch across, else each
// sampled column. The windowed present runs this every frame, so the fuzzers spend much of their time here.
void copySampledRow(unsigned char *d, const unsigned char *s, DWORD bpp, const std::vector<LONG> &columns,
                    bool stretched) {
    if (columns.empty()) return;
    if (!stretched) {
        std::memcpy(d, s + static_cast<size_t>(columns[0]) * bpp, columns.size() * bpp);
    } else if (bpp == 2) {
        sampleRow<2>(d, s, columns);
    } else if (bpp == 4) {
        sampleRow<4>(d, s, columns);
    } else {
        for (size_t x = 0; x < columns.size(); ++x)
            std::memcpy(d + x * bpp, s + static_cast<size_t>(columns[x]) * bpp, bpp);
    }
}

} // namespace

// The first row of a rectangle is written pixel by pixel, the others are copies of it.
void SurfaceImpl::fill(const RECT &r, uint32_t value) {
    if (r.left >= r.right || r.top >= r.bottom) return;
    for (LONG x = r.left; x < r.right; ++x)
        writePixel(row(r.top), bpp, x, value);
    size_t rowBytes = static_cast<size_t>(r.right - r.left) * bpp;
    const unsigned char *first = row(r.top) + static_cast<size_t>(r.left) * bpp;
    for (LONG y = r.top + 1; y < r.bottom; ++y)
        std::memcpy(row(y) + static_cast<size_t>(r.left) * bpp, first, rowBytes);
}

// The part of a blit's destination that is written: all of it without a clipper; with one, what lies on
// the surface and inside its window's client area.
RECT SurfaceImpl::visiblePart(const RECT &dest) const {
    RECT bounds{0, 0, static_cast<LONG>(width), static_cast<LONG>(height)};
    if (!clipper) return dest;
    if (clipper->hwnd) bounds = intersection(bounds, clientOnScreen(clipper->hwnd));
    return intersection(dest, bounds);
}

HRESULT SurfaceImpl::Blt(LPRECT lpDestRect, LPDIRECTDRAWSURFACE7 lpDDSrcSurface, LPRECT lpSrcRect,
                         DWORD dwFlags, LPDDBLTFX fx) {
    HRESULT hr = checkFault("Blt", &role);
    SurfaceImpl *src = surfaceFromInterface(lpDDSrcSurface);
    if (hr == S_OK) hr = usable();
    RECT dr = lpDestRect ? *lpDestRect : RECT{0, 0, static_cast<LONG>(width), static_cast<LONG>(height)};
    RECT vis = visiblePart(dr);
    bool destOk = clipper ? dr.left < dr.right && dr.top < dr.bottom : rectInside(dr, width, height);
    if (hr == S_OK) {
        if (locked || dcOut) {
            hr = DDERR_SURFACEBUSY;
        } else if (!destOk) {
            hr = DDERR_INVALIDRECT;
        } else if (dwFlags & (DDBLT_COLORFILL | DDBLT_DEPTHFILL)) {
            if (!fx || fx->dwSize != sizeof(DDBLTFX)) {
                hr = DDERR_INVALIDPARAMS;
            } else {
                uint32_t v = (dwFlags & DDBLT_COLORFILL) ? fx->dwFillColor : fx->dwFillDepth;
                fill(vis, v);
            }
        } else if (!src || src->destroyed) {
            hr = DDERR_INVALIDPARAMS;
        } else if ((hr = src->usable()) != S_OK) {
        } else if (src->locked || src->dcOut) {
            hr = DDERR_SURFACEBUSY;
        } else {
            RECT sr = lpSrcRect ? *lpSrcRect
                                : RECT{0, 0, static_cast<LONG>(src->width), static_cast<LONG>(src->height)};
            bool keySrc = (dwFlags & (DDBLT_KEYSRC | DDBLT_KEYSRCOVERRIDE)) != 0;
            bool keyDest = (dwFlags & (DDBLT_KEYDEST | DDBLT_KEYDESTOVERRIDE)) != 0;
            DDCOLORKEY sk = (dwFlags & DDBLT_KEYSRCOVERRIDE) && fx ? fx->ddckSrcColorkey : src->keys[0];
            DDCOLORKEY dk = (dwFlags & DDBLT_KEYDESTOVERRIDE) && fx ? fx->ddckDestColorkey : keys[1];
            bool same = sameFormat(this, src);
            if (!rectInside(sr, src->width, src->height)) {
                hr = DDERR_INVALIDRECT;
            } else if (!same && !(world().convertingBlt && rgbFormat(this) && rgbFormat(src))) {
                hr = DDERR_UNSUPPORTED;
            } else if (((dwFlags & DDBLT_KEYSRC) && !src->hasKey[0]) ||
                       ((dwFlags & DDBLT_KEYDEST) && !hasKey[1])) {
                hr = DDERR_NOCOLORKEY;
            } else {
                // Nearest sampling of the source over the whole destination, written where visible; through
                // a temporary only within one surface, where the rectangles may overlap.
                LONG dw = dr.right - dr.left, dh = dr.bottom - dr.top;
                LONG sw = sr.right - sr.left, sh = sr.bottom - sr.top;
                LONG vw = vis.right - vis.left, vh = vis.bottom - vis.top;
                std::vector<LONG> columns(static_cast<size_t>(vw > 0 ? vw : 0));
                for (LONG x = 0; x < vw; ++x)
                    columns[x] = sr.left + (vis.left - dr.left + x) * sw / dw;
                auto sourceRow = [&](LONG y) { return src->row(sr.top + (vis.top - dr.top + y) * sh / dh); };
                if (same && !keySrc && !keyDest && src != this) {
                    for (LONG y = 0; y < vh; ++y)
                        copySampledRow(row(vis.top + y) + static_cast<size_t>(vis.left) * bpp, sourceRow(y),
                                       bpp, columns, sw != dw);
                } else {
                    std::vector<uint32_t> tmp(src == this ? static_cast<size_t>(vw) * vh : 0);
                    for (LONG y = 0; y < vh && src == this; ++y)
                        for (LONG x = 0; x < vw; ++x)
                            tmp[y * vw + x] = readPixel(sourceRow(y), src->bpp, columns[x]);
                    for (LONG y = 0; y < vh; ++y) {
                        unsigned char *d = row(vis.top + y);
                        const unsigned char *s = src == this ? NULL : sourceRow(y);
                        for (LONG x = 0; x < vw; ++x) {
                            uint32_t v = s ? readPixel(s, src->bpp, columns[x]) : tmp[y * vw + x];
                            if (keySrc && inKey(sk, v)) continue;
                            if (keyDest && !inKey(dk, readPixel(d, bpp, vis.left + x))) continue;
                            if (!same) v = packRgb(pf, unpackRgb(src->pf, v));
                            writePixel(d, bpp, vis.left + x, v);
                        }
                    }
                }
            }
        }
    }
    if (recordingOn()) {
        Call &c = record("Blt", this, hr);
        c.args = {dwFlags};
        putArgsRect(c, lpDestRect);
        putArgsRect(c, lpSrcRect);
        c.args.push_back(fx ? fx->dwFillColor : 0u);
        c.source = lpDDSrcSurface;
    }
    return hr;
}

HRESULT SurfaceImpl::Flip(LPDIRECTDRAWSURFACE7 lpDDSurfaceTargetOverride, DWORD dwFlags) {
    HRESULT hr = checkFault("Flip", &role);
    if (hr == S_OK) hr = usable();
    if (hr == S_OK) {
        if (chain.empty() || mipmapChain) {
            hr = DDERR_NOTFLIPPABLE;
        } else if (locked || dcOut || std::any_of(chain.begin(), chain.end(), [](SurfaceImpl *b) {
                       return b->locked || b->dcOut;
                   })) {
            hr = DDERR_SURFACEBUSY;
        } else if (std::any_of(chain.begin(), chain.end(), [](SurfaceImpl *b) { return b->lost; })) {
            hr = DDERR_SURFACELOST;
        } else {
            // Flipping exchanges the buffers' memory: the front shows the old back buffer,
            // and the back buffer now holds the previous front image.
            PixelMemory front;
            front.swap(mem);
            mem.swap(chain.front()->mem);
            for (size_t i = 0; i + 1 < chain.size(); ++i)
                chain[i]->mem.swap(chain[i + 1]->mem);
            chain.back()->mem.swap(front);
            ++world().counters.flips;
        }
    }
    if (recordingOn()) {
        Call &c = record("Flip", this, hr);
        c.args = {dwFlags};
        c.source = lpDDSurfaceTargetOverride;
    }
    return hr;
}

HRESULT SurfaceImpl::GetCaps(LPDDSCAPS2 lpDDSCaps) {
    HRESULT hr = checkFault("GetCaps", &role);
    if (hr == S_OK && !lpDDSCaps) hr = DDERR_INVALIDPARAMS;
    if (hr == S_OK) *lpDDSCaps = caps;
    if (recordingOn()) record("GetCaps", this, hr);
    return hr;
}

HRESULT SurfaceImpl::SetColorKey(DWORD dwFlags, LPDDCOLORKEY key) {
    HRESULT hr = checkFault("SetColorKey", &role);
    int i = keyIndex(dwFlags);
    if (hr == S_OK && i < 0) hr = DDERR_INVALIDPARAMS;
    if (hr == S_OK) {
        if (!key) {
            hasKey[i] = false;
        } else {
            hasKey[i] = true;
            keys[i] = *key;
            // Without DDCKEY_COLORSPACE the key is a single colour: the high value is ignored.
            if (!(dwFlags & DDCKEY_COLORSPACE)) keys[i].dwColorSpaceHighValue = key->dwColorSpaceLowValue;
        }
    }
    if (recordingOn())
        record("SetColorKey", this, hr).args = {dwFlags, key ? key->dwColorSpaceLowValue : 0u,
                                                key ? key->dwColorSpaceHighValue : 0u};
    return hr;
}

HRESULT SurfaceImpl::GetColorKey(DWORD dwFlags, LPDDCOLORKEY key) {
    HRESULT hr = checkFault("GetColorKey", &role);
    int i = keyIndex(dwFlags);
    if (hr == S_OK && (i < 0 || !key)) hr = DDERR_INVALIDPARAMS;
    if (hr == S_OK && !hasKey[i]) hr = DDERR_NOCOLORKEY;
    if (hr == S_OK) *key = keys[i];
    if (recordingOn()) record("GetColorKey", this, hr).args = {dwFlags};
    return hr;
}

HRESULT SurfaceImpl::SetPalette(LPDIRECTDRAWPALETTE lpDDPalette) {
    HRESULT hr = checkFault("SetPalette", &role);
    PaletteImpl *p = nullptr;
    if (hr == S_OK && lpDDPalette) {
        if (!world().palettes.count(lpDDPalette)) {
            hr = DDERR_INVALIDPARAMS;
        } else {
            p = static_cast<PaletteImpl *>(lpDDPalette);
        }
    }
    if (hr == S_OK && p && !(pf.dwFlags & (DDPF_PALETTEINDEXED8 | DDPF_PALETTEINDEXED4)))
        hr = DDERR_INVALIDPIXELFORMAT;
    if (hr == S_OK) {
        if (p) internalAddRef(p);
        if (palette) internalRelease(palette);
        palette = p;
    }
    if (recordingOn()) record("SetPalette", this, hr).source = lpDDPalette;
    return hr;
}

HRESULT SurfaceImpl::GetPalette(LPDIRECTDRAWPALETTE *out) {
    HRESULT hr = checkFault("GetPalette", &role);
    if (hr == S_OK && !out) hr = DDERR_INVALIDPARAMS;
    if (hr == S_OK && !palette) hr = DDERR_NOPALETTEATTACHED;
    if (hr == S_OK) {
        ++palette->refs;
        *out = palette;
    }
    if (recordingOn()) record("GetPalette", this, hr);
    return hr;
}

HRESULT SurfaceImpl::GetPixelFormat(LPDDPIXELFORMAT out) {
    HRESULT hr = checkFault("GetPixelFormat", &role);
    if (hr == S_OK && !out) hr = DDERR_INVALIDPARAMS;
    if (hr == S_OK) *out = pf;
    if (recordingOn()) record("GetPixelFormat", this, hr);
    return hr;
}

HRESULT SurfaceImpl::GetSurfaceDesc(LPDDSURFACEDESC2 d) {
    HRESULT hr = checkFault("GetSurfaceDesc", &role);
    if (hr == S_OK && (!d || d->dwSize != sizeof(DDSURFACEDESC2))) hr = DDERR_INVALIDPARAMS;
    if (hr == S_OK) fillDesc(this, d);
    if (recordingOn()) record("GetSurfaceDesc", this, hr);
    return hr;
}

HRESULT SurfaceImpl::IsLost() {
    HRESULT hr = checkFault("IsLost", &role);
    if (hr == S_OK && lost) hr = DDERR_SURFACELOST;
    if (recordingOn()) record("IsLost", this, hr);
    return hr;
}

HRESULT SurfaceImpl::Restore() {
    HRESULT hr = checkFault("Restore", &role);
    if (hr == S_OK && lost) {
        lost = false;
        // Video memory comes back with undefined contents; a visible pattern makes
        // callers that forget to reload their data show up in pixel checks.
        std::fill(mem.begin(), mem.end(), static_cast<unsigned char>(0xCD));
    }
    if (recordingOn()) record("Restore", this, hr);
    return hr;
}

// ---- DirectDraw ----------------------------------------------------------------

void DirectDrawImpl::destroy() {
    World &w = world();
    // Releasing DirectDraw 7 destroys everything it created; that is not a leak.
    std::vector<ObjectBase *> owned;
    for (auto &o : w.objects) {
        if (auto *s = dynamic_cast<SurfaceImpl *>(o.get())) {
            if (s->owner == this && !s->destroyed) owned.push_back(s);
        } else if (auto *p = dynamic_cast<PaletteImpl *>(o.get())) {
            if (p->owner == this && !p->destroyed) owned.push_back(p);
        }
    }
    for (ObjectBase *o : owned) {
        o->reclaimed = true;
        o->destroyed = true;
    }
    for (ObjectBase *o : owned) {
        if (auto *s = dynamic_cast<SurfaceImpl *>(o)) {
            s->locked = false;
            s->dcOut = false;
            if (s->dc) w.dcs.erase(idOf(s->dc));
            s->dc = nullptr;
        }
        o->destroy();
    }
    // The object that changed the mode puts the desktop's back as it goes; the exclusive level goes with it.
    if (w.modeOwner == this) {
        w.mode = w.desktop;
        w.modeOwner = nullptr;
    }
    if (w.exclusiveOwner == this) w.exclusiveOwner = nullptr;
    if (w.coopSetter == this) {
        w.coop = CooperativeLevel{nullptr, 0, false};
        w.coopSetter = nullptr;
    }
}

HRESULT DirectDrawImpl::QueryInterface(REFIID riid, void **ppv) {
    HRESULT hr = checkFault("QueryInterface");
    const char *name = "unknown";
    if (hr == S_OK) {
        if (!ppv) {
            hr = DDERR_INVALIDPARAMS;
        } else if (riid == IID_IDirect3D7) {
            name = "IID_IDirect3D7";
            *ppv = createDirect3D(this);
        } else if (riid == IID_IDirectDraw7 || riid == IID_IUnknown) {
            name = riid == IID_IUnknown ? "IID_IUnknown" : "IID_IDirectDraw7";
            ++refs;
            *ppv = static_cast<IDirectDraw7 *>(this);
        } else {
            *ppv = nullptr;
            hr = E_NOINTERFACE;
        }
    }
    if (recordingOn()) {
        Call &c = record("QueryInterface", this, hr);
        c.text = name;
        c.result = ppv ? *ppv : nullptr;
    }
    return hr;
}

HRESULT DirectDrawImpl::CreatePalette(DWORD dwFlags, LPPALETTEENTRY table, LPDIRECTDRAWPALETTE *out,
                                      IUnknown *pUnkOuter) {
    HRESULT hr = checkFault("CreatePalette");
    PaletteImpl *made = nullptr;
    DWORD count = (dwFlags & DDPCAPS_8BIT)   ? 256
                  : (dwFlags & DDPCAPS_4BIT) ? 16
                  : (dwFlags & DDPCAPS_2BIT) ? 4
                  : (dwFlags & DDPCAPS_1BIT) ? 2
                                             : 0;
    if (hr == S_OK) {
        if (pUnkOuter) {
            hr = CLASS_E_NOAGGREGATION;
        } else if (!out || !table || count == 0) {
            hr = DDERR_INVALIDPARAMS;
        } else if (!coop.set) {
            hr = DDERR_NOCOOPERATIVELEVELSET;
        } else {
            auto p = std::make_unique<PaletteImpl>();
            p->owner = this;
            p->caps = dwFlags;
            p->entries.assign(table, table + count);
            made = p.get();
            world().palettes.insert(static_cast<IDirectDrawPalette *>(made));
            world().objects.push_back(std::move(p));
            *out = made;
        }
    }
    if (recordingOn()) {
        Call &c = record("CreatePalette", this, hr);
        c.args = {dwFlags};
        if (table) {
            const unsigned char *b = reinterpret_cast<const unsigned char *>(table);
            c.data.assign(b, b + count * sizeof(PALETTEENTRY));
        }
        c.result = made ? static_cast<IDirectDrawPalette *>(made) : nullptr;
    }
    return hr;
}

HRESULT DirectDrawImpl::CreateSurface(LPDDSURFACEDESC2 d, LPDIRECTDRAWSURFACE7 *out, IUnknown *pUnkOuter) {
    World &w = world();
    DWORD capsBits = d && (d->dwFlags & DDSD_CAPS) ? d->ddsCaps.dwCaps : 0;
    SurfaceRole role = roleFromCaps(capsBits);
    HRESULT hr = checkFault("CreateSurface", &role);
    SurfaceImpl *made = nullptr;
    if (out) *out = nullptr;
    if (hr == S_OK) {
        if (pUnkOuter) {
            hr = CLASS_E_NOAGGREGATION;
        } else if (!d || !out || d->dwSize != sizeof(DDSURFACEDESC2)) {
            hr = DDERR_INVALIDPARAMS;
        } else if (!coop.set) {
            hr = DDERR_NOCOOPERATIVELEVELSET;
        }
    }
    DDSCAPS2 caps{};
    if (d && (d->dwFlags & DDSD_CAPS)) caps = d->ddsCaps;
    if (hr == S_OK && role == SurfaceRole::Primary) {
        bool flip = (caps.dwCaps & DDSCAPS_FLIP) != 0;
        DWORD backs = (d->dwFlags & DDSD_BACKBUFFERCOUNT) ? d->dwBackBufferCount : 0;
        bool exists = false;
        for (auto &o : w.objects) {
            auto *s = dynamic_cast<SurfaceImpl *>(o.get());
            if (s && s->owner == this && !s->destroyed && s->role == SurfaceRole::Primary) exists = true;
        }
        if (exists) {
            hr = DDERR_PRIMARYSURFACEALREADYEXISTS;
        } else if (d->dwFlags & (DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT)) {
            hr = DDERR_INVALIDPARAMS;
        } else if (flip && (!(caps.dwCaps & DDSCAPS_COMPLEX) || backs == 0)) {
            hr = DDERR_INVALIDCAPS;
        } else if (!flip && backs != 0) {
            hr = DDERR_INVALIDCAPS;
        } else if (flip && !(coop.flags & DDSCL_EXCLUSIVE)) {
            hr = DDERR_NOEXCLUSIVEMODE;
        } else {
            DisplayMode m = w.mode;
            DDPIXELFORMAT pf = displayFormat(m.bpp);
            DDSCAPS2 fc = caps;
            fc.dwCaps |= DDSCAPS_FRONTBUFFER | DDSCAPS_VISIBLE | DDSCAPS_VIDEOMEMORY | DDSCAPS_LOCALVIDMEM;
            made = makeSurface(this, SurfaceRole::Primary, fc, m.width, m.height, pf);
            for (DWORD i = 0; i < backs; ++i) {
                DDSCAPS2 bc = caps;
                bc.dwCaps &= ~(DDSCAPS_PRIMARYSURFACE | DDSCAPS_FRONTBUFFER | DDSCAPS_VISIBLE);
                bc.dwCaps |= DDSCAPS_VIDEOMEMORY | DDSCAPS_LOCALVIDMEM | (i == 0 ? DDSCAPS_BACKBUFFER : 0);
                SurfaceImpl *b = makeSurface(this, SurfaceRole::BackBuffer, bc, m.width, m.height, pf);
                b->refs = 0; // owned by the chain until someone asks for it
                b->chainRoot = made;
                made->chain.push_back(b);
            }
        }
    } else if (hr == S_OK) {
        DDPIXELFORMAT pf{};
        bool havePf = true;
        DWORD levels = 1;
        if (d->dwFlags & DDSD_PIXELFORMAT) {
            pf = d->ddpfPixelFormat;
        } else if (role == SurfaceRole::ZBuffer && (d->dwFlags & DDSD_ZBUFFERBITDEPTH)) {
            DWORD bits = d->dwMipMapCount; // the old DDSURFACEDESC kept the depth in this slot
            pf = sim::depthFormat(bits, bits >= 32 ? 0xFFFFFFFF : ((1u << bits) - 1));
        } else if (role == SurfaceRole::ZBuffer) {
            havePf = false;
        } else {
            pf = displayFormat(w.mode.bpp);
        }
        if (!(d->dwFlags & DDSD_WIDTH) || !(d->dwFlags & DDSD_HEIGHT) || d->dwWidth == 0 ||
            d->dwHeight == 0) {
            hr = DDERR_INVALIDPARAMS;
        } else if (d->dwFlags & DDSD_BACKBUFFERCOUNT) {
            hr = DDERR_INVALIDCAPS;
        } else if ((levels = mipmapLevels(*d, caps)) == 0) {
            hr = DDERR_INVALIDPARAMS;
        } else if (levels > 1 && !(caps.dwCaps & DDSCAPS_COMPLEX)) {
            hr = DDERR_INVALIDCAPS;
        } else if (!havePf || bytesPerPixel(pf) == 0 || bytesPerPixel(pf) > 4) {
            hr = DDERR_INVALIDPIXELFORMAT;
        } else {
            if (!(caps.dwCaps & (DDSCAPS_SYSTEMMEMORY | DDSCAPS_VIDEOMEMORY)) &&
                !(caps.dwCaps2 & (DDSCAPS2_TEXTUREMANAGE | DDSCAPS2_D3DTEXTUREMANAGE)))
                caps.dwCaps |= DDSCAPS_VIDEOMEMORY | DDSCAPS_LOCALVIDMEM;
            made = makeSurface(this, role, caps, d->dwWidth, d->dwHeight, pf);
            if (levels > 1) addMipmapLevels(made, levels);
        }
    }
    if (made) {
        static const DWORD keyFlags[4] = {DDSD_CKSRCBLT, DDSD_CKDESTBLT, DDSD_CKSRCOVERLAY,
                                          DDSD_CKDESTOVERLAY};
        const DDCOLORKEY *given[4] = {&d->ddckCKSrcBlt, &d->ddckCKDestBlt, &d->ddckCKSrcOverlay,
                                      &d->ddckCKDestOverlay};
        for (int i = 0; i < 4; ++i) {
            if (d->dwFlags & keyFlags[i]) {
                made->hasKey[i] = true;
                made->keys[i] = *given[i];
            }
        }
        *out = made;
    }
    if (recordingOn()) {
        Call &c = record("CreateSurface", this, hr);
        if (d) c.desc = *d;
        c.result = made ? static_cast<IDirectDrawSurface7 *>(made) : nullptr;
    }
    return hr;
}

HRESULT DirectDrawImpl::EnumDisplayModes(DWORD dwFlags, LPDDSURFACEDESC2, LPVOID ctx,
                                         LPDDENUMMODESCALLBACK2 cb) {
    HRESULT hr = checkFault("EnumDisplayModes");
    if (recordingOn()) record("EnumDisplayModes", this, hr).args = {dwFlags};
    if (hr != S_OK) return hr;
    if (!cb) return DDERR_INVALIDPARAMS;
    static const DWORD sizes[][2] = {{320, 240},  {512, 384},   {640, 480},  {800, 600},
                                     {1024, 768}, {1280, 1024}, {1600, 1200}};
    static const DWORD depths[] = {8, 16, 24, 32};
    World &w = world();
    for (DWORD bpp : depths) {
        for (auto &sz : sizes) {
            if (!w.acceptMode(sz[0], sz[1], bpp)) continue;
            DDSURFACEDESC2 m{};
            m.dwSize = sizeof(m);
            m.dwFlags = DDSD_WIDTH | DDSD_HEIGHT | DDSD_PITCH | DDSD_PIXELFORMAT | DDSD_REFRESHRATE;
            m.dwWidth = sz[0];
            m.dwHeight = sz[1];
            m.ddpfPixelFormat = displayFormat(bpp);
            m.lPitch = static_cast<LONG>(sz[0] * bytesPerPixel(m.ddpfPixelFormat));
            m.dwRefreshRate = 60;
            if (cb(&m, ctx) == DDENUMRET_CANCEL) return DD_OK;
        }
    }
    return DD_OK;
}

HRESULT DirectDrawImpl::GetDisplayMode(LPDDSURFACEDESC2 d) {
    HRESULT hr = checkFault("GetDisplayMode");
    if (hr == S_OK && (!d || d->dwSize != sizeof(DDSURFACEDESC2))) hr = DDERR_INVALIDPARAMS;
    if (hr == S_OK) {
        DisplayMode m = world().mode;
        std::memset(d, 0, sizeof(*d));
        d->dwSize = sizeof(*d);
        d->dwFlags = DDSD_WIDTH | DDSD_HEIGHT | DDSD_PITCH | DDSD_PIXELFORMAT | DDSD_REFRESHRATE;
        d->dwWidth = m.width;
        d->dwHeight = m.height;
        d->ddpfPixelFormat = displayFormat(m.bpp);
        d->lPitch = static_cast<LONG>(m.width * bytesPerPixel(d->ddpfPixelFormat));
        d->dwRefreshRate = world().refreshRate;
    }
    if (recordingOn()) record("GetDisplayMode", this, hr);
    return hr;
}

HRESULT DirectDrawImpl::GetScanLine(LPDWORD out) {
    HRESULT hr = checkFault("GetScanLine");
    if (hr == S_OK && !out) hr = DDERR_INVALIDPARAMS;
    if (hr == S_OK) {
        *out = world().scanLine;
        hr = world().scanLineHr;
    }
    if (recordingOn()) record("GetScanLine", this, hr);
    return hr;
}

HRESULT DirectDrawImpl::GetVerticalBlankStatus(LPBOOL out) {
    HRESULT hr = checkFault("GetVerticalBlankStatus");
    if (hr == S_OK && !out) hr = DDERR_INVALIDPARAMS;
    if (hr == S_OK) {
        *out = world().inVBlank;
        hr = world().vblankHr;
    }
    if (recordingOn()) record("GetVerticalBlankStatus", this, hr);
    return hr;
}

void loseAllSurfaces() {
    for (auto &o : world().objects) {
        auto *s = dynamic_cast<SurfaceImpl *>(o.get());
        if (s && !s->destroyed) s->lost = true;
    }
}

HRESULT DirectDrawImpl::RestoreDisplayMode() {
    HRESULT hr = checkFault("RestoreDisplayMode");
    World &w = world();
    if (hr == S_OK && w.exclusiveOwner != nullptr && w.exclusiveOwner != this) hr = DDERR_NOEXCLUSIVEMODE;
    if (hr == S_OK) {
        if (w.mode.changed) loseAllSurfaces();
        w.mode = w.desktop;
        w.modeOwner = nullptr;
    }
    if (recordingOn()) record("RestoreDisplayMode", this, hr);
    return hr;
}

HRESULT DirectDrawImpl::SetCooperativeLevel(HWND hWnd, DWORD dwFlags) {
    HRESULT hr = checkFault("SetCooperativeLevel");
    World &w = world();
    if (hr == S_OK) {
        bool exclusive = (dwFlags & DDSCL_EXCLUSIVE) != 0, full = (dwFlags & DDSCL_FULLSCREEN) != 0;
        bool normal = (dwFlags & DDSCL_NORMAL) != 0;
        bool knownWindow = hWnd && w.windows.count(idOf(hWnd));
        if (exclusive != full || (exclusive && normal) || (!exclusive && !normal)) {
            hr = DDERR_INVALIDPARAMS;
        } else if ((exclusive && !hWnd) || (hWnd && !knownWindow)) {
            hr = DDERR_INVALIDPARAMS;
        } else if (exclusive && w.exclusiveOwner != nullptr && w.exclusiveOwner != this) {
            hr = DDERR_EXCLUSIVEMODEALREADYSET;
        } else {
            coop = CooperativeLevel{hWnd, dwFlags, true};
            w.coop = coop;
            w.coopSetter = this;
            if (exclusive)
                w.exclusiveOwner = this;
            else if (w.exclusiveOwner == this)
                w.exclusiveOwner = nullptr;
        }
    }
    if (recordingOn()) record("SetCooperativeLevel", this, hr).args = {idOf(hWnd), dwFlags};
    return hr;
}

HRESULT DirectDrawImpl::SetDisplayMode(DWORD dwWidth, DWORD dwHeight, DWORD dwBPP, DWORD dwRefreshRate,
                                       DWORD dwFlags) {
    HRESULT hr = checkFault("SetDisplayMode");
    World &w = world();
    if (hr == S_OK) {
        if (!(coop.set && (coop.flags & DDSCL_EXCLUSIVE))) {
            hr = DDERR_NOEXCLUSIVEMODE;
        } else if (!w.acceptMode(dwWidth, dwHeight, dwBPP)) {
            hr = DDERR_INVALIDMODE;
        } else {
            loseAllSurfaces();
            w.mode = DisplayMode{dwWidth, dwHeight, dwBPP, true};
            w.modeOwner = this;
        }
    }
    if (recordingOn())
        record("SetDisplayMode", this, hr).args = {dwWidth, dwHeight, dwBPP, dwRefreshRate, dwFlags};
    return hr;
}

HRESULT DirectDrawImpl::WaitForVerticalBlank(DWORD dwFlags, HANDLE) {
    HRESULT hr = checkFault("WaitForVerticalBlank");
    World &w = world();
    if (hr == S_OK) hr = w.waitVblankHr;
    // A blocking wait ends at the next retrace of the simulated clock.
    if (hr == S_OK && w.waitVblankBlocks) {
        unsigned long long period = clockFrequency / (w.refreshRate ? w.refreshRate : 60);
        advanceClock(period - w.qpc % period);
    }
    if (recordingOn()) record("WaitForVerticalBlank", this, hr).args = {dwFlags};
    return hr;
}

HRESULT DirectDrawImpl::GetAvailableVidMem(LPDDSCAPS2, LPDWORD lpdwTotal, LPDWORD lpdwFree) {
    HRESULT hr = checkFault("GetAvailableVidMem");
    if (hr == S_OK) {
        if (lpdwTotal) *lpdwTotal = 32u << 20;
        if (lpdwFree) *lpdwFree = 24u << 20;
    }
    if (recordingOn()) record("GetAvailableVidMem", this, hr);
    return hr;
}

HRESULT DirectDrawImpl::RestoreAllSurfaces() {
    HRESULT hr = checkFault("RestoreAllSurfaces");
    if (hr == S_OK) {
        for (auto &o : world().objects) {
            auto *s = dynamic_cast<SurfaceImpl *>(o.get());
            if (s && !s->destroyed && s->owner == this && s->lost) {
                s->lost = false;
                std::fill(s->mem.begin(), s->mem.end(), static_cast<unsigned char>(0xCD));
            }
        }
    }
    if (recordingOn()) record("RestoreAllSurfaces", this, hr);
    return hr;
}

HRESULT DirectDrawImpl::TestCooperativeLevel() {
    HRESULT hr = checkFault("TestCooperativeLevel");
    if (recordingOn()) record("TestCooperativeLevel", this, hr);
    return hr;
}

HRESULT DirectDrawImpl::GetDeviceIdentifier(LPDDDEVICEIDENTIFIER2 out, DWORD dwFlags) {
    HRESULT hr = checkFault("GetDeviceIdentifier");
    if (hr == S_OK && !out) hr = DDERR_INVALIDPARAMS;
    if (hr == S_OK) *out = world().identifier;
    if (recordingOn()) record("GetDeviceIdentifier", this, hr).args = {dwFlags};
    return hr;
}

std::string leakReportCom() {
    std::string out;
    for (auto &o : world().objects)
        out += o->leakProblems();
    return out;
}

} // namespace detail

using namespace detail;

DisplayMode displayMode() {
    return world().mode;
}

void setDesktopMode(DWORD width, DWORD height, DWORD bpp) {
    World &w = world();
    w.desktop = DisplayMode{width, height, bpp, false};
    if (!w.mode.changed) w.mode = w.desktop;
}

void setDisplayModeAccepted(std::function<bool(DWORD, DWORD, DWORD)> accept) {
    world().acceptMode = std::move(accept);
}
CooperativeLevel cooperativeLevel() {
    return world().coop;
}

CooperativeLevel cooperativeLevelOf(IDirectDraw7 *ddraw) {
    return static_cast<DirectDrawImpl *>(ddraw)->coop;
}

IDirectDraw7 *exclusiveOwner() {
    const void *owner = world().exclusiveOwner;
    return owner ? static_cast<IDirectDraw7 *>(static_cast<DirectDrawImpl *>(const_cast<void *>(owner)))
                 : nullptr;
}

void setDirectDrawCreateHook(std::function<void()> hook) {
    world().directDrawCreateHook = std::move(hook);
}

void setDeviceIdentifier(const char *driver, const char *description, DWORD vendorId, DWORD deviceId) {
    DDDEVICEIDENTIFIER2 &id = world().identifier;
    std::memset(id.szDriver, 0, sizeof(id.szDriver));
    std::memset(id.szDescription, 0, sizeof(id.szDescription));
    std::strncpy(id.szDriver, driver ? driver : "", sizeof(id.szDriver) - 1);
    std::strncpy(id.szDescription, description ? description : "", sizeof(id.szDescription) - 1);
    id.dwVendorId = vendorId;
    id.dwDeviceId = deviceId;
}

void setVerticalBlank(BOOL inBlank, HRESULT hr) {
    world().inVBlank = inBlank;
    world().vblankHr = hr;
}

void setScanLine(DWORD line, HRESULT hr) {
    world().scanLine = line;
    world().scanLineHr = hr;
}

void setNewSurfacesCleared(bool cleared) {
    world().clearNewSurfaces = cleared;
}

void setPitchPadding(DWORD bytes) {
    world().pitchPadding = bytes;
}

void setRefreshRate(DWORD hz) {
    world().refreshRate = hz;
}

void setWaitForVerticalBlank(HRESULT hr, bool blocks) {
    world().waitVblankHr = hr;
    world().waitVblankBlocks = blocks;
}

void setFormatConvertingBlt(bool on) {
    world().convertingBlt = on;
}

void loseSurfaces() {
    for (auto &o : world().objects) {
        auto *s = dynamic_cast<SurfaceImpl *>(o.get());
        if (s && !s->destroyed) s->lost = true;
    }
}

SurfaceInfo surfaceInfo(IDirectDrawSurface7 *surface) {
    SurfaceInfo info;
    SurfaceImpl *s = surfaceFromInterface(surface);
    if (!s) return info;
    info.valid = true;
    info.alive = !s->destroyed;
    info.role = s->role;
    info.width = s->width;
    info.height = s->height;
    info.format = s->pf;
    info.pitch = s->pitch;
    info.pixels = s->mem.empty() ? nullptr : s->mem.data();
    info.locked = s->locked;
    info.dcOut = s->dcOut;
    info.lost = s->lost;
    info.palette = s->palette;
    info.hasSrcBltKey = s->hasKey[0];
    info.srcBltKey = s->keys[0];
    info.hasDestBltKey = s->hasKey[1];
    info.destBltKey = s->keys[1];
    info.caps = s->caps;
    info.refCount = s->refs;
    for (SurfaceImpl *a : s->attached)
        info.attached.push_back(a);
    return info;
}

SurfaceRole roleOf(IDirectDrawSurface7 *surface) {
    SurfaceImpl *s = surfaceFromInterface(surface);
    return s ? s->role : SurfaceRole::Other;
}

uint32_t pixel(IDirectDrawSurface7 *surface, int x, int y) {
    SurfaceImpl *s = surfaceFromInterface(surface);
    if (!s || s->destroyed || x < 0 || y < 0 || x >= static_cast<int>(s->width) ||
        y >= static_cast<int>(s->height))
        return 0;
    return readPixel(s->row(y), s->bpp, x);
}

std::vector<IDirectDrawSurface7 *> liveSurfaces() {
    std::vector<IDirectDrawSurface7 *> out;
    for (auto &o : world().objects) {
        auto *s = dynamic_cast<SurfaceImpl *>(o.get());
        if (s && !s->destroyed) out.push_back(s);
    }
    return out;
}

std::vector<PALETTEENTRY> paletteEntries(IDirectDrawPalette *palette) {
    if (!palette || !world().palettes.count(palette)) return {};
    return static_cast<PaletteImpl *>(palette)->entries;
}

} // namespace sim

extern "C" HRESULT WINAPI DirectDrawCreateEx(GUID *lpGUID, LPVOID *lplpDD, REFIID iid, IUnknown *pUnkOuter) {
    using namespace sim::detail;
    if (world().directDrawCreateHook) world().directDrawCreateHook();
    HRESULT hr = checkFault("DirectDrawCreateEx");
    DirectDrawImpl *made = nullptr;
    if (hr == S_OK) {
        if (!lplpDD || iid != IID_IDirectDraw7) {
            hr = DDERR_INVALIDPARAMS;
        } else if (pUnkOuter) {
            hr = CLASS_E_NOAGGREGATION;
        } else {
            auto dd = std::make_unique<DirectDrawImpl>();
            made = dd.get();
            world().objects.push_back(std::move(dd));
            *lplpDD = static_cast<IDirectDraw7 *>(made);
        }
    }
    if (hr != S_OK && lplpDD) *lplpDD = nullptr;
    if (recordingOn()) {
        sim::Call &c = record("DirectDrawCreateEx", nullptr, hr);
        c.args = {reinterpret_cast<uintptr_t>(lpGUID)};
        c.result = made ? static_cast<IDirectDraw7 *>(made) : nullptr;
    }
    return hr;
}
