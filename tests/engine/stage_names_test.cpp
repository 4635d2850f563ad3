// SPDX-License-Identifier: MIT
// What a file's name and text say about its stage.
#include "compile/stage_names.h"
#include "support/qt_printers.h"

#include <gtest/gtest.h>

using namespace tessory;

namespace {

std::optional<std::pair<ShaderStage, QString>> named(const StageExtensions& extensions,
                                                     const QString& name, bool configured = true) {
    const std::optional<StageName> found = extensions.stageOfName(name);
    if (!found || found->configured != configured) {
        return std::nullopt;
    }
    return std::pair{found->stage, found->baseName};
}

TEST(StageNames, ExtensionsDoubleExtensionsAndTheUsualOnes) {
    StageExtensions extensions;
    extensions.set(ShaderStage::Vertex, {".vs", ".vert"});
    extensions.set(ShaderStage::Fragment, {".fs"});
    extensions.set(ShaderStage::Geometry, {".gs", ".geom.gs"});
    using P = std::pair<ShaderStage, QString>;
    EXPECT_EQ(named(extensions, "1.colors.vs"), (P{ShaderStage::Vertex, "1.colors"}));
    EXPECT_EQ(named(extensions, "Water.VERT"), (P{ShaderStage::Vertex, "Water"}));
    EXPECT_EQ(named(extensions, "water.fs.glsl"), (P{ShaderStage::Fragment, "water"}));
    // The longest extension that fits wins.
    EXPECT_EQ(named(extensions, "lines.geom.gs"), (P{ShaderStage::Geometry, "lines"}));
    // .frag is no longer the fragment stage's, but still a fragment shader's usual name.
    EXPECT_EQ(named(extensions, "old.frag", false), (P{ShaderStage::Fragment, "old"}));
    EXPECT_EQ(named(extensions, "ray.rgen"), (P{ShaderStage::RayGeneration, "ray"}));
    EXPECT_EQ(extensions.stageOfName(".vs"), std::nullopt);
    EXPECT_EQ(extensions.stageOfName("lighting.glsl"), std::nullopt);
    EXPECT_EQ(extensions.stageOfName("notes.txt"), std::nullopt);
    EXPECT_EQ(extensions.pair().vertex, ".vs");
    EXPECT_EQ(extensions.pair().fragment, ".fs");
}

TEST(StageNames, StagePragmaAtTheStartOfALine) {
    EXPECT_EQ(pragmaStage("// sky\n  #  pragma   shader_stage( fragment )\nvoid main() {}"),
              ShaderStage::Fragment);
    EXPECT_EQ(pragmaStage("#pragma shader_stage(closesthit)\n"), ShaderStage::ClosestHit);
    EXPECT_EQ(pragmaStage("#pragma shader_stage(pixel)\n"), std::nullopt);
    EXPECT_EQ(pragmaStage("x; #pragma shader_stage(vertex)\n"), std::nullopt);
    EXPECT_EQ(pragmaStage("#pragma optimize(off)\nint shader_stage;\n"), std::nullopt);
    EXPECT_EQ(pragmaStage("#pragma shader_stage\n"), std::nullopt);
}

}  // namespace
