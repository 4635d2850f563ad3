// SPDX-License-Identifier: MIT
#include "editor/recovery_keeper.h"

#include "editor/shader_document.h"
#include "workspace/recovery_store.h"
#include "workspace/recovery_writer.h"

#include <QTextDocument>

namespace tessory {

struct RecoveryKeeper::Watched {
    ShaderDocument* document = nullptr;
    QTimer pause;
    // The file a text was last kept for, so that it is forgotten when the document shows
    // another file.
    QString keptFor;
};

RecoveryKeeper::RecoveryKeeper(const QString& folder, QObject* parent)
    : QObject(parent),
      store_(std::make_unique<RecoveryStore>(folder)),
      writer_(std::make_unique<RecoveryWriter>(*store_)) {
    connect(writer_.get(), &RecoveryWriter::failed, this, &RecoveryKeeper::failed);
}

RecoveryKeeper::~RecoveryKeeper() = default;

void RecoveryKeeper::watch(ShaderDocument* document) {
    auto watched = std::make_shared<Watched>();
    watched->document = document;
    watched->pause.setSingleShot(true);
    watched->pause.setInterval(kPauseMs);
    Watched* w = watched.get();
    connect(&w->pause, &QTimer::timeout, this, [this, w] { keep(*w); });
    connect(document->textDocument(), &QTextDocument::contentsChanged, this, [w] {
        if (w->document->isModified()) {
            w->pause.start();
        }
    });
    connect(document->textDocument(), &QTextDocument::modificationChanged, this,
            [this, w](bool modified) {
                if (modified) {
                    w->pause.start();
                } else {
                    forget(*w);
                }
            });
    connect(document, &ShaderDocument::stampChanged, this, [this, w] {
        if (!w->keptFor.isEmpty() && w->keptFor != w->document->stamp().path()) {
            forget(*w);
        }
    });
    connect(document, &QObject::destroyed, this, [this, document] { watched_.remove(document); });
    watched_.insert(document, std::move(watched));
}

void RecoveryKeeper::keep(Watched& watched) {
    const ShaderDocument& document = *watched.document;
    const QString& path = document.stamp().path();
    if (!document.isModified() || path.isEmpty()) {
        return;
    }
    if (!watched.keptFor.isEmpty() && watched.keptFor != path) {
        writer_->remove(watched.keptFor);
    }
    writer_->update(path, {document.text(), document.lineEnd()}, document.stamp());
    watched.keptFor = path;
}

void RecoveryKeeper::forget(Watched& watched) {
    watched.pause.stop();
    if (!watched.keptFor.isEmpty()) {
        writer_->remove(watched.keptFor);
        watched.keptFor.clear();
    }
    // A recovered text is kept under the file's name before this keeper ever wrote it.
    if (const QString& path = watched.document->stamp().path(); !path.isEmpty()) {
        writer_->remove(path);
    }
}

void RecoveryKeeper::flush() {
    for (const auto& watched : std::as_const(watched_)) {
        if (watched->pause.isActive()) {
            watched->pause.stop();
            keep(*watched);
        }
    }
}

void RecoveryKeeper::forgetAll() {
    for (const auto& watched : std::as_const(watched_)) {
        forget(*watched);
    }
    writer_->waitForIdle(2000);
}

}  // namespace tessory
