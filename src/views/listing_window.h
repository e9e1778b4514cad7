// A count listing screen (frm_5, frm_9): the listing read when it opened, 列印 and 結束.
#pragma once

#include "screens/listing_model.h"
#include "views/disc_identity.h"

#include <QWidget>

#include <memory>

namespace regdisc {

class Printer;

class ListingWindow : public QWidget {
    Q_OBJECT
public:
    ListingWindow(std::unique_ptr<ListingModel> model, Printer &printer);
    ~ListingWindow() override;

    ListingModel &model() { return *model_; }
    void setDisc(const DiscIdentity &disc) { discBar_->setDisc(disc); }
    void setMenuDisc(const DiscIdentity &disc) { discBar_->setMenuDisc(disc); }
    const DiscIdentity &disc() const { return discBar_->disc(); }

signals:
    void closed();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    std::unique_ptr<ListingModel> model_;
    Printer &printer_;
    DiscBar *discBar_ = nullptr;
};

}  // namespace regdisc
