// SPDX-License-Identifier: MIT
#pragma once

#include <QtGlobal>

#include <array>

namespace tessory {

// Colours are 0x00BBGGRR: red in the lowest byte.
using TColor = quint32;

// Effect bits of a highlight category.
enum TextEffect : qint32 { EffectBold = 1, EffectItalic = 2, EffectUnderline = 4 };

// The highlight categories, in the order in which they are listed and indexed everywhere.
enum class Category { DataTypes = 0, FunctionNames, StateVars, TypeQualifiers, Comment };
inline constexpr int kCategoryCount = 5;

struct TextFormat {
    TColor color = 0;
    qint32 effects = 0;
    friend bool operator==(const TextFormat&, const TextFormat&) = default;
};

// One format per category, indexed by Category.
using CategoryFormats = std::array<TextFormat, kCategoryCount>;

inline constexpr TColor kBlack = 0x00000000;
inline constexpr TColor kWhite = 0x00FFFFFF;
inline constexpr TColor kRed = 0x000000FF;

}  // namespace tessory
