#include "transferactions.h"

#include <data/clock.h>
#include <data/dataerror.h>
#include <data/dates.h>
#include <data/hearingcalendar.h>
#include <data/messenger.h>
#include <data/recordset.h>
#include <data/safewrite.h>
#include <data/tabletransfer.h>
#include <QDir>
#include <QFileDialog>
#include <QStandardPaths>
#include <widgets/recordscreen.h>

namespace lexordo::transfer {

namespace {

FileChooser s_chooser;

QString desktopChooser(QWidget *parent, FileMode mode, const QString &caption,
                       const QString &suggested)
{
    // "Replace?" is asked after the diary has been refused, not by the dialog.
    if (mode == FileMode::Save)
        return QFileDialog::getSaveFileName(parent, caption, suggested,
                                            suggested.endsWith(QStringLiteral(".ics"))
                                                ? QStringLiteral("iCalendar files (*.ics)")
                                                : QStringLiteral("CSV files (*.csv)"),
                                            nullptr, QFileDialog::DontConfirmOverwrite);
    return QFileDialog::getOpenFileName(parent, caption, suggested,
                                        QStringLiteral("CSV files (*.csv);;All files (*)"));
}

QString chooseFile(QWidget *parent, FileMode mode, const QString &caption, const QString &fileName)
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString suggested = QDir(folder).filePath(fileName);
    QString chosen = s_chooser ? s_chooser(parent, mode, caption, suggested)
                               : desktopChooser(parent, mode, caption, suggested);
    if (mode == FileMode::Save && !chosen.isEmpty() && !safewrite::mayReplace(chosen))
        return QString();
    return chosen;
}

// "1 row was", "2 rows were".
QString rowsText(int rows)
{
    return rows == 1 ? QStringLiteral("1 row was") : QStringLiteral("%1 rows were").arg(rows);
}

const QString noTableMessage = QStringLiteral(
    "Bring the register or the diary to export or import to the front first: open it from the "
    "Case Diary menu, then choose this entry again.");

} // namespace

void setFileChooser(FileChooser chooser)
{
    s_chooser = std::move(chooser);
}

QString tableOf(QWidget *screen)
{
    if (!screen)
        return QString();
    if (auto *record = qobject_cast<RecordScreen *>(screen); record && record->recordSet())
        return record->recordSet()->tableName();
    if (auto *recordSet = screen->findChild<RecordSet *>(RecordScreen::recordSetName))
        return recordSet->tableName();
    return QString();
}

void exportScreenTable(QWidget *screen, QWidget *parent)
{
    const QString table = tableOf(screen);
    if (table.isEmpty()) {
        showMessage(noTableMessage, Messenger::Buttons::Ok, Messenger::Icon::Information);
        return;
    }
    if (auto *record = qobject_cast<RecordScreen *>(screen);
        record && (record->state() == RecordScreen::State::Edit || record->hasUnsavedChanges())) {
        showMessage(QStringLiteral("Save what you typed on this screen first, then export."),
                    Messenger::Buttons::Ok, Messenger::Icon::Exclamation);
        return;
    }
    const QString file =
        chooseFile(parent, FileMode::Save, QStringLiteral("Export %1 to CSV").arg(table),
                   table + QStringLiteral(".csv"));
    if (file.isEmpty())
        return;
    try {
        const int rows = TableTransfer::exportCsv(table, file);
        showMessage(
            rows == 1
                ? QStringLiteral("1 row of %1 was written to %2.").arg(table, file)
                : QStringLiteral("%1 rows of %2 were written to %3.").arg(rows).arg(table, file),
            Messenger::Buttons::Ok, Messenger::Icon::Information);
    } catch (const DataError &e) {
        showMessage(e.description(), Messenger::Buttons::Ok, Messenger::Icon::Critical);
    }
}

void importIntoScreenTable(QWidget *screen, QWidget *parent)
{
    const QString table = tableOf(screen);
    if (table.isEmpty()) {
        showMessage(noTableMessage, Messenger::Buttons::Ok, Messenger::Icon::Information);
        return;
    }
    auto *record = qobject_cast<RecordScreen *>(screen);
    if (record && (record->state() == RecordScreen::State::Edit || record->hasUnsavedChanges())) {
        showMessage(QStringLiteral("Save what you typed on this screen first, then import."),
                    Messenger::Buttons::Ok, Messenger::Icon::Exclamation);
        return;
    }
    const QString file = chooseFile(parent, FileMode::Open,
                                    QStringLiteral("Import CSV into %1").arg(table), QString());
    if (file.isEmpty())
        return;
    if (!askYesNo(
            QStringLiteral("Add the rows of %1 to %2?").arg(QDir::toNativeSeparators(file), table),
            Messenger::Icon::Question))
        return;
    int rows = 0;
    try {
        rows = TableTransfer::importCsv(table, file);
    } catch (const DataError &e) {
        // A refused file lists its wrong rows in the description.
        showMessage(e.description(), Messenger::Buttons::Ok, Messenger::Icon::Critical);
        return;
    }
    showMessage(QStringLiteral("%1 imported into %2.").arg(rowsText(rows), table),
                Messenger::Buttons::Ok, Messenger::Icon::Information);
    // The screen shows the new rows, standing on the last.
    if (auto *recordSet = record ? record->recordSet()
                                 : screen->findChild<RecordSet *>(RecordScreen::recordSetName)) {
        try {
            recordSet->requery();
            recordSet->moveLast();
        } catch (const DataError &e) {
            showMessage(e.description(), Messenger::Buttons::Ok, Messenger::Icon::Critical);
        }
    }
}

void exportHearingsToCalendar(QWidget *parent)
{
    const QString today = dates::format(Clock::today());
    const auto fromText = askInput(QStringLiteral("Hearings from (DD/MM/YYYY)"),
                                   QStringLiteral("Hearings to Calendar"), today);
    if (!fromText)
        return;
    const auto from = dates::parse(*fromText);
    if (!from) {
        showMessage(dates::enterDateMessage);
        return;
    }
    const auto toText =
        askInput(QStringLiteral("Hearings up to (DD/MM/YYYY)"),
                 QStringLiteral("Hearings to Calendar"), dates::format(from->addDays(90)));
    if (!toText)
        return;
    const auto to = dates::parse(*toText);
    if (!to) {
        showMessage(dates::enterDateMessage);
        return;
    }
    if (*to < *from) {
        showMessage(QStringLiteral("The last date comes before the first."));
        return;
    }
    const QString file = chooseFile(parent, FileMode::Save, QStringLiteral("Hearings to Calendar"),
                                    QStringLiteral("hearings.ics"));
    if (file.isEmpty())
        return;
    try {
        const int events = HearingCalendar::exportIcs(*from, *to, file);
        showMessage(events == 1
                        ? QStringLiteral("1 hearing was written to %1.").arg(file)
                        : QStringLiteral("%1 hearings were written to %2.").arg(events).arg(file),
                    Messenger::Buttons::Ok, Messenger::Icon::Information);
    } catch (const DataError &e) {
        showMessage(e.description(), Messenger::Buttons::Ok, Messenger::Icon::Critical);
    }
}

} // namespace lexordo::transfer
