// Full-screen surfaces lost to another program (alt-tab, focus taken) come back when the screen is ours
// again.
#ifndef KESTRIX_SURFACE_RESTORE_H
#define KESTRIX_SURFACE_RESTORE_H

// False while the full-screen display is away, and once more when it has just been restored: the frame in
// flight is then dropped. True at once for a window or a display that was never lost.
bool fullScreenDisplayReady();

#endif
