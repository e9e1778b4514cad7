#include "views/disc_identity.h"

#include "disc/data_folder.h"
#include "views/qt_text.h"

#include <QDir>
#include <QFileInfo>

namespace regdisc {

namespace {

QString fromPath(const std::filesystem::path &path)
{
    const std::u8string utf8 = path.u8string();
    return QString::fromUtf8(reinterpret_cast<const char *>(utf8.data()),
                             static_cast<qsizetype>(utf8.size()));
}

}  // namespace

DiscIdentity discIdentity(TextView folderText, const DiscInfo &info, bool read)
{
    DiscIdentity disc;
    // The folder the disc information is read from, as the menu resolves it (an empty box
    // is the root of the current drive; letter case is matched as on the disc).
    const std::filesystem::path infoPath =
        openPath(folderText, folderPath(folderText, u"stkidx", u"security.txt"));
    const QFileInfo folder(fromPath(infoPath.parent_path().parent_path()));
    disc.folder = QDir::toNativeSeparators(QDir::cleanPath(folder.absoluteFilePath()));
    const QString canonical = folder.canonicalFilePath();
    disc.canonical = canonical.isEmpty() ? QDir::cleanPath(folder.absoluteFilePath()) : canonical;
    disc.read = read;
    if (read) {
        disc.baseName = qs(info.baseName);
        disc.productionDate = qs(info.productionDate);
        disc.dataDate = qs(info.dataDate);
    }
    return disc;
}

bool sameDisc(const DiscIdentity &a, const DiscIdentity &b)
{
    return a.known() && b.known() && a.read && b.read && a.canonical == b.canonical &&
           a.baseName == b.baseName && a.productionDate == b.productionDate && a.dataDate == b.dataDate;
}

QString discText(const DiscIdentity &disc)
{
    if (!disc.read)
        return disc.folder;
    return disc.folder + QStringLiteral("（製作日期:") + disc.productionDate + QStringLiteral("）");
}

DiscBar::DiscBar(QWidget *parent) : QStatusBar(parent)
{
    setObjectName(QStringLiteral("bar_disc"));
    setSizeGripEnabled(false);
}

void DiscBar::setDisc(const DiscIdentity &own)
{
    own_ = own;
    showDiscs();
}

void DiscBar::setMenuDisc(const DiscIdentity &menu)
{
    menu_ = menu;
    showDiscs();
}

bool DiscBar::otherDisc() const
{
    return own_.known() && menu_.known() && !sameDisc(own_, menu_);
}

void DiscBar::showDiscs()
{
    QString text;
    if (otherDisc()) {
        text = QStringLiteral("此畫面讀取先前的光碟：") + discText(own_) + QStringLiteral("；主選單目前是 ") +
               (menu_.read ? discText(menu_) : menu_.folder + QStringLiteral("（無法讀取）"));
        setStyleSheet(
            QStringLiteral("QStatusBar { background: #fff1c2; color: #8a1c00; font-weight: bold; }"));
    } else {
        text = own_.known() ? QStringLiteral("光碟：") + discText(own_) : QString();
        setStyleSheet(QString());
    }
    showMessage(text);
    setToolTip(text);
}

}  // namespace regdisc
