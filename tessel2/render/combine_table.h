// The translation of Glide colour and alpha combine modes to Direct3D texture stage operations.
#ifndef KESTRIX_COMBINE_TABLE_H
#define KESTRIX_COMBINE_TABLE_H

void buildCombineTable();

#endif
