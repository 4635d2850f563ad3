// SPDX-License-Identifier: MIT
#include "options/app_settings.h"

#include "options/settings_file.h"

#include <QSettings>

namespace tessory {
namespace {

const QString kSettingsGroup = QStringLiteral("V1/settings");

}  // namespace

AppSettings::AppSettings(QObject* parent) : QObject(parent) {}

void AppSettings::load(QSettings& store, const QString& programDir, QSize screen) {
    values_ = defaultSettings(programDir);
    store.beginGroup(kSettingsGroup);
    if (!store.childKeys().isEmpty()) {
        const SettingsLookup lookup = [&store](const QString& name) -> std::optional<QVariant> {
            if (!store.contains(name)) {
                return std::nullopt;
            }
            return store.value(name);
        };
        readSettings(lookup, values_, screen);
    }
    store.endGroup();
    trimExtensions(values_);
    checkWorkspace(values_, programDir);
    fitToScreen(values_, screen);
}

void AppSettings::store(QSettings& store, const TCFG& current) {
    writeSettingsFile(store, kSettingsGroup, storedValues(current));
}

void AppSettings::setFormats(const CategoryFormats& formats) {
    if (formats == categoryFormats(values_)) {
        return;
    }
    for (int i = 0; i < kCategoryCount; ++i) {
        fontColor(values_, Category(i)) = formats[i].color;
        textEffects(values_, Category(i)) = formats[i].effects;
    }
    emit formatsChanged(formats);
}

void AppSettings::setZoom(int step) {
    if (step != values_.EditorZoom) {
        values_.EditorZoom = step;
        emit zoomChanged(step);
    }
}

void AppSettings::setAutoSave(bool autoSave) {
    if (autoSave != values_.AutoSaveOnChange) {
        values_.AutoSaveOnChange = autoSave;
        emit autoSaveChanged(autoSave);
    }
}

void AppSettings::setTimeLimits(int compileSeconds, int frameSeconds) {
    if (compileSeconds != values_.CompileTimeLimit || frameSeconds != values_.FrameTimeLimit) {
        values_.CompileTimeLimit = compileSeconds;
        values_.FrameTimeLimit = frameSeconds;
        emit timeLimitsChanged(compileSeconds, frameSeconds);
    }
}

void AppSettings::setGerman(bool german) {
    if (german != german_) {
        german_ = german;
        emit languageChanged(german);
    }
}

void AppSettings::setNormalGeometry(const QRect& bounds) {
    values_.main_pos_left = bounds.x();
    values_.main_pos_top = bounds.y();
    values_.main_size_width = bounds.width();
    values_.main_size_height = bounds.height();
}

void AppSettings::setMaximized(bool maximized) {
    values_.main_size_maximized = maximized;
}

void AppSettings::setPreviewDock(bool visible, QSize size) {
    values_.PreviewVisible = visible;
    if (visible) {
        values_.PreviewWidth = size.width();
        values_.PreviewHeight = size.height();
    }
}

}  // namespace tessory
