// Storage for the interface and device identifiers the stand-in headers declare.
#define INITGUID
#include <windows.h>
#include <ddraw.h>
#include <d3d.h>
