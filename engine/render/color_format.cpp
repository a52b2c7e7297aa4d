#include "color_format.h"

#include "../core/render_context.h"

FxU32 toArgb(FxU32 color) {
    switch (renderContext.colorFormat) {
    case colorFormatArgb:
        return color;
    case colorFormatAbgr:
        return (color & 0xFF00FF00u) | ((color & 0xFFu) << 16) | ((color >> 16) & 0xFFu);
    case colorFormatRgba:
        return (color >> 8) | (color << 24);
    case colorFormatBgra:
        return ((color & 0xFFu) << 24) | ((color & 0xFF00u) << 8) | ((color >> 8) & 0xFF00u) | (color >> 24);
    default:
        return 0xFFFFFFFFu;
    }
}
