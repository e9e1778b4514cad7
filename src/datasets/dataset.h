// The constant description of a data set: everything one data set differs in from
// another. The generic lookup engine, query screen, printout and disc writer read these
// tables; none of them knows a data set by name.
#pragma once

#include "engine/display_rules.h"
#include "engine/lookup_profile.h"
#include "engine/record_layout.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace regdisc {

// Screen layout: rows of cells, each a label with up to a few boxes and legends.
enum class BoxSize { Normal, OneChar, Narrow, Wide, Full, MultiLine };

struct BoxSpec {
    std::string_view name;
    BoxSize size = BoxSize::Normal;
};

struct LegendSpec {
    std::string_view name;  // may be empty
    std::u16string_view text;
};

// A cell without boxes is a heading.
struct CellSpec {
    std::string_view label;
    std::u16string_view caption;
    std::vector<BoxSpec> boxes;
    std::vector<LegendSpec> legends;
};

using RowSpec = std::vector<CellSpec>;

enum class PrintLineKind {
    Label,  // padding, caption, move to the tab column, " : ", box text
    Blank,  // a line holding one blank
    Caption,  // a line holding only its text
    TwoBoxes,  // a label line whose value is box followed directly by box2
    OwnWidth,  // padding to its own label width, caption, " : ", box text; no tab
    Continuation,  // a move to `column`, then the box text
};

struct PrintLineSpec {
    PrintLineKind kind = PrintLineKind::Label;
    std::string_view label;  // label control whose caption is printed (may be empty)
    std::u16string_view text;  // fixed caption (Label without label control, Caption)
    std::string_view box;
    std::string_view box2;
    int number = 0;  // OwnWidth: its label width; Continuation: its column
};

struct PrintLayout {
    std::vector<std::u16string_view> titles;  // one or more title lines
    std::u16string_view padding;
    int labelWidth = 0;
    int tabColumn = 0;
    int titleSize = 20;
    int bodySize = 12;
    std::vector<PrintLineSpec> lines;
};

// Shorthands for the print line lists.
inline PrintLineSpec labelLine(std::string_view label, std::string_view box)
{
    return {PrintLineKind::Label, label, {}, box, {}, 0};
}
inline PrintLineSpec fixedLine(std::u16string_view caption, std::string_view box)
{
    return {PrintLineKind::Label, {}, caption, box, {}, 0};
}
inline PrintLineSpec blankLine()
{
    return {PrintLineKind::Blank, {}, {}, {}, {}, 0};
}
inline PrintLineSpec captionLine(std::u16string_view text)
{
    return {PrintLineKind::Caption, {}, text, {}, {}, 0};
}
inline PrintLineSpec twoBoxLine(std::string_view label, std::string_view box, std::string_view box2)
{
    return {PrintLineKind::TwoBoxes, label, {}, box, box2, 0};
}
inline PrintLineSpec ownWidthLine(std::string_view label, std::string_view box, int width)
{
    return {PrintLineKind::OwnWidth, label, {}, box, {}, width};
}
inline PrintLineSpec continuationLine(int column, std::string_view box)
{
    return {PrintLineKind::Continuation, {}, {}, box, {}, column};
}

struct FileSpec {
    int length = 0;  // record length L in bytes
    int slot = 0;  // the file slot that names the open file for the whole run
};

struct DataSetSpec {
    // catalogue row
    std::string_view ext;  // "psm"
    std::string_view button;  // main-menu button, "cmd_1"
    std::u16string_view buttonCaption;
    std::string_view screen;  // "frm_1"
    std::u16string_view windowCaption;
    std::u16string_view title;  // Label1
    FileSpec top, detail, data;
    std::u16string_view msgTopEmpty;  // M1
    std::u16string_view msgDetailEmpty;  // M2
    std::u16string_view msgDataEmpty;  // M3
    std::u16string_view msgOpenFailed;  // M4, followed by the path and u" 開檔錯誤 !"

    // lookup profile
    int pointerWidth = 6;
    int detailN = 0;  // characters of a DetailEntry read
    int recordNoPos = 0;  // DataFile record number in the DetailEntry
    std::u16string_view comboMessage;  // the combo text is none of the captions
    std::u16string_view damagedMessage;  // a pointer leads outside the files
    std::vector<KeyKindSpec> keyKinds;  // index = KeyKind number - 1
    std::vector<int> testOrder;  // KeyKind numbers in the order captions are tested
    std::vector<int> listOrder;  // KeyKind numbers in the order of the combo list
    int initialKeyKind = 0;  // KeyKind whose caption the combo starts with

    // record display
    int dataN = 0;  // characters of a DataFile read
    std::vector<FieldSpec> fields;  // in the order DisplayRecord fills them
    std::string_view dataDateBox;  // box that shows dataDate
    bool hasPdf = true;  // the screen has cmd_7 "PDF 格式"

    std::vector<RowSpec> rows;  // output area, top to bottom
    PrintLayout print;

    const KeyKindSpec &keyKind(int number) const { return keyKinds.at(static_cast<size_t>(number - 1)); }
    // The view of this table that drives the keyed lookup.
    LookupProfile lookupProfile() const
    {
        return {pointerWidth, detailN,   recordNoPos, comboMessage, damagedMessage,
                keyKinds,     testOrder, dataN,       fields};
    }
};

struct ListingSpec {
    std::string_view ext;  // "ptr" or "lnx"
    std::string_view button;  // "cmd_5"
    std::u16string_view buttonCaption;
    std::string_view screen;  // "frm_5"
    std::u16string_view title;  // window caption and Label1
    int slot = 0;
    std::u16string_view msgOpenFailed;  // followed by the path and u" 開檔錯誤 !"
    std::u16string_view printTitle;
};
// A listing larger than this is refused as a whole rather than held in memory.
constexpr std::size_t kMaxListingBytes = 64u << 20;

}  // namespace regdisc
