// How tessel3 differs from tessel2, as the engine reads it.
#ifndef KESTRIX_TESSEL3_LIBRARY_RULES_H
#define KESTRIX_TESSEL3_LIBRARY_RULES_H

#include "core/library_rules.h"

extern const LibraryRules glide3Rules;

#endif
