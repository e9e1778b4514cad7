// Opening a data set's PDF copy in the desktop's PDF application, and the messages that
// report a failed opening.
#pragma once

#include "platform/text.h"
#include "platform/ui.h"

#include <string_view>

namespace regdisc {

// folder + sep + "stkidx" + sep + baseName + "_" + ext + ".pdf"
Text pdfCopyPath(TextView folderText, TextView baseName, std::string_view ext);

// The message of a shell result code; empty above 32 (success).
Text openResultMessage(int code);

// ShowOpenResult: shows the message of a failed opening; returns the code unchanged.
int showOpenResult(int code, MessageSink &messages);

// OpenDocument: hands the path to the opener, then ShowOpenResult.
int openDocument(TextView path, DocumentOpener &opener, MessageSink &messages);

}  // namespace regdisc
