// The menu bar of the main menu: 工具 (the whole-disc tools, each in its own window) and
// 說明. The main menu's buttons and their layout stay as they are; the bar sits above.
#pragma once

#include "platform/text.h"

#include <QMenuBar>

#include <cstdint>

namespace regdisc {

class MainMenuWindow;
struct DataSetSpec;

QMenuBar *createToolsMenuBar(MainMenuWindow &menu);

// Opens the data set's screen from the main menu, as its button does (or takes the one
// that is open), and shows the record a tool found there: 查詢 with the KeyKind and
// typed text, 次筆 up to the record. A screen opened for it starts its history there.
// False when the screen could not be opened or no longer finds the record.
bool showRecordOnScreen(MainMenuWindow &menu, const DataSetSpec &spec, int keyKind, TextView typed,
                        std::int64_t recordNo);

}  // namespace regdisc
