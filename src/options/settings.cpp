// SPDX-License-Identifier: MIT
#include "options/settings.h"

#include <algorithm>
#include <array>
#include <limits>
#include <utility>

namespace tessory {
namespace {

// A stored integer must be a 32-bit integer. The native store on this platform keeps every value
// as text, so a text that is exactly a decimal 32-bit integer counts as one.
std::optional<qint32> toInt32(const QVariant& value) {
    switch (value.typeId()) {
        case QMetaType::Int:
            return value.toInt();
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong: {
            bool ok = false;
            const qlonglong v = value.toLongLong(&ok);
            if (ok && v >= std::numeric_limits<qint32>::min() &&
                v <= std::numeric_limits<qint32>::max()) {
                return qint32(v);
            }
            return std::nullopt;
        }
        case QMetaType::QString: {
            // Checked here because QString::toInt allows blanks around the number and stops at
            // a NUL, taking "30\0x" for 30.
            const QString text = value.toString();
            const qsizetype sign = text.startsWith(u'-') || text.startsWith(u'+') ? 1 : 0;
            const auto isDigit = [](QChar c) { return c >= u'0' && c <= u'9'; };
            if (text.size() == sign || !std::all_of(text.begin() + sign, text.end(), isDigit)) {
                return std::nullopt;
            }
            bool ok = false;
            const qint32 v = text.toInt(&ok, 10);
            return ok ? std::optional<qint32>(v) : std::nullopt;
        }
        default:
            return std::nullopt;
    }
}

struct StopReading {};

class Reader {
public:
    explicit Reader(const SettingsLookup& lookup) : lookup_(lookup) {}

    qint32 integer(const QString& name) const {
        const std::optional<QVariant> value = lookup_(name);
        if (!value) {
            throw StopReading{};
        }
        const std::optional<qint32> v = toInt32(*value);
        if (!v) {
            throw StopReading{};
        }
        return *v;
    }

    bool boolean(const QString& name) const { return integer(name) != 0; }

    QString string(const QString& name) const {
        const std::optional<QVariant> value = lookup_(name);
        if (!value || !value->isValid()) {
            return {};
        }
        if (value->typeId() != QMetaType::QString) {
            throw StopReading{};
        }
        const QString text = value->toString();
        const qsizetype nul = text.indexOf(QChar(0));
        return nul < 0 ? text : text.left(nul);
    }

private:
    const SettingsLookup& lookup_;
};

constexpr std::array<TColor TCFG::*, kCategoryCount> kFontColorFields = {
    &TCFG::FontColor_DataTypes, &TCFG::FontColor_FunctionNames, &TCFG::FontColor_StateVars,
    &TCFG::FontColor_TypeQualifiers, &TCFG::FontColor_Comment};
constexpr std::array<qint32 TCFG::*, kCategoryCount> kTextEffectFields = {
    &TCFG::TextEffects_DataTypes, &TCFG::TextEffects_FunctionNames, &TCFG::TextEffects_StateVars,
    &TCFG::TextEffects_TypeQualifiers, &TCFG::TextEffects_Comment};

const std::array<QString, kCategoryCount> kCategoryNames = {
    QStringLiteral("DataTypes"), QStringLiteral("FunctionNames"), QStringLiteral("StateVars"),
    QStringLiteral("TypeQualifiers"), QStringLiteral("Comment")};

QString fontColorName(int category) {
    return QStringLiteral("FontColor_") + kCategoryNames[category];
}

QString textEffectsName(int category) {
    return QStringLiteral("TextEffects_") + kCategoryNames[category];
}

// Read and written after every other value, so that a store of a version that knew only the pair's
// two extensions reads as before and leaves these at their defaults.
const std::array<std::pair<QString, QString TCFG::*>, 4> kStageExtensionFields = {{
    {QStringLiteral("FileExtGeometry"), &TCFG::FileExtGeometry},
    {QStringLiteral("FileExtTessControl"), &TCFG::FileExtTessControl},
    {QStringLiteral("FileExtTessEval"), &TCFG::FileExtTessEval},
    {QStringLiteral("FileExtCompute"), &TCFG::FileExtCompute},
}};

bool fits(qint32 pos, qint32 size, int screen) {
    return pos >= 0 && size >= 0 && qint64(pos) + size <= screen;
}

}  // namespace

TCFG defaultSettings(const QString& programDir) {
    TCFG cfg;
    cfg.CurrentDir = programDir.endsWith('/') ? programDir : programDir + '/';
    return cfg;
}

PairExtensions stageExtensions(const TCFG& cfg) {
    return {cfg.FileExtVertex,      cfg.FileExtFragment, cfg.FileExtGeometry,
            cfg.FileExtTessControl, cfg.FileExtTessEval, cfg.FileExtCompute};
}

TColor& fontColor(TCFG& cfg, Category category) {
    return cfg.*kFontColorFields[int(category)];
}

qint32& textEffects(TCFG& cfg, Category category) {
    return cfg.*kTextEffectFields[int(category)];
}

CategoryFormats categoryFormats(const TCFG& cfg) {
    CategoryFormats formats;
    for (int i = 0; i < kCategoryCount; ++i) {
        formats[i] = {cfg.*kFontColorFields[i], cfg.*kTextEffectFields[i]};
    }
    return formats;
}

void readSettings(const SettingsLookup& lookup, TCFG& cfg, QSize screen) {
    const Reader read(lookup);
    try {
        const qint32 left = read.integer(QStringLiteral("main_pos_left"));
        const qint32 width = read.integer(QStringLiteral("main_size_width"));
        if (fits(left, width, screen.width())) {
            cfg.main_pos_left = left;
            cfg.main_size_width = width;
        }

        const qint32 top = read.integer(QStringLiteral("main_pos_top"));
        const qint32 height = read.integer(QStringLiteral("main_size_height"));
        if (fits(top, height, screen.height())) {
            cfg.main_pos_top = top;
            cfg.main_size_height = height;
        }

        cfg.main_size_maximized = read.boolean(QStringLiteral("main_size_maximized"));

        cfg.CurrentDir = read.string(QStringLiteral("CurrentDir"));
        cfg.CurrentFileName = read.string(QStringLiteral("CurrentFileName"));
        cfg.FileExtVertex = read.string(QStringLiteral("FileExtVertex"));
        cfg.FileExtFragment = read.string(QStringLiteral("FileExtFragment"));

        for (int i = 0; i < kCategoryCount; ++i) {
            cfg.*kFontColorFields[i] = TColor(read.integer(fontColorName(i)));
        }
        for (int i = 0; i < kCategoryCount; ++i) {
            cfg.*kTextEffectFields[i] = read.integer(textEffectsName(i));
        }

        cfg.AutoSaveOnChange = read.boolean(QStringLiteral("AutoSaveOnChange"));
        cfg.PreviewVisible = read.boolean(QStringLiteral("PreviewVisible"));
        const qint32 previewWidth = read.integer(QStringLiteral("PreviewWidth"));
        const qint32 previewHeight = read.integer(QStringLiteral("PreviewHeight"));
        // A size that no screen shows is not taken.
        if (previewWidth > 0 && previewWidth <= screen.width() && previewHeight > 0 &&
            previewHeight <= screen.height()) {
            cfg.PreviewWidth = previewWidth;
            cfg.PreviewHeight = previewHeight;
        }
        cfg.EditorZoom = read.integer(QStringLiteral("EditorZoom"));
        const qint32 compileLimit = read.integer(QStringLiteral("CompileTimeLimit"));
        if (compileLimit >= 1 && compileLimit <= kMaxCompileTimeLimit) {
            cfg.CompileTimeLimit = compileLimit;
        }
        const qint32 frameLimit = read.integer(QStringLiteral("FrameTimeLimit"));
        if (frameLimit >= 1 && frameLimit <= kMaxFrameTimeLimit) {
            cfg.FrameTimeLimit = frameLimit;
        }
        for (const auto& [name, field] : kStageExtensionFields) {
            cfg.*field = read.string(name);
        }
        cfg.ProgramTargets = read.string(QStringLiteral("ProgramTargets"));
    } catch (const StopReading&) {
        // A damaged or partial store keeps what was read so far; the rest stays at its default.
    }
}

QList<std::pair<QString, QVariant>> storedValues(const TCFG& cfg) {
    QList<std::pair<QString, QVariant>> values = {
        {QStringLiteral("main_pos_left"), cfg.main_pos_left},
        {QStringLiteral("main_pos_top"), cfg.main_pos_top},
        {QStringLiteral("main_size_width"), cfg.main_size_width},
        {QStringLiteral("main_size_height"), cfg.main_size_height},
        {QStringLiteral("main_size_maximized"), int(cfg.main_size_maximized)},
        {QStringLiteral("CurrentDir"), cfg.CurrentDir},
        {QStringLiteral("CurrentFileName"), cfg.CurrentFileName},
        {QStringLiteral("FileExtVertex"), cfg.FileExtVertex},
        {QStringLiteral("FileExtFragment"), cfg.FileExtFragment},
    };
    for (int i = 0; i < kCategoryCount; ++i) {
        values.append({fontColorName(i), qint32(cfg.*kFontColorFields[i])});
    }
    for (int i = 0; i < kCategoryCount; ++i) {
        values.append({textEffectsName(i), cfg.*kTextEffectFields[i]});
    }
    values.append({QStringLiteral("AutoSaveOnChange"), int(cfg.AutoSaveOnChange)});
    values.append({QStringLiteral("PreviewVisible"), int(cfg.PreviewVisible)});
    values.append({QStringLiteral("PreviewWidth"), cfg.PreviewWidth});
    values.append({QStringLiteral("PreviewHeight"), cfg.PreviewHeight});
    values.append({QStringLiteral("EditorZoom"), cfg.EditorZoom});
    values.append({QStringLiteral("CompileTimeLimit"), cfg.CompileTimeLimit});
    values.append({QStringLiteral("FrameTimeLimit"), cfg.FrameTimeLimit});
    for (const auto& [name, field] : kStageExtensionFields) {
        values.append({name, cfg.*field});
    }
    values.append({QStringLiteral("ProgramTargets"), cfg.ProgramTargets});
    return values;
}

QString trimControls(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin].unicode() <= 0x20) {
        ++begin;
    }
    while (end > begin && text[end - 1].unicode() <= 0x20) {
        --end;
    }
    return text.mid(begin, end - begin);
}

void trimExtensions(TCFG& cfg) {
    const TCFG defaults;
    for (QString TCFG::*field :
         {&TCFG::FileExtVertex, &TCFG::FileExtFragment, &TCFG::FileExtGeometry,
          &TCFG::FileExtTessControl, &TCFG::FileExtTessEval, &TCFG::FileExtCompute}) {
        QString& extension = cfg.*field;
        extension = trimControls(extension);
        if (extension.isEmpty() || !isSafeExtension(extension)) {
            extension = defaults.*field;
        }
    }
}

void checkWorkspace(TCFG& cfg, const QString& programDir) {
    // A relative WorkSpace would be taken from wherever the program happened to be started.
    if (!cfg.CurrentDir.startsWith(u'/')) {
        cfg.CurrentDir = defaultSettings(programDir).CurrentDir;
    }
}

bool isSafeExtension(const QString& extension) {
    return std::none_of(extension.begin(), extension.end(), [](QChar c) {
        return c == u'/' || c == u'\\' || c.unicode() < 0x20 || c.unicode() == 0x7F ||
               c.category() == QChar::Other_Control;
    });
}

void fitToScreen(TCFG& cfg, QSize screen) {
    if (screen.width() < qint64(cfg.main_pos_left) + cfg.main_size_width) {
        cfg.main_pos_left = 0;
        if (screen.width() < cfg.main_size_width) {
            cfg.main_size_width = screen.width();
        }
    }
    if (screen.height() < qint64(cfg.main_pos_top) + cfg.main_size_height) {
        cfg.main_pos_top = 0;
        if (screen.height() < cfg.main_size_height) {
            cfg.main_size_height = screen.height();
        }
    }
}

}  // namespace tessory
