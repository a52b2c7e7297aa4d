#include "glide2_driver.h"

namespace {

using Log = Glide2Test;

TEST_F(Log, OpenWritesTheBannerAndAdapterLinesByteForByte) {
    sim::setDeviceIdentifier("nv4_disp.dll", "NVIDIA GeForce2 MX", 0x10DE, 0x110);
    D3DDEVICEDESC7 &caps = sim::deviceConfig(sim::DeviceType::TnLHal).caps;
    caps.dwTextureOpCaps = 0x1BFFF;
    caps.dpcTriCaps.dwRasterCaps = 0x7A291;
    sim::setOsVersion(true, 5, 1, 2600);
    ASSERT_EQ(initAndOpen(), FXTRUE);
    grSstWinClose();
    EXPECT_EQ(logText(), "---------------------------------------\r\n"
                         "              Kestrix 2.2              \r\n"
                         "---------------------------------------\r\n"
                         "AppName: Test Game\r\n"
                         "Driver:nv4_disp.dll\r\n"
                         "Descripci\xF3n: NVIDIA GeForce2 MX\r\n"
                         "ID Fabricante: 10DEh\r\n"
                         "ID Dispositivo: 0110h\r\n"
                         "Texture OP Caps: 0x1BFFF\r\n"
                         "Triangle Raster Caps: 0x7A291\r\n"
                         "OS: Microsoft Windows NT 5.1 Build 2600\r\n"
                         "grSSTOrigin(origin=0);\r\n");
}

TEST_F(Log, OutsideTheNtFamilyTheProcessorSpeedIsMeasuredOnce) {
    sim::setOsVersion(false, 4, 10, 0x040A08AE);
    sim::setTimeStampCounter({5000000000ull, 5000000000ull + 733999999ull});
    ASSERT_EQ(initAndOpen(), FXTRUE);
    grSstWinClose();
    std::string log = logText();
    EXPECT_NE(log.find("Processor Speed: 733 MHz\r\nOS: Microsoft Windows 4.10 Build 2222\r\n"),
              std::string::npos);
    EXPECT_EQ(sim::sleeps(), (std::vector<DWORD>{1000}));
}

TEST_F(Log, EachRunAppendsItsOwnBanner) {
    ASSERT_EQ(initAndOpen(), FXTRUE);
    unload();
    load();
    ASSERT_EQ(initAndOpen(), FXTRUE);
    grSstWinClose();
    std::string log = logText();
    size_t first = log.find("Kestrix 2.2");
    ASSERT_NE(first, std::string::npos);
    EXPECT_NE(log.find("Kestrix 2.2", first + 1), std::string::npos);
    // No bare line feeds: every line ends in CR LF.
    for (size_t i = 0; i < log.size(); ++i) {
        if (log[i] == '\n') {
            ASSERT_TRUE(i > 0 && log[i - 1] == '\r') << "at byte " << i;
        }
    }
}

TEST_F(Log, AFailedOpenKeepsTheLinesWrittenSoFar) {
    grGlideInit();
    sim::failCall("CreateDevice", 0);
    EXPECT_EQ(open(), FXFALSE);
    std::string log = logText();
    EXPECT_NE(log.find("ID Dispositivo:"), std::string::npos);
    EXPECT_EQ(log.find("Texture OP Caps"), std::string::npos);
}

TEST_F(Log, TheLibraryRunsWithoutALogFile) {
    unload();
    sim::setFileOpenFails(true);
    load();
    ASSERT_EQ(initAndOpen(), FXTRUE);
    grSstOrigin(GR_ORIGIN_LOWER_LEFT);
    grSstWinClose();
    sim::setFileOpenFails(false);
    EXPECT_EQ(sim::readFile("kestrix.log"), "");
}

size_t occurrences(const std::string &text, const std::string &line) {
    size_t count = 0;
    for (size_t at = text.find(line); at != std::string::npos; at = text.find(line, at + 1))
        ++count;
    return count;
}

// Only the zero function's inversion into white is emulated; other inversions and detail textures say so
// once per window open, after the lines of the open.
TEST_F(Log, UnemulatedCallsAreLoggedOnceASessionAfterTheOpenLines) {
    ASSERT_EQ(initAndOpen(), FXTRUE);
    for (int call = 0; call < 2; ++call) {
        grTexDetailControl(GR_TMU0, 1, 2, 0.5f);
        grColorCombine(GR_COMBINE_FUNCTION_ZERO, GR_COMBINE_FACTOR_ZERO, GR_COMBINE_LOCAL_CONSTANT,
                       GR_COMBINE_OTHER_CONSTANT, FXTRUE);
        grColorCombine(GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_ZERO, GR_COMBINE_LOCAL_CONSTANT,
                       GR_COMBINE_OTHER_CONSTANT, FXTRUE);
    }
    grSstWinClose();
    std::string first = logText();
    EXPECT_EQ(occurrences(first, "grTexDetailControl: not emulated\r\n"), 1u);
    EXPECT_EQ(occurrences(first, "grColorCombine invert: not emulated\r\n"), 1u);
    EXPECT_LT(first.find("grSSTOrigin(origin=0);\r\n"), first.find("grTexDetailControl: not emulated"));

    ASSERT_EQ(open(), FXTRUE);
    grTexDetailControl(GR_TMU0, 1, 2, 0.5f);
    grSstWinClose();
    EXPECT_EQ(occurrences(logText(), "grTexDetailControl: not emulated\r\n"), 2u);
}

} // namespace
