// The Glide 3 half of docs/card_profiles.md, built from tessel3's answers for every board.
#include "glide3_fixture.h"

#include <string>

#include "card_table.h"

namespace {

using CardTable = Glide3Test;

const char *const adapterName = "NVIDIA GeForce2 MX";

struct Query {
    FxU32 pname;
    const char *name;
    FxU32 count; // values the answer holds
    const char *source;
};

const char *const retail =
    "Each board's common retail configuration, recalled from its published data sheet; the "
    "default board keeps Kestrix's earlier answer";
const char *const ourChoice = "Our choice, not a data-sheet fact";
const char *const sameForAll = "The same on every board: Glide's own limit, from the Glide 3 headers' values";
const char *const kestrix = "What Kestrix does on every board (runtime behaviour, not a board fact)";

const Query queries[] = {
    {GR_MEMORY_FB, "GR_MEMORY_FB", 1, retail},
    {GR_MEMORY_TMU, "GR_MEMORY_TMU", 1,
     "Retail configuration as recalled; the Banshee and Voodoo3 give textures the 12 MiB of 16 the buffers "
     "leave. Texture memory is emulated this large"},
    {GR_MEMORY_UMA, "GR_MEMORY_UMA", 1,
     "Memory shared by frame buffer and textures: the Banshee and Voodoo3 only"},
    {GR_NUM_TMU, "GR_NUM_TMU", 1, "The board's TMUs (data sheets), emulated as Direct3D stages 0 and 1"},
    {GR_NUM_FB, "GR_NUM_FB", 1, "One frame-buffer chip"},
    {GR_NUM_BOARDS, "GR_NUM_BOARDS", 1, "One board"},
    {GR_REVISION_FB, "GR_REVISION_FB", 1, ourChoice},
    {GR_REVISION_TMU, "GR_REVISION_TMU", 1, ourChoice},
    {GR_PENDING_BUFFERSWAPS, "GR_PENDING_BUFFERSWAPS", 1,
     "Every swap completes at once (Kestrix's behaviour)"},
    {GR_MAX_TEXTURE_SIZE, "GR_MAX_TEXTURE_SIZE", 1, sameForAll},
    {GR_MAX_TEXTURE_ASPECT_RATIO, "GR_MAX_TEXTURE_ASPECT_RATIO", 1, sameForAll},
    {GR_TEXTURE_ALIGN, "GR_TEXTURE_ALIGN", 1, sameForAll},
    {GR_FOG_TABLE_ENTRIES, "GR_FOG_TABLE_ENTRIES", 1, sameForAll},
    {GR_GAMMA_TABLE_ENTRIES, "GR_GAMMA_TABLE_ENTRIES", 1, "The gamma lookup Kestrix applies: 256 entries"},
    {GR_BITS_GAMMA, "GR_BITS_GAMMA", 1, "The gamma lookup Kestrix applies: 8 bits an entry"},
    {GR_BITS_DEPTH, "GR_BITS_DEPTH", 1, kestrix},
    {GR_BITS_RGBA, "GR_BITS_RGBA", 4, kestrix},
    {GR_NUM_SWAP_HISTORY_BUFFER, "GR_NUM_SWAP_HISTORY_BUFFER", 1, kestrix},
    {GR_GLIDE_STATE_SIZE, "GR_GLIDE_STATE_SIZE", 1, "Size of Kestrix's saved-state record"},
    {GR_GLIDE_VERTEXLAYOUT_SIZE, "GR_GLIDE_VERTEXLAYOUT_SIZE", 1, "Size of Glide's vertex layout record"},
    {GR_LFB_PIXEL_PIPE, "GR_LFB_PIXEL_PIPE", 1, kestrix},
    {GR_NON_POWER_OF_TWO_TEXTURES, "GR_NON_POWER_OF_TWO_TEXTURES", 1, sameForAll},
    {GR_SUPPORTS_PASSTHRU, "GR_SUPPORTS_PASSTHRU", 1, "No pass-through cable to switch"},
    {GR_WDEPTH_MIN_MAX, "GR_WDEPTH_MIN_MAX", 2, sameForAll},
    {GR_ZDEPTH_MIN_MAX, "GR_ZDEPTH_MIN_MAX", 2, sameForAll},
};

struct StringQuery {
    FxU32 pname;
    const char *name;
    const char *source;
};

const StringQuery strings[] = {
    {GR_HARDWARE, "GR_HARDWARE",
     "The board's name; the default board names the display adapter (here the simulated one)"},
    {GR_VERSION, "GR_VERSION", "Our choice of a release per board, not verified"},
    {GR_VENDOR, "GR_VENDOR", "The display adapter's maker, by its PCI vendor number (here nVidia's)"},
    {GR_RENDERER, "GR_RENDERER", "Every Glide runtime's answer"},
    {GR_EXTENSION, "GR_EXTENSION",
     "Extensions recalled for each board's runtime, not verified; TEXMIRROR only where the device mirrors "
     "(it "
     "does here)"},
};

std::string answerText(FxU32 pname, FxU32 count) {
    FxI32 values[4] = {};
    grGet(pname, count * sizeof(FxI32), values);
    std::string text;
    for (FxU32 i = 0; i < count; ++i)
        text += (i ? ", " : "") + std::to_string(values[i]);
    return text;
}

TEST_F(CardTable, TheDocumentHoldsEveryGlide3Answer) {
    sim::setDeviceIdentifier("nv4_disp.dll", adapterName, 0x10DE, 0x110);
    sim::deviceConfig(sim::DeviceType::TnLHal).caps.dpcTriCaps.dwTextureAddressCaps = D3DPTADDRESSCAPS_MIRROR;
    const size_t rows = std::size(queries) + std::size(strings);
    std::vector<std::vector<std::string>> values(rows);
    for (int card = 0; card < card_table::cardCount; ++card) {
        setProductDword("Card", static_cast<DWORD>(card));
        ASSERT_NE(initAndOpen(), 0u);
        size_t at = 0;
        for (const Query &query : queries)
            values[at++].push_back(answerText(query.pname, query.count));
        for (const StringQuery &query : strings)
            values[at++].push_back(std::string("`") + grGetString(query.pname) + "`");
        grSstWinClose(1);
        grGlideShutdown();
    }
    std::string table = card_table::header();
    size_t at = 0;
    for (const Query &query : queries)
        table += card_table::row(std::string("`grGet(") + query.name + ")`", values[at++], query.source);
    for (const StringQuery &query : strings)
        table +=
            card_table::row(std::string("`grGetString(") + query.name + ")`", values[at++], query.source);
    EXPECT_TRUE(card_table::documentHolds(table));
}

} // namespace
