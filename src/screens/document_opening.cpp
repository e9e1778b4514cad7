#include "screens/document_opening.h"

#include "disc/data_folder.h"

namespace regdisc {

Text pdfCopyPath(TextView folderText, TextView baseName, std::string_view ext)
{
    return folderPath(folderText, u"stkidx", Text(baseName) + u"_" + fromAscii(ext) + u".pdf");
}

Text openResultMessage(int code)
{
    using namespace OpenResult;
    if (succeeded(code))
        return {};
    switch (code) {
    case kFileNotFound:
        return u"File not found";
    case kPathNotFound:
        return u"Path not found";
    case kAccessDenied:
        return u"Access denied";
    case kOutOfMemory:
        return u"Out of memory";
    case kBadExecutable:
        return u"Invalid EXE file or error in EXE image";
    case kSharingViolation:
        return u"A sharing violation occurred";
    case kAssociationIncomplete:
        return u"未使用正確的PDF瀏覽器開啟PDF檔 !!";
    case kDdeTimeout:
        return u"DDE Time out";
    case kDdeFailed:
        return u"DDE transaction failed";
    case kDdeBusy:
        return u"DDE busy";
    case kNoAssociation:
        return u"系統未安裝 PDF Reader !!";
    case kDllNotFound:
        return u"DLL not found";
    default:
        return u"Unknown error";
    }
}

int showOpenResult(int code, MessageSink &messages)
{
    if (!OpenResult::succeeded(code))
        messages.show({MessageKind::Plain, openResultMessage(code)});
    return code;
}

int openDocument(TextView path, DocumentOpener &opener, MessageSink &messages)
{
    return showOpenResult(opener.open(path), messages);
}

}  // namespace regdisc
