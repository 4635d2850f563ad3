// SPDX-License-Identifier: MIT
#include "editor/keyword_table.h"

#include <algorithm>
#include <utility>

namespace tessory {

namespace {

// The vocabulary in the order in which the words enter the table, category by category.
constexpr const char* kDataTypes[] = {
    "void",
    "bool",
    "int",
    "float",
    "struct",
    "vec2",
    "vec3",
    "vec4",
    "bvec2",
    "bvec3",
    "bvec4",
    "ivec2",
    "ivec3",
    "ivec4",
    "mat2",
    "mat3",
    "mat4",
    "sampler1D",
    "sampler2D",
    "sampler3D",
    "samplerCube",
    "sampler1DShadow",
    "sampler2DShadow",
};

constexpr const char* kFunctionNames[] = {
    "radians",
    "degrees",
    "sin",
    "cos",
    "tan",
    "asin",
    "acos",
    "atan",
    "pow",
    "exp2",
    "log2",
    "sqrt",
    "inversesqrt",
    "abs",
    "sign",
    "floor",
    "ceil",
    "fract",
    "mod",
    "min",
    "max",
    "clamp",
    "mix",
    "step",
    "smoothstep",
    "length",
    "distance",
    "dot",
    "cross",
    "normalize",
    "ftransform",
    "faceforward",
    "reflect",
    "matrixcompmult",
    "lessThan",
    "lessThanEqual",
    "greaterThan",
    "greaterThanEqual",
    "equal",
    "notEqual",
    "any",
    "all",
    "not",
    "texture1D",
    "texture1DProj",
    "texture1DLod",
    "texture1DProjLod",
    "texture2D",
    "texture2DProj",
    "texture2DLod",
    "texture2DProjLod",
    "texture3D",
    "texture3DProj",
    "texture3DLod",
    "texture3DProjLod",
    "textureCube",
    "textureCubeLod",
    "shadow1D",
    "shadow2D",
    "shadow1DProj",
    "shadow2DProj",
    "shadow1DLod",
    "shadow2DLod",
    "shadow1DProjLod",
    "shadow2DProjLod",
    "noise1",
    "noise2",
    "noise3",
    "noise4",
    "discard",
    "dFdx",
    "dFdy",
    "fwidth",
};

constexpr const char* kStateVars[] = {
    "gl_Position",
    "gl_PointSize",
    "gl_ClipVertex",
    "gl_Color",
    "gl_SecondaryColor",
    "gl_Normal",
    "gl_Vertex",
    "gl_MultiTexCoord0",
    "gl_MultiTexCoord1",
    "gl_MultiTexCoord2",
    "gl_MultiTexCoord3",
    "gl_MultiTexCoord4",
    "gl_MultiTexCoord5",
    "gl_MultiTexCoord6",
    "gl_MultiTexCoord7",
    "gl_FogCoord",
    "gl_FragColor",
    "gl_FragDepth",
    "gl_FragCoord",
    "gl_FrontFacing",
    "gl_FrontColor",
    "gl_BackColor",
    "gl_FrontSecondaryColor",
    "gl_BackSecondaryColor",
    "gl_TexCoord[0]",
    "gl_TexCoord[1]",
    "gl_TexCoord[2]",
    "gl_TexCoord[3]",
    "gl_TexCoord[4]",
    "gl_TexCoord[5]",
    "gl_TexCoord[6]",
    "gl_TexCoord[7]",
    "gl_ModelViewMatrix",
    "gl_ProjectionMatrix",
    "gl_ModelViewProjectionMatrix",
    "gl_NormalMatrix",
    "gl_TextureMatrix[0]",
    "gl_TextureMatrix[1]",
    "gl_TextureMatrix[2]",
    "gl_TextureMatrix[3]",
    "gl_TextureMatrix[4]",
    "gl_TextureMatrix[5]",
    "gl_TextureMatrix[6]",
    "gl_TextureMatrix[7]",
    "gl_NormalScale",
    "gl_DepthRange",
    "gl_ClipPlane[0]",
    "gl_ClipPlane[1]",
    "gl_ClipPlane[2]",
    "gl_ClipPlane[3]",
    "gl_Point",
    "gl_FrontMaterial",
    "gl_BackMaterial",
    "gl_LightSource[0]",
    "gl_LightSource[1]",
    "gl_LightSource[2]",
    "gl_LightSource[3]",
    "gl_LightSource[4]",
    "gl_LightSource[5]",
    "gl_LightSource[6]",
    "gl_LightSource[7]",
    "gl_LightModel",
    "gl_FrontLightModelProduct",
    "gl_BackLightModelProduct",
    "gl_Fog",
    "gl_FrontLightProduct[0]",
    "gl_FrontLightProduct[1]",
    "gl_FrontLightProduct[2]",
    "gl_FrontLightProduct[3]",
    "gl_FrontLightProduct[4]",
    "gl_FrontLightProduct[5]",
    "gl_FrontLightProduct[6]",
    "gl_FrontLightProduct[7]",
    "gl_BackLightProduct[0]",
    "gl_BackLightProduct[1]",
    "gl_BackLightProduct[2]",
    "gl_BackLightProduct[3]",
    "gl_BackLightProduct[4]",
    "gl_BackLightProduct[5]",
    "gl_BackLightProduct[6]",
    "gl_BackLightProduct[7]",
    "gl_TextureEnvColor[0]",
    "gl_TextureEnvColor[1]",
    "gl_TextureEnvColor[2]",
    "gl_TextureEnvColor[3]",
    "gl_TextureEnvColor[4]",
    "gl_TextureEnvColor[5]",
    "gl_TextureEnvColor[6]",
    "gl_TextureEnvColor[7]",
    "gl_EyePlaneS[0]",
    "gl_EyePlaneS[1]",
    "gl_EyePlaneS[2]",
    "gl_EyePlaneS[3]",
    "gl_EyePlaneS[4]",
    "gl_EyePlaneS[5]",
    "gl_EyePlaneS[6]",
    "gl_EyePlaneS[7]",
    "gl_EyePlaneT[0]",
    "gl_EyePlaneT[1]",
    "gl_EyePlaneT[2]",
    "gl_EyePlaneT[3]",
    "gl_EyePlaneT[4]",
    "gl_EyePlaneT[5]",
    "gl_EyePlaneT[6]",
    "gl_EyePlaneT[7]",
    "gl_EyePlaneR[0]",
    "gl_EyePlaneR[1]",
    "gl_EyePlaneR[2]",
    "gl_EyePlaneR[3]",
    "gl_EyePlaneR[4]",
    "gl_EyePlaneR[5]",
    "gl_EyePlaneR[6]",
    "gl_EyePlaneR[7]",
    "gl_EyePlaneQ[0]",
    "gl_EyePlaneQ[1]",
    "gl_EyePlaneQ[2]",
    "gl_EyePlaneQ[3]",
    "gl_EyePlaneQ[4]",
    "gl_EyePlaneQ[5]",
    "gl_EyePlaneQ[6]",
    "gl_EyePlaneQ[7]",
    "gl_ObjectPlaneS[0]",
    "gl_ObjectPlaneS[1]",
    "gl_ObjectPlaneS[2]",
    "gl_ObjectPlaneS[3]",
    "gl_ObjectPlaneS[4]",
    "gl_ObjectPlaneS[5]",
    "gl_ObjectPlaneS[6]",
    "gl_ObjectPlaneS[7]",
    "gl_ObjectPlaneT[0]",
    "gl_ObjectPlaneT[1]",
    "gl_ObjectPlaneT[2]",
    "gl_ObjectPlaneT[3]",
    "gl_ObjectPlaneT[4]",
    "gl_ObjectPlaneT[5]",
    "gl_ObjectPlaneT[6]",
    "gl_ObjectPlaneT[7]",
    "gl_ObjectPlaneR[0]",
    "gl_ObjectPlaneR[1]",
    "gl_ObjectPlaneR[2]",
    "gl_ObjectPlaneR[3]",
    "gl_ObjectPlaneR[4]",
    "gl_ObjectPlaneR[5]",
    "gl_ObjectPlaneR[6]",
    "gl_ObjectPlaneR[7]",
    "gl_ObjectPlaneQ[0]",
    "gl_ObjectPlaneQ[1]",
    "gl_ObjectPlaneQ[2]",
    "gl_ObjectPlaneQ[3]",
    "gl_ObjectPlaneQ[4]",
    "gl_ObjectPlaneQ[5]",
    "gl_ObjectPlaneQ[6]",
    "gl_ObjectPlaneQ[7]",
};

constexpr const char* kTypeQualifiers[] = {
    "const", "uniform", "attribute", "varying", "in", "out", "inout",
};

template <std::size_t N>
void appendCategory(std::vector<VocabularyWord>& words, const char* const (&list)[N], Category c) {
    for (const char* w : list) {
        words.push_back({QLatin1StringView(w), c});
    }
}

std::vector<VocabularyWord> makeVocabulary() {
    std::vector<VocabularyWord> words;
    words.reserve(kKeywordCount);
    appendCategory(words, kDataTypes, Category::DataTypes);
    appendCategory(words, kFunctionNames, Category::FunctionNames);
    appendCategory(words, kStateVars, Category::StateVars);
    appendCategory(words, kTypeQualifiers, Category::TypeQualifiers);
    return words;
}

// Ordinal order of UTF-16 code units. The keywords are ASCII, so this is the order of the
// Windows-1252 bytes as well: every character beyond ASCII sorts after every ASCII one.
int compareOrdinal(QStringView token, QLatin1StringView keyword) {
    const qsizetype n = std::min(token.size(), keyword.size());
    const char16_t* t = token.utf16();
    const char* k = keyword.data();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t kc = static_cast<unsigned char>(k[i]);
        if (t[i] != kc) {
            return t[i] < kc ? -1 : 1;
        }
    }
    return token.size() == keyword.size() ? 0 : (token.size() < keyword.size() ? -1 : 1);
}

bool keywordGreater(QLatin1StringView a, QLatin1StringView b) {
    return a.compare(b, Qt::CaseSensitive) > 0;
}

}  // namespace

const std::vector<VocabularyWord>& keywordVocabulary() {
    static const std::vector<VocabularyWord> words = makeVocabulary();
    return words;
}

void fillKeywordTable(KeywordTable& table, const CategoryFormats& formats) {
    for (KeywordBucket& bucket : table) {
        bucket.clear();
    }
    for (const VocabularyWord& word : keywordVocabulary()) {
        const TextFormat& f = formats[static_cast<int>(word.category)];
        table[word.keyword.size()].push_back({word.keyword, f.color, f.effects});
    }
    for (KeywordBucket& bucket : table) {
        shell_sort(bucket, static_cast<int>(bucket.size()) - 1);
    }
}

void shell_sort(KeywordBucket& bucket, int highIndex) {
    for (int gap = highIndex / 2; gap > 0; gap /= 2) {
        for (int i = 0; i <= highIndex - gap; ++i) {
            int j = i;
            while (j >= 0 && keywordGreater(bucket[j].Keyword, bucket[j + gap].Keyword)) {
                std::swap(bucket[j], bucket[j + gap]);
                j = gap >= j ? 0 : j - gap;
            }
        }
    }
}

int FindTokenFromSearchList(const KeywordBucket& bucket, int highIndex, QStringView token) {
    const int count = highIndex + 1;
    if (count <= 0 || highIndex >= static_cast<int>(bucket.size())) {
        return -1;
    }
    if (count == 1) {
        return compareOrdinal(token, bucket[0].Keyword) == 0 ? 0 : -1;
    }
    if (count == 2) {
        // Two entries are not sorted (see shell_sort), so both are compared.
        int result = -1;
        if (compareOrdinal(token, bucket[0].Keyword) == 0) {
            result = 0;
        }
        if (compareOrdinal(token, bucket[1].Keyword) == 0) {
            result = 1;
        }
        return result;
    }
    int low = 0;
    int high = highIndex;
    while (high >= low) {
        const int mid = (low + high) / 2;
        const int order = compareOrdinal(token, bucket[mid].Keyword);
        if (order == 0) {
            return mid;
        }
        if (order < 0) {
            high = mid - 1;
        } else {
            low = mid + 1;
        }
    }
    return -1;
}

int FindTokenFromList(const KeywordTable& table, QStringView token, int length,
                      TSearchList& entry) {
    if (length < 0 || length >= kKeywordBucketCount) {
        return -1;
    }
    const KeywordBucket& bucket = table[length];
    const int index = FindTokenFromSearchList(bucket, static_cast<int>(bucket.size()) - 1, token);
    if (index >= 0) {
        entry = bucket[index];
    }
    return index;
}

}  // namespace tessory
