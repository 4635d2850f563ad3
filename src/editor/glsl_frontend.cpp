// SPDX-License-Identifier: MIT
#include "editor/glsl_frontend.h"

#include <glslang/MachineIndependent/Initialize.h>
#include <glslang/MachineIndependent/ParseHelper.h>
#include <glslang/MachineIndependent/ScanContext.h>
#include <glslang/MachineIndependent/localintermediate.h>
#include <glslang/MachineIndependent/preprocessor/PpContext.h>
#include <glslang/Public/ResourceLimits.h>

#include <chrono>
#include <map>
#include <memory>
#include <mutex>
#include <tuple>

namespace tessory::glsl::frontend {

using namespace glslang;

void ensureProcess() {
    static std::once_flag once;
    std::call_once(once, [] { InitializeProcess(); });
}

PoolScope::PoolScope(TPoolAllocator& pool) {
    ensureProcess();
    // A thread that never parsed has no pool yet: the front end hands out a null one then.
    previous_ = &GetThreadPoolAllocator();
    SetThreadPoolAllocator(&pool);
}

PoolScope::~PoolScope() {
    SetThreadPoolAllocator(previous_);
}

Settings settingsFor(const LanguageContext& context) {
    Settings s;
    s.version = context.version;
    switch (context.profile) {
        case Profile::None:
            s.profile = ENoProfile;
            break;
        case Profile::Core:
            s.profile = ECoreProfile;
            break;
        case Profile::Compatibility:
            s.profile = ECompatibilityProfile;
            break;
        case Profile::Es:
            s.profile = EEsProfile;
            break;
    }
    static_assert(int(Stage::Mesh) == int(EShLangMesh) && int(Stage::RayGen) == int(EShLangRayGen));
    s.language = static_cast<EShLanguage>(context.stage);
    s.messages = EShMsgCascadingErrors;
    if (context.target == Target::Vulkan) {
        // What the front end's own tool sets for --target-env vulkan1.2.
        s.spv.spv = EShTargetSpv_1_5;
        s.spv.vulkanGlsl = 100;
        s.spv.vulkan = EShTargetVulkan_1_2;
        s.messages = static_cast<EShMessages>(s.messages | EShMsgSpvRules | EShMsgVulkanRules);
    }
    return s;
}

namespace {

// One string of builtin declarations into a new level, as the front end fills its own tables.
void parseBuiltins(const TString& text, const Settings& s, EShLanguage language, Table& table) {
    table.push();
    if (text.empty())
        return;
    TIntermediate intermediate(language, s.version, s.profile);
    intermediate.setSource(EShSourceGlsl);
    TInfoSink sink;
    TParseContext context(table, intermediate, true, s.version, s.profile, s.spv, language, sink,
                          false, EShMsgDefault);
    TShader::ForbidIncluder includer;
    TPpContext pp(context, "", includer);
    TScanContext scan(context);
    context.setScanContext(&scan);
    context.setPpContext(&pp);
    const char* strings[] = {text.c_str()};
    size_t lengths[] = {text.size()};
    TInputScanner input(1, strings, lengths);
    context.parseShaderStrings(pp, input);
}

std::unique_ptr<BuiltinTable> buildTable(const LanguageContext& context) {
    const auto start = std::chrono::steady_clock::now();
    auto t = std::make_unique<BuiltinTable>();
    t->context = context;
    t->settings = settingsFor(context);
    const Settings& s = t->settings;
    PoolScope scope(t->pool);
    // The common declarations are read as a vertex shader's, except ES fragment shaders', whose
    // default precisions differ.
    const EShLanguage common =
        s.profile == EEsProfile && s.language == EShLangFragment ? EShLangFragment : EShLangVertex;
    {
        TBuiltIns builtIns;
        builtIns.initialize(s.version, s.profile, s.spv);
        parseBuiltins(builtIns.getCommonString(), s, common, t->table);
        parseBuiltins(builtIns.getStageString(s.language), s, s.language, t->table);
        builtIns.identifyBuiltIns(s.version, s.profile, s.spv, s.language, t->table);
    }
    {
        const TBuiltInResource& resources = *GetDefaultResources();
        TBuiltIns builtIns;
        builtIns.initialize(resources, s.version, s.profile, s.spv, s.language);
        parseBuiltins(builtIns.getCommonString(), s, s.language, t->table);
        builtIns.identifyBuiltIns(s.version, s.profile, s.spv, s.language, t->table, resources);
    }
    if (s.profile == EEsProfile && s.version >= 300)
        t->table.setNoBuiltInRedeclarations();
    if (s.version == 110)
        t->table.setSeparateNameSpaces();
    t->table.readOnly();
    t->buildMilliseconds =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    return t;
}

}  // namespace

const BuiltinTable& builtinTable(const LanguageContext& context) {
    static std::mutex mutex;
    static std::map<std::tuple<int, int, int, int>, std::unique_ptr<BuiltinTable>> tables;
    const auto key = std::make_tuple(context.version, int(context.profile), int(context.target),
                                     int(context.stage));
    std::lock_guard lock(mutex);
    std::unique_ptr<BuiltinTable>& t = tables[key];
    if (!t)
        t = buildTable(context);
    return *t;
}

QString text(const TString& s) {
    return QString::fromLatin1(s.data(), qsizetype(s.size()));
}

namespace {

QString scalarName(TBasicType basic) {
    switch (basic) {
        case EbtVoid:
            return QStringLiteral("void");
        case EbtFloat:
            return QStringLiteral("float");
        case EbtDouble:
            return QStringLiteral("double");
        case EbtFloat16:
            return QStringLiteral("float16_t");
        case EbtInt8:
            return QStringLiteral("int8_t");
        case EbtUint8:
            return QStringLiteral("uint8_t");
        case EbtInt16:
            return QStringLiteral("int16_t");
        case EbtUint16:
            return QStringLiteral("uint16_t");
        case EbtInt:
            return QStringLiteral("int");
        case EbtUint:
            return QStringLiteral("uint");
        case EbtInt64:
            return QStringLiteral("int64_t");
        case EbtUint64:
            return QStringLiteral("uint64_t");
        case EbtBool:
            return QStringLiteral("bool");
        case EbtAtomicUint:
            return QStringLiteral("atomic_uint");
        case EbtAccStruct:
            return QStringLiteral("accelerationStructureEXT");
        case EbtRayQuery:
            return QStringLiteral("rayQueryEXT");
        default:
            return QString::fromLatin1(TType::getBasicString(basic));
    }
}

QString matrixPrefix(const QString& scalar) {
    if (scalar == u"double")
        return QStringLiteral("dmat");
    if (scalar == u"float16_t")
        return QStringLiteral("f16mat");
    return QStringLiteral("mat");
}

}  // namespace

TypeRef typeRef(const TType& type) {
    TypeRef r;
    const TBasicType basic = type.getBasicType();
    if (basic == EbtStruct || basic == EbtBlock) {
        r.name = text(type.getTypeName());
        r.aggregate = true;
    } else if (basic == EbtSampler) {
        r.name = text(type.getSampler().getString());
    } else {
        r.scalar = scalarName(basic);
        if (type.isMatrix()) {
            r.columns = type.getMatrixCols();
            r.rows = type.getMatrixRows();
            r.name = matrixPrefix(r.scalar) + QString::number(r.columns);
            if (r.rows != r.columns)
                r.name += u'x' + QString::number(r.rows);
        } else if (basic == EbtVoid) {
            r.name = r.scalar;
            r.scalar.clear();
        } else {
            r = r.withComponents(type.isVector() ? type.getVectorSize() : 1);
        }
    }
    if (type.isArray()) {
        const TArraySizes& sizes = *type.getArraySizes();
        for (int d = 0; d < sizes.getNumDims(); ++d)
            r.arrayDims << sizes.getDimSize(d);
    }
    return r;
}

QString storageText(const TQualifier& q) {
    switch (q.storage) {
        case EvqConst:
            return QStringLiteral("const");
        case EvqUniform:
            return QStringLiteral("uniform");
        case EvqBuffer:
            return QStringLiteral("buffer");
        case EvqShared:
            return QStringLiteral("shared");
        case EvqPayload:
            return QStringLiteral("rayPayloadEXT");
        case EvqPayloadIn:
            return QStringLiteral("rayPayloadInEXT");
        case EvqHitAttr:
            return QStringLiteral("hitAttributeEXT");
        case EvqCallableData:
            return QStringLiteral("callableDataEXT");
        case EvqCallableDataIn:
            return QStringLiteral("callableDataInEXT");
        case EvqtaskPayloadSharedEXT:
            return QStringLiteral("taskPayloadSharedEXT");
        default:
            break;
    }
    if (q.isPipeInput())
        return QStringLiteral("in");
    if (q.isPipeOutput())
        return QStringLiteral("out");
    return {};
}

FunctionSignature signature(const TFunction& function) {
    FunctionSignature f;
    f.name = text(function.getName());
    f.returnType = typeRef(function.getType());
    for (int i = 0; i < function.getParamCount(); ++i) {
        const TParameter& p = function[i];
        Parameter parameter;
        if (p.name)
            parameter.name = text(*p.name);
        parameter.type = typeRef(*p.type);
        const TStorageQualifier storage = p.type->getQualifier().storage;
        if (storage == EvqOut)
            parameter.qualifier = QStringLiteral("out");
        if (storage == EvqInOut)
            parameter.qualifier = QStringLiteral("inout");
        f.parameters << parameter;
    }
    return f;
}

void collectAggregates(const TType& type, Aggregates& into, const PlaceOf& place) {
    const TTypeList* members = type.getStruct();
    if (!members || (type.getBasicType() != EbtStruct && type.getBasicType() != EbtBlock))
        return;
    const QString name = text(type.getTypeName());
    if (into.contains(name))
        return;
    Aggregate& a = into[name];
    a.name = name;
    a.block = type.getBasicType() == EbtBlock;
    for (const TTypeLoc& member : *members) {
        if (member.type->hiddenMember())
            continue;
        Field f;
        f.name = text(member.type->getFieldName());
        f.type = typeRef(*member.type);
        if (place)
            place(member.loc, f);
        a.fields << f;
    }
    for (const TTypeLoc& member : *members)
        collectAggregates(*member.type, into, place);
}

}  // namespace tessory::glsl::frontend
