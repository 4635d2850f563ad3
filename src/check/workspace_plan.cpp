// SPDX-License-Identifier: MIT
// The programs of a WorkSpace directory: its pairs as the WorkSpace list has them, the geometry
// and tessellation files of their base names, the programs of other extensions and of the
// project file, and every other shader file, each with its compile choices.
#include "check/workspace_check.h"

#include "compile/include_resolver.h"
#include "workspace/file_io.h"
#include "workspace/pair_scan.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

#include <algorithm>
#include <map>

namespace tessory {
namespace {

ShaderMessage workspaceProblem(const QString& path, const QString& text) {
    return ShaderMessage{
        path, std::nullopt, MessageSeverity::Error, text, MessageOrigin::Workspace, std::nullopt};
}

ShaderMessage loneProblem(const QString& path, const QString& partner) {
    return workspaceProblem(
        path, QStringLiteral("Vertex-/ Fragment Shader Pair not found: no file %1 beside it")
                  .arg(partner));
}

// A pair whose name the list shows in another letter case: nothing would check it.
void reportHiddenPairs(const QString& directory, const PairExtensions& extensions,
                       const WorkspaceScan& scan, QList<ShaderMessage>& problems) {
    const QSet<QString> lone(scan.unpairedFiles.cbegin(), scan.unpairedFiles.cend());
    for (const QString& name : scan.shadowedNames) {
        const QString vertexFile = name + extensions.vertex;
        if (lone.contains(vertexFile) || lone.contains(name + extensions.fragment)) {
            continue;
        }
        const qsizetype shownAs = scan.pairs.indexOf(name);
        problems.append(workspaceProblem(
            directory + vertexFile,
            QStringLiteral("pair %1 not checked: the WorkSpace lists %2 in its place, as names "
                           "that differ only in letter case are one pair")
                .arg(name, shownAs >= 0 ? scan.pairs.at(shownAs) : QString())));
    }
}

// A pair file beside another of the same name in other letter case: only one of them is checked.
void reportCaseVariantFiles(const QString& directory, const PairExtensions& extensions,
                            const WorkspaceScan& scan, QList<ShaderMessage>& problems) {
    for (const QString& entryName : scan.caseVariantFiles) {
        for (const PairFileName& file :
             pairFileNames(DirEntry{entryName, EntryKind::File}, extensions)) {
            const QString& extension =
                file.side == PairSide::Vertex ? extensions.vertex : extensions.fragment;
            const QString used = findPairFile(directory, file.baseName, extension);
            problems.append(workspaceProblem(
                directory + entryName,
                QStringLiteral("not checked: %1 is used in its place, as file names that differ "
                               "only in letter case belong to one pair")
                    .arg(QFileInfo(used).fileName())));
        }
    }
}

// A pair file whose name is not valid UTF-8: the WorkSpace leaves it out, so nothing checks it.
void reportUndecodableFiles(const QString& directory, const WorkspaceScan& scan,
                            QList<ShaderMessage>& problems) {
    for (const QString& entryName : scan.undecodableFiles) {
        problems.append(workspaceProblem(
            directory + entryName,
            QStringLiteral("not checked: the name is not valid UTF-8, so the WorkSpace leaves "
                           "the file out")));
    }
}

// The pairs to compile: the listed ones, or, in an incomplete WorkSpace, every name with both
// files, so that one missing file does not hide the messages of all other pairs.
QStringList namesToCompile(const PairExtensions& extensions, const WorkspaceScan& scan) {
    if (scan.complete()) {
        return scan.listedNames();
    }
    const QSet<QString> missing(scan.missingFiles.cbegin(), scan.missingFiles.cend());
    QStringList names;
    for (const QString& name : scan.pairs.names()) {
        if (!missing.contains(name + extensions.vertex) &&
            !missing.contains(name + extensions.fragment)) {
            names.append(name);
        }
    }
    return names;
}

bool joinsVertex(ShaderStage stage) {
    return stage == ShaderStage::Geometry || stage == ShaderStage::TessControl ||
           stage == ShaderStage::TessEvaluation;
}

// A shader file of the directory that no pair of the list has taken.
struct Candidate {
    QString path;
    StageName name;
    bool used = false;  // taken into a program
};

class Planner {
public:
    Planner(const QString& directory, const PlanRules& rules)
        : directory_(directory),
          rules_(rules),
          extensions_(rules.directory.extensions),
          pairExtensions_(extensions_.pair()) {
        if (const ProjectFile* project = rules.directory.project) {
            for (const ProjectProgram& program : project->programs) {
                for (const auto& stage : program.stages) {
                    taken_.insert(absoluteCleanPath(stage.second));
                }
            }
        }
    }

    WorkspaceCheck run() {
        const WorkspaceScan scan = scanWorkspace(directory_, pairExtensions_);
        check_.directory = directory_;
        check_.listedNames = scan.listedNames();
        check_.complete = scan.complete();
        check_.pairExtensions = pairExtensions_;
        const QStringList compiled = namesToCompile(pairExtensions_, scan);
        for (const QString& name : compiled) {
            PairCheck pair;
            pair.name = name;
            pair.vertexPath = findPairFile(directory_, name, pairExtensions_.vertex);
            pair.fragmentPath = findPairFile(directory_, name, pairExtensions_.fragment);
            pairs_.append(std::move(pair));
        }
        QList<ShaderMessage> notFiles;
        findCandidates(scan, compiled, notFiles);
        attachToPairs();
        groupPrograms();
        reportLone(scan);
        reportHiddenPairs(directory_, pairExtensions_, scan, check_.problems);
        reportCaseVariantFiles(directory_, pairExtensions_, scan, check_.problems);
        reportUndecodableFiles(directory_, scan, check_.problems);
        check_.problems.append(notFiles);
        addProjectPrograms();
        for (const Candidate& candidate : candidates_) {
            if (!candidate.used) {
                addFile(candidate.path, candidate.name.stage, false);
            }
        }
        std::sort(files_.begin(), files_.end(),
                  [](const auto& a, const auto& b) { return a.first < b.first; });
        for (PairCheck& pair : pairs_) {
            withChoices(pair, pair.vertexPath, check_.pairs);
        }
        for (auto& [order, file] : files_) {
            withChoices(file, file.path, check_.files);
        }
        return std::move(check_);
    }

    // The check once for each way to compile it (one for each variant).
    template <typename Check>
    void withChoices(Check& check, const QString& path, QList<Check>& into) const {
        const QList<CompileChoice> choices = choicesFor(path);
        for (qsizetype i = 0; i < choices.size(); ++i) {
            check.choice = choices[i];
            into.append(i + 1 < choices.size() ? check : std::move(check));
        }
    }

private:
    QList<CompileChoice> choicesFor(const QString& path) const {
        if (rules_.config == nullptr) {
            CompileChoice choice;
            choice.root = QDir::currentPath();
            return {choice};
        }
        return rules_.config->choicesFor(path, rules_.directory);
    }

    LonePolicy lonePolicyFor(const QString& path) const {
        return rules_.config ? rules_.config->lonePolicyFor(path, rules_.directory)
                             : LonePolicy::Problem;
    }

    // Every entry with a stage by its name or its pragma that no listed pair takes; a word for
    // each such entry that is no file.
    void findCandidates(const WorkspaceScan& scan, const QStringList& compiled,
                        QList<ShaderMessage>& notFiles) {
        // Pair files are found ignoring A-Z case: their case variants are reported, not compiled.
        QSet<QString> pairFiles;
        for (const QStringList* names : {&compiled, &scan.shadowedNames}) {
            for (const QString& name : *names) {
                pairFiles.insert(foldAsciiCase(name + pairExtensions_.vertex));
                pairFiles.insert(foldAsciiCase(name + pairExtensions_.fragment));
            }
        }
        for (const DirEntry& entry : scan.entries) {
            if (!entry.nameDecodes || pairFiles.contains(foldAsciiCase(entry.name)) ||
                scan.unusableFiles.contains(entry.name)) {
                continue;
            }
            const QString path = directory_ + entry.name;
            std::optional<StageName> name = extensions_.stageOfName(entry.name);
            if (!name && isGlslFileName(entry.name) && entry.kind == EntryKind::File) {
                // A .glsl file is a stage when its pragma says so, and otherwise one to include.
                const IncludeText text = FileIncludeResolver().read(path);
                if (const std::optional<ShaderStage> stage = pragmaStage(text.bytes)) {
                    name = StageName{*stage, entry.name.chopped(5), true};
                }
            }
            if (!name || isTaken(path)) {
                continue;
            }
            if (entry.kind != EntryKind::File) {
                notFiles.append(workspaceProblem(
                    path,
                    QStringLiteral("not checked: not a regular file (a dangling link, a pipe, "
                                   "a socket or a device)")));
                continue;
            }
            order_.insert(path, order_.size());
            candidateOf_.insert(path, candidates_.size());
            candidates_.append(Candidate{path, *name});
        }
    }

    // Geometry and tessellation files join the listed pair of their base name.
    void attachToPairs() {
        QHash<QString, qsizetype> byName;
        for (qsizetype i = 0; i < pairs_.size(); ++i) {
            byName.insert(foldAsciiCase(pairs_[i].name), i);
        }
        for (Candidate& candidate : candidates_) {
            const auto pair = byName.constFind(foldAsciiCase(candidate.name.baseName));
            if (candidate.name.configured && joinsVertex(candidate.name.stage) &&
                pair != byName.cend()) {
                candidate.used = addStage(pairs_[*pair], candidate);
            }
        }
    }

    static bool addStage(PairCheck& pair, const Candidate& candidate) {
        for (const StageFile& stage : pair.otherStages) {
            if (stage.stage == candidate.name.stage) {
                return false;
            }
        }
        pair.otherStages.append({candidate.name.stage, candidate.path});
        std::sort(pair.otherStages.begin(), pair.otherStages.end(),
                  [](const StageFile& a, const StageFile& b) { return a.stage < b.stage; });
        return true;
    }

    // The other files of one base name that make a program: a vertex (or mesh) and a fragment
    // file with their geometry and tessellation (or task) files.
    void groupPrograms() {
        std::map<QString, QList<qsizetype>> groups;
        for (qsizetype i = 0; i < candidates_.size(); ++i) {
            if (!candidates_[i].used && candidates_[i].name.configured) {
                groups[foldAsciiCase(candidates_[i].name.baseName)].append(i);
            }
        }
        for (const auto& group : groups) {
            const QList<qsizetype>& members = group.second;
            const auto find = [&](ShaderStage stage) -> Candidate* {
                for (const qsizetype i : members) {
                    if (candidates_[i].name.stage == stage) {
                        return &candidates_[i];
                    }
                }
                return nullptr;
            };
            Candidate* vertex = find(ShaderStage::Vertex);
            if (vertex == nullptr) {
                vertex = find(ShaderStage::Mesh);
            }
            Candidate* fragment = find(ShaderStage::Fragment);
            if (vertex == nullptr || fragment == nullptr) {
                continue;
            }
            PairCheck pair;
            pair.name = vertex->name.baseName;
            pair.vertexPath = vertex->path;
            pair.vertexStage = vertex->name.stage;
            pair.fragmentPath = fragment->path;
            vertex->used = fragment->used = true;
            for (const qsizetype i : members) {
                Candidate& other = candidates_[i];
                const bool joins = pair.vertexStage == ShaderStage::Mesh
                                       ? other.name.stage == ShaderStage::Task
                                       : joinsVertex(other.name.stage);
                if (!other.used && joins) {
                    other.used = addStage(pair, other);
                }
            }
            pairs_.append(std::move(pair));
        }
    }

    QString partnerName(const StageName& name) const {
        const ShaderStage partner =
            name.stage == ShaderStage::Vertex ? ShaderStage::Fragment : ShaderStage::Vertex;
        return name.baseName + extensions_.of(partner).value(0);
    }

    // Vertex and fragment files without their partner: a problem unless lone files are allowed
    // there; compiled on their own either way, a fragment file with the built-in vertex stage
    // where they are allowed.
    void reportLone(const WorkspaceScan& scan) {
        QSet<QString> reported;
        for (const QString& entryName : scan.unpairedFiles) {
            const QString path = directory_ + entryName;
            reported.insert(path);
            // Its partner is there: what is wrong is the entry itself (a link loop, a pipe).
            if (scan.unusableFiles.contains(entryName)) {
                check_.problems.append(workspaceProblem(path, scan.unusableFiles.value(entryName)));
                continue;
            }
            const auto candidate = candidateOf_.constFind(path);
            const bool used = candidate != candidateOf_.cend() && candidates_[*candidate].used;
            if (isTaken(path) || used || lonePolicyFor(path) == LonePolicy::Ok) {
                continue;
            }
            for (const PairFileName& file :
                 pairFileNames(DirEntry{entryName, EntryKind::File}, pairExtensions_)) {
                const QString& partnerExt = file.side == PairSide::Vertex ? pairExtensions_.fragment
                                                                          : pairExtensions_.vertex;
                check_.problems.append(loneProblem(path, file.baseName + partnerExt));
            }
        }
        for (Candidate& candidate : candidates_) {
            const ShaderStage stage = candidate.name.stage;
            if (candidate.used || !candidate.name.configured ||
                (stage != ShaderStage::Vertex && stage != ShaderStage::Fragment)) {
                continue;
            }
            const bool allowed = lonePolicyFor(candidate.path) == LonePolicy::Ok;
            if (!allowed && !reported.contains(candidate.path)) {
                check_.problems.append(loneProblem(candidate.path, partnerName(candidate.name)));
            }
            candidate.used = true;
            addFile(candidate.path, stage, allowed && stage == ShaderStage::Fragment);
        }
    }

    bool isTaken(const QString& path) const {
        return !taken_.isEmpty() && taken_.contains(absoluteCleanPath(path));
    }

    void addFile(const QString& path, ShaderStage stage, bool builtInVertex) {
        FileCheck file;
        file.path = path;
        file.stage = stage;
        file.builtInVertex = builtInVertex;
        files_.append({order_.value(path, order_.size()), std::move(file)});
    }

    // The programs of the project file whose first file is in this directory.
    void addProjectPrograms() {
        const ProjectFile* project = rules_.directory.project;
        if (project == nullptr) {
            return;
        }
        const QString here = absoluteCleanPath(directory_);
        for (const ProjectProgram& program : project->programs) {
            const QString& first = program.stages.first().second;
            if (QFileInfo(absoluteCleanPath(first)).absolutePath() != here) {
                continue;
            }
            if (program.stages.size() == 1) {
                addFile(first, program.stages.first().first, false);
                continue;
            }
            PairCheck pair;
            pair.name = program.name;
            for (const auto& [stage, path] : program.stages) {
                if (stage == ShaderStage::Vertex || stage == ShaderStage::Mesh) {
                    pair.vertexPath = path;
                    pair.vertexStage = stage;
                } else if (stage == ShaderStage::Fragment) {
                    pair.fragmentPath = path;
                } else {
                    pair.otherStages.append({stage, path});
                }
            }
            pairs_.append(std::move(pair));
        }
    }

    const QString& directory_;
    const PlanRules& rules_;
    const StageExtensions& extensions_;
    const PairExtensions pairExtensions_;
    QSet<QString> taken_;
    QList<PairCheck> pairs_;
    QList<Candidate> candidates_;
    QHash<QString, qsizetype> order_;  // of the entries, by path
    QHash<QString, qsizetype> candidateOf_;
    QList<std::pair<qsizetype, FileCheck>> files_;
    WorkspaceCheck check_;
};

}  // namespace

WorkspaceCheck planWorkspace(const QString& directory, const PlanRules& rules) {
    return Planner(directory, rules).run();
}

WorkspaceCheck planWorkspace(const QString& directory, const PairExtensions& extensions) {
    PlanRules rules;
    rules.directory.extensions.set(ShaderStage::Vertex, {extensions.vertex});
    rules.directory.extensions.set(ShaderStage::Fragment, {extensions.fragment});
    return planWorkspace(directory, rules);
}

}  // namespace tessory
