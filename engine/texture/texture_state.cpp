#include "texture_state.h"

TextureState textureState;
