// The settings store, as the settings program writes it and the libraries, tests, fuzzers and benchmarks
// read it: two keys under HKEY_LOCAL_MACHINE and the names of their values. Header only, with no
// dependency, so that kestrixcfg shares it without the engine.
#ifndef KESTRIX_SETTINGS_STORE_H
#define KESTRIX_SETTINGS_STORE_H

namespace settings_store {

// The product key: every value a REG_DWORD.
inline constexpr const char *productKeyPath = "Software\\Orvane\\Kestrix XP";
inline constexpr const char *antialiasing = "Antialiasing";
inline constexpr const char *fog = "Fog";
inline constexpr const char *oversample = "Oversample";
inline constexpr const char *colorDepth = "ColorDepth";
inline constexpr const char *zFast = "ZFast";
inline constexpr const char *tripleBuffer = "TripleBuffer";
inline constexpr const char *waveRace = "WaveRace";
inline constexpr const char *fightingForceFix = "FightingForceFix";
inline constexpr const char *filtering = "Filtering";
inline constexpr const char *tmu = "TMU";
// The display values, off when absent.
inline constexpr const char *windowed = "Windowed";
inline constexpr const char *windowScale = "WindowScale";
inline constexpr const char *framePacing = "FramePacing";
inline constexpr const char *card = "Card";
inline constexpr const char *gamma = "Gamma"; // hundredths
inline constexpr const char *lfbStride2048 = "LfbStride2048";
inline constexpr const char *renderScale = "RenderScale";
// Recording of every Glide call to kestrix-N.gltrace, off when absent, and the file's largest size.
inline constexpr const char *trace = "Trace";
inline constexpr const char *traceMaxMegabytes = "TraceMaxMegabytes";

// The board vendor's key, read by Glide 2 only: REG_SZ flags, set when "1" or "TRUE" in any case.
inline constexpr const char *glideKeyPath = "Software\\3Dfx Interactive\\Glide";
inline constexpr const char *noSplash = "FX_GLIDE_NO_SPLASH";
inline constexpr const char *noDitherSub = "FX_GLIDE_NO_DITHER_SUB";

} // namespace settings_store

#endif
