// The menu bar of the main menu: 工具 (the whole-disc tools, each in its own window) and
// 說明. The main menu's buttons and their layout stay as they are; the bar sits above.
#pragma once

#include "platform/text.h"

#include <QMenuBar>

#include <cstdint>
#include <functional>

namespace regdisc {

class MainMenuWindow;
struct DataSetSpec;
struct DiscIdentity;

QMenuBar *createToolsMenuBar(MainMenuWindow &menu);

// The text of 說明 → 關於 regdisc…: the version and every tool of the 工具 menu.
QString aboutText();

enum class ShownOnScreen {
    Shown,
    NotFound,  // the screen no longer finds the record
    NotOpened,  // the screen could not be opened (the menu said why)
    MenuOnOtherDisc,  // the record was found on another disc than the menu names now
    Declined,  // a screen of another disc is open and the clerk kept it
};

// Opens the data set's screen from the main menu, as its button does (or takes the one
// that is open), and shows the record a tool found there on `disc`: 查詢 with the KeyKind
// and typed text, 次筆 up to the record. A screen opened for it starts its history there.
// Only a screen of that disc is used: a screen open on another disc is closed and opened
// again when `replace` (asked with the question's text) agrees, and nothing is opened when
// the menu names another disc.
ShownOnScreen showRecordOnScreen(MainMenuWindow &menu, const DataSetSpec &spec, int keyKind, TextView typed,
                                 std::int64_t recordNo, const DiscIdentity &disc,
                                 const std::function<bool(const QString &question)> &replace);

}  // namespace regdisc
