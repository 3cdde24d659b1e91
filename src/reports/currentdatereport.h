#pragma once

#include "hearingsbydatescreen.h"

namespace Ui {
class CurrentDateReport;
}

namespace lexordo {

// The diary by current date (frmReportManyDates): the hearings of a range of
// current dates, copied into the work table and printed grouped by date, or
// for a single day as that day's cause list grouped by court.
class CurrentDateReport : public HearingsByDateScreen
{
    Q_OBJECT

public:
    explicit CurrentDateReport(QWidget *parent = nullptr);
    ~CurrentDateReport() override;

private:
    Ui::CurrentDateReport *ui;
};

} // namespace lexordo
