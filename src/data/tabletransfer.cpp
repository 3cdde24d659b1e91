#include "tabletransfer.h"

#include "columncaptions.h"
#include "csv.h"
#include "database.h"
#include "dataerror.h"
#include "dates.h"
#include "recordset.h"
#include "safewrite.h"

#include <cmath>
#include <optional>
#include <QFile>
#include <QLocale>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringDecoder>

namespace lexordo {

namespace {

// The connection that Database opened.
QSqlDatabase connection()
{
    if (!Database::isOpen())
        throw DataError(QStringLiteral("The database is not open."));
    return QSqlDatabase::database(QStringLiteral("advocate"), false);
}

QString quoted(const QString &identifier, QSqlDriver::IdentifierType type)
{
    return connection().driver()->escapeIdentifier(identifier, type);
}

struct Column
{
    QString name;
    RecordSet::FieldType type = RecordSet::FieldType::Any;
};

// The columns of a table with the types the record sets give them.
QList<Column> columnsOf(const QString &table)
{
    RecordSet probe;
    probe.open(
        QStringLiteral("select * from %1 where 1 = 0").arg(quoted(table, QSqlDriver::TableName)));
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

// A field of the file as the column takes it: in a text column a quoted
// field is the text exactly as written, an empty one included, and an empty
// field without quotes is no value.
QVariant fieldValue(const Column &column, const QString &caption, const QString &field,
                    bool quoted)
{
    if (field.contains(QChar(u'\0')))
        return RecordSet::convert(column.type, caption, field); // refuses it
    const bool text =
        column.type == RecordSet::FieldType::Text || column.type == RecordSet::FieldType::Any;
    if (text && quoted) // bound as a text even when empty, never as no value
        return field.isNull() ? QStringLiteral("") : field;
    if (field.isEmpty())
        return QVariant();
    return RecordSet::convert(column.type, caption, field);
}

// A checked field as it is bound: dates and times as stored text, whole
// numbers as integers.
QVariant bindable(const Column &column, const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return QVariant();
    switch (column.type) {
    case RecordSet::FieldType::Date:
        return dates::toIso(value.toDate());
    case RecordSet::FieldType::Time:
        return dates::formatTime(value.toTime());
    case RecordSet::FieldType::Integer:
        return qint64(value.toDouble());
    default:
        return value;
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

QString refusal(const QString &table, const QList<TableTransfer::BadRow> &rows)
{
    QString text =
        QStringLiteral("Nothing was imported into %1: %2.").arg(table, rowsText(int(rows.size())));
    for (qsizetype i = 0; i < rows.size() && i < listedRows; ++i) {
        // One line each, whatever line breaks a quoted field holds.
        QString reason = rows[i].reason;
        reason.replace(u'\r', u' ').replace(u'\n', u' ');
        if (reason.size() > reasonLength)
            reason = reason.left(reasonLength - 1) + QChar(0x2026);
        text += QStringLiteral("\nLine %1: %2").arg(rows[i].line).arg(reason);
    }
    if (rows.size() > listedRows) {
        const qsizetype more = rows.size() - listedRows;
        text += more == 1 ? QStringLiteral("\n... and 1 more wrong line.")
                          : QStringLiteral("\n... and %1 more wrong lines.").arg(more);
    }
    return text;
}

} // namespace

TableTransfer::Refused::Refused(const QString &refusedTable, const QList<BadRow> &badRows)
    : DataError(refusal(refusedTable, badRows)), table(refusedTable), rows(badRows)
{
}

QStringList TableTransfer::tables()
{
    QStringList names;
    const QStringList all = connection().tables(QSql::Tables);
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
        select << quoted(column.name, QSqlDriver::FieldName);
        header << column.name;
    }

    // Rows go to a temporary file as they are read; it takes the file's place
    // only when the last row is in.
    safewrite::AtomicFile out(file);
    out.write(csv::formatRecord(header));

    QSqlQuery query(connection());
    query.setForwardOnly(true);
    if (!query.exec(
            QStringLiteral("SELECT %1 FROM %2")
                .arg(select.join(QStringLiteral(", ")), quoted(name, QSqlDriver::TableName))))
        throw DataError(
            QStringLiteral("%1 could not be read: %2").arg(name, query.lastError().text()));
    int rows = 0;
    while (query.next()) {
        QList<std::optional<QString>> fields;
        for (int i = 0; i < columns.size(); ++i)
            fields << fieldText(columns[i], query.value(i));
        out.write(csv::formatRecord(fields));
        ++rows;
    }
    if (query.lastError().isValid())
        throw DataError(
            QStringLiteral("%1 could not be read: %2").arg(name, query.lastError().text()));
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
    const QByteArray bytes = in.readAll();
    if (in.error() != QFileDevice::NoError)
        throw DataError(QStringLiteral("%1 could not be read: %2").arg(file, in.errorString()));
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    if (decoder.hasError())
        throw DataError(
            QStringLiteral("%1 is not UTF-8 text; save it as CSV in UTF-8 and try again.")
                .arg(file));

    const std::vector<csv::Record> records = csv::parse(text);
    QList<BadRow> bad;
    if (records.empty())
        throw DataError(QStringLiteral("%1 is empty: the first line must name the columns of %2.")
                            .arg(file, name));

    // The header names the columns that the rows fill, in any order.
    const csv::Record &head = records.front();
    QList<Column> columns;
    if (!head.problem.isEmpty())
        bad.append({head.line, head.problem});
    for (const QString &field : head.fields) {
        const QString wanted = field.trimmed();
        const auto match =
            std::find_if(tableColumns.begin(), tableColumns.end(), [&](const Column &c) {
                return c.name.compare(wanted, Qt::CaseInsensitive) == 0;
            });
        if (match == tableColumns.end()) {
            bad.append({head.line, QStringLiteral("%1 has no column \"%2\".").arg(name, field)});
        } else if (std::any_of(columns.begin(), columns.end(),
                               [&](const Column &c) { return c.name == match->name; })) {
            bad.append(
                {head.line, QStringLiteral("the column %1 is named twice.").arg(match->name)});
        } else {
            columns.append(*match);
        }
    }
    if (!bad.isEmpty())
        throw Refused(name, bad);

    // Every row is checked before anything is stored.
    std::vector<QVariantList> rows;
    rows.reserve(records.size() - 1);
    for (size_t r = 1; r < records.size(); ++r) {
        const csv::Record &record = records[r];
        if (!record.problem.isEmpty()) {
            bad.append({record.line, record.problem});
            continue;
        }
        if (record.fields.size() != columns.size()) {
            bad.append(
                {record.line, QStringLiteral("%1 fields where the first line names %2 columns.")
                                  .arg(record.fields.size())
                                  .arg(columns.size())});
            continue;
        }
        QVariantList values;
        QStringList problems;
        for (int i = 0; i < columns.size(); ++i) {
            try {
                values << bindable(columns[i],
                                   fieldValue(columns[i], columnCaption(name, columns[i].name),
                                              record.fields[i], record.quoted[i]));
            } catch (const DataError &e) {
                problems << e.description();
            }
        }
        if (!problems.isEmpty())
            bad.append({record.line, problems.join(QLatin1Char(' '))});
        else
            rows.push_back(values);
    }
    if (!bad.isEmpty())
        throw Refused(name, bad);
    if (replace && rows.empty())
        throw DataError(QStringLiteral("Nothing was imported into %1: %2 holds no rows, and "
                                       "putting it in place of the table would delete all of "
                                       "%1. The table is as it was.")
                            .arg(name, file));

    QStringList names;
    QStringList marks;
    for (const Column &column : std::as_const(columns)) {
        names << quoted(column.name, QSqlDriver::FieldName);
        marks << QStringLiteral("?");
    }

    Database::Transaction transaction;
    QSqlQuery query(connection());
    if (replace &&
        !query.exec(QStringLiteral("DELETE FROM %1").arg(quoted(name, QSqlDriver::TableName))))
        throw DataError(
            QStringLiteral("Nothing was imported into %1: %2").arg(name, query.lastError().text()));
    if (!query.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                           .arg(quoted(name, QSqlDriver::TableName),
                                names.join(QStringLiteral(", ")),
                                marks.join(QStringLiteral(", ")))))
        throw DataError(
            QStringLiteral("Nothing was imported into %1: %2").arg(name, query.lastError().text()));
    for (size_t r = 0; r < rows.size(); ++r) {
        for (int i = 0; i < rows[r].size(); ++i)
            query.bindValue(i, rows[r][i]);
        if (!query.exec())
            throw DataError(QStringLiteral("Nothing was imported into %1: line %2 was refused: %3")
                                .arg(name)
                                .arg(records[r + 1].line)
                                .arg(query.lastError().text()));
    }
    transaction.commit();
    return int(rows.size());
}

} // namespace lexordo
