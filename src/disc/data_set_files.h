// Opening a data set's three files as the main menu opens them: TopIndexFile,
// DetailIndexFile and DataFile in this order, each refused when it cannot be opened or is
// empty, with the message the menu shows; a failed opening closes what it had opened.
#pragma once

#include "datasets/dataset.h"
#include "disc/disc_info.h"
#include "platform/record_file.h"

namespace regdisc {

struct DataSetOpening {
    enum Result {
        Opened,
        OpenFailed,  // a file could not be opened: msgOpenFailed + path + " 開檔錯誤 !"
        Empty,  // a file is empty: the data set's message for that file
    };
    Result result = Opened;
    int file = 0;  // the file that failed: 0 TopIndexFile, 1 DetailIndexFile, 2 DataFile
    Text message;  // what the menu shows
    Text path;  // the path text of the last file the opening tried
};

// Opens the data set's files of the disc in `folder` into `top`, `detail` and `data`.
DataSetOpening openDataSetFiles(TextView folder, const DiscInfo &info, const DataSetSpec &spec,
                                RecordFile &top, RecordFile &detail, RecordFile &data);

// The path text of each of the data set's files.
Text topIndexPathText(TextView folder, const DiscInfo &info, const DataSetSpec &spec);
Text detailIndexPathText(TextView folder, const DiscInfo &info, const DataSetSpec &spec);
Text dataFilePathText(TextView folder, const DiscInfo &info, const DataSetSpec &spec);

}  // namespace regdisc
