// SPDX-License-Identifier: MIT
#include "editor/glsl_signature_help.h"

#include "editor/glsl_resolve.h"

namespace tessory::glsl {

std::optional<SignatureHelp> signatureHelp(const Program& program, int document,
                                           const QString& text, TextPosition caret) {
    if (document < 0 || document >= program.size() || !program[document])
        return std::nullopt;
    const ParsedDocument& doc = *program[document];
    const Lexed lexed = lexBefore(text, offsetOf(text, caret));
    if (lexed.inComment)
        return std::nullopt;
    const std::optional<CallSite> call = enclosingCall(text, lexed);
    if (!call)
        return std::nullopt;
    SignatureHelp help;
    help.function = call->name;
    help.activeParameter = call->argument;
    for (const FunctionSignature& f : userOverloads(doc, call->name))
        help.overloads << f;
    if (doc.builtins) {
        if (const auto* builtins = doc.builtins->functions(call->name))
            help.overloads << *builtins;
    }
    if (help.overloads.isEmpty()) {
        const Aggregate* a = doc.aggregate(call->name);
        if (!a || a->block)
            return std::nullopt;
        FunctionSignature constructor;
        constructor.name = a->name;
        constructor.returnType = *typeNamed(doc, a->name);
        for (const Field& f : a->fields)
            constructor.parameters << Parameter{f.name, f.type, {}};
        help.overloads << constructor;
    }
    for (qsizetype i = 0; i < help.overloads.size(); ++i) {
        if (help.overloads[i].parameters.size() > help.activeParameter) {
            help.activeOverload = int(i);
            break;
        }
    }
    return help;
}

}  // namespace tessory::glsl
