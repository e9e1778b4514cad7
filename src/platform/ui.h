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

// The result codes of opening a document, as the Windows shell gives them: above 32 is
// success, 32 and below name what failed.
namespace OpenResult {
constexpr int kUnknownError = 0;
constexpr int kFileNotFound = 2;
constexpr int kPathNotFound = 3;
constexpr int kAccessDenied = 5;
constexpr int kOutOfMemory = 8;
constexpr int kBadExecutable = 11;
constexpr int kSharingViolation = 26;
constexpr int kAssociationIncomplete = 27;  // the application for the type cannot run
constexpr int kDdeTimeout = 28;
constexpr int kDdeFailed = 29;
constexpr int kDdeBusy = 30;
constexpr int kNoAssociation = 31;  // no application for the document's type
constexpr int kDllNotFound = 32;
constexpr int kSuccess = 42;  // any code above kDllNotFound is success

constexpr bool succeeded(int code)
{
    return code > kDllNotFound;
}
}  // namespace OpenResult

class DocumentOpener {
public:
    virtual ~DocumentOpener() = default;
    // Hands the document to the desktop's application for it; an OpenResult code.
    virtual int open(TextView path) = 0;
};

}  // namespace regdisc
