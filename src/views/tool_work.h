// Long work of the tool windows: it runs on a thread of its own while the window stays
// responsive, and reports through the one Progress interface to a progress dialog (and a
// progress bar of the window, where it has one) whose Cancel asks the work to stop.
#pragma once

#include "tools/progress.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>

class QProgressBar;
class QProgressDialog;
class QThread;
class QTimer;
class QWidget;

namespace regdisc {

// Progress written by the work's thread, read by the window's timer.
class SharedProgress : public Progress {
public:
    void begin(TextView stage, std::int64_t total) override;
    void step(std::int64_t done) override { done_.store(done, std::memory_order_relaxed); }
    bool cancelled() const override { return cancelled_.load(); }

    void cancel() { cancelled_.store(true); }
    QString stage() const;
    std::int64_t total() const { return total_.load(); }
    std::int64_t done() const { return done_.load(); }

private:
    mutable std::mutex mutex_;
    QString stage_;
    std::atomic<std::int64_t> total_{0};
    std::atomic<std::int64_t> done_{0};
    std::atomic<bool> cancelled_{false};
};

class BackgroundWork : public QObject {
    Q_OBJECT
public:
    // The work's outcome: whether it ended, was cancelled, or failed with `error`.
    struct Outcome {
        bool cancelled = false;
        QString error;
    };

    // `owner` is the window; the dialog is modal to it. `bar` may be null.
    BackgroundWork(QWidget *owner, QProgressBar *bar = nullptr);
    // A window that goes while its work runs cancels it and waits for it.
    ~BackgroundWork() override;

    bool running() const { return thread_ != nullptr; }
    // Starts the work on its thread; `done` runs on the GUI thread when it has ended.
    void start(const QString &title, std::function<void(Progress &)> work,
               std::function<void(const Outcome &)> done);
    void cancel();

signals:
    void finished();

private:
    void update();
    void end();

    QWidget *owner_;
    QPointer<QProgressBar> bar_;
    QProgressDialog *dialog_ = nullptr;
    QTimer *timer_ = nullptr;
    QThread *thread_ = nullptr;
    std::shared_ptr<SharedProgress> progress_;
    std::shared_ptr<Outcome> outcome_;
    std::function<void(const Outcome &)> done_;
};

}  // namespace regdisc
