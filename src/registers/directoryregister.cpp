#include "directoryregister.h"

#include "ui_directoryregister.h"

#include <data/dataerror.h>
#include <data/messenger.h>
#include <QCloseEvent>
#include <widgets/screenhost.h>
#include <widgets/screennames.h>

namespace lexordo {

DirectoryRegister::DirectoryRegister(QWidget *parent)
    : RecordScreen(parent), ui(new Ui::DirectoryRegister)
{
    ui->setupUi(this);
    openRecordSet(RecordSource::table(QStringLiteral("directory")).orderBy(QStringLiteral("name")));
    bind(ui->txtName, QStringLiteral("Name"), Lock::Never);
    bind(address(), QStringLiteral("Address"), Lock::Never);
    bind(enrolment(), QStringLiteral("Enrolment"), Lock::Never);
    bind(phone(), QStringLiteral("Phno"), Lock::Never);
    bind(bloodGroup(), QStringLiteral("BloodGroup"), Lock::Never);
    bind(mobile(), QStringLiteral("Mobile"), Lock::Never);
    bind(email(), QStringLiteral("Email"), Lock::Never);
    bind(fax(), QStringLiteral("FAX"), Lock::Never);
    QList<RecordSetModel::Column> columns;
    for (const char *column :
         {"Name", "Address", "Enrolment", "Phno", "Mobile", "FAX", "Email", "BloodGroup"})
        columns.append({QString::fromLatin1(column), QString::fromLatin1(column)});
    setGrid(ui->DataGrid1, columns);

    onClicked(refreshButton(), [this] { refresh(); });
    start(Start::AllEnabled);
    followChangesElsewhere(ui->lblChangedElsewhere);
}

DirectoryRegister::~DirectoryRegister()
{
    delete ui;
}

QLineEdit *DirectoryRegister::address() const
{
    return ui->Text1;
}

QLineEdit *DirectoryRegister::enrolment() const
{
    return ui->Text2;
}

QLineEdit *DirectoryRegister::phone() const
{
    return ui->Text3;
}

QLineEdit *DirectoryRegister::bloodGroup() const
{
    return ui->Text4;
}

QLineEdit *DirectoryRegister::mobile() const
{
    return ui->Text5;
}

QLineEdit *DirectoryRegister::email() const
{
    return ui->Text6;
}

QLineEdit *DirectoryRegister::fax() const
{
    return ui->Text7;
}

QPushButton *DirectoryRegister::refreshButton() const
{
    return ui->Command1;
}

void DirectoryRegister::search(const QString &column, Filter::Op op, const QString &text)
{
    if (!storePendingRow())
        return;
    recordSet()->setFilter(Filter(column, op, text));
    focusGrid();
}

// --- the steps of the register ---------------------------------------------------------

// A new entry at once, no question; the one before is stored first.
void DirectoryRegister::add()
{
    if (!storePendingRow())
        return;
    recordSet()->addNew();
    ui->txtName->setFocus(Qt::OtherFocusReason);
}

// Stores the entry being typed, new or changed, and stays on it.
void DirectoryRegister::save()
{
    storePendingRow();
}

void DirectoryRegister::deleteRecord()
{
    try {
        if (recordSet()->hasCurrentRow())
            recordSet()->deleteCurrent();
    } catch (const DataError &e) {
        showMessage(e.description());
    }
}

void DirectoryRegister::find()
{
    if (!storePendingRow())
        return;
    if (ScreenHost *host = ScreenHost::current())
        host->openScreen(screens::searchDirectory);
}

// One state: every field open, every button enabled.
void DirectoryRegister::enterEditState()
{
}

void DirectoryRegister::enterBrowseState()
{
}

// All entries again, in name order; what was being typed is stored first.
void DirectoryRegister::refresh()
{
    if (!storePendingRow())
        return;
    recordSet()->requery();
}

// An entry being typed is stored, not dropped, when the screen closes; if the
// database refuses it, the user is told and asked what to do with it.
void DirectoryRegister::closeEvent(QCloseEvent *event)
{
    if (hasUnsavedChanges())
        saveBeforeClosing();
    RecordScreen::closeEvent(event);
}

} // namespace lexordo
