#include "disc/data_set_files.h"

#include "disc/data_folder.h"

namespace regdisc {

namespace {
constexpr std::u16string_view kOpenFailedEnd = u" 開檔錯誤 !";
}  // namespace

Text topIndexPathText(TextView folder, const DiscInfo &info, const DataSetSpec &spec)
{
    return folderPath(folder, u"stkidx", info.baseName + u"idxp." + fromAscii(spec.ext));
}

Text detailIndexPathText(TextView folder, const DiscInfo &info, const DataSetSpec &spec)
{
    return folderPath(folder, u"stkidx", info.baseName + u"idxd." + fromAscii(spec.ext));
}

Text dataFilePathText(TextView folder, const DiscInfo &info, const DataSetSpec &spec)
{
    return folderPath(folder, u"stk", info.baseName + u"." + fromAscii(spec.ext));
}

DataSetOpening openDataSetFiles(TextView folder, const DiscInfo &info, const DataSetSpec &spec,
                                RecordFile &top, RecordFile &detail, RecordFile &data)
{
    const struct {
        RecordFile &file;
        const FileSpec &layout;
        Text path;
        std::u16string_view emptyMessage;
    } steps[] = {
        {top, spec.top, topIndexPathText(folder, info, spec), spec.msgTopEmpty},
        {detail, spec.detail, detailIndexPathText(folder, info, spec), spec.msgDetailEmpty},
        {data, spec.data, dataFilePathText(folder, info, spec), spec.msgDataEmpty},
    };
    DataSetOpening opening;
    const auto closeOpened = [&](int count) {
        for (int i = 0; i < count; ++i)
            steps[i].file.close();
    };
    for (int i = 0; i < 3; ++i) {
        const auto &step = steps[i];
        opening.path = step.path;
        opening.file = i;
        if (!step.file.open(openPath(folder, step.path), step.layout.length)) {
            opening.result = DataSetOpening::OpenFailed;
            opening.message = Text(spec.msgOpenFailed) + step.path + Text(kOpenFailedEnd);
            closeOpened(i);
            return opening;
        }
        if (step.file.sizeBytes() == 0) {
            opening.result = DataSetOpening::Empty;
            opening.message = Text(step.emptyMessage);
            closeOpened(i + 1);
            return opening;
        }
    }
    opening.result = DataSetOpening::Opened;
    opening.message.clear();
    return opening;
}

}  // namespace regdisc
