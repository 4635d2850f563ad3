// SPDX-License-Identifier: MIT
#include "check/isolated_run.h"

#include "compile/driver_host_protocol.h"
#include "workspace/file_replace.h"

#include <QDataStream>
#include <QIODevice>
#include <QSet>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <future>
#include <optional>
#include <set>

#include <sys/wait.h>
#include <unistd.h>

namespace tessory {
namespace {

// What a child says, in the driver host's framing: the id is the task's index.
namespace Frame {
constexpr quint8 Driver = 1;    // the driver is loaded: its stages
constexpr quint8 NoDriver = 2;  // it cannot be: why
constexpr quint8 Started = 3;
constexpr quint8 Finished = 4;  // the task's outcome
constexpr quint8 Done = 5;      // every task given is settled: why threads were short, if they were
}  // namespace Frame

QDataStream& operator<<(QDataStream& out, const SourceLocation& at) {
    return out << at.path << at.line.has_value() << qint64(at.line.value_or(0))
               << at.column.has_value() << qint64(at.column.value_or(0));
}

QDataStream& operator>>(QDataStream& in, SourceLocation& at) {
    bool hasLine = false;
    bool hasColumn = false;
    qint64 line = 0;
    qint64 column = 0;
    in >> at.path >> hasLine >> line >> hasColumn >> column;
    at.line = hasLine ? std::optional<qint64>(line) : std::nullopt;
    at.column = hasColumn ? std::optional<qint64>(column) : std::nullopt;
    return in;
}

template <typename Enum>
void putOptional(QDataStream& out, const std::optional<Enum>& value) {
    out << qint32(value ? int(*value) : -1);
}

template <typename Enum>
std::optional<Enum> takeOptional(QDataStream& in) {
    qint32 value = -1;
    in >> value;
    return value < 0 ? std::nullopt : std::optional<Enum>(Enum(value));
}

QByteArray encodeOutcome(const CompileOutcome& outcome) {
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << quint32(outcome.messages.size());
    for (const ShaderMessage& m : outcome.messages) {
        out << SourceLocation{m.path, m.line, m.column} << qint32(m.severity) << m.text
            << qint32(m.origin);
        putOptional(out, m.stage);
        putOptional(out, m.target);
        out << m.variant << quint32(m.includedFrom.size());
        for (const SourceLocation& at : m.includedFrom) {
            out << at;
        }
    }
    out << outcome.logs << outcome.linkLog;
    putOptional(out, outcome.target);
    out << outcome.checked;
    return bytes;
}

std::optional<CompileOutcome> decodeOutcome(const QByteArray& payload) {
    CompileOutcome outcome;
    QDataStream in(payload);
    quint32 messages = 0;
    in >> messages;
    for (quint32 i = 0; i < messages && in.status() == QDataStream::Ok; ++i) {
        ShaderMessage m;
        SourceLocation at;
        qint32 severity = 0;
        qint32 origin = 0;
        quint32 included = 0;
        in >> at >> severity >> m.text >> origin;
        m.path = at.path;
        m.line = at.line;
        m.column = at.column;
        m.severity = MessageSeverity(severity);
        m.origin = MessageOrigin(origin);
        m.stage = takeOptional<ShaderStage>(in);
        m.target = takeOptional<Target>(in);
        in >> m.variant >> included;
        for (quint32 j = 0; j < included && in.status() == QDataStream::Ok; ++j) {
            SourceLocation from;
            in >> from;
            m.includedFrom.append(from);
        }
        outcome.messages.append(m);
    }
    in >> outcome.logs >> outcome.linkLog;
    outcome.target = takeOptional<Target>(in);
    in >> outcome.checked;
    if (in.status() != QDataStream::Ok) {
        return std::nullopt;
    }
    return outcome;
}

QByteArray encodeDriver(const DriverStages& driver) {
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << driver.renderer << driver.version << quint32(driver.supported.size());
    for (const ShaderStage stage : driver.supported) {
        out << qint32(stage);
    }
    return bytes;
}

DriverStages decodeDriver(const QByteArray& payload) {
    DriverStages driver;
    QDataStream in(payload);
    quint32 count = 0;
    in >> driver.renderer >> driver.version >> count;
    for (quint32 i = 0; i < count && in.status() == QDataStream::Ok && i < 64; ++i) {
        qint32 stage = 0;
        in >> stage;
        driver.supported.append(ShaderStage(stage));
    }
    return driver;
}

// Loading the driver takes long enough to read the sources meanwhile, as many as it takes.
std::future<GlContextResult> makeFirstContext() {
    return std::async(std::launch::async | std::launch::deferred, [] {
        GlContextResult made = GlContext::create();
        if (made.context) {
            made.context->releaseCurrent();
        }
        GlContext::leaveThread();
        return made;
    });
}

// Where the tasks are told of as they go: the child writes each to its parent, a run in this
// process puts them in place itself.
struct Telling {
    std::function<void(quint8 kind, quint64 id, const QByteArray& payload)> send;
};

// The driver, then the tasks of `indexes` (all, when empty) on `jobs` threads, each told as it
// starts and as it ends. The first run plans the tasks from the results; a later child, a copy of
// a parent that knows them, takes `known`, whose pointers lead into its own copy of the results.
RunnerResult compileHere(CheckResults& results, const CheckOptions& options, bool openGl,
                         const QList<CompileTask>* known, const QSet<qsizetype>& indexes, int jobs,
                         const Telling& telling, QString& noDriver, DriverStages& driver) {
    const auto send = [&telling](quint8 kind, quint64 id, const QByteArray& payload) {
        if (telling.send) {
            telling.send(kind, id, payload);
        }
    };
    std::optional<std::future<GlContextResult>> firstContext;
    if (openGl) {
        firstContext = makeFirstContext();
    }
    ReadAheadLimit limit;
    limit.goOn = [&firstContext] {
        return firstContext &&
               firstContext->wait_for(std::chrono::seconds(0)) != std::future_status::ready;
    };
    readAhead(results, std::move(limit));
    GlContextResult made;
    if (firstContext) {
        made = firstContext->get();
        if (!made.context) {
            noDriver = made.failure;
            send(Frame::NoDriver, 0, made.failure.toUtf8());
            return {};
        }
        driver = driverStages(*made.context);
        send(Frame::Driver, 0, encodeDriver(driver));
        if (known == nullptr) {
            setAsideUnsupportedStages(results, driver);
        }
    } else {
        send(Frame::Driver, 0, encodeDriver({}));
    }
    const QList<CompileTask> all = known != nullptr ? *known : compileTasks(results);
    QList<CompileTask> tasks;
    QList<qsizetype> ids;
    for (qsizetype i = 0; i < all.size(); ++i) {
        if (indexes.isEmpty() || indexes.contains(i)) {
            tasks.append(all[i]);
            ids.append(i);
        }
    }
    const FileIncludeResolver files;
    const CachingIncludeResolver includes(files);
    const CompileEngine engine(includes);
    TaskObserver observer;
    // Tests play a driver that crashes on one shader through the environment.
    const QByteArray crashOn = qgetenv("TESSORY_CHECK_CRASH_ON");
    if (telling.send) {
        observer.started = [&](qsizetype task) {
            send(Frame::Started, quint64(ids[task]), {});
            const CompileTask& started = tasks[task];
            if (!crashOn.isEmpty() && (started.pair ? started.pair->vertexPath : started.file->path)
                                          .contains(QString::fromUtf8(crashOn))) {
                std::abort();
            }
        };
        observer.finished = [&](qsizetype task, const CompileOutcome& outcome) {
            send(Frame::Finished, quint64(ids[task]), encodeOutcome(outcome));
        };
    }
    const RunnerResult run =
        runCompileTasks(tasks, std::move(made.context), compileThreadCount(jobs, tasks.size()),
                        options.timeoutSeconds, engine, observer);
    send(Frame::Done, 0, run.shortOfThreads.toUtf8());
    return run;
}

// The child's life, telling its parent on `fd`. Never returns.
[[noreturn]] void runChild(CheckResults& results, const CheckOptions& options, bool openGl,
                           const QList<CompileTask>* known, const QSet<qsizetype>& indexes,
                           int jobs, int fd) {
    const Telling telling{[fd](quint8 kind, quint64 id, const QByteArray& payload) {
        if (!writeAll(fd, frameHostMessage({id, kind, payload}))) {
            std::_Exit(3);
        }
    }};
    QString noDriver;
    DriverStages driver;
    compileHere(results, options, openGl, known, indexes, jobs, telling, noDriver, driver);
    // Whatever the driver holds goes with the process; tearing it down could wait on a thread
    // still inside it.
    std::_Exit(0);
}

struct ChildEnd {
    bool done = false;
    int signal = 0;          // the signal that ended the child, 0 when it exited
    bool notForked = false;  // no child could be made (a limit on processes)
    QString problem;         // a child that said what no child says
};

class Parent {
public:
    Parent(CheckResults& results, const CheckOptions& options, IsolatedRun& run)
        : results_(results), options_(options), run_(run) {}

    // Forks a child for the tasks of `indexes` (all when empty) and takes in what it says.
    ChildEnd runChild(const QSet<qsizetype>& indexes, int jobs) {
        started_.clear();
        int pipeEnds[2];
        if (::pipe(pipeEnds) != 0) {
            return {false, 0, true, {}};
        }
        std::fflush(nullptr);
        const pid_t child = ::fork();
        if (child < 0) {
            ::close(pipeEnds[0]);
            ::close(pipeEnds[1]);
            return {false, 0, true, {}};
        }
        if (child == 0) {
            ::close(pipeEnds[0]);
            tessory::runChild(results_, options_, openGl(), driverKnown_ ? &tasks_ : nullptr,
                              indexes, jobs, pipeEnds[1]);
        }
        ::close(pipeEnds[1]);
        ChildEnd end = readFrom(pipeEnds[0]);
        ::close(pipeEnds[0]);
        int status = 0;
        while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
        }
        if (WIFSIGNALED(status)) {
            end.signal = WTERMSIG(status);
        }
        return end;
    }

    const std::set<qsizetype>& started() const { return started_; }
    const std::set<qsizetype>& finished() const { return finished_; }
    bool driverKnown() const { return driverKnown_; }
    bool openGlRun() const { return openGl(); }
    qsizetype taskCount() const { return tasks_.size(); }

    void markStopped(qsizetype index, int signal) {
        CompileOutcome outcome;
        outcome.checked = false;
        const CompileTask& task = tasks_[index];
        outcome.messages = {
            ShaderMessage{task.pair ? task.pair->vertexPath : task.file->path, std::nullopt,
                          MessageSeverity::Error,
                          QStringLiteral("not checked: the driver stopped (signal %1)").arg(signal),
                          MessageOrigin::Timeout, std::nullopt}};
        settle(index, std::move(outcome));
    }

private:
    bool openGl() const { return !(options_.targetGiven && options_.target == Target::Vulkan); }

    ChildEnd readFrom(int fd) {
        ChildEnd end;
        QByteArray buffer;
        char chunk[64 * 1024];
        for (;;) {
            try {
                while (const std::optional<HostMessage> frame = takeHostMessage(buffer)) {
                    take(*frame, end);
                }
            } catch (const std::exception&) {
                end.problem = QStringLiteral("a compiling process said what none says");
                return end;
            }
            const ssize_t n = ::read(fd, chunk, sizeof chunk);
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n <= 0) {
                return end;
            }
            buffer.append(chunk, n);
        }
    }

    void take(const HostMessage& frame, ChildEnd& end) {
        switch (frame.kind) {
            case Frame::NoDriver:
                run_.failure = QString::fromUtf8(frame.payload);
                end.done = true;
                break;
            case Frame::Driver:
                if (!driverKnown_) {
                    const DriverStages driver = decodeDriver(frame.payload);
                    run_.driver = DriverInfo{driver.renderer, driver.version};
                    if (openGl()) {
                        setAsideUnsupportedStages(results_, driver);
                    }
                    tasks_ = compileTasks(results_);
                    driverKnown_ = true;
                }
                break;
            case Frame::Started:
                started_.insert(qsizetype(frame.id));
                break;
            case Frame::Finished:
                if (const std::optional<CompileOutcome> outcome = decodeOutcome(frame.payload);
                    outcome && qsizetype(frame.id) < tasks_.size()) {
                    settle(qsizetype(frame.id), CompileOutcome(*outcome));
                }
                break;
            case Frame::Done:
                if (!frame.payload.isEmpty()) {
                    run_.shortOfThreads = QString::fromUtf8(frame.payload);
                }
                end.done = true;
                break;
            default:
                break;
        }
    }

    void settle(qsizetype index, CompileOutcome&& outcome) {
        if (!finished_.insert(index).second) {
            return;
        }
        const CompileTask& task = tasks_[index];
        if (task.pair) {
            takeOutcome(*task.pair, std::move(outcome));
        } else {
            takeOutcome(*task.file, std::move(outcome));
        }
    }

    CheckResults& results_;
    const CheckOptions& options_;
    IsolatedRun& run_;
    QList<CompileTask> tasks_;
    std::set<qsizetype> started_;
    std::set<qsizetype> finished_;
    bool driverKnown_ = false;
};

}  // namespace

IsolatedRun compileIsolated(CheckResults& results, const CheckOptions& options) {
    IsolatedRun run;
    Parent parent(results, options, run);
    ChildEnd end = parent.runChild({}, options.jobs);
    if (end.notForked) {
        QString noDriver;
        DriverStages driver;
        const RunnerResult here = compileHere(results, options, parent.openGlRun(), nullptr, {},
                                              options.jobs, {}, noDriver, driver);
        run.failure = noDriver;
        run.driver = DriverInfo{driver.renderer, driver.version};
        run.shortOfThreads = here.shortOfThreads;
        run.driverStillRunning = here.driverStillRunning;
        return run;
    }
    for (;;) {
        if (!end.problem.isEmpty()) {
            run.failure = end.problem;
            return run;
        }
        if (end.done || !run.failure.isEmpty()) {
            return run;
        }
        if (!parent.driverKnown()) {
            // The driver itself does not load: nothing would go better a second time.
            run.failure =
                QStringLiteral("the OpenGL driver stopped (signal %1) while it was loaded")
                    .arg(end.signal);
            return run;
        }
        // The shaders under way when the driver stopped: one alone is the one it stopped on; of
        // several, each is compiled again on its own to find out.
        QList<qsizetype> underWay;
        for (const qsizetype task : parent.started()) {
            if (!parent.finished().contains(task)) {
                underWay.append(task);
            }
        }
        if (underWay.size() == 1) {
            parent.markStopped(underWay.first(), end.signal);
        } else {
            for (const qsizetype task : underWay) {
                const ChildEnd alone = parent.runChild({task}, 1);
                if (!parent.finished().contains(task)) {
                    parent.markStopped(task, alone.signal);
                }
            }
        }
        QSet<qsizetype> rest;
        for (qsizetype task = 0; task < parent.taskCount(); ++task) {
            if (!parent.finished().contains(task)) {
                rest.insert(task);
            }
        }
        if (rest.isEmpty()) {
            return run;
        }
        end = parent.runChild(rest, options.jobs);
    }
}

}  // namespace tessory
