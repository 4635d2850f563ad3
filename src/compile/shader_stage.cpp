// SPDX-License-Identifier: MIT
#include "compile/shader_stage.h"

namespace tessory {
namespace {

struct StageFacts {
    ShaderStage stage;
    QStringView word;
    QStringView name;
    GlEnum glType;
};

constexpr StageFacts kFacts[] = {
    {ShaderStage::Vertex, u"vert", u"vertex", 0x8B31},
    {ShaderStage::Fragment, u"frag", u"fragment", 0x8B30},
    {ShaderStage::Geometry, u"geom", u"geometry", 0x8DD9},
    {ShaderStage::TessControl, u"tesc", u"tessellation control", 0x8E88},
    {ShaderStage::TessEvaluation, u"tese", u"tessellation evaluation", 0x8E87},
    {ShaderStage::Compute, u"comp", u"compute", 0x91B9},
};

const StageFacts& factsOf(ShaderStage stage) {
    return kFacts[static_cast<int>(stage)];
}

}  // namespace

QString stageWord(ShaderStage stage) {
    return factsOf(stage).word.toString();
}

std::optional<ShaderStage> stageFromWord(QStringView word) {
    for (const StageFacts& facts : kFacts) {
        if (facts.word == word) {
            return facts.stage;
        }
    }
    return std::nullopt;
}

QString stageName(ShaderStage stage) {
    return factsOf(stage).name.toString();
}

GlEnum stageGlType(ShaderStage stage) {
    return factsOf(stage).glType;
}

}  // namespace tessory
