// The settings grGlideInit reads from the registry: the ten values the settings program stores and the two
// Glide flags. Where a value shows in what the library does, the test looks there; the record itself is read
// where only it can tell one value from another.
#include "glide2_draw_driver.h"

#include "engine_probe.h"

namespace {

const char *const productKey = settings_store::productKeyPath;
const char *const glideKey = settings_store::glideKeyPath;

class Settings : public Glide2DrawTest {
  protected:
    struct Flags {
        int noSplash;
        int noDitherSub;
    };

    // What the Glide flags do to the next open: no logo is drawn; the 16-bit display is not dithered.
    Flags flagsAtOpen() {
        sim::clearCalls();
        EXPECT_EQ(open(), FXTRUE);
        Flags flags = {1, 0};
        for (const sim::Call &blit : named("BltFast"))
            if (blit.args[2] == DDBLTFAST_NOCOLORKEY) flags.noSplash = 0;
        flags.noDitherSub = sim::renderState(liveDevice(), D3DRENDERSTATE_DITHERENABLE) == FALSE;
        grSstWinClose();
        return flags;
    }

    // The w-buffer depth of a point at 1/w = 0.25: 0.75 by the fast rule, 0.5 by the other.
    float depthAtOpen() {
        EXPECT_EQ(open(), FXTRUE);
        grDepthBufferMode(GR_DEPTHBUFFER_WBUFFER);
        float z = drawnPoint(glideVertex(10, 10, 0.25f)).z;
        grSstWinClose();
        return z;
    }
};

TEST_F(Settings, MissingProductKeyUsesTheDefaults) {
    grGlideInit();
    EXPECT_EQ(probe::setting("ColorDepth"), 16);
    EXPECT_EQ(probe::setting("Fog"), 1);
    EXPECT_EQ(probe::setting("Antialiasing"), 1);
    EXPECT_EQ(probe::setting("ZFast"), 1);
    EXPECT_EQ(probe::setting("Filtering"), 1);
    EXPECT_EQ(probe::setting("Oversample"), 0);
    EXPECT_EQ(probe::setting("TripleBuffer"), 0);
    EXPECT_EQ(probe::setting("WaveRace"), 0);
    EXPECT_EQ(probe::setting("FightingForceFix"), 0);
    EXPECT_EQ(probe::setting("TMU"), 0);
    EXPECT_EQ(probe::setting("NoSplash"), 0);
    EXPECT_EQ(probe::setting("NoDitherSub"), 0);
}

TEST_F(Settings, EmptyProductKeyLeavesEveryFieldAsItWas) {
    sim::createRegistryKey(HKEY_LOCAL_MACHINE, productKey);
    grGlideInit();
    EXPECT_EQ(probe::setting("ColorDepth"), 0);
    EXPECT_EQ(probe::setting("Fog"), 0);
    EXPECT_EQ(probe::setting("ZFast"), 0);
    EXPECT_EQ(probe::setting("Filtering"), 0);
}

TEST_F(Settings, EveryValueLandsInItsOwnField) {
    const char *names[] = {"Antialiasing", "Fog",      "Oversample",       "ColorDepth", "ZFast",
                           "TripleBuffer", "WaveRace", "FightingForceFix", "Filtering",  "TMU"};
    for (DWORD i = 0; i < 10; ++i)
        setProductDword(names[i], 100 + i);
    grGlideInit();
    for (DWORD i = 0; i < 10; ++i)
        EXPECT_EQ(probe::setting(names[i]), static_cast<int32_t>(100 + i)) << names[i];
}

// A limited account may read the store but not write it: the settings are still what the store holds.
TEST_F(Settings, KeysTheUserMayOnlyReadAreRead) {
    setProductDword("ColorDepth", 32);
    sim::setRegistryString(HKEY_LOCAL_MACHINE, glideKey, "FX_GLIDE_NO_SPLASH", "1");
    sim::denyRegistryKey(HKEY_LOCAL_MACHINE, productKey, false, true);
    sim::denyRegistryKey(HKEY_LOCAL_MACHINE, glideKey, false, true);
    grGlideInit();
    EXPECT_EQ(probe::setting("ColorDepth"), 32);
    EXPECT_EQ(probe::setting("NoSplash"), 1);
}

TEST_F(Settings, ColorDepth32ForcesZFast) {
    setProductDword("ColorDepth", 32);
    setProductDword("ZFast", 0);
    grGlideInit();
    EXPECT_EQ(depthAtOpen(), 0.75f);

    setProductDword("ColorDepth", 16);
    grGlideInit();
    EXPECT_EQ(depthAtOpen(), 0.5f);
}

// A value that cannot be read keeps what the earlier grGlideInit read.
TEST_F(Settings, ValuesThatAreNotFourBytesDoNotCorruptTheFields) {
    setProductDword("Fog", 1);
    grGlideInit();
    sim::setRegistryValue(HKEY_LOCAL_MACHINE, productKey, "Fog", REG_BINARY,
                          std::vector<unsigned char>(12, 0xAB));
    grGlideInit();
    EXPECT_EQ(probe::setting("Fog"), 1);
}

// Unlike the ten, a display value that cannot be read is off, whatever an earlier grGlideInit read.
TEST_F(Settings, DisplayValuesAreOffWhenTheStoreLacksThem) {
    setProductDword("Windowed", 1);
    setProductDword("WindowScale", 3);
    setProductDword("FramePacing", 2);
    grGlideInit();
    EXPECT_EQ(probe::setting("Windowed"), 1);
    EXPECT_EQ(probe::setting("WindowScale"), 3);
    EXPECT_EQ(probe::setting("FramePacing"), 2);

    sim::setRegistryValue(HKEY_LOCAL_MACHINE, productKey, "WindowScale", REG_BINARY,
                          std::vector<unsigned char>(12, 0xAB));
    grGlideInit();
    EXPECT_EQ(probe::setting("Windowed"), 1);
    EXPECT_EQ(probe::setting("WindowScale"), 0);
}

TEST_F(Settings, GlideFlagsAreSetByOneOrTrueInAnyCase) {
    struct Case {
        const char *text;
        int32_t expected;
    } cases[] = {{"1", 1}, {"true", 1}, {"True", 1},  {"TRUE", 1}, {"tRuE", 1}, {"yes", 0},
                 {"2", 0}, {"", 0},     {"TRUE ", 0}, {"01", 0},   {"TRU", 0},  {"TRUEX", 0}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        sim::setRegistryString(HKEY_LOCAL_MACHINE, glideKey, "FX_GLIDE_NO_SPLASH", c.text);
        sim::setRegistryString(HKEY_LOCAL_MACHINE, glideKey, "FX_GLIDE_NO_DITHER_SUB", c.text);
        grGlideInit();
        Flags flags = flagsAtOpen();
        EXPECT_EQ(flags.noSplash, c.expected);
        EXPECT_EQ(flags.noDitherSub, c.expected);
    }
}

TEST_F(Settings, GlideFlagsClearWhenTheKeyOrValueGoes) {
    sim::setRegistryString(HKEY_LOCAL_MACHINE, glideKey, "FX_GLIDE_NO_SPLASH", "1");
    grGlideInit();
    Flags flags = flagsAtOpen();
    EXPECT_EQ(flags.noSplash, 1);
    EXPECT_EQ(flags.noDitherSub, 0);

    sim::denyRegistryKey(HKEY_LOCAL_MACHINE, glideKey, true, false);
    grGlideInit();
    EXPECT_EQ(flagsAtOpen().noSplash, 0);
}

TEST_F(Settings, AnOverlongGlideStringIsNotSetAndNotOverrun) {
    sim::setRegistryString(HKEY_LOCAL_MACHINE, glideKey, "FX_GLIDE_NO_SPLASH", std::string(300, '1').c_str());
    sim::setRegistryString(HKEY_LOCAL_MACHINE, glideKey, "FX_GLIDE_NO_DITHER_SUB",
                           ("TRUE" + std::string(252, '\0')).c_str());
    grGlideInit();
    Flags flags = flagsAtOpen();
    EXPECT_EQ(flags.noSplash, 0);
    EXPECT_EQ(flags.noDitherSub, 1);
}

TEST_F(Settings, QuakeTitleForces16BitsAndFilteringUntilTheNextInit) {
    setProductDword("ColorDepth", 32);
    setProductDword("Filtering", 0);
    struct Case {
        const char *title;
        DWORD bpp;
        int32_t filtering;
    } cases[] = {{"Quake II", 16, 1}, {"Quake", 16, 1}, {"quake II", 32, 0}, {"GLQuake", 32, 0}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.title);
        HWND game = sim::createWindow(c.title, RECT{0, 0, 640, 480});
        grGlideInit();
        sim::clearCalls();
        ASSERT_EQ(open(GR_RESOLUTION_640x480, GR_ORIGIN_UPPER_LEFT, game), FXTRUE);
        std::vector<sim::Call> modes = named("SetDisplayMode");
        ASSERT_EQ(modes.size(), 1u);
        EXPECT_EQ(modes[0].args[2], c.bpp);
        // Filtering on: the open sets point sampling.
        EXPECT_EQ(sim::textureStageState(liveDevice(), 0, D3DTSS_MINFILTER),
                  static_cast<DWORD>(c.filtering ? D3DTFN_POINT : D3DTFN_LINEAR));
        grSstWinClose();
    }
}

} // namespace
