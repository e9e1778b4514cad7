// A count listing screen (frm_5, frm_9): the listing read when it opened, 列印 and 結束.
#pragma once

#include "screens/listing_model.h"

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

signals:
    void closed();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    std::unique_ptr<ListingModel> model_;
    Printer &printer_;
};

}  // namespace regdisc
