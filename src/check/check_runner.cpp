// SPDX-License-Identifier: MIT
#include "check/check_runner.h"

#include "compile/gl_contexts.h"

#include <QThread>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <new>
#include <span>
#include <system_error>
#include <thread>

namespace tessory {
namespace {

using Clock = std::chrono::steady_clock;

struct Worker {
    std::unique_ptr<ThreadContexts> contexts;
    qsizetype task = -1;  // the task under way, -1 when none
    Clock::time_point since;
    bool abandoned = false;
    bool finished = false;
};

struct Shared {
    Shared(const CompileEngine& compiler, const TaskObserver& told)
        : engine(compiler), observer(told) {}
    const CompileEngine& engine;
    const TaskObserver& observer;
    // The first thread's context until it takes it; the others make theirs on its display.
    std::unique_ptr<GlContext> first;
    const GlContext* base = nullptr;
    std::mutex mutex;
    std::condition_variable changed;
    qsizetype next = 0;
    bool stop = false;
    bool firstTaken = false;  // the first thread has made its context current, or failed to
    int withoutContext = 0;   // threads that took no task for want of a context
    std::vector<Worker> workers;
};

const QString& taskPath(const CompileTask& task) {
    return task.pair ? task.pair->vertexPath : task.file->path;
}

void take(const CompileTask& task, CompileOutcome&& outcome) {
    if (task.pair) {
        takeOutcome(*task.pair, std::move(outcome));
    } else {
        takeOutcome(*task.file, std::move(outcome));
    }
}

// Called with the run's lock held.
void markNotChecked(qsizetype index, const CompileTask& task, const QString& text,
                    const TaskObserver& observer) {
    CompileOutcome outcome;
    outcome.checked = false;
    outcome.messages = {ShaderMessage{taskPath(task), std::nullopt, MessageSeverity::Error, text,
                                      MessageOrigin::Timeout, std::nullopt}};
    if (observer.finished) {
        observer.finished(index, outcome);
    }
    take(task, std::move(outcome));
}

// The contexts the thread compiles on, with a compatibility context current: the first
// thread's is ready, every other thread makes its own while the first is compiling. Without
// one, every call would go nowhere and every log would read empty, a false pass. Without a first
// context (a run for Vulkan), contexts come when a task needs one.
ThreadContexts* takeContexts(std::size_t index, Shared& shared) {
    if (shared.base == nullptr) {
        const std::lock_guard lock(shared.mutex);
        shared.workers[index].contexts = std::make_unique<ThreadContexts>();
        return shared.workers[index].contexts.get();
    }
    QString why;
    if (index == 0) {
        auto contexts = std::make_unique<ThreadContexts>(shared.base);
        contexts->adopt(std::move(shared.first));
        const bool current = contexts->current(GlProfile::Compatibility, why) != nullptr;
        {
            const std::lock_guard lock(shared.mutex);
            shared.firstTaken = true;
            shared.workers[0].contexts = std::move(contexts);
        }
        shared.changed.notify_all();
        return current ? shared.workers[0].contexts.get() : nullptr;
    }
    // Making a context current waits for the display, which making a context holds for several
    // milliseconds: the others make theirs only once the first thread has started compiling.
    {
        std::unique_lock lock(shared.mutex);
        shared.changed.wait(lock, [&shared] { return shared.firstTaken; });
    }
    // The first context stays in place until every thread that did not hang has ended.
    auto contexts = std::make_unique<ThreadContexts>(shared.base);
    bool current = false;
    try {
        current = contexts->current(GlProfile::Compatibility, why) != nullptr;
    } catch (const std::bad_alloc&) {
        // Without the memory for one more context the thread takes no task, as when EGL refuses.
    }
    const std::lock_guard lock(shared.mutex);
    shared.workers[index].contexts = std::move(contexts);
    return current ? shared.workers[index].contexts.get() : nullptr;
}

void work(std::size_t index, const QList<CompileTask>& tasks, Shared& shared) {
    ThreadContexts* contexts = takeContexts(index, shared);
    if (contexts == nullptr) {
        GlContext::leaveThread();
        const std::lock_guard lock(shared.mutex);
        shared.workers[index].finished = true;
        ++shared.withoutContext;
        shared.changed.notify_all();
        return;
    }
    const CompileApis apis{shared.engine, *contexts};
    for (;;) {
        qsizetype taskIndex = -1;
        {
            const std::lock_guard lock(shared.mutex);
            if (shared.stop || shared.next >= tasks.size()) {
                break;
            }
            taskIndex = shared.next++;
            shared.workers[index].task = taskIndex;
            shared.workers[index].since = Clock::now();
            if (shared.observer.started) {
                shared.observer.started(taskIndex);
            }
        }
        const CompileTask& task = tasks[taskIndex];
        CompileOutcome outcome =
            task.pair ? compilePair(apis, *task.pair) : compileFile(apis, *task.file);
        const std::lock_guard lock(shared.mutex);
        if (shared.workers[index].abandoned) {
            // The run has been reported without this thread; its context is no longer its own.
            return;
        }
        if (shared.observer.finished) {
            shared.observer.finished(taskIndex, outcome);
        }
        take(task, std::move(outcome));
        shared.workers[index].task = -1;
    }
    contexts->release();
    GlContext::leaveThread();
    const std::lock_guard lock(shared.mutex);
    shared.workers[index].finished = true;
    shared.changed.notify_all();
}

QString secondsText(double seconds) {
    return QString::number(seconds, 'g', 6);
}

// Starts a thread for each worker until one cannot be started (too many threads, too little
// memory); that one and the rest count as finished. The reason, or an empty text.
QString startWorkers(const QList<CompileTask>& tasks, Shared& shared,
                     std::vector<std::thread>& running) {
    for (std::size_t i = 0; i < shared.workers.size(); ++i) {
        try {
            running.emplace_back(work, i, std::cref(tasks), std::ref(shared));
        } catch (const std::system_error& error) {
            const std::lock_guard lock(shared.mutex);
            for (Worker& worker : std::span(shared.workers).subspan(i)) {
                worker.finished = true;
            }
            return QString::fromLocal8Bit(error.code().message());
        }
    }
    return {};
}

}  // namespace

int compileThreadCount(int jobs, qsizetype tasks) {
    const qsizetype processors = std::max(1, QThread::idealThreadCount());
    return int(std::max<qsizetype>(
        1, std::min({qsizetype(jobs), tasks, kThreadsPerProcessor * processors})));
}

RunnerResult runCompileTasks(const QList<CompileTask>& tasks, std::unique_ptr<GlContext> first,
                             int threads, double timeoutSeconds, const CompileEngine& engine,
                             const TaskObserver& observer) {
    Shared shared(engine, observer);
    shared.workers.resize(std::size_t(std::max(threads, 1)));
    shared.base = first.get();
    shared.first = std::move(first);
    std::vector<std::thread> running;
    running.reserve(shared.workers.size());
    const QString notStarted = startWorkers(tasks, shared, running);
    const auto limit =
        std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(timeoutSeconds));
    QString stoppedBy;
    {
        std::unique_lock lock(shared.mutex);
        for (;;) {
            const Clock::time_point now = Clock::now();
            Clock::time_point wake = now + std::chrono::seconds(1);
            bool running = false;
            for (Worker& worker : shared.workers) {
                if (worker.finished || worker.abandoned) {
                    continue;
                }
                running = true;
                if (worker.task < 0) {
                    continue;
                }
                if (now - worker.since <= limit) {
                    wake = std::min(wake, worker.since + limit);
                    continue;
                }
                const CompileTask& task = tasks[worker.task];
                markNotChecked(worker.task, task,
                               QStringLiteral("not checked: the driver took longer than %1 s")
                                   .arg(secondsText(timeoutSeconds)),
                               observer);
                stoppedBy = stoppedBy.isEmpty() ? taskPath(task) : stoppedBy;
                worker.abandoned = true;
                shared.stop = true;
            }
            if (!running) {
                break;
            }
            shared.changed.wait_until(lock, wake);
        }
        const QString unstarted =
            running.empty() ? QStringLiteral("not checked: no compiling thread could be started")
            : stoppedBy.isEmpty()
                ? QStringLiteral("not checked: no OpenGL context could be made current")
                : QStringLiteral(
                      "not checked: the run stopped when the driver took longer than "
                      "%1 s on %2")
                      .arg(secondsText(timeoutSeconds), stoppedBy);
        for (qsizetype t = shared.next; t < tasks.size(); ++t) {
            markNotChecked(t, tasks[t], unstarted, observer);
        }
    }
    RunnerResult result;
    for (std::size_t i = 0; i < running.size(); ++i) {
        if (shared.workers[i].abandoned) {
            running[i].detach();
            static_cast<void>(shared.workers[i].contexts.release());
            result.driverStillRunning = true;
        } else {
            running[i].join();
        }
    }
    QStringList shortOf;
    if (!notStarted.isEmpty()) {
        shortOf << QStringLiteral("only %1 of %2 compiling threads could be started (%3)")
                       .arg(running.size())
                       .arg(shared.workers.size())
                       .arg(notStarted);
    }
    const std::lock_guard lock(shared.mutex);
    if (shared.withoutContext > 0) {
        shortOf << QStringLiteral("%1 of %2 compiling threads could not make an OpenGL context")
                       .arg(shared.withoutContext)
                       .arg(running.size());
    }
    result.shortOfThreads = shortOf.join(QStringLiteral("; "));
    return result;
}

}  // namespace tessory
