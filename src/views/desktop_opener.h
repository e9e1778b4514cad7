// Hands a document to the application the desktop associates with its type.
#pragma once

#include "platform/ui.h"

#include <QObject>

#include <chrono>

namespace regdisc {

// Result codes are OpenResult's, as the Windows shell gives them.
//
// On Linux the file is checked first (folder, file, readable), then `xdg-mime query
// default application/pdf` must name an application, and `xdg-open` is started; open()
// returns at once with success. xdg-open ends when it has handed the document over, or
// when the application it runs ends: if it ends in failure within `launchWait`, the
// failure is reported to `launchFailures` with the code's message; an application that
// is still running then has started, which is success. On Windows the shell's Open verb
// does all of it and gives its code at once.
class DesktopDocumentOpener : public DocumentOpener {
public:
    static constexpr int kSuccess = OpenResult::kSuccess;

    explicit DesktopDocumentOpener(MessageSink *launchFailures = nullptr,
                                   std::chrono::milliseconds launchWait = std::chrono::seconds(10));
    ~DesktopDocumentOpener() override;

    int open(TextView path) override;

    // The result code of an xdg-open that ended with `exitStatus`, or crashed.
    static int launchResult(int exitStatus, bool crashed);

    // The xdg-open processes started and not yet ended and dealt with.
    int launchesRunning() const;

private:
    bool launch(const QString &file);

    MessageSink *launchFailures_;
    std::chrono::milliseconds launchWait_;
    QObject launches_;  // the xdg-open processes still running
};

}  // namespace regdisc
