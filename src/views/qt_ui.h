// The Qt forms of the core's dialogs: message boxes and the folder chooser.
#pragma once

#include "platform/ui.h"

#include <functional>

class QWidget;

namespace regdisc {

// A modal message box over the active window, wide enough for its title. A plain message
// has an OK button only, no icon and the main menu's caption as its title; the folder
// warning has the information icon and the title "警告訊息".
class QtMessageSink : public MessageSink {
public:
    void show(const Message &message) override;
};

// The platform's folder dialog, offering folders only; the empty text when cancelled.
// It opens at the folder the clerk last named where that folder exists, so that choosing
// a sibling disc folder is a step, not a walk from the home folder.
class QtFolderChooser : public FolderChooser {
public:
    explicit QtFolderChooser(QWidget *owner = nullptr) : owner_(owner) {}
    void setOwner(QWidget *owner) { owner_ = owner; }
    void setStartFolder(std::function<Text()> startFolder) { startFolder_ = std::move(startFolder); }
    Text choose(TextView title) override;

private:
    QWidget *owner_;
    std::function<Text()> startFolder_;
};

}  // namespace regdisc
