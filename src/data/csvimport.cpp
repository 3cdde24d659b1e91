#include "csvimport.h"

#include "amounts.h"
#include "csv.h"
#include "database.h"
#include "dataerror.h"
#include "dates.h"
#include "sqlite.h"

#include <cmath>
#include <cstring>

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

// A checked field as it is bound: dates and times as stored text, whole
// numbers as integers.
QVariant bindable(FieldType type, const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return QVariant();
    switch (type) {
    case FieldType::Date:
        return dates::toIso(value.toDate());
    case FieldType::Time:
        return dates::formatTime(value.toTime());
    case FieldType::Integer:
        return qint64(value.toDouble());
    default:
        return value;
    }
}

int bindValue(sqlite3_stmt *stmt, int index, const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return sqlite3_bind_null(stmt, index);
    switch (value.typeId()) {
    case QMetaType::Double:
        return sqlite3_bind_double(stmt, index, value.toDouble());
    case QMetaType::LongLong:
    case QMetaType::Int:
        return sqlite3_bind_int64(stmt, index, value.toLongLong());
    default: {
        const QByteArray utf8 = value.toString().toUtf8();
        return sqlite3_bind_text(stmt, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
    }
    }
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

// Prepares a statement; throws DataError with SQLite's reason.
sqlite3_stmt *prepared(sqlite3 *db, const QString &sql, unsigned flags = 0)
{
    const QByteArray utf8 = sql.toUtf8();
    sqlite3_stmt *stmt = nullptr;
    if (sqlite3_prepare_v3(db, utf8.constData(), int(utf8.size()), flags, &stmt, nullptr) !=
        SQLITE_OK) {
        const QString error = sqlite::errorText(db);
        sqlite3_finalize(stmt);
        throw DataError(error);
    }
    return stmt;
}

// The rows of a query, each column as text, read whole; `value`, when given,
// is bound to its one parameter.
QList<QStringList> rowsOf(sqlite3 *db, const QString &sql, const QString &value = QString())
{
    sqlite3_stmt *stmt = prepared(db, sql);
    const QByteArray utf8 = value.toUtf8();
    if (!value.isNull())
        sqlite3_bind_text(stmt, 1, utf8.constData(), int(utf8.size()), SQLITE_STATIC);
    QList<QStringList> rows;
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        QStringList row;
        for (int i = 0; i < sqlite3_column_count(stmt); ++i)
            row << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, i)),
                                     sqlite3_column_bytes(stmt, i));
        rows << row;
    }
    const QString error = rc == SQLITE_DONE ? QString() : sqlite::errorText(db);
    sqlite3_finalize(stmt);
    if (!error.isNull())
        throw DataError(error);
    return rows;
}

} // namespace

CsvTableFill::CsvTableFill(sqlite3 *db, const QString &table, bool replace)
{
    const QString quotedTable = sqlite::quoteIdentifier(table);
    m_bulk = replace ||
             rowsOf(db, QStringLiteral("SELECT 1 FROM %1 LIMIT 1").arg(quotedTable)).isEmpty();
    if (!m_bulk)
        return;
    // The rows are appended and the indexes sorted: a small page cache serves
    // that best, the sorts running in blocks of its size.
    const QString cacheSize = rowsOf(db, QStringLiteral("PRAGMA cache_size")).value(0).value(0);
    Database::exec(QStringLiteral("PRAGMA cache_size = %1").arg(fillCacheSize));
    m_cacheSize.db = db;
    m_cacheSize.restore = "PRAGMA cache_size = " + cacheSize.toLatin1();
    // Let go before the rows are deleted, so that no trigger runs for each.
    Database::letGoOfKept(table);
    if (replace)
        Database::exec(QStringLiteral("DELETE FROM %1").arg(quotedTable));
    const QList<QStringList> indexes =
        rowsOf(db,
               QStringLiteral("SELECT m.name, m.sql FROM sqlite_master m "
                              "WHERE m.type = 'index' AND m.tbl_name = ?1 "
                              "COLLATE NOCASE AND m.sql IS NOT NULL AND "
                              "NOT EXISTS (SELECT 1 FROM "
                              "pragma_index_list(m.tbl_name) i WHERE "
                              "i.name = m.name AND i.\"unique\")"),
               table);
    for (const QStringList &index : indexes) {
        Database::exec(QStringLiteral("DROP INDEX %1").arg(sqlite::quoteIdentifier(index[0])));
        m_indexes << index[1];
    }
}

CsvTableFill::CacheSize::~CacheSize()
{
    if (db)
        sqlite3_exec(db, restore.constData(), nullptr, nullptr, nullptr);
}

void CsvTableFill::finish()
{
    for (const QString &index : std::as_const(m_indexes))
        Database::exec(index);
    if (m_bulk)
        Database::keepUp();
}

CsvRowWriter::CsvRowWriter(sqlite3 *db, const QString &table, const QList<Column> &columns)
    : m_db(db), m_columns(columns), m_dates(size_t(columns.size()))
{
    QStringList names;
    QStringList marks;
    for (const Column &column : columns) {
        names << sqlite::quoteIdentifier(column.name);
        marks << QStringLiteral("?");
    }
    m_insert = prepared(db,
                        QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                            .arg(sqlite::quoteIdentifier(table), names.join(QStringLiteral(", ")),
                                 marks.join(QStringLiteral(", "))),
                        SQLITE_PREPARE_PERSISTENT);
}

CsvRowWriter::~CsvRowWriter()
{
    sqlite3_finalize(m_insert);
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
            try {
                checked(bindValue(m_insert, i + 1,
                                  bindable(column.type, fieldValue(column.type, column.caption,
                                                                   QString::fromUtf8(record.raw(i)),
                                                                   record.quoted[i]))));
            } catch (const DataError &e) {
                problems << e.description();
            }
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
            checked(sqlite3_bind_text(m_insert, index, raw.isEmpty() ? "" : raw.data(),
                                      int(raw.size()), SQLITE_STATIC));
            return true;
        }
        if (raw.isEmpty()) {
            checked(sqlite3_bind_null(m_insert, index));
            return true;
        }
        // A text of blanks alone is no value; one that is not is kept whole.
        if ((uchar(raw.front()) < 0x80 && !isBlank(uchar(raw.front()))) ||
            (uchar(raw.back()) < 0x80 && !isBlank(uchar(raw.back())))) {
            checked(sqlite3_bind_text(m_insert, index, raw.data(), int(raw.size()), SQLITE_STATIC));
            return true;
        }
        return false;
    case FieldType::Date: {
        if (raw.isEmpty()) {
            checked(sqlite3_bind_null(m_insert, index));
            return true;
        }
        char *iso = m_dates[size_t(i)].data();
        if (!isoDate(raw, iso))
            return false;
        checked(sqlite3_bind_text(m_insert, index, iso, 10, SQLITE_STATIC));
        return true;
    }
    case FieldType::Number:
    case FieldType::Integer: {
        if (raw.isEmpty()) {
            checked(sqlite3_bind_null(m_insert, index));
            return true;
        }
        const std::optional<double> amount = amounts::parseUtf8(raw);
        // Blanks alone read as 0 but are no value; refusals are worded by the reader.
        if (!amount || (*amount == 0.0 && !holdsDigit(raw)))
            return false;
        if (m_columns[i].type == FieldType::Number) {
            checked(sqlite3_bind_double(m_insert, index, *amount));
            return true;
        }
        if (std::trunc(*amount) != *amount || std::fabs(*amount) > largestWholeNumber)
            return false;
        checked(sqlite3_bind_int64(m_insert, index, qint64(*amount)));
        return true;
    }
    case FieldType::Time:
        return false;
    }
    return false;
}

void CsvRowWriter::checked(int rc)
{
    if (rc != SQLITE_OK && m_bindFault.isNull())
        m_bindFault = sqlite::errorText(m_db);
}

void CsvRowWriter::insert()
{
    if (!m_bindFault.isNull())
        throw DataError(m_bindFault);
    if (sqlite3_step(m_insert) != SQLITE_DONE) {
        const QString error = sqlite::errorText(m_db);
        sqlite3_reset(m_insert);
        throw DataError(error);
    }
    sqlite3_reset(m_insert);
}

} // namespace lexordo
