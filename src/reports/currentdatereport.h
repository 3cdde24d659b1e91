#pragma once

#include "diaryreports.h"
#include "runtime/reportwindow.h"

#include <QPointer>
#include <QWidget>

namespace Ui {
class CurrentDateReport;
}

namespace lexordo {

// The diary by current date (frmReportManyDates): the hearings of a range of
// current dates, copied into the work table and printed grouped by date, or
// for a single day as that day's cause list grouped by court. The screen
// stays open behind its report and closes when the report lets go of it.
class CurrentDateReport : public QWidget
{
    Q_OBJECT

public:
    explicit CurrentDateReport(QWidget *parent = nullptr);
    ~CurrentDateReport() override;

    // The report window of the last run, while it is open.
    report::ReportWindow *reportWindow() const { return m_report; }

public slots:
    void showReport();

private:
    Ui::CurrentDateReport *ui;
    HearingsByDate m_run;
    QPointer<report::ReportWindow> m_report;
};

} // namespace lexordo
