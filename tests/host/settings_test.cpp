#include "glide2_driver.h"

namespace {

const char *const productKey = "Software\\Orvane\\Kestrix XP";
const char *const glideKey = "Software\\3Dfx Interactive\\Glide";

using Settings = Glide2Test;

TEST_F(Settings, MissingProductKeyUsesTheDefaults) {
    grGlideInit();
    EXPECT_EQ(settings.ColorDepth, 16);
    EXPECT_EQ(settings.Fog, 1);
    EXPECT_EQ(settings.Antialiasing, 1);
    EXPECT_EQ(settings.ZFast, 1);
    EXPECT_EQ(settings.Filtering, 1);
    EXPECT_EQ(settings.Oversample, 0);
    EXPECT_EQ(settings.TripleBuffer, 0);
    EXPECT_EQ(settings.WaveRace, 0);
    EXPECT_EQ(settings.FightingForceFix, 0);
    EXPECT_EQ(settings.TMU, 0);
    EXPECT_EQ(settings.NoSplash, 0);
    EXPECT_EQ(settings.NoDitherSub, 0);
}

TEST_F(Settings, EmptyProductKeyLeavesEveryFieldAsItWas) {
    sim::createRegistryKey(HKEY_LOCAL_MACHINE, productKey);
    grGlideInit();
    EXPECT_EQ(settings.ColorDepth, 0);
    EXPECT_EQ(settings.Fog, 0);
    EXPECT_EQ(settings.ZFast, 0);
    EXPECT_EQ(settings.Filtering, 0);
}

TEST_F(Settings, EveryValueLandsInItsOwnField) {
    const char *names[] = {"Antialiasing", "Fog",      "Oversample",       "ColorDepth", "ZFast",
                           "TripleBuffer", "WaveRace", "FightingForceFix", "Filtering",  "TMU"};
    for (DWORD i = 0; i < 10; ++i)
        setProductDword(names[i], 100 + i);
    grGlideInit();
    const int32_t fields[] = {
        settings.Antialiasing, settings.Fog,          settings.Oversample, settings.ColorDepth,
        settings.ZFast,        settings.TripleBuffer, settings.WaveRace,   settings.FightingForceFix,
        settings.Filtering,    settings.TMU};
    for (int i = 0; i < 10; ++i) {
        SCOPED_TRACE(names[i]);
        EXPECT_EQ(fields[i], 100 + i);
    }
}

TEST_F(Settings, ColorDepth32ForcesZFast) {
    setProductDword("ColorDepth", 32);
    setProductDword("ZFast", 0);
    grGlideInit();
    EXPECT_EQ(settings.ZFast, 1);

    setProductDword("ColorDepth", 16);
    grGlideInit();
    EXPECT_EQ(settings.ZFast, 0);
}

// A value that cannot be read keeps what the earlier grGlideInit read.
TEST_F(Settings, ValuesThatAreNotFourBytesDoNotCorruptTheFields) {
    setProductDword("Fog", 1);
    grGlideInit();
    sim::setRegistryValue(HKEY_LOCAL_MACHINE, productKey, "Fog", REG_BINARY,
                          std::vector<unsigned char>(12, 0xAB));
    grGlideInit();
    EXPECT_EQ(settings.Fog, 1);
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
        EXPECT_EQ(settings.NoSplash, c.expected);
        EXPECT_EQ(settings.NoDitherSub, c.expected);
    }
}

TEST_F(Settings, GlideFlagsClearWhenTheKeyOrValueGoes) {
    sim::setRegistryString(HKEY_LOCAL_MACHINE, glideKey, "FX_GLIDE_NO_SPLASH", "1");
    grGlideInit();
    EXPECT_EQ(settings.NoSplash, 1);
    EXPECT_EQ(settings.NoDitherSub, 0);

    sim::denyRegistryKey(HKEY_LOCAL_MACHINE, glideKey, true, false);
    grGlideInit();
    EXPECT_EQ(settings.NoSplash, 0);
}

TEST_F(Settings, AnOverlongGlideStringIsNotSetAndNotOverrun) {
    sim::setRegistryString(HKEY_LOCAL_MACHINE, glideKey, "FX_GLIDE_NO_SPLASH", std::string(300, '1').c_str());
    sim::setRegistryString(HKEY_LOCAL_MACHINE, glideKey, "FX_GLIDE_NO_DITHER_SUB",
                           ("TRUE" + std::string(252, '\0')).c_str());
    grGlideInit();
    EXPECT_EQ(settings.NoSplash, 0);
    EXPECT_EQ(settings.NoDitherSub, 1);
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
        EXPECT_EQ(settings.Filtering, c.filtering);
        grSstWinClose();
    }
}

} // namespace
