// SPDX-License-Identifier: MIT
#include "editor/assist_model.h"

#include "editor/shader_document.h"
#include "texts/win1252.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextDocument>

namespace tessory {
namespace {

glsl::Stage stageOf(PairSide side) {
    switch (side) {
        case PairSide::Vertex:
            return glsl::Stage::Vertex;
        case PairSide::Fragment:
            return glsl::Stage::Fragment;
        case PairSide::Geometry:
            return glsl::Stage::Geometry;
        case PairSide::TessControl:
            return glsl::Stage::TessControl;
        case PairSide::TessEval:
            return glsl::Stage::TessEvaluation;
        case PairSide::Compute:
            return glsl::Stage::Compute;
        // An included file is read as the language of whichever stage includes it allows.
        case PairSide::Included:
            break;
    }
    return glsl::Stage::Vertex;
}

glsl::LanguageContext contextOf(QStringView text, PairSide side) {
    return glsl::detectContext(text, glsl::Target::GlCompatibility, stageOf(side));
}

// The #version line is the first one that is not a comment: the text's start is enough.
QString head(const ShaderDocument& document) {
    return document.text().left(8192);
}

// An included file is read beside the file that includes it; a document without a file
// includes nothing.
std::optional<glsl::SourceSection> readIncluded(const QString& name, const QString& from) {
    const QFileInfo including(from);
    if (!including.isAbsolute()) {
        return std::nullopt;
    }
    QFile file(QDir::cleanPath(including.dir().filePath(name)));
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    const QByteArray bytes = file.read(AssistModel::kMaxCharacters + 1);
    if (bytes.size() > AssistModel::kMaxCharacters) {
        return std::nullopt;
    }
    QString text = fromWin1252(bytes);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    return glsl::SourceSection{file.fileName(), text, 0};
}

}  // namespace

AssistModel::AssistModel(const std::array<ShaderDocument*, kPaneCount>& documents, QObject* parent)
    : QObject(parent), program_(kPaneCount, nullptr) {
    // The front end recurses into nested expressions: a deep one needs more than the usual stack.
    pool_.setStackSize(64 * 1024 * 1024);
    pool_.setMaxThreadCount(1);
    for (const PairSide side : kPanes) {
        state_[int(side)].document = documents[int(side)];
    }
    for (const PairSide side : kPanes) {
        State& s = state_[int(side)];
        s.timer = new QTimer(this);
        s.timer->setSingleShot(true);
        connect(s.timer, &QTimer::timeout, this, [this, side] { startParse(side); });
        connect(s.document->textDocument(), &QTextDocument::contentsChanged, this,
                [this, side] { changed(side); });
        connect(s.document, &ShaderDocument::replaced, this, [this, side] { replaced(side); });
        replaced(side);
    }
}

AssistModel::~AssistModel() {
    for (const State& s : state_) {
        if (s.cancel) {
            s.cancel->store(true);
        }
    }
    pool_.waitForDone();
}

const glsl::Program& AssistModel::program() {
    for (const PairSide side : kPanes) {
        auto& doc = program_[int(side)];
        if (doc == nullptr) {
            doc = glsl::parseDocument(contextOf(head(*state_[int(side)].document), side),
                                      fileName(side), QString());
        }
    }
    return program_;
}

QString AssistModel::fileName(PairSide side) const {
    const QString& path = state_[int(side)].document->stamp().path();
    if (!path.isEmpty()) {
        return path;
    }
    return sideName(side);
}

std::optional<PairSide> AssistModel::sideOfFile(const QString& file) const {
    for (const PairSide side : kPanes) {
        if (fileName(side) == file) {
            return side;
        }
    }
    return std::nullopt;
}

void AssistModel::switchOff(PairSide side, bool tooLarge) {
    State& s = state_[int(side)];
    if (!s.on) {
        return;
    }
    s.on = false;
    s.timer->stop();
    if (s.cancel) {
        s.cancel->store(true);
    }
    emit switchedOff(side, tooLarge);
}

void AssistModel::changed(PairSide side) {
    State& s = state_[int(side)];
    if (s.document->textDocument()->characterCount() > kMaxCharacters) {
        switchOff(side, true);
    } else if (s.on) {
        s.timer->start(kReparseDelayMs);
    }
}

void AssistModel::replaced(PairSide side) {
    State& s = state_[int(side)];
    s.on = true;
    program_[int(side)] = nullptr;
    s.editedLine = -1;
    if (s.document->textDocument()->characterCount() > kMaxCharacters) {
        switchOff(side, true);
    } else {
        s.timer->start(0);
    }
}

void AssistModel::parseAndWait(PairSide side) {
    state_[int(side)].timer->stop();
    startParse(side);
    pool_.waitForDone();
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
}

void AssistModel::startParse(PairSide side) {
    State& s = state_[int(side)];
    if (!s.on) {
        return;
    }
    if (s.cancel) {
        s.cancel->store(true);
    }
    s.cancel = std::make_shared<std::atomic_bool>(false);
    const int generation = ++s.generation;
    const QString text = s.document->text();
    const QString file = fileName(side);
    const glsl::LanguageContext context = contextOf(text, side);
    glsl::ParseOptions options;
    options.editedLine = s.editedLine;
    options.budget = std::chrono::milliseconds(2000);
    std::shared_ptr<std::atomic_bool> cancel = s.cancel;
    pool_.start([this, side, generation, text, file, context, options, cancel]() mutable {
        options.cancel = cancel.get();
        std::shared_ptr<const glsl::ParsedDocument> doc =
            glsl::parseDocument(context, glsl::expandIncludes(file, text, readIncluded), options);
        if (cancel->load()) {
            return;
        }
        QMetaObject::invokeMethod(
            this, [this, side, generation, doc] { finished(side, generation, doc); },
            Qt::QueuedConnection);
    });
}

void AssistModel::finished(PairSide side, int generation,
                           std::shared_ptr<const glsl::ParsedDocument> doc) {
    State& s = state_[int(side)];
    // A parse that a newer one overtook is dropped: the newer one is already under way.
    if (!s.on || generation != s.generation) {
        return;
    }
    program_[int(side)] = std::move(doc);
    emit parsed(side);
}

}  // namespace tessory
