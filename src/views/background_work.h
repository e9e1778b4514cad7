// Long work of the tool windows: it runs on a thread of its own while the window stays
// responsive, and reports through the one Progress interface to a progress dialog (and a
// progress bar of the window, where it has one) whose 取消 asks the work to stop.
//
// The dialog names the stage the work is in and counts its steps; its bar shows the whole
// work and never goes back: stages that the window counted beforehand (records of the
// registers, lines of a list) fill their share of it, and what comes after them (writing
// the file) the rest. It is modal to its window and stays above it and the main menu, and
// it goes only when the work has really ended, 取消 or not.
#pragma once

#include "platform/progress.h"

#include <QDialog>
#include <QObject>
#include <QPointer>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>

class QLabel;
class QProgressBar;
class QPushButton;
class QThread;
class QTimer;
class QWidget;

namespace regdisc {

// What the window knows of the work before it starts.
struct WorkPlan {
    // Steps of the counted stages, all together (0: not known beforehand: each stage's
    // own count is then the whole).
    std::int64_t steps = 0;
    // The share of the bar the counted stages take; the stages after them take the rest.
    double countedShare = 1.0;
    // The stage shown once the counted stages are done while the work still runs and has
    // not named a stage of its own (writing the file).
    QString afterStage;
    // What a step counts, for the dialog's count line ("筆").
    QString unit = QStringLiteral("筆");
};

// Where the work stands, as the dialog shows it.
struct WorkState {
    QString stage;
    std::int64_t done = 0;
    std::int64_t total = 0;  // of the stage; 0 when unknown
    // The whole work's share done, 0 to 1; negative while no share can be told (a stage
    // of unknown length after the counted ones).
    double fraction = 0;
};

// Progress written by the work's thread, read by the window's timer.
class SharedProgress : public Progress {
public:
    explicit SharedProgress(WorkPlan plan = {}) : plan_(std::move(plan)) {}

    void begin(TextView stage, std::int64_t total) override;
    void step(std::int64_t done) override { done_.store(done, std::memory_order_relaxed); }
    bool cancelled() const override { return cancelled_.load(); }

    void cancel() { cancelled_.store(true); }
    // The work learnt how many steps its counted stages take (after opening the disc).
    void expect(std::int64_t steps);
    WorkState state() const;

private:
    mutable std::mutex mutex_;
    WorkPlan plan_;
    QString stage_;
    bool named_ = false;  // the stage running was named by the work
    std::int64_t stages_ = 0;
    std::int64_t completed_ = 0;  // steps of the counted stages that have ended
    std::atomic<std::int64_t> total_{0};
    std::atomic<std::int64_t> done_{0};
    std::atomic<bool> cancelled_{false};
};

// The progress dialog: the stage, its count, the bar and 取消. Esc and the close box ask
// for 取消 as the button does; the dialog stays until its work has ended.
class ProgressDialog : public QDialog {
    Q_OBJECT
public:
    ProgressDialog(const QString &title, QWidget *owner);

    void showState(const WorkState &state, const QString &unit);
    // The bar's position in thousandths, or -1 while it runs without a position.
    int position() const;

signals:
    void cancelRequested();

protected:
    void reject() override;
    void closeEvent(QCloseEvent *event) override;

private:
    void requestCancel();

    QLabel *stage_ = nullptr;
    QLabel *count_ = nullptr;
    QProgressBar *bar_ = nullptr;
    QPushButton *cancel_ = nullptr;
    bool cancelling_ = false;
    int shown_ = 0;  // the furthest position shown, thousandths
};

class BackgroundWork : public QObject {
    Q_OBJECT
public:
    // The work's outcome: whether it ended, was cancelled, or failed with `error`.
    struct Outcome {
        bool cancelled = false;
        QString error;
        // 取消 was asked for; without `cancelled` the work had done everything by then.
        bool cancelRequested = false;
    };

    // `owner` is the window; the dialog is modal to it. `bar` may be null.
    BackgroundWork(QWidget *owner, QProgressBar *bar = nullptr);
    // A window that goes while its work runs cancels it and waits for it.
    ~BackgroundWork() override;

    bool running() const { return thread_ != nullptr; }
    // Starts the work on its thread; `done` runs on the GUI thread when it has ended.
    void start(const QString &title, std::function<void(SharedProgress &)> work,
               std::function<void(const Outcome &)> done, WorkPlan plan = {});
    void cancel();

    // The dialog of the work that runs, once it is shown; the time the work may take
    // before the dialog comes up (short work shows none).
    ProgressDialog *dialog() const { return dialog_; }
    void setDialogDelay(int milliseconds) { delay_ = milliseconds; }

signals:
    void dialogShown();
    void finished();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showDialog();
    void update();
    void end();

    QWidget *owner_;
    QPointer<QProgressBar> bar_;
    QPointer<ProgressDialog> dialog_;
    QString title_;
    QTimer *timer_ = nullptr;
    QTimer *showTimer_ = nullptr;
    QThread *thread_ = nullptr;
    int delay_ = 400;
    int barShown_ = 0;
    WorkPlan plan_;
    std::shared_ptr<SharedProgress> progress_;
    std::shared_ptr<Outcome> outcome_;
    std::function<void(const Outcome &)> done_;
};

}  // namespace regdisc
