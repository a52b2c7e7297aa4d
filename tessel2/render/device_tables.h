// Blend-factor, compare-function and texture-coordinate scale tables of the current device.
#ifndef KESTRIX_DEVICE_TABLES_H
#define KESTRIX_DEVICE_TABLES_H

void buildDeviceTables();

#endif
