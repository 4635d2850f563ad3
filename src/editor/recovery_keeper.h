// SPDX-License-Identifier: MIT
#pragma once

#include <QHash>
#include <QObject>
#include <QString>
#include <QTimer>

#include <memory>

namespace tessory {

class RecoveryStore;
class RecoveryWriter;
class ShaderDocument;

// Keeps the unsaved text of each watched document in a recovery file of the store in `folder`:
// handed to its writer a moment after the last change, and forgotten once the document is saved,
// reloaded or emptied. Typing costs the restart of a timer; the text is read when the pause comes.
class RecoveryKeeper : public QObject {
    Q_OBJECT
public:
    explicit RecoveryKeeper(const QString& folder, QObject* parent = nullptr);
    ~RecoveryKeeper() override;

    RecoveryStore& store() const { return *store_; }

    void watch(ShaderDocument* document);
    // Hands over at once what a pause has not yet handed over.
    void flush();
    // The user closed without saving: no text is kept, and none is left on its way.
    void forgetAll();

    // Short enough that a crash a second after typing still finds the text.
    static constexpr int kPauseMs = 400;

signals:
    // The texts cannot be kept: told once until they can again.
    void failed(const QString& why);

private:
    struct Watched;
    void keep(Watched& watched);
    void forget(Watched& watched);

    std::unique_ptr<RecoveryStore> store_;
    std::unique_ptr<RecoveryWriter> writer_;
    QHash<ShaderDocument*, std::shared_ptr<Watched>> watched_;
};

}  // namespace tessory
