#include "tabletransfer.h"

#include "columncaptions.h"
#include "csv.h"
#include "csvimport.h"
#include "database.h"
#include "dataerror.h"
#include "dates.h"
#include "recordset.h"
#include "safewrite.h"
#include "sqlquery.h"

#include <charconv>
#include <cmath>
#include <optional>
#include <QFile>
#include <QLocale>
#include <QStringDecoder>

namespace lexordo {

namespace {

QString quoted(const QString &identifier)
{
    return sql::quoteIdentifier(identifier);
}

struct Column
{
    QString name;
    RecordSet::FieldType type = RecordSet::FieldType::Any;
};

// The columns of a table with the types the record sets give them.
QList<Column> columnsOf(const QString &table)
{
    const RecordSet probe(RecordSource::table(table));
    QList<Column> columns;
    for (int i = 0; i < probe.fieldCount(); ++i)
        columns.append({probe.fieldName(i), probe.fieldType(i)});
    return columns;
}

QString numberText(const QVariant &value)
{
    if (value.typeId() == QMetaType::LongLong || value.typeId() == QMetaType::Int)
        return QString::number(value.toLongLong());
    const double number = value.toDouble();
    if (std::trunc(number) == number && std::fabs(number) < 9.0e15)
        return QString::number(qint64(number));
    return QLocale::c().toString(number, 'f', QLocale::FloatingPointShortest);
}

// A stored value as the file shows it: dates dd/mm/yyyy, numbers plain, an
// empty text as "" and no value as nothing. A value that does not fit its
// column's type is written as it is stored.
std::optional<QString> fieldText(const Column &column, const QVariant &value)
{
    if (value.isNull())
        return std::nullopt;
    switch (column.type) {
    case RecordSet::FieldType::Date:
        if (const auto date = dates::parseIso(value.toString()))
            return dates::format(*date);
        break;
    case RecordSet::FieldType::Number:
    case RecordSet::FieldType::Integer:
    case RecordSet::FieldType::Any:
        if (value.typeId() == QMetaType::Double || value.typeId() == QMetaType::LongLong ||
            value.typeId() == QMetaType::Int)
            return numberText(value);
        break;
    default:
        break;
    }
    const QString text = value.toString();
    // A date, time or number column reads an empty text as no value.
    if (text.isEmpty() && column.type != RecordSet::FieldType::Text &&
        column.type != RecordSet::FieldType::Any)
        return std::nullopt;
    return text;
}

// The file is written in blocks of about this many bytes.
constexpr qsizetype flushAt = 1 << 20;

bool isBlank(uchar c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// A stored text as fieldText() gives it and csv::formatRecord() writes it,
// straight from SQLite's UTF-8 without a QString in between.
void appendText(QByteArray &out, const char *text, qsizetype length)
{
    if (length == 0) {
        out += "\"\"";
        return;
    }
    bool quote = false;
    for (qsizetype i = 0; i < length && !quote; ++i) {
        const char c = text[i];
        quote = c == ',' || c == '"' || c == '\n' || c == '\r';
    }
    const uchar first = uchar(text[0]);
    const uchar last = uchar(text[length - 1]);
    if (!quote && (first >= 0x80 || last >= 0x80)) {
        // A blank outside ASCII at either end: asked of the text itself.
        const QString whole = QString::fromUtf8(text, length);
        quote = !whole.isEmpty() && (whole.front().isSpace() || whole.back().isSpace());
    } else if (!quote) {
        quote = isBlank(first) || isBlank(last);
    }
    if (!quote) {
        out.append(text, length);
        return;
    }
    out += '"';
    for (qsizetype i = 0; i < length; ++i) {
        if (text[i] == '"')
            out += '"';
        out += text[i];
    }
    out += '"';
}

// One stored value as the file shows it, the same as fieldText() gives.
void appendField(QByteArray &out, const Column &column, const SqlQuery &row, int i)
{
    const SqlQuery::Kind kind = row.kind(i);
    if (kind == SqlQuery::Kind::Null)
        return;
    if (kind == SqlQuery::Kind::Text) {
        const QByteArrayView stored = row.utf8(i);
        const char *text = stored.data();
        const qsizetype length = stored.size();
        switch (column.type) {
        case RecordSet::FieldType::Date:
            // A stored date is ISO text; the file has it day first.
            if (dates::parseIso(text, length)) {
                const char shown[10] = {text[8], text[9], '/',     text[5], text[6],
                                        '/',     text[0], text[1], text[2], text[3]};
                out.append(shown, 10);
                return;
            }
            break;
        case RecordSet::FieldType::Text:
        case RecordSet::FieldType::Any:
            appendText(out, text, length);
            return;
        default:
            break;
        }
        if (length == 0)
            return; // a date, time or number column reads an empty text as no value
        appendText(out, text, length);
        return;
    }
    if (kind == SqlQuery::Kind::Integer) {
        char digits[24];
        const auto end = std::to_chars(digits, digits + sizeof digits, row.integer(i));
        out.append(digits, end.ptr - digits);
        return;
    }
    // Numbers stored as real, and anything else, as fieldText() has them.
    QVariant value;
    if (kind == SqlQuery::Kind::Real)
        value = row.real(i);
    else
        value = row.blob(i);
    const std::optional<QString> text = fieldText(column, value);
    if (text) {
        const QByteArray bytes = text->toUtf8();
        appendText(out, bytes.constData(), bytes.size());
    }
}

QString rowsText(int count)
{
    return count == 1 ? QStringLiteral("1 row is wrong")
                      : QStringLiteral("%1 rows are wrong").arg(count);
}

} // namespace

namespace {

// The wrong rows a message lists; the rest are counted.
constexpr int listedRows = 20;
// A reason is cut short after this many characters (a field may be long).
constexpr int reasonLength = 200;

QString refusal(const QString &table, const QList<TableTransfer::BadRow> &rows, int count)
{
    if (count < rows.size())
        count = int(rows.size());
    QString text = QStringLiteral("Nothing was imported into %1: %2.").arg(table, rowsText(count));
    for (qsizetype i = 0; i < rows.size() && i < listedRows; ++i) {
        // One line each, whatever line breaks a quoted field holds.
        QString reason = rows[i].reason;
        reason.replace(u'\r', u' ').replace(u'\n', u' ');
        if (reason.size() > reasonLength)
            reason = reason.left(reasonLength - 1) + QChar(0x2026);
        text += QStringLiteral("\nLine %1: %2").arg(rows[i].line).arg(reason);
    }
    if (count > listedRows) {
        const qsizetype more = count - listedRows;
        text += more == 1 ? QStringLiteral("\n... and 1 more wrong line.")
                          : QStringLiteral("\n... and %1 more wrong lines.").arg(more);
    }
    return text;
}

} // namespace

TableTransfer::Refused::Refused(const QString &refusedTable, const QList<BadRow> &badRows,
                                int badCount)
    : DataError(refusal(refusedTable, badRows, badCount)), table(refusedTable), rows(badRows),
      count(std::max(badCount, int(badRows.size())))
{
}

QStringList TableTransfer::tables()
{
    QStringList names;
    const QStringList all = sql::tables();
    for (const QString &name : all) {
        if (!name.startsWith(QStringLiteral("sqlite_"), Qt::CaseInsensitive) &&
            name.compare(QStringLiteral("password1"), Qt::CaseInsensitive) != 0 &&
            !Database::isTextList(name))
            names << name;
    }
    names.sort(Qt::CaseInsensitive);
    return names;
}

QString TableTransfer::storedName(const QString &table)
{
    const QStringList names = tables();
    for (const QString &name : names) {
        if (name.compare(table.trimmed(), Qt::CaseInsensitive) == 0)
            return name;
    }
    throw DataError(QStringLiteral("There is no table called %1. The tables are: %2.")
                        .arg(table, names.join(QStringLiteral(", "))));
}

QStringList TableTransfer::columns(const QString &table)
{
    QStringList names;
    for (const Column &column : columnsOf(storedName(table)))
        names << column.name;
    return names;
}

int TableTransfer::exportCsv(const QString &table, const QString &file)
{
    const QString name = storedName(table);
    const QList<Column> columns = columnsOf(name);

    QStringList select;
    QStringList header;
    for (const Column &column : columns) {
        select << quoted(column.name);
        header << column.name;
    }

    // Rows go to a temporary file as they are read; it takes the file's place
    // only when the last row is in.
    safewrite::AtomicFile out(file);
    QByteArray buffer = csv::formatRecord(header);
    buffer.reserve(flushAt + (1 << 16));

    const auto readFault = [&](const QString &reason) {
        return DataError(QStringLiteral("%1 could not be read: %2").arg(name, reason));
    };
    std::optional<SqlQuery> query;
    try {
        query.emplace(QStringLiteral("SELECT %1 FROM %2")
                          .arg(select.join(QStringLiteral(", ")), quoted(name)));
    } catch (const DataError &e) {
        throw readFault(e.description());
    }
    int rows = 0;
    for (;;) {
        try {
            if (!query->next())
                break;
        } catch (const DataError &e) {
            throw readFault(e.description());
        }
        for (int i = 0; i < columns.size(); ++i) {
            if (i > 0)
                buffer += ',';
            appendField(buffer, columns[i], *query, i);
        }
        buffer += "\r\n";
        ++rows;
        if (buffer.size() >= flushAt) {
            out.write(buffer);
            buffer.resize(0);
        }
    }
    out.write(buffer);
    out.commit();
    return rows;
}

int TableTransfer::importCsv(const QString &table, const QString &file, bool replace)
{
    const QString name = storedName(table);
    const QList<Column> tableColumns = columnsOf(name);

    QFile in(file);
    if (!in.open(QIODevice::ReadOnly))
        throw DataError(QStringLiteral("%1 could not be read: %2").arg(file, in.errorString()));
    csv::Reader reader(in);
    const auto checkRead = [&] {
        if (reader.failed())
            throw DataError(QStringLiteral("%1 could not be read: %2").arg(file, in.errorString()));
        if (reader.badText())
            throw DataError(
                QStringLiteral("%1 is not UTF-8 text; save it as CSV in UTF-8 and try again.")
                    .arg(file));
    };

    csv::Record head;
    const bool any = reader.next(head);
    checkRead();
    if (!any)
        throw DataError(QStringLiteral("%1 is empty: the first line must name the columns of %2.")
                            .arg(file, name));

    // The header names the columns that the rows fill, in any order.
    QList<BadRow> bad;
    int badCount = 0;
    const auto refuseRow = [&](int line, const QString &reason) {
        // Only the rows a message lists are kept, so that a file wrong on
        // every line is still read in little memory.
        if (bad.size() < listedRows)
            bad.append({line, reason});
        ++badCount;
    };
    QList<Column> columns;
    if (!head.problem.isEmpty())
        refuseRow(head.line, head.problem);
    for (const QString &field : std::as_const(head.fields)) {
        const QString wanted = field.trimmed();
        const auto match =
            std::find_if(tableColumns.begin(), tableColumns.end(), [&](const Column &c) {
                return c.name.compare(wanted, Qt::CaseInsensitive) == 0;
            });
        if (match == tableColumns.end()) {
            refuseRow(head.line, QStringLiteral("%1 has no column \"%2\".").arg(name, field));
        } else if (std::any_of(columns.begin(), columns.end(),
                               [&](const Column &c) { return c.name == match->name; })) {
            refuseRow(head.line, QStringLiteral("the column %1 is named twice.").arg(match->name));
        } else {
            columns.append(*match);
        }
    }
    if (badCount > 0)
        throw Refused(name, bad, badCount);
    QList<CsvRowWriter::Column> written;
    for (const Column &column : std::as_const(columns))
        written.append({column.name, columnCaption(name, column.name), column.type});

    // Rows are checked and stored one at a time inside one transaction. From
    // the first wrong row on nothing more is stored, the rest are only
    // checked so that the message names them all, and the transaction is
    // rolled back.
    Database::Transaction transaction;
    std::optional<CsvTableFill> fill;
    std::optional<CsvRowWriter> writer;
    try {
        fill.emplace(name, replace);
        writer.emplace(name, written);
    } catch (const DataError &e) {
        throw DataError(
            QStringLiteral("Nothing was imported into %1: %2").arg(name, e.description()));
    }

    int stored = 0;
    reader.setDecoding(false);
    csv::Record record;
    while (reader.next(record)) {
        checkRead();
        if (!record.problem.isEmpty()) {
            refuseRow(record.line, record.problem);
            continue;
        }
        if (record.count() != columns.size()) {
            refuseRow(record.line,
                      QStringLiteral("%1 fields where the first line names %2 columns.")
                          .arg(record.count())
                          .arg(columns.size()));
            continue;
        }
        const QString problems = writer->bind(record);
        if (!problems.isEmpty()) {
            refuseRow(record.line, problems);
            continue;
        }
        if (badCount > 0)
            continue;
        try {
            writer->insert();
        } catch (const DataError &e) {
            throw DataError(QStringLiteral("Nothing was imported into %1: line %2 was refused: %3")
                                .arg(name)
                                .arg(record.line)
                                .arg(e.description()));
        }
        ++stored;
    }
    checkRead();
    if (badCount > 0)
        throw Refused(name, bad, badCount);
    if (replace && stored == 0)
        throw DataError(QStringLiteral("Nothing was imported into %1: %2 holds no rows, and "
                                       "putting it in place of the table would delete all of "
                                       "%1. The table is as it was.")
                            .arg(name, file));
    writer.reset();
    try {
        fill->finish();
    } catch (const DataError &e) {
        throw DataError(
            QStringLiteral("Nothing was imported into %1: %2").arg(name, e.description()));
    }
    transaction.commit();
    return stored;
}

} // namespace lexordo
