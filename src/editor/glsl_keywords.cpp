// SPDX-License-Identifier: MIT
// Kept out of the unity build: the parser's token header declares names such as IN, OUT and
// FLOAT in the global namespace.
#include "editor/glsl_frontend.h"

#include <glslang/MachineIndependent/ParseHelper.h>
#include <glslang/MachineIndependent/ScanContext.h>
#include <glslang/MachineIndependent/glslang_tab.cpp.h>
#include <glslang/MachineIndependent/localintermediate.h>
#include <glslang/MachineIndependent/preprocessor/PpContext.h>

#include <string>

// The front end's scanner entry, which its grammar calls for every token.
int yylex(YYSTYPE*, glslang::TParseContext&);

namespace tessory::glsl::frontend {

using namespace glslang;

namespace {

// The parser's tokens for type names run from bool to the last subpass input, with the two
// storage qualifiers of GLSL 1.10 among them.
bool isTypeToken(int token) {
    return (token >= BOOL && token <= F16SUBPASSINPUTMS && token != ATTRIBUTE &&
            token != VARYING) ||
           token == VOID;
}

}  // namespace

KeywordProbe probeKeywords(const BuiltinTable& builtins, const QStringList& candidates) {
    KeywordProbe probe;
    TPoolAllocator pool;
    PoolScope scope(pool);
    const Settings& s = builtins.settings;
    TSymbolTable table;
    // The levels are only read here, as in every parse that adopts them.
    table.adoptLevels(const_cast<Table&>(builtins.table));
    table.push();
    TIntermediate intermediate(s.language, s.version, s.profile);
    TInfoSink sink;
    TParseContext context(table, intermediate, false, s.version, s.profile, s.spv, s.language, sink,
                          false, s.messages);
    TShader::ForbidIncluder includer;
    TPpContext pp(context, "", includer);
    TScanContext scan(context);
    context.setScanContext(&scan);
    context.setPpContext(&pp);
    context.initializeExtensionBehavior();
    std::string words;
    for (const QString& c : candidates) {
        words += c.toStdString();
        words += '\n';
    }
    const char* strings[] = {words.c_str()};
    size_t lengths[] = {words.size()};
    TInputScanner input(1, strings, lengths);
    context.setScanner(&input);
    pp.setInput(input, false);
    // Their stages are written with these extensions; without them the scanner knows none of
    // their words.
    if (s.language >= EShLangRayGen && s.language <= EShLangCallable)
        context.updateExtensionBehavior(0, E_GL_EXT_ray_tracing, "enable");
    if (s.language == EShLangTask || s.language == EShLangMesh)
        context.updateExtensionBehavior(0, E_GL_EXT_mesh_shader, "enable");
    // One token a word. A word the context reserves comes back with an error, one it does not
    // know as an identifier or a type name.
    for (const QString& c : candidates) {
        YYSTYPE value;
        const int errors = context.getNumErrors();
        const int token = yylex(&value, context);
        if (token <= 0 || token == IDENTIFIER || token == TYPE_NAME ||
            context.getNumErrors() != errors)
            continue;
        (isTypeToken(token) ? probe.types : probe.keywords) << c;
    }
    return probe;
}

}  // namespace tessory::glsl::frontend
