// The two plain-text record-count listings of the disc.
#include "datasets/catalogue.h"

namespace regdisc {

const ListingSpec &ptrListing()
{
    static const ListingSpec spec{
        .ext = "ptr",
        .button = "cmd_5",
        .buttonCaption = u"股東名冊筆數查詢",
        .screen = "frm_5",
        .title = u"股東名冊筆數查詢",
        .slot = 14,
        .msgOpenFailed = u"MSG_0_18 ",
        .printTitle = u"　　　 鼎岳有價證券登錄社-股東名冊筆數查詢",
    };
    return spec;
}

const ListingSpec &lnxListing()
{
    static const ListingSpec spec{
        .ext = "lnx",
        .button = "cmd_9",
        .buttonCaption = u"股票號碼檔筆數查詢",
        .screen = "frm_9",
        .title = u"股票號碼檔筆數查詢",
        .slot = 22,
        .msgOpenFailed = u"MSG_0_27 ",
        // Unlike the other titles, no half-width blank before the name.
        .printTitle = u"　　　鼎岳有價證券登錄社-股票號碼檔筆數查詢",
    };
    return spec;
}

}  // namespace regdisc
