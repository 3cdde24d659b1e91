#include "csvimport.h"

#include "amounts.h"
#include "csv.h"
#include "database.h"
#include "dataerror.h"
#include "sqlquery.h"

#include <cmath>
#include <cstring>
#include <QDate>
#include <QtGlobal>

namespace lexordo {

namespace {

using FieldType = RecordSet::FieldType;

// The page cache of a table filled in bulk, in KiB as SQLite takes it.
constexpr int fillCacheSize = -2048;

// Beyond this a whole number is no longer kept exactly; the number reader
// words the refusal.
constexpr double largestWholeNumber = 9007199254740991.0;

bool isBlank(uchar c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

bool holdsDigit(QByteArrayView raw)
{
    for (const char c : raw) {
        if (c >= '0' && c <= '9')
            return true;
    }
    return false;
}

// A field of the file as the column takes it: in a text column a quoted
// field is the text exactly as written, an empty one included, and an empty
// field without quotes is no value.
QVariant fieldValue(FieldType type, const QString &caption, const QString &field, bool quoted)
{
    if (field.contains(QChar(u'\0')))
        return RecordSet::convert(type, caption, field); // refuses it
    const bool text = type == FieldType::Text || type == FieldType::Any;
    if (text && quoted) // bound as a text even when empty, never as no value
        return field.isNull() ? QStringLiteral("") : field;
    if (field.isEmpty())
        return QVariant();
    return RecordSet::convert(type, caption, field);
}

// A checked field as it is bound: whole numbers as integers.
QVariant bindable(FieldType type, const QVariant &value)
{
    if (type == FieldType::Integer && value.isValid() && !value.isNull())
        return qint64(value.toDouble());
    return value;
}

// A date written dd/mm/yyyy in its stored form yyyy-mm-dd; false for any
// other form, which the date reader is left to read or refuse.
bool isoDate(QByteArrayView raw, char *iso)
{
    if (raw.size() != 10 || raw[2] != '/' || raw[5] != '/')
        return false;
    for (const int i : {0, 1, 3, 4, 6, 7, 8, 9}) {
        if (raw[i] < '0' || raw[i] > '9')
            return false;
    }
    const auto number = [&](int from, int length) {
        int value = 0;
        for (int i = from; i < from + length; ++i)
            value = value * 10 + (raw[i] - '0');
        return value;
    };
    const int year = number(6, 4);
    if (year < 1000 || !QDate::isValid(year, number(3, 2), number(0, 2)))
        return false;
    const char shuffled[10] = {raw[6], raw[7], raw[8], raw[9], '-',
                               raw[3], raw[4], '-',    raw[0], raw[1]};
    std::memcpy(iso, shuffled, sizeof shuffled);
    return true;
}

QString insertStatement(const QString &table, const QList<CsvRowWriter::Column> &columns)
{
    QStringList names;
    QStringList marks;
    for (const CsvRowWriter::Column &column : columns) {
        names << sql::quoteIdentifier(column.name);
        marks << QStringLiteral("?");
    }
    return QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
        .arg(sql::quoteIdentifier(table), names.join(QStringLiteral(", ")),
             marks.join(QStringLiteral(", ")));
}

} // namespace

CsvTableFill::CsvTableFill(const QString &table, bool replace)
{
    const QString quotedTable = sql::quoteIdentifier(table);
    m_bulk =
        replace || !SqlQuery(QStringLiteral("SELECT 1 FROM %1 LIMIT 1").arg(quotedTable)).next();
    if (!m_bulk)
        return;
    // The rows are appended and the indexes sorted: a small page cache serves
    // that best, the sorts running in blocks of its size.
    const int cacheSize = sql::cacheSize();
    sql::setCacheSize(fillCacheSize);
    m_cacheSize.size = cacheSize;
    // Let go before the rows are deleted, so that no trigger runs for each.
    Database::letGoOfKept(table);
    if (replace)
        Database::exec(QStringLiteral("DELETE FROM %1").arg(quotedTable));
    for (const sql::Index &index : sql::plainIndexes(table)) {
        Database::exec(QStringLiteral("DROP INDEX %1").arg(sql::quoteIdentifier(index.name)));
        m_indexes << index.statement;
    }
}

void CsvTableFill::CacheSize::restore()
{
    if (size) {
        const int kept = *size;
        size.reset();
        sql::setCacheSize(kept);
    }
}

CsvTableFill::CacheSize::~CacheSize()
{
    // Only a fill that failed gets here with the size unrestored, its own
    // failure already on its way: a refused restore is told, not thrown over it.
    try {
        restore();
    } catch (const DataError &e) {
        qWarning("The page cache size was not put back: %s", qUtf8Printable(e.description()));
    }
}

void CsvTableFill::finish()
{
    for (const QString &index : std::as_const(m_indexes))
        Database::exec(index);
    if (m_bulk)
        Database::keepUp();
    m_cacheSize.restore();
}

CsvRowWriter::CsvRowWriter(const QString &table, const QList<Column> &columns)
    : m_columns(columns), m_insert(insertStatement(table, columns), SqlQuery::Lifetime::Long),
      m_dates(size_t(columns.size()))
{
}

template <typename Bind> void CsvRowWriter::kept(Bind &&bind)
{
    try {
        bind();
    } catch (const DataError &e) {
        if (m_bindFault.isNull())
            m_bindFault = e.description();
    }
}

QString CsvRowWriter::bind(const csv::Record &record)
{
    m_bindFault.clear();
    // A NUL anywhere sends every field to the readers that refuse it.
    const bool nul = std::memchr(record.bytes.constData(), 0, size_t(record.bytes.size()));
    QStringList problems;
    for (int i = 0; i < m_columns.size(); ++i) {
        if (nul || !bindField(i, record)) {
            const Column &column = m_columns[i];
            QVariant value;
            try {
                value = bindable(column.type,
                                 fieldValue(column.type, column.caption,
                                            QString::fromUtf8(record.raw(i)), record.quoted[i]));
            } catch (const DataError &e) {
                problems << e.description();
                continue;
            }
            kept([&] { m_insert.bind(i + 1, value); });
        }
    }
    return problems.join(QLatin1Char(' '));
}

// Binds the field straight from its bytes when the column's reader would
// take them as they are; false leaves it to that reader.
bool CsvRowWriter::bindField(int i, const csv::Record &record)
{
    const QByteArrayView raw = record.raw(i);
    const bool quoted = record.quoted[i];
    const int index = i + 1;
    switch (m_columns[i].type) {
    case FieldType::Text:
    case FieldType::Any:
        if (quoted) { // the text as written, an empty one too
            kept([&] { m_insert.bindUtf8Borrowed(index, raw); });
            return true;
        }
        if (raw.isEmpty()) {
            kept([&] { m_insert.bindNull(index); });
            return true;
        }
        // A text of blanks alone is no value; one that is not is kept whole.
        if ((uchar(raw.front()) < 0x80 && !isBlank(uchar(raw.front()))) ||
            (uchar(raw.back()) < 0x80 && !isBlank(uchar(raw.back())))) {
            kept([&] { m_insert.bindUtf8Borrowed(index, raw); });
            return true;
        }
        return false;
    case FieldType::Date: {
        if (raw.isEmpty()) {
            kept([&] { m_insert.bindNull(index); });
            return true;
        }
        char *iso = m_dates[size_t(i)].data();
        if (!isoDate(raw, iso))
            return false;
        kept([&] { m_insert.bindUtf8Borrowed(index, QByteArrayView(iso, 10)); });
        return true;
    }
    case FieldType::Number:
    case FieldType::Integer: {
        if (raw.isEmpty()) {
            kept([&] { m_insert.bindNull(index); });
            return true;
        }
        const std::optional<double> amount = amounts::parseUtf8(raw);
        // Blanks alone read as 0 but are no value; refusals are worded by the reader.
        if (!amount || (*amount == 0.0 && !holdsDigit(raw)))
            return false;
        if (m_columns[i].type == FieldType::Number) {
            kept([&] { m_insert.bindDouble(index, *amount); });
            return true;
        }
        if (std::trunc(*amount) != *amount || std::fabs(*amount) > largestWholeNumber)
            return false;
        kept([&] { m_insert.bindInt(index, qint64(*amount)); });
        return true;
    }
    case FieldType::Time:
        return false;
    }
    return false;
}

void CsvRowWriter::insert()
{
    if (!m_bindFault.isNull())
        throw DataError(m_bindFault);
    // A failed run leaves the statement reset, ready for the next record.
    m_insert.exec();
    m_insert.reset();
}

} // namespace lexordo
