// Resource and control ids shared by kestrixcfg.rc and the dialog procedures.
// Plain defines only: the resource compiler reads this file too.
#ifndef KESTRIXCFG_RESOURCE_IDS_H
#define KESTRIXCFG_RESOURCE_IDS_H

// Bitmaps.
#define IDB_COLORS 102
#define IDB_BANNER 106

// Settings dialog "KESTRIX". Ok and Cancel are IDOK (1) and IDCANCEL (2).
#define IDC_APPLY 3
#define IDC_GAME_PATCHING 100
#define IDC_RESOLUTION_SLIDER 1000
#define IDC_FULLSCREEN 1010
#define IDC_OVERSAMPLING 1011
#define IDC_ANTIALIASING 1012
#define IDC_FOG 1013
#define IDC_ZFAST 1014
#define IDC_TRIPLE_BUFFER 1015
#define IDC_FIGHTING_FORCE 1016
#define IDC_ALTERNATE_LIGHTING 1017
#define IDC_TEXTURE_FILTERING 1018
#define IDC_MULTITEXTURE 1019
#define IDC_COLOR_DEPTH 1020
#define IDC_FRAME_PACING 1021
#define IDC_WINDOW_SCALE_TEXT 1022
#define IDC_RESOLUTION_GROUP 1023
#define IDC_CARD 1024
#define IDC_GAMMA_SLIDER 1025
#define IDC_GAMMA_TEXT 1026
#define IDC_RENDER_SCALE_SLIDER 1027
#define IDC_RENDER_SCALE_TEXT 1028

// Game patching dialog "KGP": one drop-down list per game, 2000 to 2010.
#define IDC_GAME_FIRST 2000
#define IDC_GAME_LAST 2010

#endif
