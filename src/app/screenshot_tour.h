// A tour for the screenshots of the documentation and of layout reviews: it opens every
// screen from the main menu, runs a query on each query screen and saves a picture of
// every window, then ends the run.
#pragma once

#include <QString>

namespace regdisc {

class MainMenuWindow;

// Starts the tour once the event loop runs; the pictures go to `folder` as <screen>.png.
void scheduleScreenshotTour(MainMenuWindow &menu, const QString &folder);

}  // namespace regdisc
