#include "servermove.h"

#include "amounts.h"
#include "dates.h"
#include "pgconnection.h"
#include "schemacheck.h"
#include "serverschema.h"
#include "sqlquery.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <libpq-fe.h>
#include <QElapsedTimer>

namespace lexordo::servermove {

namespace {

using serverschema::Column;
using serverschema::Table;

QString quoted(const QString &name)
{
    return sql::quoteIdentifier(name);
}

// A value as a refusal shows it: short, on one line.
QString shown(QString text)
{
    text.replace(u'\n', u' ').replace(u'\t', u' ');
    return text.size() > 40 ? text.left(40) + QStringLiteral("...") : text;
}

// A value of the file the server cannot keep.
struct Refusal
{
    QString value;
    QString reason;
};

// Text in COPY's text format: the backslash, the tab between columns and the
// line ends escaped; every other byte (UTF-8 of any script) as it is.
void appendEscaped(QByteArray &out, QByteArrayView text)
{
    for (const char c : text) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            out += c;
        }
    }
}

void appendNumber(QByteArray &out, double value)
{
    // The shortest text that reads back as the same double.
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr - buffer);
}

void appendWhole(QByteArray &out, qint64 value)
{
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr - buffer);
}

bool isBlank(QByteArrayView text)
{
    return QByteArrayView(text).trimmed().isEmpty();
}

// What a column of the file's schema holds.
enum class Holds { Date, Time, Amount, Whole, Text };

Holds holds(const QByteArray &fileType)
{
    if (fileType == "DATE")
        return Holds::Date;
    if (fileType == "TIME")
        return Holds::Time;
    if (fileType == "REAL")
        return Holds::Amount;
    if (fileType == "INTEGER")
        return Holds::Whole;
    return Holds::Text;
}

// Appends the file's value of `column` as the server's column takes it; the
// refusal when the server cannot keep it. An amount is also given back, for
// the sum the copy is checked with.
std::optional<Refusal> appendValue(QByteArray &out, const SqlQuery &row, int column, Holds type,
                                   double *amount)
{
    const SqlQuery::Kind kind = row.kind(column);
    if (kind == SqlQuery::Kind::Null) {
        out += "\\N";
        return std::nullopt;
    }
    if (kind == SqlQuery::Kind::Blob)
        return Refusal{QStringLiteral("%1 bytes").arg(row.blob(column).size()),
                       QStringLiteral("binary data, which is no text")};
    const bool number = kind == SqlQuery::Kind::Integer || kind == SqlQuery::Kind::Real;
    const auto refuse = [&](const char *what) {
        return Refusal{row.text(column), QLatin1String(what)};
    };
    // No value entered is no value, in any column but a text.
    if (!number && type != Holds::Text && isBlank(row.utf8(column))) {
        out += "\\N";
        return std::nullopt;
    }

    switch (type) {
    case Holds::Date: {
        const QByteArrayView text = number ? QByteArrayView() : row.utf8(column);
        const std::optional<QDate> date =
            number ? std::nullopt : dates::parseIso(text.data(), text.size());
        if (!date)
            return refuse("which is no date");
        if (text.size() == 10)
            out += text;
        else
            out += dates::toIso(*date).toLatin1();
        return std::nullopt;
    }
    case Holds::Time: {
        const std::optional<QTime> time =
            number ? std::nullopt : dates::parseTime(row.text(column));
        if (!time)
            return refuse("which is no time of day");
        out += time->toString(time->msec() ? QStringLiteral("HH:mm:ss.zzz")
                                           : QStringLiteral("HH:mm:ss"))
                   .toLatin1();
        return std::nullopt;
    }
    case Holds::Amount: {
        // An amount kept as text is read as the program reads it.
        const std::optional<double> value =
            number ? std::optional<double>(row.real(column)) : amounts::parseUtf8(row.utf8(column));
        if (!value || !std::isfinite(*value))
            return refuse("which is no amount");
        *amount = *value;
        appendNumber(out, *value);
        return std::nullopt;
    }
    case Holds::Whole: {
        if (kind == SqlQuery::Kind::Integer) {
            appendWhole(out, row.integer(column));
            return std::nullopt;
        }
        if (!number) {
            // A column made without a declared type keeps a number as text.
            bool whole = false;
            const qint64 value = row.utf8(column).trimmed().toLongLong(&whole);
            if (!whole)
                return refuse("which is no whole number");
            appendWhole(out, value);
            return std::nullopt;
        }
        const double value = row.real(column);
        if (!(value == std::trunc(value) && std::abs(value) < 9e18))
            return refuse("which is no whole number");
        appendWhole(out, qint64(value));
        return std::nullopt;
    }
    case Holds::Text:
        break;
    }
    // The server keeps UTF-8 text without NUL characters.
    const QByteArrayView text = row.utf8(column);
    if (!text.isValidUtf8())
        return refuse("which is not UTF-8 text");
    if (text.contains('\0'))
        return refuse("with a NUL character, which the server cannot keep");
    appendEscaped(out, text);
    return std::nullopt;
}

bool hasAmounts(const Table &table)
{
    for (const Column &column : table.columns) {
        if (column.fileType == "REAL")
            return true;
    }
    return false;
}

// What was read of one table of the file.
struct Copied
{
    qint64 rows = 0;
    QList<double> sums; // of each amount column, in the table's column order
};

// Ends a copy that cannot go on: the server throws away what it received.
void abandonCopy(PgConnection &connection)
{
    if (PQputCopyEnd(connection.native(), "the move was refused") == 1) {
        while (PGresult *result = PQgetResult(connection.native()))
            PQclear(result);
    }
}

class Mover
{
public:
    Mover(const QString &file, PgConnection &connection, const Progress &progress)
        : m_file(file), m_connection(connection), m_progress(progress)
    {
    }

    void setTotal(qint64 total) { m_total = total; }

    Copied copy(sqlite3 *db, const Table &table)
    {
        QStringList fileColumns;
        QStringList serverColumns;
        QList<Holds> types;
        for (const Column &column : table.columns) {
            fileColumns << quoted(column.fileName);
            serverColumns << quoted(column.name);
            types << holds(column.fileType);
        }
        std::optional<SqlQuery> rows;
        try {
            rows.emplace(db,
                         QStringLiteral("SELECT %1 FROM %2 ORDER BY rowid")
                             .arg(fileColumns.join(QStringLiteral(", ")), quoted(table.fileName)));
        } catch (const DataError &e) {
            throw fileFault(table, e);
        }
        m_connection.copyIn(QStringLiteral("COPY %1 (%2) FROM STDIN")
                                .arg(quoted(table.name), serverColumns.join(QStringLiteral(", ")))
                                .toUtf8());
        Copied copied;
        QByteArray buffer;
        buffer.reserve(1 << 20);
        try {
            while (next(*rows, table)) {
                ++copied.rows;
                int amountColumn = 0;
                for (int i = 0; i < types.size(); ++i) {
                    if (i > 0)
                        buffer += '\t';
                    double amount = 0;
                    if (const std::optional<Refusal> refusal =
                            appendValue(buffer, *rows, i, types[i], &amount))
                        throw DataError(
                            QStringLiteral("Nothing was moved to the server: %1, row %2, column "
                                           "%3 holds \"%4\", %5.")
                                .arg(table.fileName)
                                .arg(copied.rows)
                                .arg(table.columns[i].fileName, shown(refusal->value),
                                     refusal->reason));
                    if (types[i] == Holds::Amount) {
                        if (copied.sums.size() <= amountColumn)
                            copied.sums.append(0);
                        copied.sums[amountColumn++] += amount;
                    }
                }
                buffer += '\n';
                if (buffer.size() >= (1 << 20)) {
                    m_connection.putCopyData(buffer);
                    buffer.clear();
                }
                ++m_copied;
                if ((m_copied & 1023) == 0)
                    tell(false);
            }
            if (!buffer.isEmpty())
                m_connection.putCopyData(buffer);
        } catch (const DataError &) {
            abandonCopy(m_connection);
            throw;
        }
        try {
            m_connection.endCopy();
        } catch (const DataError &e) {
            throw DataError(
                QStringLiteral("Nothing was moved to the server: the table %1 could not be "
                               "copied: %2")
                    .arg(table.fileName, e.description()));
        }
        return copied;
    }

    void tell(bool last)
    {
        if (!m_progress)
            return;
        if (!last && m_timer.isValid() && m_timer.elapsed() < 300)
            return;
        m_timer.start();
        m_progress(m_copied, m_total);
    }

    // The table's rows and amount sums on the server against the file's.
    void check(const Table &table, const Copied &copied)
    {
        const PgResult count = m_connection.exec(
            QStringLiteral("SELECT count(*) FROM %1").arg(quoted(table.name)).toUtf8());
        const qint64 rows = count.text(0, 0).toLongLong();
        if (rows != copied.rows)
            throw DataError(QStringLiteral("Nothing was moved to the server: the table %1 has %2 "
                                           "rows in the file but %3 on the server.")
                                .arg(table.fileName)
                                .arg(copied.rows)
                                .arg(rows));
        if (!hasAmounts(table))
            return;
        // Summed in the same order as the file's, so that equal values give
        // equal sums.
        QStringList amountColumns;
        QList<const Column *> columns;
        for (const Column &column : table.columns) {
            if (column.fileType == "REAL") {
                amountColumns << quoted(column.name);
                columns << &column;
            }
        }
        const PgResult values = m_connection.exec(QStringLiteral("SELECT %1 FROM %2 ORDER BY %3")
                                                      .arg(amountColumns.join(QStringLiteral(", ")),
                                                           quoted(table.name), serverschema::rowKey)
                                                      .toUtf8());
        QList<double> sums(columns.size(), 0.0);
        for (int row = 0; row < values.rows(); ++row) {
            for (int i = 0; i < columns.size(); ++i) {
                if (!values.isNull(row, i))
                    sums[i] += values.bytes(row, i).toDouble();
            }
        }
        for (int i = 0; i < columns.size(); ++i) {
            const double fileSum = copied.sums.value(i);
            if (std::llround(fileSum * 100) != std::llround(sums[i] * 100))
                throw DataError(QStringLiteral("Nothing was moved to the server: the amounts of "
                                               "%1 in the table %2 add up to %3 in the file but "
                                               "to %4 on the server.")
                                    .arg(columns[i]->fileName, table.fileName,
                                         amounts::write(fileSum), amounts::write(sums[i])));
        }
    }

private:
    DataError fileFault(const Table &table, const DataError &e) const
    {
        return DataError(QStringLiteral("Nothing was moved to the server: the table %1 of the "
                                        "diary %2 could not be read: %3")
                             .arg(table.fileName, m_file, e.description()));
    }
    bool next(SqlQuery &rows, const Table &table) const
    {
        try {
            return rows.next();
        } catch (const DataError &e) {
            throw fileFault(table, e);
        }
    }

    QString m_file;
    PgConnection &m_connection;
    const Progress &m_progress;
    qint64 m_copied = 0;
    qint64 m_total = 0;
    QElapsedTimer m_timer;
};

// Refuses a server database that is no diary or holds rows already. The
// password's table is the exception: it holds the first password of a new
// diary, and takes the file's.
void checkEmpty(PgConnection &connection)
{
    const QStringList present = serverschema::diaryTables(connection);
    if (present.isEmpty()) {
        serverschema::create(connection);
        return;
    }
    if (const QString problem = serverschema::problem(connection); !problem.isEmpty())
        throw DataError(problem);
    // No desk writes while the tables are checked and filled; a second move
    // at the same time finds them in use, or, once this one is done, its rows.
    QStringList names;
    for (const Table &table : serverschema::tables())
        names << quoted(table.name);
    try {
        connection.execScript(QStringLiteral("LOCK TABLE %1 IN ACCESS EXCLUSIVE MODE")
                                  .arg(names.join(QStringLiteral(", ")))
                                  .toUtf8());
    } catch (const DataError &e) {
        throw DataError(QStringLiteral("The %1 is in use at another desk; nothing was moved (%2).")
                            .arg(connection.address().describe(), e.description()));
    }
    for (const Table &table : serverschema::tables()) {
        if (table.name == QStringLiteral("password1"))
            continue;
        const PgResult any = connection.exec(
            QStringLiteral("SELECT EXISTS (SELECT 1 FROM %1)").arg(quoted(table.name)).toUtf8());
        if (any.text(0, 0) == QStringLiteral("t"))
            throw DataError(QStringLiteral("The %1 already holds rows in the table %2; a diary "
                                           "is moved only into an empty database. Nothing was "
                                           "moved.")
                                .arg(connection.address().describe(), table.fileName));
    }
}

// The server gives a bill or receipt number once: a diary that gave one to
// two of them is told before anything is copied, with the numbers.
void refuseNumbersGivenTwice(sqlite3 *db, const QString &file)
{
    for (const serverschema::NumberGivenOnce &number : serverschema::numbersGivenOnce()) {
        const auto table =
            std::find_if(serverschema::tables().cbegin(), serverschema::tables().cend(),
                         [&](const Table &t) { return t.name == number.table; });
        if (table == serverschema::tables().cend())
            continue;
        QString column;
        for (const Column &c : table->columns) {
            if (c.name == number.column)
                column = c.fileName;
        }
        SqlQuery twice(db, QStringLiteral("SELECT %1 FROM %2 WHERE %1 IS NOT NULL GROUP BY %1 "
                                          "HAVING count(*) > 1 ORDER BY %1 LIMIT 6")
                               .arg(quoted(column), quoted(table->fileName)));
        QStringList numbers;
        while (twice.next())
            numbers << twice.text(0);
        if (numbers.isEmpty())
            continue;
        if (numbers.size() > 5)
            numbers.last() = QStringLiteral("more");
        throw DataError(QStringLiteral("The diary %1 gives the %2 number%3 %4 to more than one "
                                       "%2; on the server each number belongs to one %2. Give "
                                       "each of them a number of its own in the diary first. "
                                       "Nothing was moved.")
                            .arg(file, number.table, numbers.size() == 1 ? "" : "s",
                                 numbers.join(QStringLiteral(", "))));
    }
}

} // namespace

Outcome move(const QString &file, const ServerAddress &address, const Progress &progress)
{
    SchemaCheck::checkFile(file);
    const auto fileError = [&](const DataError &e) {
        return DataError(
            QStringLiteral("The diary %1 could not be read: %2").arg(file, e.description()));
    };
    std::optional<sql::ReadConnection> reader;
    try {
        reader.emplace(file, 5000);
    } catch (const DataError &e) {
        throw fileError(e);
    }
    sqlite3 *db = reader->native();
    const QList<Table> &tables = serverschema::tables();

    PgConnection connection(address);
    // One read transaction: every table as it stood at one moment.
    qint64 total = 0;
    try {
        SqlQuery(db, QStringLiteral("BEGIN")).exec();
        for (const Table &table : tables) {
            SqlQuery count(db,
                           QStringLiteral("SELECT count(*) FROM %1").arg(quoted(table.fileName)));
            if (count.next())
                total += count.integer(0);
        }
    } catch (const DataError &e) {
        throw fileError(e);
    }
    refuseNumbersGivenTwice(db, file);

    Mover mover(file, connection, progress);
    mover.setTotal(total);
    Outcome outcome;
    connection.execScript("BEGIN");
    try {
        // A large diary takes longer than a desk's statement may.
        connection.execScript("SET LOCAL statement_timeout = 0");
        checkEmpty(connection);
        serverschema::setKeeping(connection, false);
        serverschema::dropIndexes(connection);
        connection.execScript("DELETE FROM password1");
        QList<Copied> copied;
        for (const Table &table : tables) {
            copied << mover.copy(db, table);
            outcome.rows += copied.constLast().rows;
            ++outcome.tables;
        }
        mover.tell(true);
        serverschema::makeIndexes(connection);
        serverschema::setKeeping(connection, true);
        serverschema::rebuildKept(connection);
        for (int i = 0; i < tables.size(); ++i)
            mover.check(tables[i], copied[i]);
        // The planner learns the new rows at once, not when autovacuum comes.
        QStringList analysed = {QStringLiteral("advocate_pairs"),
                                QStringLiteral("advocate_party1_texts")};
        for (const Table &table : tables)
            analysed << quoted(table.name);
        connection.execScript(
            QStringLiteral("ANALYZE %1").arg(analysed.join(QStringLiteral(", "))).toUtf8());
        connection.execScript("COMMIT");
    } catch (const DataError &e) {
        throw connection.undone("ROLLBACK", e);
    }
    return outcome;
}

} // namespace lexordo::servermove
