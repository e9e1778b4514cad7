// What the core asks of the desktop: message boxes, the folder chooser and the document
// opener. The application supplies Qt (or OS) implementations; tests supply scripted ones.
#pragma once

#include "platform/text.h"

namespace regdisc {

enum class MessageKind {
    Plain,  // OK button only, no icon, the application's name as title
    FolderWarning,  // information icon and the title u"警告訊息"
};

struct Message {
    MessageKind kind = MessageKind::Plain;
    Text text;
};

class MessageSink {
public:
    virtual ~MessageSink() = default;
    // Shows the message and returns when the user has dismissed it.
    virtual void show(const Message &message) = 0;
};

class FolderChooser {
public:
    virtual ~FolderChooser() = default;
    // The chosen folder's path, or an empty text when the user cancels.
    virtual Text choose(TextView title) = 0;
};

class DocumentOpener {
public:
    virtual ~DocumentOpener() = default;
    // Hands the document to the desktop's application for it; the shell's result code:
    // above 32 is success, 2 file missing, 3 folder missing, 5 access denied, 31 no
    // application for the document's type.
    virtual int open(TextView path) = 0;
};

}  // namespace regdisc
