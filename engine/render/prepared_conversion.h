// The conversion record (vertex_conversion.h) is read from the render state, the bound textures, the
// settings, the screen and the layout, and games change that state far less often than they draw: the
// record is kept between primitives and prepared again only after something else than a draw ran. Every
// entry point but the plain draws counts as a possible change, so no writer of those inputs can be missed;
// the draws themselves change none of them.
#ifndef KESTRIX_PREPARED_CONVERSION_H
#define KESTRIX_PREPARED_CONVERSION_H

// Counts the moments the inputs may have changed; 64 bits, so that it never comes round to a record's stamp.
extern unsigned long long conversionInputsGeneration;

inline void conversionInputsMayChange() {
    ++conversionInputsGeneration;
}

#endif
