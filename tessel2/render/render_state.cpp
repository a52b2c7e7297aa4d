#include "render_state.h"

#include "../session/log.h"

// Effects are not translated yet; the log is still flushed here as the state calls will do.
void disableAllEffects() {
    flushLog();
}
