// Hands a document to the application the desktop associates with its type.
#pragma once

#include "platform/ui.h"

namespace regdisc {

// Result codes as the Windows shell gives them: above 32 success, 2 file missing,
// 3 folder missing, 5 access denied, 31 no application for the document.
//
// On Linux the file is checked first (folder, file, readable), then `xdg-mime query
// default application/pdf` must name an application, and `xdg-open` is started without
// waiting. On Windows the shell's Open verb does all of it.
class DesktopDocumentOpener : public DocumentOpener {
public:
    static constexpr int kSuccess = 42;

    int open(TextView path) override;
};

}  // namespace regdisc
