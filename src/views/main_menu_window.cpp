#include "views/main_menu_window.h"

#include "views/listing_window.h"
#include "views/qt_text.h"
#include "views/query_screen_window.h"
#include "views/screen_look.h"
#include "views/tools_menu.h"
#include "views/window_placement.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFocusEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace regdisc {

namespace {

// Runs one of the clerk's actions; whatever goes wrong in it, the window stays as it was.
template <typename Action> void guarded(Action &&action)
{
    try {
        action();
    } catch (const std::exception &) {
    }
}

}  // namespace

void MainMenuWindow::UpToDateMessages::show(const Message &message)
{
    window_.refresh();
    for (const QPointer<QWidget> &screen : window_.screens_)
        if (auto *query = qobject_cast<QueryScreenWindow *>(screen.data()))
            query->refresh();
    messages_.show(message);
}

MainMenuWindow::MainMenuWindow(DesktopServices services, Text folderText)
    : services_(services), messages_(*this, services.messages), menu_(messages_, std::move(folderText))
{
    const MainMenuSpec &spec = mainMenu();
    setObjectName(QStringLiteral("frm_0"));
    setWindowTitle(qs(spec.windowCaption));

    // Every button of the two columns: the data sets, the listings and the exit button.
    std::map<std::string, QString, std::less<>> captions;
    for (const DataSetSpec *d : allDataSets())
        captions[std::string(d->button)] = qs(d->buttonCaption);
    for (const ListingSpec *l : allListings())
        captions[std::string(l->button)] = qs(l->buttonCaption);
    captions["cmd_6"] = qs(spec.exitCaption);

    auto *outer = new QVBoxLayout(this);
    outer->setSizeConstraint(QLayout::SetFixedSize);  // the menu has a fixed size
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    // The whole-disc tools in a menu bar above the menu's own controls.
    outer->setMenuBar(createToolsMenuBar(*this));
    auto *banner = new QLabel(this);
    banner->setObjectName(QStringLiteral("Image1"));
    outer->addWidget(banner);

    auto *body = new QVBoxLayout;
    const int margin = fontMetrics().height();
    body->setContentsMargins(margin, margin * 2 / 3, margin, margin);
    body->setSpacing(margin * 2 / 3);
    outer->addLayout(body);

    auto *titleRow = new QHBoxLayout;
    auto *title = captionLabel(spec.title, "Label1", this);
    QFont titleFont = title->font();
    titleFont.setPointSize(titleFont.pointSize() * 8 / 5);
    titleFont.setBold(true);
    title->setFont(titleFont);
    titleRow->addWidget(title);
    titleRow->addStretch();
    productionDate_ = new QLineEdit(qs(spec.productionDateDesign), this);
    productionDate_->setObjectName(QStringLiteral("tx_o_01"));
    productionDate_->setReadOnly(true);
    productionDate_->setFocusPolicy(Qt::ClickFocus);
    productionDate_->setAlignment(Qt::AlignCenter);
    productionDate_->setMinimumWidth(fontMetrics().horizontalAdvance(QLatin1Char('0')) * 22);
    titleRow->addWidget(productionDate_);
    body->addLayout(titleRow);

    // The two columns of equal buttons; the folder row holds 檔案位置 and the folder box.
    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(margin);
    grid->setVerticalSpacing(margin / 2);
    body->addLayout(grid);
    QSize buttonSize;
    std::vector<CaptionButton *> columnButtons;
    QWidget *folderRow = nullptr;
    int row = 0;
    for (const auto &[left, right] : spec.rows) {
        int column = 0;
        for (const std::string_view name : {left, right}) {
            if (name == "lab_01") {
                folderRow = new QWidget(this);
                auto *box = new QHBoxLayout(folderRow);
                box->setContentsMargins(0, 0, 0, 0);
                auto *chooser = new QPushButton(qs(spec.folderButtonCaption), folderRow);
                chooser->setObjectName(QStringLiteral("lab_01"));
                chooser->setAutoDefault(true);  // Enter presses the focused button
                connect(chooser, &QPushButton::clicked, this, [this] { chooseFolder(); });
                folderBox_ = new QLineEdit(qs(menu_.folderText()), folderRow);
                folderBox_->setObjectName(QStringLiteral("tx_i_01"));
                folderBox_->setToolTip(qs(spec.folderToolTip));
                folderBox_->installEventFilter(this);
                connect(folderBox_, &QLineEdit::textChanged, this, [this](const QString &text) {
                    if (!refreshing_)
                        menu_.setFolderText(tx(text));
                });
                box->addWidget(chooser);
                box->addWidget(folderBox_, 1);
                buttons_["lab_01"] = chooser;
                grid->addWidget(folderRow, row, column);
            } else {
                auto *button = new CaptionButton(captions.at(std::string(name)), this);
                button->setObjectName(QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())));
                button->setAutoDefault(true);
                buttons_[std::string(name)] = button;
                buttonSize = buttonSize.expandedTo(button->sizeHint());
                columnButtons.push_back(button);
                grid->addWidget(button, row, column);
            }
            ++column;
        }
        ++row;
    }
    for (CaptionButton *button : columnButtons)
        button->setFixedSize(buttonSize);
    if (folderRow)
        folderRow->setFixedSize(buttonSize);

    for (const DataSetSpec *d : allDataSets())
        connect(menuButton(d->button), &QPushButton::clicked, this, [this, d] { openDataSet(*d); });
    for (const ListingSpec *l : allListings())
        connect(menuButton(l->button), &QPushButton::clicked, this, [this, l] { openListing(*l); });
    connect(menuButton("cmd_6"), &QPushButton::clicked, this, [this] { endRun(); });

    const int width = buttonSize.width() * 2 + grid->horizontalSpacing() + margin * 2;
    banner->setPixmap(bannerPicture(QSize(width, fontMetrics().height() * 4), devicePixelRatioF()));

    menuButton("cmd_1")->setFocus();
    // Form load: the silent start-up read of the disc information.
    guarded([this] { menu_.startupRead(); });
    refresh();
}

MainMenuWindow::~MainMenuWindow()
{
    // The run is over: the screens go without their close handling.
    for (const QPointer<QWidget> &screen : screens_) {
        if (screen) {
            screen->disconnect(this);
            delete screen.data();
        }
    }
}

QList<QWidget *> MainMenuWindow::openScreens() const
{
    QList<QWidget *> open;
    for (const QPointer<QWidget> &screen : screens_)
        if (screen && screen->isVisible())
            open.push_back(screen.data());
    return open;
}

QList<QWidget *> MainMenuWindow::openWindows() const
{
    QList<QWidget *> open = openScreens();
    for (QWidget *child : findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        if (child->isWindow() && child->isVisible() && child->windowType() == Qt::Window)
            open.push_back(child);
    return open;
}

QPushButton *MainMenuWindow::menuButton(std::string_view name)
{
    return buttons_.at(std::string(name));
}

void MainMenuWindow::openDataSet(const DataSetSpec &spec)
{
    std::unique_ptr<QueryScreenModel> model;
    // The screen walks by a skip index once one is built beside it.
    guarded([&] { model = menu_.openDataSet(spec, true); });
    refresh();
    if (!model)
        return;
    auto *screen = new QueryScreenWindow(std::move(model), menu_, services_.opener, services_.printer);
    // The screen reads the disc it was opened on for as long as it is open.
    screen->setDisc(discIdentity(menu_.folderText(), menu_.discInfo()));
    screen->setMenuDisc(currentDisc_);
    connect(screen, &QueryScreenWindow::closed, this, &MainMenuWindow::refresh);
    showScreen(screen);
}

void MainMenuWindow::openListing(const ListingSpec &spec)
{
    std::unique_ptr<ListingModel> model;
    guarded([&] { model = menu_.openListing(spec); });
    refresh();
    if (!model)
        return;
    auto *screen = new ListingWindow(std::move(model), services_.printer);
    screen->setDisc(discIdentity(menu_.folderText(), menu_.discInfo()));
    screen->setMenuDisc(currentDisc_);
    connect(screen, &ListingWindow::closed, this, &MainMenuWindow::refresh);
    showScreen(screen);
}

void MainMenuWindow::showScreen(QWidget *screen)
{
    // A closed screen goes; its close has given its menu button back.
    screen->setAttribute(Qt::WA_DeleteOnClose);
    placeBesideMenu(screen, this, openWindows());
    screens_.push_back(screen);
    screen->show();
    screen->raise();
    screen->activateWindow();
    refresh();
    emit screenOpened(screen);
}

void MainMenuWindow::chooseFolder()
{
    guarded([this] { menu_.chooseFolder(services_.chooser); });
    refresh();
}

void MainMenuWindow::folderFocusOut()
{
    if (checking_)
        return;
    checking_ = true;
    menu_.setFolderText(tx(folderBox_->text()));
    guarded([this] { menu_.folderFocusOut(); });
    checking_ = false;
    refresh();
}

bool MainMenuWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == folderBox_ && event->type() == QEvent::KeyPress) {
        // Enter reads the folder typed, as the folder dialog reads the one chosen.
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            folderFocusOut();
            return true;
        }
    }
    if (watched == folderBox_ && event->type() == QEvent::FocusOut) {
        // Every loss of the input focus runs the check, changed text or not; a popup or
        // a switch to another program is no loss of focus within the menu.
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        const bool leftProgram = reason == Qt::ActiveWindowFocusReason && !QApplication::activeWindow();
        if (reason != Qt::PopupFocusReason && !leftProgram)
            folderFocusOut();
    }
    return QWidget::eventFilter(watched, event);
}

void MainMenuWindow::closeEvent(QCloseEvent *event)
{
    endRun();
    event->accept();
}

void MainMenuWindow::endRun()
{
    // 結束作業: every file is closed and the application ends; no screen's close runs.
    menu_.closeAllFiles();
    QCoreApplication::exit(0);
}

void MainMenuWindow::refresh()
{
    if (!productionDate_ || !folderBox_)
        return;  // still being built
    refreshing_ = true;
    productionDate_->setText(qs(menu_.productionDateBox()));
    if (folderBox_->text() != qs(menu_.folderText()))
        folderBox_->setText(qs(menu_.folderText()));
    for (const auto &[name, button] : buttons_)
        if (name != "lab_01" && name != "cmd_6")
            button->setEnabled(menu_.buttonEnabled(name));
    refreshing_ = false;
    followDisc();
}

void MainMenuWindow::followDisc()
{
    const std::optional<Text> &folder = menu_.discFolder();
    const DiscInfo &info = menu_.discInfo();
    const Text key = (folder ? u"1" + *folder : u"0" + menu_.folderText()) + u'\n' + info.baseName + u'\n' +
                     info.productionDate + u'\n' + info.dataDate;
    if (key == discKey_ && currentDisc_.known())
        return;
    discKey_ = key;
    const DiscIdentity disc =
        folder ? discIdentity(*folder, info) : discIdentity(menu_.folderText(), {}, false);
    const bool unreadAlike = !disc.read && !currentDisc_.read && disc.canonical == currentDisc_.canonical;
    const bool changed = !sameDisc(disc, currentDisc_) && !unreadAlike;
    currentDisc_ = disc;
    if (!changed)
        return;
    for (const QPointer<QWidget> &screen : screens_) {
        if (auto *query = qobject_cast<QueryScreenWindow *>(screen.data()))
            query->setMenuDisc(currentDisc_);
        else if (auto *listing = qobject_cast<ListingWindow *>(screen.data()))
            listing->setMenuDisc(currentDisc_);
    }
    emit discChanged();
}

}  // namespace regdisc
