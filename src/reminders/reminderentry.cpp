#include "reminderentry.h"

#include "reminderwindow.h"
#include "ui_reminderentry.h"

#include <data/dataerror.h>
#include <data/dates.h>
#include <data/messenger.h>
#include <data/recordset.h>
#include <QTime>
#include <widgets/enterkey.h>

namespace lexordo {

namespace {
const QString timeColumn = QStringLiteral("Time");
} // namespace

ReminderEntry::ReminderEntry(QWidget *parent) : RecordScreen(parent), ui(new Ui::ReminderEntry)
{
    ui->setupUi(this);
    setButtonName(Role::Add, QStringLiteral("cmdadd"));
    setButtonName(Role::Delete, QStringLiteral("cmddelete"));
    setButtonName(Role::Find, QStringLiteral("cmdfind"));
    setButtonName(Role::First, QStringLiteral("cmdfirst"));
    setButtonName(Role::Next, QStringLiteral("cmdnext"));
    setButtonName(Role::Last, QStringLiteral("cmdlast"));
    openRecordSet(RecordSource::table(QStringLiteral("reminder")));
    bind(ui->txtDate, QStringLiteral("REMDate"));
    bind(ui->txtTime, timeColumn);
    bind(ui->txtReminder, QStringLiteral("Work"));
    setNotFoundText(QStringLiteral("Record nont found "));
    // Deleting leaves the list as it is; a search stays in force.
    setReloadAfterDelete(false);
    onClicked(ui->cmdPrint, [] { ReminderWindow::open(); });

    // Enter moves on from field to field, and from Save to Add.
    onEnterKey(ui->txtDate, [this] { ui->txtTime->setFocus(Qt::TabFocusReason); });
    onEnterKey(ui->txtTime, [this] { ui->txtReminder->setFocus(Qt::TabFocusReason); });
    onEnterKey(ui->txtReminder, [this] {
        if (ui->cmdSave->isEnabled())
            ui->cmdSave->setFocus(Qt::TabFocusReason);
    });
    // Enter on a button presses it, as on any office desktop; on Save it then
    // goes on to Add, ready for the next reminder.
    onEnterKey(ui->cmdSave, [this] {
        if (ui->cmdSave->isEnabled())
            ui->cmdSave->click();
        if (ui->cmdadd->isEnabled())
            ui->cmdadd->setFocus(Qt::TabFocusReason);
    });
    onEnterKey(ui->cmdadd, [this] { ui->cmdadd->click(); });

    start(Start::Browse);
    followChangesElsewhere(ui->lblChangedElsewhere);
    // The screen opens on the reminder stored last.
    if (recordSet()->isOpen() && recordSet()->rowCount() > 0)
        guardAction([this] { recordSet()->moveLast(); });
}

ReminderEntry::~ReminderEntry()
{
    delete ui;
}

QString ReminderEntry::fieldText(const QString &column) const
{
    if (column.compare(timeColumn, Qt::CaseInsensitive) != 0 || !recordSet()->hasCurrentRow())
        return RecordScreen::fieldText(column);
    const QVariant value = recordSet()->value(column);
    if (value.typeId() != QMetaType::QTime)
        return RecordScreen::fieldText(column);
    const QTime time = value.toTime();
    const int hour = time.hour() % 12 == 0 ? 12 : time.hour() % 12;
    return QStringLiteral("%1:%2:%3 %4")
        .arg(hour)
        .arg(time.minute(), 2, 10, QLatin1Char('0'))
        .arg(time.second(), 2, 10, QLatin1Char('0'))
        .arg(time.hour() < 12 ? QStringLiteral("AM") : QStringLiteral("PM"));
}

void ReminderEntry::add()
{
    m_modify = false;
    RecordScreen::add();
    if (state() == State::Edit)
        ui->txtDate->setFocus(Qt::OtherFocusReason);
}

void ReminderEntry::modify()
{
    RecordScreen::modify();
    m_modify = true;
    ui->txtDate->setFocus(Qt::OtherFocusReason);
    ui->txtDate->selectAll();
}

void ReminderEntry::save()
{
    // A text a column refuses is named by storeTypedFields, and the screen
    // stays as it is, with everything typed.
    if (!storeTypedFields())
        return;
    try {
        if (m_modify) {
            recordSet()->updateBatch();
            m_modify = false;
        } else {
            recordSet()->update();
        }
        enterBrowseState();
        if (!recordSet()->isEOF())
            recordSet()->moveLast();
    } catch (const ChangedElsewhere &e) {
        m_modify = false;
        showReadAgain(e);
    } catch (const DataError &e) {
        // The user corrects the entry and saves again: only Save and Exit stay.
        showMessage(e.description());
        enterEditState();
    }
}

void ReminderEntry::deleteRecord()
{
    if (recordSet()->rowCount() == 0)
        recordSet()->requery();
    if (!askYesNo(QStringLiteral("Really You want to delete this record ")))
        return;
    if (recordSet()->rowCount() == 0 || recordSet()->isEOF())
        return;
    if (!deleteUnlessChangedElsewhere())
        return;
    if (recordSet()->rowCount() > 0)
        recordSet()->moveLast();
}

void ReminderEntry::moveFirst()
{
    if (storeTypedFields() && recordSet()->rowCount() > 0)
        recordSet()->moveFirst();
}

void ReminderEntry::moveLast()
{
    if (storeTypedFields() && recordSet()->rowCount() > 0)
        recordSet()->moveLast();
}

void ReminderEntry::find()
{
    if (!storeTypedFields())
        return;
    const std::optional<QString> answer = askInput(QStringLiteral("Enter the Reminder Date "));
    const std::optional<QDate> day = answer ? dates::parse(*answer) : std::nullopt;
    if (!day) {
        showMessage(QStringLiteral("Enter the date in dd/mm/yyyy format"));
        return;
    }
    recordSet()->setFilter(Filter(QStringLiteral("REMDate"), Filter::Op::Equal, *day));
    if (recordSet()->rowCount() == 0)
        showMessage(QStringLiteral("Record nont found "));
}

} // namespace lexordo
