#pragma once

#include <optional>
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

namespace lexordo::csv {

// Comma-separated text as RFC 4180 has it: records end with CR LF, a field
// that holds a comma, a double quote or a line break is put in double quotes
// and its quotes are doubled. The text is UTF-8.

// One record, CR LF at its end.
QByteArray formatRecord(const QStringList &fields);
// The same, where a field may be no value: that is written as nothing, and
// an empty text as "" so that the two read back apart.
QByteArray formatRecord(const QList<std::optional<QString>> &fields);

// A record read back, with the line of the file on which it starts (the first
// line is 1) and, when it could not be read, the reason.
struct Record
{
    int line = 0;
    QStringList fields;
    QList<bool> quoted; // for each field: written in double quotes
    QString problem;
};

// Reads every record of a text. Records end with CR LF or LF alone; line
// breaks inside quotes belong to the field. A byte-order mark at the start is
// skipped; blank lines are not records.
std::vector<Record> parse(QStringView text);

} // namespace lexordo::csv
