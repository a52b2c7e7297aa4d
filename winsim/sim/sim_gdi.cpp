// Simulated gdi32 bitmaps and DCs, bitmap resources/files for LoadImageA, modules.
#include "sim/sim_internal.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>

namespace sim {
namespace detail {
namespace {

// The DC GDI hands back for the stock 1x1 bitmap a new memory DC starts with.
const uintptr_t kStockBitmap = 0x7F00;

uint16_t rd16(const std::vector<unsigned char> &b, size_t o) {
    return static_cast<uint16_t>(b[o] | (b[o + 1] << 8));
}
uint32_t rd32(const std::vector<unsigned char> &b, size_t o) {
    return static_cast<uint32_t>(b[o]) | (static_cast<uint32_t>(b[o + 1]) << 8) |
           (static_cast<uint32_t>(b[o + 2]) << 16) | (static_cast<uint32_t>(b[o + 3]) << 24);
}
void wr16(std::vector<unsigned char> &b, size_t o, uint32_t v) {
    b[o] = static_cast<unsigned char>(v);
    b[o + 1] = static_cast<unsigned char>(v >> 8);
}
void wr32(std::vector<unsigned char> &b, size_t o, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[o + i] = static_cast<unsigned char>(v >> (8 * i));
}

// Parses a DIB (BITMAPINFOHEADER + optional colour table + pixels) starting at
// `info`. `pixelOffset` is where the pixels are; 0 means right after the colour
// table, as in a resource, which has no BITMAPFILEHEADER.
bool parseDib(const std::vector<unsigned char> &b, size_t info, size_t pixelOffset, Bitmap *out) {
    if (b.size() < info + 40) return false;
    uint32_t hdr = rd32(b, info);
    int32_t w = static_cast<int32_t>(rd32(b, info + 4));
    int32_t h = static_cast<int32_t>(rd32(b, info + 8));
    uint16_t bits = rd16(b, info + 14);
    uint32_t compression = rd32(b, info + 16);
    uint32_t used = rd32(b, info + 32);
    if (hdr < 40 || w <= 0 || h == 0 || compression != BI_RGB) return false;
    if (bits != 8 && bits != 24 && bits != 32) return false;
    bool topDown = h < 0;
    int height = topDown ? -h : h;
    size_t colors = bits == 8 ? (used ? used : 256) : 0;
    size_t table = info + hdr;
    if (b.size() < table + colors * 4) return false;
    size_t pixels = pixelOffset ? pixelOffset : table + colors * 4;
    size_t stride = ((static_cast<size_t>(w) * bits + 31) / 32) * 4;
    if (pixels > b.size() || (b.size() - pixels) / stride < static_cast<size_t>(height)) return false;
    out->width = w;
    out->height = height;
    out->rgb.assign(static_cast<size_t>(w) * height, 0);
    for (int y = 0; y < height; ++y) {
        size_t row = pixels + stride * static_cast<size_t>(topDown ? y : height - 1 - y);
        for (int x = 0; x < w; ++x) {
            uint32_t c;
            if (bits == 8) {
                size_t e = table + 4 * std::min<size_t>(b[row + x], colors - 1);
                c = (static_cast<uint32_t>(b[e + 2]) << 16) | (static_cast<uint32_t>(b[e + 1]) << 8) | b[e];
            } else {
                size_t p = row + static_cast<size_t>(x) * (bits / 8);
                c = (static_cast<uint32_t>(b[p + 2]) << 16) | (static_cast<uint32_t>(b[p + 1]) << 8) | b[p];
            }
            out->rgb[static_cast<size_t>(y) * w + x] = c;
        }
    }
    return true;
}

std::string moduleKey(const char *name) {
    std::string n = name ? lower(name) : std::string();
    std::replace(n.begin(), n.end(), '/', '\\');
    size_t slash = n.rfind('\\');
    if (slash != std::string::npos) n.erase(0, slash + 1);
    if (!n.empty() && n.find('.') == std::string::npos) n += ".dll";
    return n;
}

std::string resourceKey(const char *name) {
    if (IS_INTRESOURCE(name)) return "#" + std::to_string(reinterpret_cast<uintptr_t>(name));
    return lower(name);
}

Bitmap *bitmapOf(HGDIOBJ h) {
    auto it = world().bitmaps.find(idOf(h));
    return it == world().bitmaps.end() ? nullptr : &it->second;
}

MemoryDc *dcOf(HDC h) {
    auto it = world().dcs.find(idOf(h));
    return it == world().dcs.end() ? nullptr : &it->second;
}

// A DC's pixels, whether it wraps a surface or has a bitmap selected.
struct Canvas {
    SurfaceImpl *surface = nullptr;
    Bitmap *bitmap = nullptr;
    int w = 0, h = 0;
    bool open(HDC dc) {
        MemoryDc *m = dcOf(dc);
        if (!m) return false;
        if (m->surface) {
            surface = m->surface;
            return surfaceGeometry(surface, &w, &h);
        }
        bitmap = m->selected ? bitmapOf(m->selected) : nullptr;
        if (!bitmap) return false;
        w = bitmap->width;
        h = bitmap->height;
        return true;
    }
    uint32_t get(int x, int y) const {
        return surface ? surfaceGetRgb(surface, x, y)
                       : bitmap->rgb[static_cast<size_t>(y) * bitmap->width + x];
    }
    void put(int x, int y, uint32_t c) {
        if (surface) {
            surfacePutRgb(surface, x, y, c);
        } else {
            bitmap->rgb[static_cast<size_t>(y) * bitmap->width + x] = c;
        }
    }
};

void refreshDibBits(Bitmap &bm) {
    if (!bm.dibSection) return;
    size_t stride = (static_cast<size_t>(bm.width) * 3 + 3) & ~static_cast<size_t>(3);
    bm.dibBits.assign(stride * bm.height, 0);
    for (int y = 0; y < bm.height; ++y)
        for (int x = 0; x < bm.width; ++x) {
            uint32_t c = bm.rgb[static_cast<size_t>(y) * bm.width + x];
            unsigned char *p = &bm.dibBits[stride * (bm.height - 1 - y) + x * 3];
            p[0] = static_cast<unsigned char>(c);
            p[1] = static_cast<unsigned char>(c >> 8);
            p[2] = static_cast<unsigned char>(c >> 16);
        }
}

} // namespace

std::string leakReportWindows() {
    World &w = world();
    std::string out;
    for (auto &k : w.openKeys)
        out += "registry key \"" + k.second.path + "\" not closed\n";
    for (auto &f : w.files)
        out += "file \"" + f.second.path + "\" not closed\n";
    for (auto &b : w.bitmaps)
        out += "HBITMAP " + std::to_string(b.second.width) + "x" + std::to_string(b.second.height) +
               " not deleted\n";
    for (auto &d : w.dcs)
        if (!d.second.surface) out += "memory DC not deleted\n";
    for (auto &win : w.windows)
        if (win.second.created) out += "window \"" + win.second.title + "\" not destroyed\n";
    for (auto &c : w.classes)
        out += "window class \"" + c.first + "\" not unregistered\n";
    if (w.criticalSections != 0)
        out += std::to_string(w.criticalSections) + " critical section(s) not deleted\n";
    return out;
}

} // namespace detail

using namespace detail;

HINSTANCE moduleHandle(const char *name) {
    World &w = world();
    std::string key = moduleKey(name);
    auto it = w.modules.find(key);
    if (it != w.modules.end()) return it->second;
    HINSTANCE h = handleOf<HINSTANCE>(newHandle());
    w.modules[key] = h;
    return h;
}

void registerBitmapResource(HINSTANCE module, const char *name,
                            const std::vector<unsigned char> &bmpFileBytes) {
    world().resources[{idOf(module), resourceKey(name)}] = bmpFileBytes;
}

std::vector<unsigned char> makeBmp24(int w, int h, std::function<uint32_t(int, int)> rgb, bool topDown) {
    size_t stride = (static_cast<size_t>(w) * 3 + 3) & ~static_cast<size_t>(3);
    size_t size = 54 + stride * h;
    std::vector<unsigned char> b(size, 0);
    b[0] = 'B';
    b[1] = 'M';
    wr32(b, 2, static_cast<uint32_t>(size));
    wr32(b, 10, 54);
    wr32(b, 14, 40);
    wr32(b, 18, static_cast<uint32_t>(w));
    wr32(b, 22, static_cast<uint32_t>(topDown ? -h : h));
    wr16(b, 26, 1);
    wr16(b, 28, 24);
    wr32(b, 34, static_cast<uint32_t>(stride * h));
    for (int y = 0; y < h; ++y) {
        size_t row = 54 + stride * static_cast<size_t>(topDown ? y : h - 1 - y);
        for (int x = 0; x < w; ++x) {
            uint32_t c = rgb(x, y);
            b[row + x * 3] = static_cast<unsigned char>(c);
            b[row + x * 3 + 1] = static_cast<unsigned char>(c >> 8);
            b[row + x * 3 + 2] = static_cast<unsigned char>(c >> 16);
        }
    }
    return b;
}

int liveGdiObjects() {
    World &w = world();
    int n = static_cast<int>(w.bitmaps.size());
    for (auto &d : w.dcs)
        if (!d.second.surface) ++n;
    return n;
}

} // namespace sim

using namespace sim::detail;

extern "C" {

HMODULE WINAPI GetModuleHandleA(LPCSTR name) {
    World &w = world();
    if (!name) return sim::moduleHandle("");
    auto it = w.modules.find(moduleKey(name));
    return it == w.modules.end() ? nullptr : it->second;
}

HANDLE WINAPI LoadImageA(HINSTANCE inst, LPCSTR name, UINT type, int cx, int cy, UINT flags) {
    World &w = world();
    if (checkFault("LoadImageA") != S_OK || type != IMAGE_BITMAP || !name) return nullptr;
    Bitmap bm{};
    if (flags & LR_LOADFROMFILE) {
        if (IS_INTRESOURCE(name)) return nullptr;
        std::ifstream in(resolvePath(name), std::ios::binary);
        if (!in) return nullptr;
        std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)),
                                         std::istreambuf_iterator<char>());
        if (bytes.size() < 14 || bytes[0] != 'B' || bytes[1] != 'M') return nullptr;
        uint32_t off = rd32(bytes, 10);
        if (!parseDib(bytes, 14, off, &bm)) return nullptr;
    } else {
        if (!inst) return nullptr;
        auto it = w.resources.find({idOf(inst), resourceKey(name)});
        if (it == w.resources.end()) {
            w.lastError = ERROR_RESOURCE_NAME_NOT_FOUND;
            return nullptr;
        }
        if (!parseDib(it->second, 14, 0, &bm)) return nullptr;
    }
    if ((cx > 0 && cx != bm.width) || (cy > 0 && cy != bm.height)) {
        int nw = cx > 0 ? cx : bm.width, nh = cy > 0 ? cy : bm.height;
        std::vector<uint32_t> scaled(static_cast<size_t>(nw) * nh);
        for (int y = 0; y < nh; ++y)
            for (int x = 0; x < nw; ++x)
                scaled[static_cast<size_t>(y) * nw + x] =
                    bm.rgb[static_cast<size_t>(y * bm.height / nh) * bm.width + x * bm.width / nw];
        bm.rgb.swap(scaled);
        bm.width = nw;
        bm.height = nh;
    }
    bm.dibSection = (flags & LR_CREATEDIBSECTION) != 0;
    refreshDibBits(bm);
    uintptr_t id = newHandle();
    w.bitmaps[id] = std::move(bm);
    return handleOf<HANDLE>(id);
}

int WINAPI GetObjectA(HANDLE h, int c, LPVOID pv) {
    Bitmap *bm = bitmapOf(h);
    if (!bm) return 0;
    if (!pv) return sizeof(BITMAP);
    if (c < static_cast<int>(sizeof(BITMAP))) return 0;
    BITMAP out{};
    out.bmType = 0;
    out.bmWidth = bm->width;
    out.bmHeight = bm->height;
    out.bmPlanes = 1;
    if (bm->dibSection) {
        out.bmBitsPixel = 24;
        out.bmWidthBytes = static_cast<LONG>((bm->width * 3 + 3) & ~3);
        out.bmBits = bm->dibBits.data();
    } else {
        // A device-dependent bitmap takes the screen's depth.
        out.bmBitsPixel = static_cast<WORD>(world().mode.bpp);
        out.bmWidthBytes = static_cast<LONG>(((bm->width * out.bmBitsPixel + 15) / 16) * 2);
    }
    std::memcpy(pv, &out, sizeof(out));
    return sizeof(BITMAP);
}

HDC WINAPI CreateCompatibleDC(HDC) {
    if (checkFault("CreateCompatibleDC") != S_OK) return nullptr;
    uintptr_t id = newHandle();
    world().dcs[id] = MemoryDc{};
    return handleOf<HDC>(id);
}

HGDIOBJ WINAPI SelectObject(HDC hdc, HGDIOBJ obj) {
    MemoryDc *m = dcOf(hdc);
    if (!m || m->surface) return nullptr;
    HGDIOBJ previous = m->selected ? static_cast<HGDIOBJ>(m->selected) : handleOf<HGDIOBJ>(kStockBitmap);
    if (idOf(obj) == kStockBitmap) {
        if (m->selected) bitmapOf(m->selected)->selectedInto = nullptr;
        m->selected = nullptr;
        return previous;
    }
    Bitmap *bm = bitmapOf(obj);
    if (!bm) return nullptr;
    // A bitmap can be selected into one DC at a time.
    if (bm->selectedInto && bm->selectedInto != hdc) return nullptr;
    if (m->selected) bitmapOf(m->selected)->selectedInto = nullptr;
    m->selected = static_cast<HBITMAP>(obj);
    bm->selectedInto = hdc;
    return previous;
}

BOOL WINAPI DeleteDC(HDC hdc) {
    World &w = world();
    MemoryDc *m = dcOf(hdc);
    if (!m || m->surface) return FALSE; // a surface's DC goes back through ReleaseDC
    if (m->selected) {
        if (Bitmap *bm = bitmapOf(m->selected)) bm->selectedInto = nullptr;
    }
    w.dcs.erase(idOf(hdc));
    return TRUE;
}

BOOL WINAPI DeleteObject(HGDIOBJ h) {
    if (idOf(h) == kStockBitmap) return TRUE;
    Bitmap *bm = bitmapOf(h);
    if (!bm || bm->selectedInto) return FALSE; // GDI refuses to delete a selected bitmap
    world().bitmaps.erase(idOf(h));
    return TRUE;
}

BOOL WINAPI StretchBlt(HDC hdcDest, int xDest, int yDest, int wDest, int hDest, HDC hdcSrc, int xSrc,
                       int ySrc, int wSrc, int hSrc, DWORD rop) {
    if (rop != SRCCOPY || wDest <= 0 || hDest <= 0 || wSrc <= 0 || hSrc <= 0) return FALSE;
    Canvas dst, src;
    if (!dst.open(hdcDest) || !src.open(hdcSrc)) return FALSE;
    for (int y = 0; y < hDest; ++y) {
        int dy = yDest + y, sy = ySrc + static_cast<int>(static_cast<long long>(y) * hSrc / hDest);
        if (dy < 0 || dy >= dst.h || sy < 0 || sy >= src.h) continue;
        for (int x = 0; x < wDest; ++x) {
            int dx = xDest + x, sx = xSrc + static_cast<int>(static_cast<long long>(x) * wSrc / wDest);
            if (dx < 0 || dx >= dst.w || sx < 0 || sx >= src.w) continue;
            dst.put(dx, dy, src.get(sx, sy));
        }
    }
    if (dst.bitmap) refreshDibBits(*dst.bitmap);
    return TRUE;
}

BOOL WINAPI BitBlt(HDC hdc, int x, int y, int cx, int cy, HDC hdcSrc, int x1, int y1, DWORD rop) {
    return StretchBlt(hdc, x, y, cx, cy, hdcSrc, x1, y1, cx, cy, rop);
}

int WINAPI SetStretchBltMode(HDC, int) {
    return COLORONCOLOR;
}

} // extern "C"
