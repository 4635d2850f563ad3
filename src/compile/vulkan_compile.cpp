// SPDX-License-Identifier: MIT
#include "compile/vulkan_compile.h"

#include <glslang/Public/ResourceLimits.h>
#include <glslang/Public/ShaderLang.h>
#include <glslang/SPIRV/GlslangToSpv.h>
#include <spirv-tools/libspirv.hpp>

#include <limits>
#include <memory>
#include <mutex>
#include <vector>

namespace tessory {
namespace {

EShLanguage languageOf(ShaderStage stage) {
    switch (stage) {
        case ShaderStage::Vertex:
            return EShLangVertex;
        case ShaderStage::Fragment:
            return EShLangFragment;
        case ShaderStage::Geometry:
            return EShLangGeometry;
        case ShaderStage::TessControl:
            return EShLangTessControl;
        case ShaderStage::TessEvaluation:
            return EShLangTessEvaluation;
        case ShaderStage::Compute:
            return EShLangCompute;
        case ShaderStage::RayGeneration:
            return EShLangRayGen;
        case ShaderStage::Intersection:
            return EShLangIntersect;
        case ShaderStage::AnyHit:
            return EShLangAnyHit;
        case ShaderStage::ClosestHit:
            return EShLangClosestHit;
        case ShaderStage::Miss:
            return EShLangMiss;
        case ShaderStage::Callable:
            return EShLangCallable;
        case ShaderStage::Mesh:
            return EShLangMesh;
        case ShaderStage::Task:
            break;
    }
    return EShLangTask;
}

struct Environment {
    glslang::EShTargetClientVersion client;
    glslang::EShTargetLanguageVersion spirv;
    spv_target_env validator;
};

// Each Vulkan version with the newest SPIR-V it takes.
Environment environmentOf(VulkanVersion version) {
    switch (version) {
        case VulkanVersion::V1_0:
            return {glslang::EShTargetVulkan_1_0, glslang::EShTargetSpv_1_0, SPV_ENV_VULKAN_1_0};
        case VulkanVersion::V1_1:
            return {glslang::EShTargetVulkan_1_1, glslang::EShTargetSpv_1_3, SPV_ENV_VULKAN_1_1};
        case VulkanVersion::V1_2:
            return {glslang::EShTargetVulkan_1_2, glslang::EShTargetSpv_1_5, SPV_ENV_VULKAN_1_2};
        case VulkanVersion::V1_3:
            break;
    }
    return {glslang::EShTargetVulkan_1_3, glslang::EShTargetSpv_1_6, SPV_ENV_VULKAN_1_3};
}

// The front end keeps its built-in symbol tables for the process once it has made them.
void initialiseOnce() {
    static std::once_flag once;
    std::call_once(once, [] { glslang::InitializeProcess(); });
}

constexpr EShMessages kMessages = EShMessages(EShMsgSpvRules | EShMsgVulkanRules);

QStringList validate(const std::vector<unsigned int>& words, spv_target_env environment) {
    QStringList messages;
    spvtools::SpirvTools tools(environment);
    tools.SetMessageConsumer(
        [&messages](spv_message_level_t, const char*, const spv_position_t&, const char* message) {
            messages.append(QString::fromUtf8(message));
        });
    tools.Validate(words.data(), words.size());
    return messages;
}

}  // namespace

VulkanRun runVulkanProgram(const QList<StageText>& stages, VulkanVersion version) {
    initialiseOnce();
    const Environment environment = environmentOf(version);
    VulkanRun run;
    // Declared before the program, which refers to them, so that they outlive it.
    std::vector<std::unique_ptr<glslang::TShader>> shaders;
    bool compiled = true;
    for (const StageText& stage : stages) {
        auto shader = std::make_unique<glslang::TShader>(languageOf(stage.stage));
        const char* text = stage.text.constData();
        const int length =
            int(std::min<qsizetype>(stage.text.size(), std::numeric_limits<int>::max()));
        shader->setStringsWithLengths(&text, &length, 1);
        shader->setEnvInput(glslang::EShSourceGlsl, languageOf(stage.stage),
                            glslang::EShClientVulkan, 100);
        shader->setEnvClient(glslang::EShClientVulkan, environment.client);
        shader->setEnvTarget(glslang::EShTargetSpv, environment.spirv);
        compiled = shader->parse(GetDefaultResources(), 100, false, kMessages) && compiled;
        run.logs.append(QByteArray(shader->getInfoLog()));
        shaders.push_back(std::move(shader));
    }
    for (qsizetype i = 0; i < stages.size(); ++i) {
        run.validation.append(QStringList());
        run.generated.append(false);
    }
    if (!compiled) {
        return run;
    }
    glslang::TProgram program;
    for (const auto& shader : shaders) {
        program.addShader(shader.get());
    }
    run.linked = program.link(kMessages);
    run.linkLog = QByteArray(program.getInfoLog());
    if (!run.linked) {
        return run;
    }
    for (qsizetype i = 0; i < stages.size(); ++i) {
        const glslang::TIntermediate* intermediate =
            program.getIntermediate(languageOf(stages[i].stage));
        if (intermediate == nullptr) {
            continue;
        }
        std::vector<unsigned int> words;
        spv::SpvBuildLogger logger;
        glslang::SpvOptions options;
        glslang::GlslangToSpv(*intermediate, words, &logger, &options);
        if (words.empty()) {
            continue;
        }
        run.generated[i] = true;
        run.validation[i] = validate(words, environment.validator);
    }
    return run;
}

}  // namespace tessory
