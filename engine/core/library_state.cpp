#include "library_state.h"

LibraryState library;
