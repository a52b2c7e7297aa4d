// The Glide 2 half of docs/card_profiles.md, built from tessel2's answers for every board.
#include "glide2_draw_driver.h"

#include <cstring>
#include <string>

#include "card_table.h"

namespace {

using CardTable = Glide2DrawTest;

const char *const notInRecord = "—";

struct Answers {
    GrHwConfiguration hardware;
    GrHwConfiguration boards;
    char version[80];
};

std::string number(int value) {
    return std::to_string(value);
}

// One row: the field of each board's answers, or a dash where its record has no such field.
template <typename Field> std::vector<std::string> across(const std::vector<Answers> &answers, Field field) {
    std::vector<std::string> values;
    for (const Answers &a : answers)
        values.push_back(field(a));
    return values;
}

bool isRush(const Answers &a) {
    return a.hardware.SSTs[0].type == GR_SSTTYPE_SST96;
}

TEST_F(CardTable, TheDocumentHoldsEveryGlide2Answer) {
    std::vector<Answers> answers(card_table::cardCount);
    for (int card = 0; card < card_table::cardCount; ++card) {
        setProductDword("Card", static_cast<DWORD>(card));
        grGlideInit();
        Answers &a = answers[card];
        std::memset(&a, 0, sizeof(a));
        grSstQueryHardware(&a.hardware);
        grSstQueryBoards(&a.boards);
        grGlideGetVersion(a.version);
        grGlideShutdown();
    }
    const auto &voodoo = [](const Answers &a) { return a.hardware.SSTs[0].sstBoard.VoodooConfig; };
    const auto &rush = [](const Answers &a) { return a.hardware.SSTs[0].sstBoard.SST96Config; };
    std::string table = card_table::header();
    table += card_table::row(
        "`grSstQueryHardware` type",
        across(answers, [](const Answers &a) { return number(a.hardware.SSTs[0].type); }),
        "0, 1 and 3 are `GR_SSTTYPE_VOODOO`, `_SST96` and `_Voodoo2` of `include/glide2x.h`; 4 "
        "(Banshee) and 5 (Voodoo3) are recalled, not verified. The default board answers 6 "
        "with the `TMU` setting on, as Kestrix always did");
    table += card_table::row(
        "fbRam (MiB)",
        across(answers,
               [&](const Answers &a) { return number(isRush(a) ? rush(a).fbRam : voodoo(a).fbRam); }),
        "Each board's common retail configuration, recalled from its published data sheet; "
        "the default board keeps Kestrix's earlier answer");
    table +=
        card_table::row("fbiRev",
                        across(answers,
                               [&](const Answers &a) {
                                   return isRush(a) ? std::string(notInRecord) : number(voodoo(a).fbiRev);
                               }),
                        "Our choice, not a data-sheet fact (the SST-96 record has no such field)");
    table += card_table::row(
        "nTexelfx",
        across(answers,
               [&](const Answers &a) { return number(isRush(a) ? rush(a).nTexelfx : voodoo(a).nTexelfx); }),
        "The board's TMUs (data sheets), emulated as Direct3D stages 0 and 1; the default "
        "board has two with the `TMU` setting on");
    table +=
        card_table::row("sliDetect",
                        across(answers,
                               [&](const Answers &a) {
                                   return isRush(a) ? std::string(notInRecord) : number(voodoo(a).sliDetect);
                               }),
                        "One board, never a pair");
    table += card_table::row("tmuConfig[0] tmuRev",
                             across(answers,
                                    [&](const Answers &a) {
                                        return number(isRush(a) ? rush(a).tmuConfig.tmuRev
                                                                : voodoo(a).tmuConfig[0].tmuRev);
                                    }),
                             "Our choice, not a data-sheet fact");
    table += card_table::row(
        "tmuConfig[0] tmuRam (MiB)",
        across(answers,
               [&](const Answers &a) {
                   return number(isRush(a) ? rush(a).tmuConfig.tmuRam : voodoo(a).tmuConfig[0].tmuRam);
               }),
        "Retail configuration as recalled; the Banshee and Voodoo3 give textures the 12 MiB of "
        "16 the buffers leave. Texture memory is emulated this large");
    table += card_table::row("tmuConfig[1] tmuRev, tmuRam (MiB)",
                             across(answers,
                                    [&](const Answers &a) {
                                        return isRush(a) ? std::string(notInRecord)
                                                         : number(voodoo(a).tmuConfig[1].tmuRev) + ", " +
                                                               number(voodoo(a).tmuConfig[1].tmuRam);
                                    }),
                             "Written even on one-unit boards, as the default board always did");
    table += card_table::row("`grSstQueryBoards` type",
                             across(answers, [](const Answers &a) { return number(a.boards.SSTs[0].type); }),
                             "The same numbering, counted without set-up, so never 6");
    table +=
        card_table::row("`grGlideGetVersion`",
                        across(answers, [](const Answers &a) { return std::string("`") + a.version + "`"; }),
                        "Our choice of a release string per board, not verified");
    EXPECT_TRUE(card_table::documentHolds(table));
}

} // namespace
