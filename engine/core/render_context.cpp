#include "render_context.h"

RenderContext renderContext;
