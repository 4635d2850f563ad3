// SPDX-License-Identifier: MIT
#include "compile/shader_message.h"

namespace tessory {

ShaderStage sideStage(PairSide side) {
    switch (side) {
        case PairSide::Vertex: return ShaderStage::Vertex;
        case PairSide::Fragment: return ShaderStage::Fragment;
        case PairSide::Geometry: return ShaderStage::Geometry;
        case PairSide::TessControl: return ShaderStage::TessControl;
        case PairSide::TessEval: return ShaderStage::TessEvaluation;
        case PairSide::Compute: return ShaderStage::Compute;
        // Not a stage of its own: compiled as part of the stages that include it.
        case PairSide::Included: break;
    }
    return ShaderStage::Vertex;
}

MessageOrigin compileOrigin(ShaderStage stage) {
    switch (stage) {
        case ShaderStage::Vertex:
            return MessageOrigin::VertexCompile;
        case ShaderStage::Fragment:
            return MessageOrigin::FragmentCompile;
        case ShaderStage::Geometry:
            return MessageOrigin::GeometryCompile;
        case ShaderStage::TessControl:
            return MessageOrigin::TessControlCompile;
        case ShaderStage::TessEvaluation:
            return MessageOrigin::TessEvaluationCompile;
        case ShaderStage::Compute:
            return MessageOrigin::ComputeCompile;
        default:
            break;
    }
    return MessageOrigin::StageCompile;
}

ShaderMessage messageAt(const SourceLocation& at, MessageSeverity severity, QString text,
                        MessageOrigin origin, std::optional<ShaderStage> stage,
                        QList<SourceLocation> includedFrom) {
    ShaderMessage message{at.path, at.line, severity, std::move(text), origin, at.column, stage};
    message.includedFrom = std::move(includedFrom);
    return message;
}

}  // namespace tessory
