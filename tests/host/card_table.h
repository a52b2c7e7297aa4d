// The per-card answer tables of docs/card_profiles.md: each test builds its table from what the library
// answers for every Card value and checks that the document holds it verbatim, so the document cannot drift
// from the code. A failure prints the table as the code answers it.
#ifndef KESTRIX_CARD_TABLE_H
#define KESTRIX_CARD_TABLE_H

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sim_assertions.h"

namespace card_table {

const int cardCount = 5; // the Card setting's values 0 to 4
const char *const documentPath = "docs/card_profiles.md";

inline std::string header() {
    return "| Answer | Voodoo Graphics (0) | Voodoo Rush (1) | Voodoo2 (2) | Voodoo Banshee (3) | Voodoo3 "
           "(4) | "
           "Where it comes from |\n|---|---|---|---|---|---|---|\n";
}

inline std::string row(const std::string &answer, const std::vector<std::string> &values,
                       const std::string &source) {
    std::string text = "| " + answer + " |";
    for (const std::string &value : values)
        text += " " + value + " |";
    return text + " " + source + " |\n";
}

inline ::testing::AssertionResult documentHolds(const std::string &table) {
    const std::vector<unsigned char> bytes = readSourceFile(documentPath);
    const std::string document(bytes.begin(), bytes.end());
    if (document.find(table) != std::string::npos) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << documentPath << " lacks the table the code answers:\n" << table;
}

} // namespace card_table

#endif
