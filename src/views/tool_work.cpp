#include "views/tool_work.h"

#include "views/view_support.h"

#include <QProgressBar>
#include <QProgressDialog>
#include <QThread>
#include <QTimer>

namespace regdisc {

void SharedProgress::begin(TextView stage, std::int64_t total)
{
    {
        std::lock_guard lock(mutex_);
        stage_ = qs(stage);
    }
    total_.store(total);
    done_.store(0);
}

QString SharedProgress::stage() const
{
    std::lock_guard lock(mutex_);
    return stage_;
}

BackgroundWork::BackgroundWork(QWidget *owner, QProgressBar *bar) : QObject(owner), owner_(owner), bar_(bar)
{
    timer_ = new QTimer(this);
    timer_->setInterval(100);
    connect(timer_, &QTimer::timeout, this, &BackgroundWork::update);
}

BackgroundWork::~BackgroundWork()
{
    if (thread_) {
        progress_->cancel();
        thread_->wait();
        delete thread_;
    }
}

void BackgroundWork::start(const QString &title, std::function<void(Progress &)> work,
                           std::function<void(const Outcome &)> done)
{
    if (thread_)
        return;
    progress_ = std::make_shared<SharedProgress>();
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
    });
    connect(thread_, &QThread::finished, this, &BackgroundWork::end);

    dialog_ = new QProgressDialog(title, QStringLiteral("取消"), 0, 0, owner_);
    dialog_->setObjectName(QStringLiteral("dlg_progress"));
    dialog_->setWindowTitle(title);
    dialog_->setWindowModality(Qt::WindowModal);
    dialog_->setMinimumDuration(400);
    dialog_->setAutoClose(false);
    dialog_->setAutoReset(false);
    connect(dialog_, &QProgressDialog::canceled, this, &BackgroundWork::cancel);
    if (bar_) {
        bar_->setRange(0, 0);
        bar_->setValue(0);
    }
    timer_->start();
    thread_->start();
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
    const std::int64_t total = progress_->total();
    const std::int64_t done = progress_->done();
    // Progress bars count in int: large totals are shown in thousandths.
    const int maximum = total > 0 ? 1000 : 0;
    const int value = total > 0 ? static_cast<int>(std::min<std::int64_t>(done, total) * 1000 / total) : 0;
    const QString stage = progress_->stage();
    if (dialog_) {
        if (!stage.isEmpty() && dialog_->labelText() != stage)
            dialog_->setLabelText(stage);
        dialog_->setMaximum(maximum);
        dialog_->setValue(value);
    }
    if (bar_) {
        bar_->setMaximum(maximum);
        bar_->setValue(value);
    }
}

void BackgroundWork::end()
{
    timer_->stop();
    update();
    if (bar_ && progress_ && !outcome_->cancelled && outcome_->error.isEmpty()) {
        bar_->setMaximum(1);
        bar_->setValue(1);
    }
    if (dialog_) {
        dialog_->disconnect(this);
        dialog_->close();
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
