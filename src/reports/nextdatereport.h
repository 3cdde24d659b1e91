#pragma once

#include "diaryreports.h"

#include <QWidget>

namespace Ui {
class NextDateReport;
}

namespace lexordo {

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

} // namespace lexordo
