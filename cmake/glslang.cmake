# SPDX-License-Identifier: MIT
# Khronos' GLSL front end and SPIR-V generator (Debian: glslang-dev) and the SPIR-V validator
# (spirv-tools), all static libraries. glslang's SPIRV target names the SPIRV-Tools libraries,
# whose own configurations make them imported targets. libshaderc_combined must never be linked
# beside them: it carries a copy of both, and the two copies' symbols collide.
include_guard(GLOBAL)
find_package(glslang CONFIG REQUIRED)
find_package(SPIRV-Tools CONFIG REQUIRED)
find_package(SPIRV-Tools-opt CONFIG REQUIRED)
find_package(SPIRV-Tools-link CONFIG REQUIRED)
