// The one query screen of every data set (frm_1 ... frm_18), built from the data set's
// layout table: it shows the query-screen model and forwards the clerk's actions to it.
#pragma once

#include "screens/main_menu_model.h"
#include "screens/query_screen_model.h"
#include "views/disc_identity.h"

#include <QWidget>

#include <map>
#include <memory>
#include <string>

class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QScrollArea;

namespace regdisc {

class OutputLine;
class Printer;

class QueryScreenWindow : public QWidget {
    Q_OBJECT
public:
    // The model is loaded; `menu` gives the folder box text and baseName when 'PDF 格式'
    // is pressed.
    QueryScreenWindow(std::unique_ptr<QueryScreenModel> model, const MainMenuModel &menu,
                      DocumentOpener &opener, Printer &printer);
    ~QueryScreenWindow() override;

    QueryScreenModel &model() { return *model_; }
    // Shows a record a whole-disc tool found (QueryScreenModel::showFound) and refreshes.
    LookupOutcome showFound(int keyKind, TextView input, std::int64_t recordNo, bool freshHistory);
    QSize sizeHint() const override;
    // Shows the model as it stands: boxes, input, combo and the stepping buttons.
    void refresh();

    // The disc the screen was opened on, and the one the main menu names now; the line at
    // the screen's foot shows both when they differ.
    void setDisc(const DiscIdentity &disc) { discBar_->setDisc(disc); }
    void setMenuDisc(const DiscIdentity &disc) { discBar_->setMenuDisc(disc); }
    const DiscIdentity &disc() const { return discBar_->disc(); }

signals:
    // CloseScreen has run: the files are closed and the menu button is given back.
    void closed();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *buildQueryArea(QWidget *parent);
    QWidget *buildOutputArea(QWidget *parent);
    QWidget *buildBox(const BoxSpec &box, QWidget *parent);
    template <typename Action> void act(Action &&action);

    std::unique_ptr<QueryScreenModel> model_;
    const MainMenuModel &menu_;
    DocumentOpener &opener_;
    Printer &printer_;

    QScrollArea *scroll_ = nullptr;
    DiscBar *discBar_ = nullptr;
    QWidget *content_ = nullptr;
    QComboBox *combo_ = nullptr;  // comb_1
    QLineEdit *input_ = nullptr;  // tx_i_01
    QPushButton *next_ = nullptr;  // cmd_2 次筆
    QPushButton *previous_ = nullptr;  // cmd_5 前一畫面
    QPushButton *following_ = nullptr;  // cmd_6 下一畫面
    struct Box {
        OutputLine *line = nullptr;
        QPlainTextEdit *lines = nullptr;  // the multi-line box
    };
    std::map<std::string, Box, std::less<>> boxes_;
    std::vector<QWidget *> tabOrder_;
    bool refreshing_ = false;
    // The clerk is leaving the combo's typed text (focus out or Enter): Qt then activates
    // the item of that text, which is no choice from the list.
    bool comboTypingEnds_ = false;
};

}  // namespace regdisc
