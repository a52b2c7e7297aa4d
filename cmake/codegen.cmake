# Code generation of the 32-bit x86 builds: the deliverables (win32) and the host suite that checks them
# (host32). The library's floating point runs on SSE2, so its results are the ones the host tests check
# and do not depend on the x87 control word, which games and Direct3D change (grHints still sets it for
# the application). Games call the entry points with stacks aligned to 4 bytes only: every function
# that needs more realigns its own frame. Nothing past SSE2 is assumed.
set(KESTRIX_X86_32_CODEGEN_FLAGS "-msse -msse2 -mfpmath=sse -mstackrealign")
