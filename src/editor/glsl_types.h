// SPDX-License-Identifier: MIT
#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringView>

namespace tessory::glsl {

// A GLSL type as a program spells it, with what member access and indexing need to know.
struct TypeRef {
    QString name;          // "vec3", "mat2x3", "Light", "sampler2D"; empty for no type
    QString scalar;        // the component type of a scalar, vector or matrix: "float", "int", ...
    QList<int> arrayDims;  // outermost first; 0 for a dimension without a size
    int components = 0;    // 1 for a scalar, 2 to 4 for a vector, 0 otherwise
    int columns = 0;       // a matrix's columns and rows
    int rows = 0;
    bool aggregate = false;  // a struct or block, whose fields are kept under `name`

    bool isArray() const { return !arrayDims.isEmpty(); }
    bool isVector() const { return components >= 2 && !isArray(); }
    QString text() const;  // "vec3[4]"
    // What `[i]` gives: one array dimension less, a matrix's column, a vector's component.
    TypeRef element() const;
    // The scalar or vector of the same component type with `count` components (a swizzle).
    TypeRef withComponents(int count) const;
    friend bool operator==(const TypeRef&, const TypeRef&) = default;
};

struct Parameter {
    QString name;  // empty where the declaration gives none, as for most builtins
    TypeRef type;
    QString qualifier;  // "out", "inout" or empty for an input
};

struct FunctionSignature {
    QString name;
    TypeRef returnType;
    QList<Parameter> parameters;
    QString text() const;  // "vec3 mix(vec3 x, vec3 y, float a)"
    // One parameter as text() writes it.
    static QString parameterText(const Parameter& parameter);
};

// A member of a struct or block; its place is known for user types only (line -1 otherwise).
struct Field {
    QString name;
    TypeRef type;
    QString file;
    int line = -1;
    int column = -1;
};

struct Aggregate {
    QString name;
    bool block = false;
    QList<Field> fields;
    const Field* field(QStringView fieldName) const;
};

using Aggregates = QHash<QString, Aggregate>;

}  // namespace tessory::glsl
