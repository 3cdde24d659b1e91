#pragma once

#include "diaryreports.h"
#include "runtime/reportwindow.h"

#include <QPointer>
#include <QWidget>

namespace Ui {
class BlankNextDateReport;
}

namespace lexordo {

// The hearings without a next date (frmRepoNextBlank): those of a range of
// current dates whose next date is still empty, copied into the work table
// and printed by date, leaving out decided and unattended cases. The screen
// stays open behind its report and closes when the report lets go of it.
class BlankNextDateReport : public QWidget
{
    Q_OBJECT

public:
    explicit BlankNextDateReport(QWidget *parent = nullptr);
    ~BlankNextDateReport() override;

    // The report window of the last run, while it is open.
    report::ReportWindow *reportWindow() const { return m_report; }

public slots:
    void showReport();

private:
    Ui::BlankNextDateReport *ui;
    HearingsByDate m_run;
    QPointer<report::ReportWindow> m_report;
};

} // namespace lexordo
