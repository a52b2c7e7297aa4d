// Glide 3.x entry points of vertex layouts and drawing. Until the layout is translated they accept their
// arguments and draw nothing.
#include "glide3x.h"

FX_ENTRY void FX_CALL grVertexLayout(FxU32, FxI32, FxU32) {}

FX_ENTRY void FX_CALL grGlideGetVertexLayout(void *) {}

FX_ENTRY void FX_CALL grGlideSetVertexLayout(const void *) {}

FX_ENTRY void FX_CALL grDrawPoint(const void *) {}

FX_ENTRY void FX_CALL grDrawLine(const void *, const void *) {}

FX_ENTRY void FX_CALL grDrawTriangle(const void *, const void *, const void *) {}

FX_ENTRY void FX_CALL grAADrawTriangle(const void *, const void *, const void *, FxBool, FxBool, FxBool) {}

FX_ENTRY void FX_CALL grDrawVertexArray(FxU32, FxU32, void *) {}

FX_ENTRY void FX_CALL grDrawVertexArrayContiguous(FxU32, FxU32, void *, FxU32) {}
