#pragma once

#include "hearingsbydatescreen.h"

namespace Ui {
class BlankNextDateReport;
}

namespace lexordo {

// The hearings without a next date (frmRepoNextBlank): those of a range of
// current dates whose next date is still empty, copied into the work table
// and printed by date, leaving out decided and unattended cases.
class BlankNextDateReport : public HearingsByDateScreen
{
    Q_OBJECT

public:
    explicit BlankNextDateReport(QWidget *parent = nullptr);
    ~BlankNextDateReport() override;

private:
    Ui::BlankNextDateReport *ui;
};

} // namespace lexordo
