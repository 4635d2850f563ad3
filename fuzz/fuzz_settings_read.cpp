// SPDX-License-Identifier: MIT
// The settings read rules over a store the input describes, one value a line:
//   name=T:value     T: i int, u uint, l long long, q unsigned long long, s string (Windows-1252
//                    bytes, NUL allowed), b byte array, d double, L string list (split at ","),
//                    n a value without type; no tag means a string
//   screen=W,H       the screen size (1280,1024 when absent)
// A later line for the same name replaces an earlier one.
#include "options/settings.h"
#include "texts/win1252.h"

#include "fuzz_check.h"

#include <QList>
#include <QMap>
#include <QStringList>

#include <cstdint>
#include <limits>

using namespace tessory;

namespace {

struct Store {
    QMap<QString, QVariant> values;
    QSize screen{1280, 1024};
};

QVariant typedValue(char tag, QByteArrayView text) {
    const QByteArray bytes = text.toByteArray();
    switch (tag) {
        case 'i':
            return int(bytes.toLongLong());
        case 'u':
            return uint(bytes.toLongLong());
        case 'l':
            return bytes.toLongLong();
        case 'q':
            return bytes.toULongLong();
        case 'b':
            return bytes;
        case 'd':
            return bytes.toDouble();
        case 'L':
            return fromWin1252(bytes).split(u',');
        case 'n':
            return QVariant();
        default:
            return fromWin1252(bytes);
    }
}

Store parseStore(QByteArrayView input) {
    Store store;
    for (QByteArrayView line : QByteArrayView(input).toByteArray().split('\n')) {
        const qsizetype eq = line.indexOf('=');
        if (eq < 0) {
            continue;
        }
        const QString name = fromWin1252(line.first(eq));
        QByteArrayView value = line.sliced(eq + 1);
        if (name == u"screen") {
            const QList<QByteArray> size = value.toByteArray().split(',');
            if (size.size() == 2) {
                store.screen = QSize(size[0].toInt(), size[1].toInt());
            }
            continue;
        }
        char tag = 's';
        if (value.size() >= 2 && value[1] == ':') {
            tag = value[0];
            value = value.sliced(2);
        }
        store.values.insert(name, typedValue(tag, value));
    }
    return store;
}

// The read rules, written out again on their own: the fields in their order, each integer a
// 32-bit integer value or a text that is exactly one, each string a string or nothing.
const QStringList kOrder = {"main_pos_left",
                            "main_size_width",
                            "main_pos_top",
                            "main_size_height",
                            "main_size_maximized",
                            "CurrentDir",
                            "CurrentFileName",
                            "FileExtVertex",
                            "FileExtFragment",
                            "FontColor_DataTypes",
                            "FontColor_FunctionNames",
                            "FontColor_StateVars",
                            "FontColor_TypeQualifiers",
                            "FontColor_Comment",
                            "TextEffects_DataTypes",
                            "TextEffects_FunctionNames",
                            "TextEffects_StateVars",
                            "TextEffects_TypeQualifiers",
                            "TextEffects_Comment",
                            "AutoSaveOnChange",
                            "PreviewVisible",
                            "PreviewWidth",
                            "PreviewHeight",
                            "EditorZoom",
                            "CompileTimeLimit",
                            "FrameTimeLimit",
                            "FileExtGeometry",
                            "FileExtTessControl",
                            "FileExtTessEval",
                            "FileExtCompute",
                            "ProgramTargets"};
constexpr int kStrings = 5;   // CurrentDir
constexpr int kColors = 9;    // FontColor_DataTypes
constexpr int kEffects = 14;  // TextEffects_DataTypes
constexpr int kAutoSave = 19;
constexpr int kPreviewVisible = 20;
constexpr int kPreviewWidth = 21;  // and PreviewHeight, read as a pair
constexpr int kEditorZoom = 23;
constexpr int kCompileTimeLimit = 24;
constexpr int kFrameTimeLimit = 25;
constexpr int kLaterStrings = 26;  // FileExtGeometry and the strings after it

std::optional<qint32> int32From(const QVariant& v) {
    constexpr qint64 kLow = std::numeric_limits<qint32>::min();
    constexpr qint64 kHigh = std::numeric_limits<qint32>::max();
    switch (v.typeId()) {
        case QMetaType::Int:
            return v.toInt();
        case QMetaType::UInt:
            return v.toUInt() <= kHigh ? std::optional<qint32>(qint32(v.toUInt())) : std::nullopt;
        case QMetaType::LongLong: {
            const qint64 x = v.toLongLong();
            return x >= kLow && x <= kHigh ? std::optional<qint32>(qint32(x)) : std::nullopt;
        }
        case QMetaType::ULongLong:
            return v.toULongLong() <= quint64(kHigh)
                       ? std::optional<qint32>(qint32(v.toULongLong()))
                       : std::nullopt;
        case QMetaType::QString: {
            const QString text = v.toString();
            const qsizetype digits = text.startsWith(u'-') || text.startsWith(u'+') ? 1 : 0;
            if (text.size() == digits) {
                return std::nullopt;
            }
            qint64 x = 0;
            for (QChar c : QStringView(text).sliced(digits)) {
                if (c < u'0' || c > u'9') {
                    return std::nullopt;
                }
                // Saturates beyond either end of the range.
                x = std::min<qint64>(x * 10 + (c.unicode() - u'0'), kHigh + 2);
            }
            x = text.startsWith(u'-') ? -x : x;
            return x >= kLow && x <= kHigh ? std::optional<qint32>(qint32(x)) : std::nullopt;
        }
        default:
            return std::nullopt;
    }
}

void setInteger(TCFG& cfg, int field, qint32 v) {
    if (field == kCompileTimeLimit) {
        cfg.CompileTimeLimit = v >= 1 && v <= kMaxCompileTimeLimit ? v : cfg.CompileTimeLimit;
    } else if (field == kFrameTimeLimit) {
        cfg.FrameTimeLimit = v >= 1 && v <= kMaxFrameTimeLimit ? v : cfg.FrameTimeLimit;
    } else if (field == kEditorZoom) {
        cfg.EditorZoom = v;
    } else if (field == kPreviewVisible) {
        cfg.PreviewVisible = v != 0;
    } else if (field == kAutoSave) {
        cfg.AutoSaveOnChange = v != 0;
    } else if (field >= kEffects) {
        textEffects(cfg, Category(field - kEffects)) = v;
    } else if (field >= kColors) {
        fontColor(cfg, Category(field - kColors)) = TColor(v);
    } else {
        cfg.main_size_maximized = v != 0;
    }
}

QString* stringField(TCFG& cfg, int field) {
    if (field >= kLaterStrings) {
        QString* later[] = {&cfg.FileExtGeometry, &cfg.FileExtTessControl, &cfg.FileExtTessEval,
                            &cfg.FileExtCompute, &cfg.ProgramTargets};
        return later[field - kLaterStrings];
    }
    QString* fields[] = {&cfg.CurrentDir, &cfg.CurrentFileName, &cfg.FileExtVertex,
                         &cfg.FileExtFragment};
    return fields[field - kStrings];
}

struct Expected {
    TCFG cfg;
    int asked = 0;  // how many names the reading asks for
};

Expected expectedRead(const Store& store, const TCFG& start) {
    Expected e{start, 0};
    const auto value = [&](int field) -> std::optional<QVariant> {
        ++e.asked;
        const auto it = store.values.find(kOrder[field]);
        return it == store.values.end() ? std::nullopt : std::optional<QVariant>(*it);
    };
    const auto integer = [&](int field) {
        const std::optional<QVariant> v = value(field);
        return v ? int32From(*v) : std::nullopt;
    };
    const auto pair = [&](int field, int screen, qint32& pos, qint32& size) {
        const std::optional<qint32> p = integer(field);
        const std::optional<qint32> s = p ? integer(field + 1) : std::nullopt;
        if (!s) {
            return false;
        }
        if (*p >= 0 && *s >= 0 && qint64(*p) + *s <= screen) {
            pos = *p;
            size = *s;
        }
        return true;
    };
    const bool geometryRead =
        pair(0, store.screen.width(), e.cfg.main_pos_left, e.cfg.main_size_width) &&
        pair(2, store.screen.height(), e.cfg.main_pos_top, e.cfg.main_size_height);
    if (!geometryRead) {
        return e;
    }
    for (int field = 4; field < kOrder.size(); ++field) {
        if ((field >= kStrings && field < kColors) || field >= kLaterStrings) {
            const std::optional<QVariant> v = value(field);
            if (v && v->isValid() && v->typeId() != QMetaType::QString) {
                return e;
            }
            const QString text = v ? v->toString() : QString();
            *stringField(e.cfg, field) = text.left(text.indexOf(QChar(0)));
            continue;
        }
        if (field == kPreviewWidth) {
            const std::optional<qint32> width = integer(field);
            const std::optional<qint32> height = width ? integer(field + 1) : std::nullopt;
            if (!height) {
                return e;
            }
            if (*width > 0 && *width <= store.screen.width() && *height > 0 &&
                *height <= store.screen.height()) {
                e.cfg.PreviewWidth = *width;
                e.cfg.PreviewHeight = *height;
            }
            ++field;
            continue;
        }
        const std::optional<qint32> v = integer(field);
        if (!v) {
            return e;
        }
        setInteger(e.cfg, field, *v);
    }
    return e;
}

bool sameFields(const TCFG& a, const TCFG& b) {
    return a.CurrentDir == b.CurrentDir && a.CurrentFileName == b.CurrentFileName &&
           a.main_pos_left == b.main_pos_left && a.main_pos_top == b.main_pos_top &&
           a.main_size_width == b.main_size_width && a.main_size_height == b.main_size_height &&
           a.main_size_maximized == b.main_size_maximized &&
           categoryFormats(a) == categoryFormats(b) && a.FileExtVertex == b.FileExtVertex &&
           a.FileExtFragment == b.FileExtFragment && a.AutoSaveOnChange == b.AutoSaveOnChange &&
           a.PreviewVisible == b.PreviewVisible && a.PreviewWidth == b.PreviewWidth &&
           a.PreviewHeight == b.PreviewHeight && a.EditorZoom == b.EditorZoom &&
           a.CompileTimeLimit == b.CompileTimeLimit && a.FrameTimeLimit == b.FrameTimeLimit &&
           a.FileExtGeometry == b.FileExtGeometry && a.FileExtTessControl == b.FileExtTessControl &&
           a.FileExtTessEval == b.FileExtTessEval && a.FileExtCompute == b.FileExtCompute &&
           a.ProgramTargets == b.ProgramTargets;
}

SettingsLookup lookupIn(const QMap<QString, QVariant>& values, QStringList& asked) {
    return [&values, &asked](const QString& name) -> std::optional<QVariant> {
        asked.append(name);
        const auto it = values.find(name);
        return it == values.end() ? std::nullopt : std::optional<QVariant>(*it);
    };
}

bool trimmedEnds(const QString& text) {
    return !text.isEmpty() && text.front().unicode() > 0x20 && text.back().unicode() > 0x20;
}

void checkStartUpCorrections(TCFG cfg, QSize screen) {
    const TCFG read = cfg;
    trimExtensions(cfg);
    FUZZ_CHECK(trimmedEnds(cfg.FileExtVertex) && trimmedEnds(cfg.FileExtFragment));
    FUZZ_CHECK(read.FileExtVertex.contains(cfg.FileExtVertex) || cfg.FileExtVertex == ".vert");
    FUZZ_CHECK(read.FileExtFragment.contains(cfg.FileExtFragment) ||
               cfg.FileExtFragment == ".frag");

    fitToScreen(cfg, screen);
    const auto fitted = [](qint32 pos, qint32 size, int screenSize, qint32 pos0, qint32 size0) {
        if (qint64(pos0) + size0 <= screenSize) {
            return pos == pos0 && size == size0;
        }
        return pos == 0 && size == std::min(size0, screenSize);
    };
    FUZZ_CHECK(fitted(cfg.main_pos_left, cfg.main_size_width, screen.width(), read.main_pos_left,
                      read.main_size_width));
    FUZZ_CHECK(fitted(cfg.main_pos_top, cfg.main_size_height, screen.height(), read.main_pos_top,
                      read.main_size_height));
    FUZZ_CHECK(qint64(cfg.main_pos_left) + cfg.main_size_width <= screen.width());
    FUZZ_CHECK(qint64(cfg.main_pos_top) + cfg.main_size_height <= screen.height());
    TCFG again = cfg;
    fitToScreen(again, screen);
    FUZZ_CHECK(sameFields(again, cfg));

    // What is written at the close, kept as text as the native store keeps it, reads back.
    QMap<QString, QVariant> stored;
    for (const auto& [name, value] : storedValues(cfg)) {
        stored.insert(name, value.toString());
    }
    QStringList asked;
    TCFG back = defaultSettings(QStringLiteral("/elsewhere/"));
    const TCFG fresh = back;
    readSettings(lookupIn(stored, asked), back, screen);
    FUZZ_CHECK(asked == kOrder);
    // Negative geometry is never taken, so the fresh defaults stay.
    TCFG expected = cfg;
    if (cfg.main_pos_left < 0 || cfg.main_size_width < 0) {
        expected.main_pos_left = fresh.main_pos_left;
        expected.main_size_width = fresh.main_size_width;
    }
    if (cfg.main_pos_top < 0 || cfg.main_size_height < 0) {
        expected.main_pos_top = fresh.main_pos_top;
        expected.main_size_height = fresh.main_size_height;
    }
    FUZZ_CHECK(sameFields(back, expected));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const Store store =
        parseStore(QByteArrayView(reinterpret_cast<const char*>(data), qsizetype(size)));
    TCFG cfg = defaultSettings(QStringLiteral("/program/"));
    const Expected expected = expectedRead(store, cfg);
    QStringList asked;
    readSettings(lookupIn(store.values, asked), cfg, store.screen);
    FUZZ_CHECK(asked == kOrder.first(expected.asked));
    FUZZ_CHECK(sameFields(cfg, expected.cfg));
    checkStartUpCorrections(cfg, store.screen);
    return 0;
}
