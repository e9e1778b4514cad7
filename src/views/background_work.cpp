#include "views/background_work.h"

#include "views/qt_text.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace regdisc {

void SharedProgress::begin(TextView stage, std::int64_t total)
{
    std::lock_guard lock(mutex_);
    const std::int64_t previousTotal = total_.load();
    const std::int64_t previousDone = done_.load();
    // The stage before has ended and counts whole. A stage that only announced itself (no
    // step yet) and is taken up again without a name of its own is the same stage.
    const bool sameStage = stage.empty() && previousDone == 0;
    if (previousTotal > 0 && !sameStage)
        completed_ += previousTotal;
    if (!stage.empty())
        stage_ = qs(stage);
    named_ = !stage.empty() || (sameStage && named_);
    ++stages_;
    total_.store(total);
    done_.store(0);
}

void SharedProgress::expect(std::int64_t steps)
{
    std::lock_guard lock(mutex_);
    plan_.steps = steps;
}

WorkState SharedProgress::state() const
{
    std::lock_guard lock(mutex_);
    WorkState state;
    state.stage = stage_;
    state.total = total_.load();
    state.done = state.total > 0 ? std::min(done_.load(), state.total) : done_.load();
    const std::int64_t expected = plan_.steps;
    const double share = std::clamp(plan_.countedShare, 0.0, 1.0);
    const double stageShare = state.total > 0 ? static_cast<double>(state.done) / state.total : 0.0;
    if (expected <= 0) {
        state.fraction = stageShare;
        return state;
    }
    if (completed_ >= expected) {
        // A stage after the counted ones: writing the file.
        if (!named_ && !plan_.afterStage.isEmpty())
            state.stage = plan_.afterStage;
        state.fraction = state.total > 0 ? share + (1 - share) * stageShare : (share < 1 ? -1.0 : 1.0);
        return state;
    }
    const std::int64_t counted = completed_ + (state.total > 0 ? state.done : 0);
    if (counted >= expected && !plan_.afterStage.isEmpty()) {
        // Every counted step is done, the work goes on: what is left is writing.
        state.stage = plan_.afterStage;
        state.total = 0;
        state.done = 0;
        state.fraction = share < 1 ? -1.0 : 1.0;
        return state;
    }
    state.fraction = share * std::min(1.0, static_cast<double>(counted) / static_cast<double>(expected));
    return state;
}

ProgressDialog::ProgressDialog(const QString &title, QWidget *owner) : QDialog(owner)
{
    setObjectName(QStringLiteral("dlg_progress"));
    setWindowTitle(title);
    setWindowModality(Qt::WindowModal);
    auto *layout = new QVBoxLayout(this);
    stage_ = new QLabel(title, this);
    stage_->setObjectName(QStringLiteral("lab_stage"));
    count_ = new QLabel(this);
    count_->setObjectName(QStringLiteral("lab_count"));
    bar_ = new QProgressBar(this);
    bar_->setObjectName(QStringLiteral("bar_work"));
    bar_->setRange(0, 1000);
    bar_->setValue(0);
    bar_->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("證")) * 26);
    layout->addWidget(stage_);
    layout->addWidget(count_);
    layout->addWidget(bar_);
    auto *row = new QHBoxLayout;
    row->addStretch();
    cancel_ = new QPushButton(QStringLiteral("取消"), this);
    cancel_->setObjectName(QStringLiteral("cmd_cancel"));
    cancel_->setAutoDefault(false);
    row->addWidget(cancel_);
    layout->addLayout(row);
    connect(cancel_, &QPushButton::clicked, this, &ProgressDialog::requestCancel);
}

void ProgressDialog::showState(const WorkState &state, const QString &unit)
{
    if (cancelling_)
        return;  // "正在取消…" stays until the work has ended
    if (!state.stage.isEmpty() && stage_->text() != state.stage)
        stage_->setText(state.stage);
    const QLocale numbers(QLocale::Chinese, QLocale::Taiwan);
    QString count;
    if (state.total > 0)
        count = numbers.toString(static_cast<qlonglong>(state.done)) + QStringLiteral(" / ") +
                numbers.toString(static_cast<qlonglong>(state.total)) + QLatin1Char(' ') + unit;
    if (count_->text() != count)
        count_->setText(count);
    if (state.fraction < 0) {
        bar_->setRange(0, 0);  // running, of a length nobody can tell
        return;
    }
    // Never back: the furthest position shown stays until the work passes it.
    shown_ = std::max(shown_, static_cast<int>(state.fraction * 1000));
    if (bar_->maximum() != 1000)
        bar_->setRange(0, 1000);
    bar_->setValue(shown_);
}

int ProgressDialog::position() const
{
    return bar_->maximum() == 0 ? -1 : bar_->value();
}

void ProgressDialog::requestCancel()
{
    if (cancelling_)
        return;
    cancelling_ = true;
    stage_->setText(QStringLiteral("正在取消…"));
    count_->setText(QStringLiteral("工作停下後，這個視窗就會關閉。"));
    cancel_->setEnabled(false);
    emit cancelRequested();
}

void ProgressDialog::reject()
{
    // Esc asks for 取消; the dialog goes when the work has ended.
    requestCancel();
}

void ProgressDialog::closeEvent(QCloseEvent *event)
{
    event->ignore();
    requestCancel();
}

BackgroundWork::BackgroundWork(QWidget *owner, QProgressBar *bar) : QObject(owner), owner_(owner), bar_(bar)
{
    timer_ = new QTimer(this);
    timer_->setInterval(100);
    connect(timer_, &QTimer::timeout, this, &BackgroundWork::update);
    showTimer_ = new QTimer(this);
    showTimer_->setSingleShot(true);
    connect(showTimer_, &QTimer::timeout, this, &BackgroundWork::showDialog);
}

BackgroundWork::~BackgroundWork()
{
    if (thread_) {
        progress_->cancel();
        thread_->wait();
        delete thread_;
    }
    delete dialog_.data();
}

void BackgroundWork::start(const QString &title, std::function<void(SharedProgress &)> work,
                           std::function<void(const Outcome &)> done, WorkPlan plan)
{
    if (thread_)
        return;
    title_ = title;
    plan_ = plan;
    progress_ = std::make_shared<SharedProgress>(std::move(plan));
    outcome_ = std::make_shared<Outcome>();
    done_ = std::move(done);
    thread_ = QThread::create([work = std::move(work), progress = progress_, outcome = outcome_] {
        try {
            work(*progress);
        } catch (const WorkCancelled &) {
            outcome->cancelled = true;
        } catch (const std::exception &e) {
            outcome->error = QString::fromUtf8(e.what());
        }
        // Work that ended whole although 取消 was asked for had ended before it could stop.
        outcome->cancelRequested = progress->cancelled();
    });
    connect(thread_, &QThread::finished, this, &BackgroundWork::end);

    barShown_ = 0;
    if (bar_) {
        bar_->setRange(0, 1000);
        bar_->setValue(0);
    }
    timer_->start();
    showTimer_->start(delay_);
    thread_->start();
}

void BackgroundWork::showDialog()
{
    if (!thread_ || dialog_)
        return;
    dialog_ = new ProgressDialog(title_, owner_);
    connect(dialog_, &ProgressDialog::cancelRequested, this, &BackgroundWork::cancel);
    update();
    // The dialog stands over its window and the main menu (whose child the window is);
    // while it is up, a click that brings either of them forward brings it forward too.
    for (QWidget *w = owner_->window(); w; w = w->parentWidget() ? w->parentWidget()->window() : nullptr)
        w->installEventFilter(this);
    // It takes the keyboard only from its own window: the clerk typing in a screen keeps it.
    const bool ownerActive = owner_->window()->isActiveWindow();
    dialog_->setAttribute(Qt::WA_ShowWithoutActivating, !ownerActive);
    dialog_->show();
    dialog_->raise();
    if (ownerActive)
        dialog_->activateWindow();
    emit dialogShown();
}

bool BackgroundWork::eventFilter(QObject *watched, QEvent *event)
{
    if (dialog_ && dialog_->isVisible() && watched->isWidgetType() &&
        (event->type() == QEvent::WindowActivate || event->type() == QEvent::MouseButtonPress)) {
        QPointer<ProgressDialog> dialog = dialog_;
        QTimer::singleShot(0, this, [dialog] {
            if (dialog && dialog->isVisible()) {
                dialog->raise();
                dialog->activateWindow();
            }
        });
    }
    return QObject::eventFilter(watched, event);
}

void BackgroundWork::cancel()
{
    if (progress_)
        progress_->cancel();
}

void BackgroundWork::update()
{
    if (!progress_)
        return;
    const WorkState state = progress_->state();
    if (dialog_)
        dialog_->showState(state, plan_.unit);
    if (bar_) {
        if (state.fraction < 0) {
            bar_->setRange(0, 0);
        } else {
            barShown_ = std::max(barShown_, static_cast<int>(state.fraction * 1000));
            if (bar_->maximum() != 1000)
                bar_->setRange(0, 1000);
            bar_->setValue(barShown_);
        }
    }
}

void BackgroundWork::end()
{
    timer_->stop();
    showTimer_->stop();
    update();
    if (bar_) {
        bar_->setRange(0, 1000);
        // A whole run fills the bar; one that was cancelled or failed shows how far it came.
        bar_->setValue(!outcome_->cancelled && outcome_->error.isEmpty() ? 1000 : barShown_);
    }
    for (QWidget *w = owner_->window(); w; w = w->parentWidget() ? w->parentWidget()->window() : nullptr)
        w->removeEventFilter(this);
    if (dialog_) {
        const bool hadKeyboard = dialog_->isActiveWindow();
        dialog_->disconnect(this);
        dialog_->hide();
        if (hadKeyboard)
            owner_->window()->activateWindow();
        dialog_->deleteLater();
        dialog_ = nullptr;
    }
    thread_->deleteLater();
    thread_ = nullptr;
    const Outcome outcome = *outcome_;
    if (done_)
        done_(outcome);
    emit finished();
}

}  // namespace regdisc
