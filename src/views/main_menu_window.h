// The main menu frm_0: it shows the main-menu model and forwards the clerk's actions to it.
#pragma once

#include "screens/main_menu_model.h"
#include "views/disc_identity.h"

#include <QList>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <map>
#include <string>

class QLineEdit;
class QPushButton;

namespace regdisc {

class Printer;

// The dialogs and devices the windows work with: Qt's in the application, scripted ones
// in the tests.
struct DesktopServices {
    MessageSink &messages;
    FolderChooser &chooser;
    DocumentOpener &opener;
    Printer &printer;
};

class MainMenuWindow : public QWidget {
    Q_OBJECT
public:
    explicit MainMenuWindow(DesktopServices services, Text folderText = {});
    ~MainMenuWindow() override;

    MainMenuModel &model() { return menu_; }
    // The dialogs and devices the main menu was given, for the tool windows.
    const DesktopServices &services() const { return services_; }
    // The query and listing screens that are open, in the order they were opened.
    QList<QWidget *> openScreens() const;
    // The screens and the tool windows that are shown.
    QList<QWidget *> openWindows() const;
    // The disc the menu reads now: the folder its disc information was last read from,
    // or the folder box's folder, unread, after a failed check or read.
    const DiscIdentity &currentDisc() const { return currentDisc_; }

signals:
    void screenOpened(QWidget *screen);
    // The menu reads another disc now (a folder check, the folder dialog, a button).
    void discChanged();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QPushButton *menuButton(std::string_view name);
    void openDataSet(const DataSetSpec &spec);
    void openListing(const ListingSpec &spec);
    void showScreen(QWidget *screen);
    void chooseFolder();
    void folderFocusOut();
    void endRun();
    void refresh();
    void followDisc();

    // Brings every window up to date before a message is shown, so that the message
    // box stands over what it speaks of ("開檔錯誤" is in the production-date box).
    class UpToDateMessages : public MessageSink {
    public:
        UpToDateMessages(MainMenuWindow &window, MessageSink &messages) : window_(window), messages_(messages)
        {
        }
        void show(const Message &message) override;

    private:
        MainMenuWindow &window_;
        MessageSink &messages_;
    };

    DesktopServices services_;
    UpToDateMessages messages_;
    MainMenuModel menu_;
    QLineEdit *productionDate_ = nullptr;  // tx_o_01
    QLineEdit *folderBox_ = nullptr;  // tx_i_01
    std::map<std::string, QPushButton *, std::less<>> buttons_;
    QList<QPointer<QWidget>> screens_;
    bool refreshing_ = false;
    bool checking_ = false;
    DiscIdentity currentDisc_;
    // What currentDisc_ was worked out from.
    std::optional<Text> discFolder_;
    Text discKey_;
};

}  // namespace regdisc
