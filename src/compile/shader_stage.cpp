// SPDX-License-Identifier: MIT
#include "compile/shader_stage.h"

namespace tessory {
namespace {

struct StageFacts {
    ShaderStage stage;
    QStringView word;
    QStringView name;
    QByteArrayView pragma;
    GlEnum glType;
};

constexpr StageFacts kFacts[] = {
    {ShaderStage::Vertex, u"vert", u"vertex", "vertex", 0x8B31},
    {ShaderStage::Fragment, u"frag", u"fragment", "fragment", 0x8B30},
    {ShaderStage::Geometry, u"geom", u"geometry", "geometry", 0x8DD9},
    {ShaderStage::TessControl, u"tesc", u"tessellation control", "tesscontrol", 0x8E88},
    {ShaderStage::TessEvaluation, u"tese", u"tessellation evaluation", "tesseval", 0x8E87},
    {ShaderStage::Compute, u"comp", u"compute", "compute", 0x91B9},
    {ShaderStage::RayGeneration, u"rgen", u"ray generation", "raygen", 0},
    {ShaderStage::Intersection, u"rint", u"intersection", "intersect", 0},
    {ShaderStage::AnyHit, u"rahit", u"any-hit", "anyhit", 0},
    {ShaderStage::ClosestHit, u"rchit", u"closest-hit", "closesthit", 0},
    {ShaderStage::Miss, u"rmiss", u"miss", "miss", 0},
    {ShaderStage::Callable, u"rcall", u"callable", "callable", 0},
    {ShaderStage::Mesh, u"mesh", u"mesh", "mesh", 0},
    {ShaderStage::Task, u"task", u"task", "task", 0},
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

std::optional<ShaderStage> stageFromPragmaName(QByteArrayView name) {
    for (const StageFacts& facts : kFacts) {
        if (facts.pragma == name) {
            return facts.stage;
        }
    }
    return std::nullopt;
}

GlEnum stageGlType(ShaderStage stage) {
    return factsOf(stage).glType;
}

bool isVulkanOnly(ShaderStage stage) {
    return factsOf(stage).glType == 0;
}

}  // namespace tessory
