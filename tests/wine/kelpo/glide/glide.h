#include "glide3x.h"
