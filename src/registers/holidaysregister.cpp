#include "holidaysregister.h"

#include "ui_holidaysregister.h"

#include <data/dataerror.h>
#include <data/dates.h>
#include <data/messenger.h>

namespace lexordo {

HolidaysRegister::HolidaysRegister(QWidget *parent)
    : RecordScreen(parent), ui(new Ui::HolidaysRegister)
{
    ui->setupUi(this);
    openRecordSet(RecordSource::table(QStringLiteral("Holidays")));
    m_adodc2 =
        addRecordSet(QStringLiteral("Adodc2"), RecordSource::table(QStringLiteral("Holidays")));
    bind(ui->txtDate, QStringLiteral("Date"));
    bind(ui->txtHdays, QStringLiteral("Holiday"));
    setGrid(ui->DataGrid1, {{QStringLiteral("Date"), QStringLiteral("Date")},
                            {QStringLiteral("On Account of"), QStringLiteral("Holiday")}});
    // An occasion is found by any word of it.
    setFind(QStringLiteral("Enter The On account of to Be Searched "), QStringLiteral("Holiday"),
            Filter::Op::Contains);
    setDefaultDateOnFocus(ui->txtDate);
    start(Start::AllEnabled);
    followChangesElsewhere(ui->lblChangedElsewhere);
}

HolidaysRegister::~HolidaysRegister()
{
    delete ui;
}

// Deletes in place: no reload, no move, and a failure is told.
void HolidaysRegister::deleteRecord()
{
    if (!askYesNo(QStringLiteral("Really You want to delete this record ")))
        return;
    try {
        if (!recordSet()->isEOF())
            recordSet()->deleteCurrent();
    } catch (const DataError &e) {
        showMessage(e.description());
    }
}

void HolidaysRegister::fieldFocusOut(QWidget *field)
{
    if (field == ui->txtDate)
        checkDate();
}

// Asks before a second event is entered for a date that has one already.
void HolidaysRegister::checkDate()
{
    // A text that is not a date finds nothing; Save will refuse it.
    const std::optional<QDate> day = dates::parse(ui->txtDate->text());
    if (!day)
        return;
    m_adodc2->requery();
    m_adodc2->setFilter(Filter(QStringLiteral("Date"), Filter::Op::Equal, *day));
    if (m_adodc2->rowCount() == 0)
        return;
    if (askYesNo(QStringLiteral(
            "A Holiday is already entered for this date. Are You entering New Event?")))
        ui->txtHdays->setFocus(Qt::OtherFocusReason);
    else
        returnFocusTo(ui->txtDate); // the date typed stays, selected, to be corrected
}

} // namespace lexordo
