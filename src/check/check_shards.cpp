// SPDX-License-Identifier: MIT
#include "check/check_shards.h"

#include "check/check_formats.h"

#include <QCryptographicHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtEndian>

#include <algorithm>

namespace tessory {
namespace {

template <typename Entry, typename PathOf>
QList<Entry> shareOf(const QList<Entry>& entries, int index, int count, PathOf pathOf,
                     QList<qsizetype>& positions) {
    QList<Entry> kept;
    for (qsizetype i = 0; i < entries.size(); ++i) {
        if (inShard(pathOf(entries[i]), index, count)) {
            kept.append(entries[i]);
            positions.append(i);
        }
    }
    return kept;
}

QJsonArray position(qsizetype argument, int part, qsizetype entry, qsizetype message) {
    return QJsonArray{double(argument), part, double(entry), double(message)};
}

bool positionBefore(const QJsonArray& a, const QJsonArray& b) {
    for (qsizetype i = 0; i < std::min(a.size(), b.size()); ++i) {
        if (a[i].toDouble() != b[i].toDouble()) {
            return a[i].toDouble() < b[i].toDouble();
        }
    }
    return a.size() < b.size();
}

// The entries of every shard's list in the whole run's order, without their positions; false
// when two shards hold the same entry.
bool mergeEntries(const QList<QJsonArray>& lists, QJsonArray& merged) {
    QList<QJsonObject> entries;
    for (const QJsonArray& list : lists) {
        for (const QJsonValue& value : list) {
            entries.append(value.toObject());
        }
    }
    const auto key = [](const QJsonObject& o) {
        return o.value(QStringLiteral("position")).toDouble(-1);
    };
    std::stable_sort(entries.begin(), entries.end(),
                     [&](const QJsonObject& a, const QJsonObject& b) { return key(a) < key(b); });
    for (qsizetype i = 1; i < entries.size(); ++i) {
        if (key(entries[i]) >= 0 && key(entries[i]) == key(entries[i - 1])) {
            return false;
        }
    }
    for (QJsonObject& entry : entries) {
        entry.remove(QStringLiteral("position"));
        merged.append(entry);
    }
    return true;
}

const QString kOverlap =
    QStringLiteral("the reports hold the same entry twice: a shard given twice?");

MergedReport mergeJson(const QList<QJsonObject>& reports) {
    MergedReport merged;
    QJsonObject whole = reports.first();
    const QJsonArray firstWorkspaces = whole.value(QStringLiteral("workspaces")).toArray();
    QJsonArray workspaces;
    for (qsizetype w = 0; w < firstWorkspaces.size(); ++w) {
        QJsonObject workspace = firstWorkspaces[w].toObject();
        for (const QString& part :
             {QStringLiteral("problems"), QStringLiteral("pairs"), QStringLiteral("files")}) {
            QList<QJsonArray> lists;
            for (const QJsonObject& report : reports) {
                const QJsonObject other =
                    report.value(QStringLiteral("workspaces")).toArray().at(w).toObject();
                if (other.value(QStringLiteral("directory")) !=
                    workspace.value(QStringLiteral("directory"))) {
                    merged.error = QStringLiteral(
                        "the reports are of different runs: their "
                        "WorkSpaces differ");
                    return merged;
                }
                lists.append(other.value(part).toArray());
            }
            QJsonArray entries;
            if (!mergeEntries(lists, entries)) {
                merged.error = kOverlap;
                return merged;
            }
            workspace.insert(part, entries);
        }
        workspaces.append(workspace);
    }
    QList<QJsonArray> fileLists;
    QJsonObject summary;
    for (const QJsonObject& report : reports) {
        if (report.value(QStringLiteral("workspaces")).toArray().size() != firstWorkspaces.size()) {
            merged.error = QStringLiteral(
                "the reports are of different runs: their WorkSpaces "
                "differ");
            return merged;
        }
        fileLists.append(report.value(QStringLiteral("files")).toArray());
        const QJsonObject part = report.value(QStringLiteral("summary")).toObject();
        for (auto it = part.begin(); it != part.end(); ++it) {
            if (it.value().isDouble()) {
                summary.insert(it.key(),
                               summary.value(it.key()).toDouble() + it.value().toDouble());
            }
        }
    }
    QJsonArray files;
    if (!mergeEntries(fileLists, files)) {
        merged.error = kOverlap;
        return merged;
    }
    const auto count = [&](const char* name) {
        return summary.value(QLatin1String(name)).toDouble();
    };
    const bool clean = count("pairsWithMessages") == 0 && count("filesWithMessages") == 0 &&
                       count("workspaceProblems") == 0 && count("notChecked") == 0;
    summary.insert(QStringLiteral("clean"), clean);
    whole.insert(QStringLiteral("workspaces"), workspaces);
    whole.insert(QStringLiteral("files"), files);
    whole.insert(QStringLiteral("summary"), summary);
    merged.report = QJsonDocument(whole).toJson(QJsonDocument::Indented);
    merged.findings = !clean;
    return merged;
}

MergedReport mergeSarif(const QList<QJsonObject>& reports) {
    MergedReport merged;
    QList<QJsonObject> results;
    for (const QJsonObject& report : reports) {
        const QJsonArray runs = report.value(QStringLiteral("runs")).toArray();
        for (const QJsonValue& result :
             runs.at(0).toObject().value(QStringLiteral("results")).toArray()) {
            results.append(result.toObject());
        }
    }
    const auto key = [](const QJsonObject& result) {
        return result.value(QStringLiteral("properties"))
            .toObject()
            .value(QStringLiteral("position"))
            .toArray();
    };
    std::stable_sort(
        results.begin(), results.end(),
        [&](const QJsonObject& a, const QJsonObject& b) { return positionBefore(key(a), key(b)); });
    for (qsizetype i = 1; i < results.size(); ++i) {
        if (!key(results[i]).isEmpty() && key(results[i]) == key(results[i - 1])) {
            merged.error = kOverlap;
            return merged;
        }
    }
    QJsonArray sorted;
    for (qsizetype i = 0; i < results.size(); ++i) {
        QJsonObject properties = results[i].value(QStringLiteral("properties")).toObject();
        properties.remove(QStringLiteral("position"));
        if (properties.isEmpty()) {
            results[i].remove(QStringLiteral("properties"));
        } else {
            results[i].insert(QStringLiteral("properties"), properties);
        }
        sorted.append(results[i]);
    }
    QJsonObject whole = reports.first();
    QJsonArray runs = whole.value(QStringLiteral("runs")).toArray();
    QJsonObject run = runs.at(0).toObject();
    run.insert(QStringLiteral("results"), sorted);
    runs[0] = run;
    whole.insert(QStringLiteral("runs"), runs);
    merged.report = QJsonDocument(whole).toJson(QJsonDocument::Indented);
    merged.findings = !sorted.isEmpty();
    return merged;
}

}  // namespace

bool inShard(const QString& path, int index, int count) {
    if (count <= 1) {
        return true;
    }
    const QByteArray digest =
        QCryptographicHash::hash(pathFromWorkingDirectory(path).toUtf8(), QCryptographicHash::Sha1);
    const quint64 value = qFromBigEndian<quint64>(digest.constData());
    return int(value % quint64(count)) == index - 1;
}

void keepShard(CheckResults& results, int index, int count) {
    CheckResults kept;
    for (qsizetype a = 0; a < results.size(); ++a) {
        if (auto* check = std::get_if<WorkspaceCheck>(&results[a])) {
            check->position = a;
            QList<qsizetype> pairPositions;
            QList<qsizetype> filePositions;
            check->problemPositions.clear();
            check->problems = shareOf(
                check->problems, index, count, [](const ShaderMessage& m) { return m.path; },
                check->problemPositions);
            check->pairs = shareOf(
                check->pairs, index, count, [](const PairCheck& p) { return p.vertexPath; },
                pairPositions);
            check->files = shareOf(
                check->files, index, count, [](const FileCheck& f) { return f.path; },
                filePositions);
            for (qsizetype i = 0; i < check->pairs.size(); ++i) {
                check->pairs[i].position = pairPositions[i];
            }
            for (qsizetype i = 0; i < check->files.size(); ++i) {
                check->files[i].position = filePositions[i];
            }
            kept.append(std::move(*check));
            continue;
        }
        FileCheck& file = std::get<FileCheck>(results[a]);
        if (inShard(file.path, index, count)) {
            file.position = a;
            kept.append(std::move(file));
        }
    }
    results = std::move(kept);
}

QList<QJsonArray> messagePositions(const CheckResults& results) {
    QList<QJsonArray> positions;
    for (const CheckedArgument& argument : results) {
        if (const auto* check = std::get_if<WorkspaceCheck>(&argument)) {
            for (qsizetype i = 0; i < check->problems.size(); ++i) {
                positions.append(position(check->position, 0, check->problemPositions.value(i), 0));
            }
            for (const PairCheck& pair : check->pairs) {
                for (qsizetype m = 0; m < pair.messages.size(); ++m) {
                    positions.append(position(check->position, 1, pair.position, m));
                }
            }
            for (const FileCheck& file : check->files) {
                for (qsizetype m = 0; m < file.messages.size(); ++m) {
                    positions.append(position(check->position, 2, file.position, m));
                }
            }
            continue;
        }
        const FileCheck& file = std::get<FileCheck>(argument);
        for (qsizetype m = 0; m < file.messages.size(); ++m) {
            positions.append(position(file.position, 0, 0, m));
        }
    }
    return positions;
}

MergedReport mergeReports(const QList<QByteArray>& reports, const QStringList& names) {
    QList<QJsonObject> objects;
    bool sarif = false;
    for (qsizetype i = 0; i < reports.size(); ++i) {
        QJsonParseError error{};
        const QJsonDocument document = QJsonDocument::fromJson(reports[i], &error);
        const QJsonObject object = document.object();
        const bool isSarif = object.contains(QStringLiteral("runs"));
        if (error.error != QJsonParseError::NoError ||
            (!isSarif && !object.contains(QStringLiteral("workspaces")))) {
            return MergedReport{{},
                                QStringLiteral("%1 is no JSON or SARIF report of "
                                               "glsl-tessory-check")
                                    .arg(names.value(i)),
                                false};
        }
        if (i > 0 && isSarif != sarif) {
            return MergedReport{{}, QStringLiteral("the reports mix JSON and SARIF"), false};
        }
        sarif = isSarif;
        objects.append(object);
    }
    return sarif ? mergeSarif(objects) : mergeJson(objects);
}

}  // namespace tessory
