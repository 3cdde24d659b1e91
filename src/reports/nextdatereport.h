#pragma once

#include "diaryreports.h"

#include <QWidget>

namespace Ui {
class NextDateReport;
}

namespace lexordo {

namespace report {
class ReportWindow;
}

// The cause list by next date (frmReportsDate): the hearings fixed for one
// day, by court in running order, printed before they are carried forward.
// The day is today's until Change Date lets the user type another. A run
// that opens its report closes the screen.
class NextDateReport : public QWidget
{
    Q_OBJECT

public:
    explicit NextDateReport(QWidget *parent = nullptr);
    ~NextDateReport() override;

public slots:
    void changeDate();
    void showReport();

private:
    Ui::NextDateReport *ui;
    NextDateCauseList m_run;
};

// The cause list of a day with the court's item and hall under each case
// number, from a check of the court's list: the argument holds "date" (the
// day) and "places" (each case's place by its normalised number). Says why
// and shows nothing when the day has no hearing to list.
report::ReportWindow *showCauseListWithCourtItems(const QVariant &argument);

} // namespace lexordo
