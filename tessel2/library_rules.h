// How tessel2 differs from tessel3, as the engine reads it.
#ifndef KESTRIX_TESSEL2_LIBRARY_RULES_H
#define KESTRIX_TESSEL2_LIBRARY_RULES_H

#include "core/library_rules.h"

extern const LibraryRules glide2Rules;

#endif
