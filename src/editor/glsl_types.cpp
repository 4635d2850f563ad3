// SPDX-License-Identifier: MIT
#include "editor/glsl_types.h"

namespace tessory::glsl {

namespace {

// The vector type names by component type, as the language spells them.
QString vectorPrefix(const QString& scalar) {
    if (scalar == u"float")
        return QStringLiteral("vec");
    if (scalar == u"double")
        return QStringLiteral("dvec");
    if (scalar == u"int")
        return QStringLiteral("ivec");
    if (scalar == u"uint")
        return QStringLiteral("uvec");
    if (scalar == u"bool")
        return QStringLiteral("bvec");
    if (scalar == u"float16_t")
        return QStringLiteral("f16vec");
    // int8_t -> i8vec, uint64_t -> u64vec
    QString bits = scalar;
    bits.remove(QStringLiteral("_t"));
    if (bits.startsWith(u"uint"))
        return u'u' + bits.mid(4) + QStringLiteral("vec");
    if (bits.startsWith(u"int"))
        return u'i' + bits.mid(3) + QStringLiteral("vec");
    return scalar + QStringLiteral("vec");
}

}  // namespace

QString TypeRef::text() const {
    QString s = name;
    for (int size : arrayDims)
        s += size > 0 ? u'[' + QString::number(size) + u']' : QStringLiteral("[]");
    return s;
}

TypeRef TypeRef::withComponents(int count) const {
    TypeRef t;
    t.scalar = scalar;
    t.components = count;
    t.name = count == 1 ? scalar : vectorPrefix(scalar) + QString::number(count);
    return t;
}

TypeRef TypeRef::element() const {
    if (isArray()) {
        TypeRef t = *this;
        t.arrayDims.removeFirst();
        return t;
    }
    if (columns > 0)
        return withComponents(rows);
    if (components >= 2)
        return withComponents(1);
    return {};
}

QString FunctionSignature::parameterText(const Parameter& p) {
    QString s;
    if (!p.qualifier.isEmpty())
        s = p.qualifier + u' ';
    s += p.type.text();
    if (!p.name.isEmpty())
        s += u' ' + p.name;
    return s;
}

QString FunctionSignature::text() const {
    QStringList list;
    for (const Parameter& p : parameters)
        list << parameterText(p);
    return returnType.text() + u' ' + name + u'(' + list.join(QStringLiteral(", ")) + u')';
}

const Field* Aggregate::field(QStringView fieldName) const {
    for (const Field& f : fields) {
        if (f.name == fieldName)
            return &f;
    }
    return nullptr;
}

}  // namespace tessory::glsl
