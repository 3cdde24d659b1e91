#pragma once

#include "diaryreports.h"
#include "runtime/reportwindow.h"

#include <QPointer>
#include <QWidget>

class QAbstractButton;
class QLineEdit;

namespace lexordo {

// What the two screens that print the hearings of a range of current dates
// share: their dates, the holiday note, the run and the report it opens. The
// screen stays open behind its report and closes when the report lets go of it.
class HearingsByDateScreen : public QWidget
{
    Q_OBJECT

public:
    // The report window of the last run, while it is open.
    report::ReportWindow *reportWindow() const { return m_report; }

public slots:
    void showReport();

protected:
    HearingsByDateScreen(HearingsByDate::Kind kind, QWidget *parent);

    // Fills in today as the last date and wires the buttons and Enter in
    // the first date; called once the form is set up.
    void wire(QLineEdit *from, QLineEdit *to, QLineEdit *holidayNote, QAbstractButton *show,
              QAbstractButton *exit);

private:
    HearingsByDate m_run;
    bool m_causeList = false; // the report printed is a cause list, headed by the office
    QPointer<report::ReportWindow> m_report;
    QLineEdit *m_from = nullptr;
    QLineEdit *m_to = nullptr;
    QLineEdit *m_holidayNote = nullptr;
};

} // namespace lexordo
