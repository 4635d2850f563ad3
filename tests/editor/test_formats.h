// SPDX-License-Identifier: MIT
#pragma once

#include "editor/keyword_table.h"
#include "editor/text_format.h"

namespace tessory::testing {

// Category formats that differ in every field, so that a test can tell the categories apart.
inline const CategoryFormats kTestFormats = {{
    {0x00A00000, EffectBold},                     // DataTypes
    {0x00008000, EffectItalic},                   // FunctionNames
    {0x00800080, EffectUnderline},                // StateVars
    {0x00000080, EffectBold | EffectItalic},      // TypeQualifiers
    {0x00008080, EffectItalic | EffectUnderline}  // Comment
}};

inline const TextFormat& formatOf(Category c) {
    return kTestFormats[static_cast<int>(c)];
}

inline KeywordTable filledTable(const CategoryFormats& formats = kTestFormats) {
    KeywordTable table;
    fillKeywordTable(table, formats);
    return table;
}

}  // namespace tessory::testing
