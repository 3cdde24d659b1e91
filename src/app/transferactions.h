#pragma once

#include <functional>
#include <QString>

class QWidget;

namespace lexordo::transfer {

// How the screens ask for a file. The program uses the desktop's file
// dialog; tests put in a chooser of their own. An empty answer is a cancel.
enum class FileMode { Save, Open };
using FileChooser = std::function<QString(QWidget *parent, FileMode mode, const QString &caption,
                                          const QString &suggested)>;
void setFileChooser(FileChooser chooser); // nothing: the desktop's dialog again

// The table that a screen edits (a register or the case register), or
// nothing when the screen edits no table.
QString tableOf(QWidget *screen);

// File -> Export CSV... and Import CSV...: act on the table of the screen in
// front. An import re-reads the screen, which then stands on its last row.
void exportScreenTable(QWidget *screen, QWidget *parent);
void importIntoScreenTable(QWidget *screen, QWidget *parent);

// Print -> Hearings to Calendar...: asks for the period and the file.
void exportHearingsToCalendar(QWidget *parent);

} // namespace lexordo::transfer
