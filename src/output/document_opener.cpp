#include "output/document_opener.h"

#include "shell/data_folder.h"

namespace regdisc {

Text pdfCopyPath(TextView folderText, TextView baseName, std::string_view ext)
{
    return folderPath(folderText, u"stkidx", Text(baseName) + u"_" + fromAscii(ext) + u".pdf");
}

Text openResultMessage(int code)
{
    if (code > 32)
        return {};
    switch (code) {
    case 2:
        return u"File not found";
    case 3:
        return u"Path not found";
    case 5:
        return u"Access denied";
    case 8:
        return u"Out of memory";
    case 11:
        return u"Invalid EXE file or error in EXE image";
    case 26:
        return u"A sharing violation occurred";
    case 27:
        return u"未使用正確的PDF瀏覽器開啟PDF檔 !!";
    case 28:
        return u"DDE Time out";
    case 29:
        return u"DDE transaction failed";
    case 30:
        return u"DDE busy";
    case 31:
        return u"系統未安裝 PDF Reader !!";
    case 32:
        return u"DLL not found";
    default:
        return u"Unknown error";
    }
}

int showOpenResult(int code, MessageSink &messages)
{
    if (code <= 32)
        messages.show({MessageKind::Plain, openResultMessage(code)});
    return code;
}

int openDocument(TextView path, DocumentOpener &opener, MessageSink &messages)
{
    return showOpenResult(opener.open(path), messages);
}

}  // namespace regdisc
