// SPDX-License-Identifier: MIT
#pragma once

#include "compile/shader_stage.h"
#include "workspace/name_rules.h"

#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

namespace tessory {

// What a file name says about a shader: its stage and the base name its program goes by.
struct StageName {
    ShaderStage stage = ShaderStage::Vertex;
    QString baseName;
    // False when only the stage's usual extension gave it (".vert" while the vertex extensions
    // are ".vs"): such a file is compiled on its own and joins no program.
    bool configured = true;
};

// The file name extensions of every stage, dot included, each stage's in the order given; by
// default each stage's word (".vert", ".frag", ..., ".rgen", ".mesh").
class StageExtensions {
public:
    StageExtensions();

    const QStringList& of(ShaderStage stage) const { return lists_[std::size_t(stage)]; }
    void set(ShaderStage stage, const QStringList& extensions);
    // The first vertex and fragment extensions: the pair of the WorkSpace list.
    PairExtensions pair() const;

    // A stage's extension at the end of the name, in any A-Z letter case, the longest that fits;
    // or one followed by ".glsl" (water.vert.glsl). Then the usual extensions. The base name is
    // what comes before the extension and is never empty.
    std::optional<StageName> stageOfName(const QString& fileName) const;

private:
    std::array<QStringList, std::size(kAllStages)> lists_;
};

// Whether the name ends in ".glsl", in any A-Z letter case: a file that is a stage only by a
// double extension or by its stage pragma, and otherwise one that others include.
bool isGlslFileName(const QString& fileName);

// The stage a `#pragma shader_stage(NAME)` line of the source names, the first such line.
std::optional<ShaderStage> pragmaStage(QByteArrayView source);

}  // namespace tessory
