// Which disc a window reads: the folder (as the clerk named it, and where it lies) and the
// disc information read from it. Screens keep the disc they were opened on; the main menu
// reads the one its folder box names now. The windows show theirs and say so when the
// main menu has moved on to another disc.
#pragma once

#include "disc/disc_info.h"

#include <QStatusBar>
#include <QString>

namespace regdisc {

struct DiscIdentity {
    QString folder;  // where the folder lies, absolute, as the clerk reads it
    QString canonical;  // the folder with links resolved, for comparing
    bool read = false;  // the disc information could be read from it
    QString baseName;
    QString productionDate;
    QString dataDate;

    bool known() const { return !folder.isEmpty(); }
};

// The disc of a folder box text whose disc information is `info`; `read` false when it
// could not be read (the folder names no disc).
DiscIdentity discIdentity(TextView folderText, const DiscInfo &info, bool read = true);

// The same disc: the same folder and the same disc information (a disc changed in the
// drive under the same folder is another disc).
bool sameDisc(const DiscIdentity &a, const DiscIdentity &b);

// "/media/cdrom（製作日期:113/12/09）", or the folder alone when nothing could be read.
QString discText(const DiscIdentity &disc);

// The line at the foot of a screen that says which disc the screen reads, and, in a
// warning's colours, that the main menu now names another one. It paints its text itself:
// it adds no label or box to the screen's own controls.
class DiscBar : public QStatusBar {
    Q_OBJECT
public:
    explicit DiscBar(QWidget *parent);

    void setDisc(const DiscIdentity &own);
    void setMenuDisc(const DiscIdentity &menu);
    const DiscIdentity &disc() const { return own_; }
    // The main menu names another disc than the one the screen reads.
    bool otherDisc() const;
    QString text() const { return currentMessage(); }

private:
    void showDiscs();

    DiscIdentity own_;
    DiscIdentity menu_;
};

}  // namespace regdisc
