#include "serverschema.h"

#include "database.h"
#include "pgconnection.h"

#include <libpq-fe.h>
#include <QHash>

namespace lexordo::serverschema {

namespace {

// ---- Reading the file's schema ------------------------------------------

struct Token
{
    enum Kind { Word, Identifier, String, Symbol };
    Kind kind;
    QString text; // an identifier or string without its quotes
};

using Statement = QList<Token>;

[[noreturn]] void notUnderstood(const QString &what)
{
    throw DataError(
        QStringLiteral("The diary's schema cannot be made on a server: %1 is not understood.")
            .arg(what));
}

// The schema's statements as tokens: comments dropped, quoted names and
// strings unquoted, split at the semicolons between statements.
QList<Statement> statements(const QString &text)
{
    QList<Statement> list;
    Statement current;
    qsizetype i = 0;
    const qsizetype n = text.size();
    const auto quoted = [&](QChar quote) {
        QString value;
        for (++i; i < n; ++i) {
            if (text[i] == quote) {
                if (i + 1 < n && text[i + 1] == quote) {
                    value += quote;
                    ++i;
                    continue;
                }
                ++i;
                return value;
            }
            value += text[i];
        }
        notUnderstood(QStringLiteral("a quote that is never closed"));
    };
    while (i < n) {
        const QChar c = text[i];
        if (c.isSpace()) {
            ++i;
        } else if (c == u'-' && i + 1 < n && text[i + 1] == u'-') {
            while (i < n && text[i] != u'\n')
                ++i;
        } else if (c == u'"') {
            current.append({Token::Identifier, quoted(c)});
        } else if (c == u'\'') {
            current.append({Token::String, quoted(c)});
        } else if (c.isLetterOrNumber() || c == u'_') {
            // A number keeps its decimal point.
            const qsizetype start = i;
            const bool number = c.isDigit();
            while (i < n &&
                   (text[i].isLetterOrNumber() || text[i] == u'_' || (number && text[i] == u'.')))
                ++i;
            current.append({Token::Word, text.mid(start, i - start)});
        } else if (c == u';') {
            if (!current.isEmpty())
                list.append(current);
            current.clear();
            ++i;
        } else {
            current.append({Token::Symbol, QString(c)});
            ++i;
        }
    }
    if (!current.isEmpty())
        list.append(current);
    return list;
}

QString quoted(const QString &name)
{
    QString escaped = name;
    escaped.replace(u'"', QStringLiteral("\"\""));
    return u'"' + escaped + u'"';
}

QString literal(const QString &text)
{
    QString escaped = text;
    escaped.replace(u'\'', QStringLiteral("''"));
    return u'\'' + escaped + u'\'';
}

// A name as the server folds it.
QString serverName(const QString &name)
{
    return name.toLower();
}

QString serverType(const QString &declared, const QString &column)
{
    static const QHash<QString, QString> types = {
        {QStringLiteral("DATE"), QStringLiteral("date")},
        {QStringLiteral("TIME"), QStringLiteral("time without time zone")},
        {QStringLiteral("REAL"), QStringLiteral("double precision")},
        {QStringLiteral("INTEGER"), QStringLiteral("bigint")},
        {QStringLiteral("TEXT"), QStringLiteral("text")},
    };
    QString type = types.value(declared.toUpper());
    if (type.isEmpty())
        notUnderstood(QStringLiteral("the type %1 of %2").arg(declared, column));
    return type;
}

// Walks one statement's tokens.
class Reader
{
public:
    explicit Reader(const Statement &statement) : m_tokens(statement) {}
    bool atEnd() const { return m_at >= m_tokens.size(); }
    bool isWord(const char *word) const
    {
        return !atEnd() && m_tokens[m_at].kind == Token::Word &&
               m_tokens[m_at].text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
    }
    bool isSymbol(char symbol) const
    {
        return !atEnd() && m_tokens[m_at].kind == Token::Symbol &&
               m_tokens[m_at].text == QLatin1Char(symbol);
    }
    void word(const char *word)
    {
        if (!isWord(word))
            fail(QLatin1String(word));
        ++m_at;
    }
    void symbol(char symbol)
    {
        if (!isSymbol(symbol))
            fail(QString(QLatin1Char(symbol)));
        ++m_at;
    }
    // A name, quoted or not.
    QString name()
    {
        if (atEnd() ||
            (m_tokens[m_at].kind != Token::Identifier && m_tokens[m_at].kind != Token::Word))
            fail(QStringLiteral("a name"));
        return m_tokens[m_at++].text;
    }
    QString typeWord()
    {
        if (atEnd() || m_tokens[m_at].kind != Token::Word)
            fail(QStringLiteral("a type"));
        return m_tokens[m_at++].text;
    }
    // "(item, item, ...)", reading each item with `item`.
    template <typename Item> void list(Item item)
    {
        symbol('(');
        item();
        while (isSymbol(',')) {
            symbol(',');
            item();
        }
        symbol(')');
    }
    void end()
    {
        if (!atEnd())
            fail(QStringLiteral("the end of the statement"));
    }
    [[noreturn]] void fail(const QString &expected) const
    {
        const QString found = atEnd() ? QStringLiteral("the end") : m_tokens[m_at].text;
        notUnderstood(QStringLiteral("%1 where %2 belongs, in the statement that begins \"%3 %4\"")
                          .arg(found, expected, m_tokens.value(0).text, m_tokens.value(1).text));
    }

private:
    const Statement &m_tokens;
    qsizetype m_at = 0;
};

struct Translated
{
    QList<Table> tables;
    QStringList tableStatements;
    QStringList rowStatements;
    QStringList indexNames;
    QStringList indexStatements;
};

Table readTable(Reader &r)
{
    Table table;
    table.fileName = r.name();
    table.name = serverName(table.fileName);
    r.list([&] {
        Column column;
        column.fileName = r.name();
        column.name = serverName(column.fileName);
        const QString declared = r.typeWord();
        column.fileType = declared.toUpper().toLatin1();
        column.type = serverType(declared, column.fileName);
        table.columns.append(column);
    });
    r.end();
    return table;
}

QString tableStatement(const Table &table)
{
    QStringList columns;
    for (const Column &column : table.columns)
        columns << quoted(column.name) + u' ' + column.type;
    // The key the server gives each row for good, as the file's row number.
    columns << rowKey + QStringLiteral(" bigint GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY");
    return QStringLiteral("CREATE TABLE %1 (%2)").arg(quoted(table.name), columns.join(u", "));
}

// CREATE INDEX name ON table (column [COLLATE NOCASE], ...)
QString indexStatement(Reader &r, QString *name)
{
    *name = serverName(r.name());
    r.word("ON");
    const QString table = serverName(r.name());
    QStringList parts;
    r.list([&] {
        QString part = quoted(serverName(r.name()));
        if (r.isWord("COLLATE")) {
            r.word("COLLATE");
            r.word("NOCASE");
            part += QStringLiteral(" COLLATE ") + foldedCollation;
        }
        // The file puts no value first in a rising order, as the program
        // reads the diary; so does the index, to serve that order.
        parts << part + QStringLiteral(" NULLS FIRST");
    });
    r.end();
    // Every index of the file ends with the row's key, which breaks the ties
    // of the program's orders.
    parts << rowKey + QStringLiteral(" NULLS FIRST");
    return QStringLiteral("CREATE INDEX %1 ON %2 (%3)")
        .arg(quoted(*name), quoted(table), parts.join(u", "));
}

// INSERT INTO table (columns) VALUES (literals): names folded, texts kept.
QString rowStatement(const Statement &statement)
{
    QString text;
    for (const Token &token : statement) {
        QString part;
        switch (token.kind) {
        case Token::Identifier:
            part = quoted(serverName(token.text));
            break;
        case Token::String:
            part = literal(token.text);
            break;
        case Token::Word: {
            // Numbers and the statement's own words stay; any other word is
            // a name written without quotes.
            static const QStringList words = {QStringLiteral("INSERT"), QStringLiteral("INTO"),
                                              QStringLiteral("VALUES"), QStringLiteral("NULL")};
            const bool kept = token.text.front().isDigit() || words.contains(token.text.toUpper());
            part = kept ? token.text : quoted(serverName(token.text));
            break;
        }
        case Token::Symbol:
            part = token.text;
            break;
        }
        if (!text.isEmpty() && part != QStringLiteral(",") && part != QStringLiteral(")") &&
            !text.endsWith(u'('))
            text += u' ';
        text += part;
    }
    return text;
}

Translated translate(const QString &schema)
{
    Translated t;
    for (const Statement &statement : statements(schema)) {
        Reader r(statement);
        if (r.isWord("CREATE")) {
            r.word("CREATE");
            if (r.isWord("TABLE")) {
                r.word("TABLE");
                t.tables.append(readTable(r));
                t.tableStatements << tableStatement(t.tables.constLast());
            } else {
                r.word("INDEX");
                QString name;
                t.indexStatements << indexStatement(r, &name);
                t.indexNames << name;
            }
        } else if (r.isWord("INSERT")) {
            t.rowStatements << rowStatement(statement);
        } else {
            r.fail(QStringLiteral("CREATE or INSERT"));
        }
    }
    return t;
}

const Translated &translated()
{
    static const Translated t = translate(Database::schemaText());
    return t;
}

// ---- What the server keeps beside the tables ----------------------------

// The server's own indexes, by name: the trigram index that lets a search
// for text within the first party (ILIKE, whatever the case) use an index,
// and the rule that a bill or receipt number is given once, however many
// desks add one at the same moment.
const QStringList serverIndexNames = [] {
    QStringList names = {QStringLiteral("advocate_party1_trgm")};
    for (const NumberGivenOnce &number : numbersGivenOnce())
        names << number.table + QStringLiteral("_number");
    return names;
}();
const QStringList serverIndexes = [] {
    QStringList statements = {QStringLiteral(
        "CREATE INDEX advocate_party1_trgm ON advocate USING gin (party1 gin_trgm_ops)")};
    for (const NumberGivenOnce &number : numbersGivenOnce())
        statements << QStringLiteral(
                          "CREATE UNIQUE INDEX %1_number ON %1 (%2) WHERE %2 IS NOT NULL")
                          .arg(number.table, number.column);
    return statements;
}();

const char *const prelude =
    "CREATE EXTENSION IF NOT EXISTS pg_trgm;\n"
    "CREATE COLLATION IF NOT EXISTS lx_nocase "
    "(provider = icu, locale = 'und-u-ks-level2', deterministic = false);\n";

// What the server keeps beside the diary's rows, and the version of it: a
// diary whose kept parts are of another version has them made again from its
// rows as it opens.
const QByteArray keptVersion = QByteArrayLiteral("lexordo kept 2");

// The counts the register reads, as the file keeps them: one row ("rows",
// "pairs") and the different (case number, first party) pairs with the rows
// of each; and the different texts of the first party with the pairs of
// each, as the file lists them under the same name: a search for text within
// the first party looks through these (a few thousand against a million
// hearings) and finds the rows holding them by the column's index.
// Every write to the diary first updates the counts row, whose lock then
// makes desks that write at once wait for each other: two of them never both
// take a pair for new. The pair lookups keep NULL equal to NULL and are
// planned for their values, so that they use the pairs' index. Rows added
// are counted once for the statement that adds them, the pairs grouped: a
// day's carry-forward adds thousands at once.
const char *const kept =
    "DROP TRIGGER IF EXISTS advocate_counts_kept ON advocate;\n"
    "DROP TRIGGER IF EXISTS advocate_counts_added ON advocate;\n"
    "DROP TRIGGER IF EXISTS advocate_counts_changed ON advocate;\n"
    "DROP TRIGGER IF EXISTS advocate_counts_emptied ON advocate;\n"
    "DROP FUNCTION IF EXISTS lx_keep_advocate_counts(), lx_count_added_advocate(),\n"
    "    lx_emptied_advocate_counts(), lx_rebuild_kept();\n"
    "DROP TABLE IF EXISTS advocate_counts, advocate_pairs, advocate_party1_texts;\n"
    "CREATE TABLE advocate_counts (\"rows\" bigint NOT NULL, pairs bigint NOT NULL);\n"
    "CREATE TABLE advocate_pairs (caseno text, party1 text, \"rows\" bigint NOT NULL);\n"
    "CREATE UNIQUE INDEX advocate_pairs_pair ON advocate_pairs (caseno, party1) "
    "NULLS NOT DISTINCT;\n"
    "CREATE TABLE advocate_party1_texts (\"text\" text PRIMARY KEY, pairs bigint NOT NULL);\n"
    "CREATE INDEX advocate_party1_texts_trgm ON advocate_party1_texts "
    "USING gin (\"text\" gin_trgm_ops);\n"
    "CREATE FUNCTION lx_keep_advocate_counts() RETURNS trigger LANGUAGE plpgsql\n"
    "SET plan_cache_mode = force_custom_plan AS $$\n"
    "DECLARE\n"
    "    remaining bigint;\n"
    "BEGIN\n"
    "    IF TG_OP = 'DELETE' THEN\n"
    "        UPDATE advocate_counts SET \"rows\" = \"rows\" - 1;\n"
    "    ELSE\n"
    "        UPDATE advocate_counts SET \"rows\" = \"rows\";\n"
    "    END IF;\n"
    "    UPDATE advocate_pairs SET \"rows\" = \"rows\" - 1\n"
    "     WHERE (caseno = OLD.caseno OR (caseno IS NULL AND OLD.caseno IS NULL))\n"
    "       AND (party1 = OLD.party1 OR (party1 IS NULL AND OLD.party1 IS NULL))\n"
    "    RETURNING \"rows\" INTO remaining;\n"
    "    IF remaining <= 0 THEN\n"
    "        DELETE FROM advocate_pairs\n"
    "         WHERE (caseno = OLD.caseno OR (caseno IS NULL AND OLD.caseno IS NULL))\n"
    "           AND (party1 = OLD.party1 OR (party1 IS NULL AND OLD.party1 IS NULL));\n"
    "        UPDATE advocate_counts SET pairs = pairs - 1;\n"
    "        UPDATE advocate_party1_texts SET pairs = pairs - 1 WHERE \"text\" = OLD.party1\n"
    "        RETURNING pairs INTO remaining;\n"
    "        IF remaining <= 0 THEN\n"
    "            DELETE FROM advocate_party1_texts WHERE \"text\" = OLD.party1;\n"
    "        END IF;\n"
    "    END IF;\n"
    "    IF TG_OP = 'UPDATE' THEN\n"
    "        UPDATE advocate_pairs SET \"rows\" = \"rows\" + 1\n"
    "         WHERE (caseno = NEW.caseno OR (caseno IS NULL AND NEW.caseno IS NULL))\n"
    "           AND (party1 = NEW.party1 OR (party1 IS NULL AND NEW.party1 IS NULL));\n"
    "        IF NOT FOUND THEN\n"
    "            INSERT INTO advocate_pairs (caseno, party1, \"rows\")\n"
    "                VALUES (NEW.caseno, NEW.party1, 1);\n"
    "            UPDATE advocate_counts SET pairs = pairs + 1;\n"
    "            INSERT INTO advocate_party1_texts AS t (\"text\", pairs)\n"
    "                SELECT NEW.party1, 1 WHERE NEW.party1 IS NOT NULL\n"
    "                ON CONFLICT (\"text\") DO UPDATE SET pairs = t.pairs + 1;\n"
    "        END IF;\n"
    "    END IF;\n"
    "    RETURN NULL;\n"
    "END $$;\n"
    "CREATE FUNCTION lx_count_added_advocate() RETURNS trigger LANGUAGE plpgsql AS $$\n"
    "DECLARE\n"
    "    added bigint;\n"
    "BEGIN\n"
    "    UPDATE advocate_counts SET \"rows\" = \"rows\" + (SELECT count(*) FROM lx_added);\n"
    "    WITH grouped AS (\n"
    "             SELECT caseno, party1, count(*) AS n FROM lx_added GROUP BY caseno, party1),\n"
    "         stored AS (\n"
    "             INSERT INTO advocate_pairs AS p (caseno, party1, \"rows\")\n"
    "             SELECT caseno, party1, n FROM grouped\n"
    "             ON CONFLICT (caseno, party1) DO UPDATE SET \"rows\" = p.\"rows\" + "
    "EXCLUDED.\"rows\"\n"
    "             RETURNING party1, xmax = 0 AS inserted),\n"
    "         named AS (\n"
    "             INSERT INTO advocate_party1_texts AS t (\"text\", pairs)\n"
    "             SELECT party1, count(*) FROM stored WHERE inserted AND party1 IS NOT NULL\n"
    "             GROUP BY party1\n"
    "             ON CONFLICT (\"text\") DO UPDATE SET pairs = t.pairs + EXCLUDED.pairs)\n"
    "    SELECT count(*) FILTER (WHERE inserted) INTO added FROM stored;\n"
    "    IF added > 0 THEN\n"
    "        UPDATE advocate_counts SET pairs = pairs + added;\n"
    "    END IF;\n"
    "    RETURN NULL;\n"
    "END $$;\n"
    "CREATE FUNCTION lx_emptied_advocate_counts() RETURNS trigger LANGUAGE plpgsql AS $$\n"
    "BEGIN\n"
    "    UPDATE advocate_counts SET \"rows\" = 0, pairs = 0;\n"
    "    TRUNCATE advocate_pairs, advocate_party1_texts;\n"
    "    RETURN NULL;\n"
    "END $$;\n"
    "CREATE TRIGGER advocate_counts_kept AFTER DELETE ON advocate\n"
    "    FOR EACH ROW EXECUTE FUNCTION lx_keep_advocate_counts();\n"
    "CREATE TRIGGER advocate_counts_added AFTER INSERT ON advocate\n"
    "    REFERENCING NEW TABLE AS lx_added\n"
    "    FOR EACH STATEMENT EXECUTE FUNCTION lx_count_added_advocate();\n"
    "CREATE TRIGGER advocate_counts_changed AFTER UPDATE OF caseno, party1 ON advocate\n"
    "    FOR EACH ROW WHEN (OLD.caseno IS DISTINCT FROM NEW.caseno\n"
    "                       OR OLD.party1 IS DISTINCT FROM NEW.party1)\n"
    "    EXECUTE FUNCTION lx_keep_advocate_counts();\n"
    "CREATE TRIGGER advocate_counts_emptied AFTER TRUNCATE ON advocate\n"
    "    FOR EACH STATEMENT EXECUTE FUNCTION lx_emptied_advocate_counts();\n"
    // The rebuild keeps writers out while it counts.
    "CREATE FUNCTION lx_rebuild_kept() RETURNS void LANGUAGE plpgsql AS $$\n"
    "BEGIN\n"
    "    LOCK TABLE advocate IN SHARE MODE;\n"
    "    LOCK TABLE advocate_counts, advocate_pairs, advocate_party1_texts IN EXCLUSIVE MODE;\n"
    "    TRUNCATE advocate_pairs, advocate_party1_texts;\n"
    "    INSERT INTO advocate_pairs (caseno, party1, \"rows\")\n"
    "        SELECT caseno, party1, count(*) FROM advocate GROUP BY caseno, party1;\n"
    "    INSERT INTO advocate_party1_texts (\"text\", pairs)\n"
    "        SELECT party1, count(*) FROM advocate_pairs WHERE party1 IS NOT NULL\n"
    "        GROUP BY party1;\n"
    "    DELETE FROM advocate_counts;\n"
    "    INSERT INTO advocate_counts (\"rows\", pairs)\n"
    "        SELECT (SELECT count(*) FROM advocate), (SELECT count(*) FROM advocate_pairs);\n"
    "END $$;\n"
    "SELECT lx_rebuild_kept();\n";

QByteArray keptStatements()
{
    return QByteArray(kept) + "COMMENT ON TABLE advocate_counts IS '" + keptVersion + "';\n";
}

const QStringList keepingTriggers = {
    QStringLiteral("advocate_counts_kept"), QStringLiteral("advocate_counts_added"),
    QStringLiteral("advocate_counts_changed"), QStringLiteral("advocate_counts_emptied")};

// Other desks hear of every write to the diary's tables: one notice for each
// statement, named by its table.
const char *const notices =
    "CREATE FUNCTION lx_notify_changed() RETURNS trigger LANGUAGE plpgsql AS $$\n"
    "BEGIN\n"
    "    PERFORM pg_notify('lexordo_changed', TG_TABLE_NAME);\n"
    "    RETURN NULL;\n"
    "END $$;\n";

QString noticeTrigger(const Table &table)
{
    return QStringLiteral("CREATE TRIGGER %1 AFTER INSERT OR UPDATE OR DELETE OR TRUNCATE ON %2 "
                          "FOR EACH STATEMENT EXECUTE FUNCTION lx_notify_changed()")
        .arg(quoted(table.name + QStringLiteral("_changed")), quoted(table.name));
}

// ---- Running statements ----------------------------------------------------

bool inTransaction(PgConnection &connection)
{
    return PQtransactionStatus(connection.native()) != PQTRANS_IDLE;
}

// Runs the work in a transaction of its own, or inside the caller's under a
// savepoint: all of it or none.
template <typename Work> void allOrNone(PgConnection &connection, Work work)
{
    const bool nested = inTransaction(connection);
    connection.execScript(nested ? "SAVEPOINT lx_schema" : "BEGIN");
    try {
        work();
        connection.execScript(nested ? "RELEASE lx_schema" : "COMMIT");
    } catch (const DataError &e) {
        throw connection.undone(nested ? "ROLLBACK TO lx_schema; RELEASE lx_schema" : "ROLLBACK",
                                e);
    }
}

// The server's tables of the current schema with their columns and types,
// in column order.
QHash<QString, QList<QPair<QString, QString>>> serverColumns(PgConnection &connection)
{
    const PgResult result = connection.exec(
        "SELECT c.relname, a.attname, format_type(a.atttypid, a.atttypmod) "
        "FROM pg_catalog.pg_class c "
        "JOIN pg_catalog.pg_namespace n ON n.oid = c.relnamespace AND n.nspname = current_schema() "
        "LEFT JOIN pg_catalog.pg_attribute a ON a.attrelid = c.oid AND a.attnum > 0 "
        "AND NOT a.attisdropped "
        "WHERE c.relkind IN ('r', 'p') ORDER BY c.relname, a.attnum");
    QHash<QString, QList<QPair<QString, QString>>> tables;
    for (int row = 0; row < result.rows(); ++row) {
        auto &columns = tables[result.text(row, 0)];
        if (!result.isNull(row, 1))
            columns.append({result.text(row, 1), result.text(row, 2)});
    }
    return tables;
}

} // namespace

const QList<NumberGivenOnce> &numbersGivenOnce()
{
    static const QList<NumberGivenOnce> numbers = {
        {QStringLiteral("bill"), QStringLiteral("billno")},
        {QStringLiteral("receipt"), QStringLiteral("receiptno")}};
    return numbers;
}

const QList<Table> &tables()
{
    return translated().tables;
}

QString translatedSchema(const QString &schemaText)
{
    const Translated t = translate(schemaText);
    return (t.tableStatements + t.rowStatements + t.indexStatements).join(QStringLiteral(";\n")) +
           u';';
}

QString createStatements()
{
    const Translated &t = translated();
    QStringList all;
    all << QString::fromLatin1(prelude).trimmed();
    all << t.tableStatements.join(QStringLiteral(";\n")) + u';';
    all << t.rowStatements.join(QStringLiteral(";\n")) + u';';
    all << t.indexStatements.join(QStringLiteral(";\n")) + u';';
    all << serverIndexes.join(QStringLiteral(";\n")) + u';';
    all << QString::fromUtf8(keptStatements()).trimmed();
    QStringList triggers;
    for (const Table &table : t.tables)
        triggers << noticeTrigger(table);
    all << QString::fromLatin1(notices).trimmed() + u'\n' + triggers.join(QStringLiteral(";\n")) +
               u';';
    return all.join(QStringLiteral("\n\n")) + u'\n';
}

void create(PgConnection &connection)
{
    const QByteArray script = createStatements().toUtf8();
    allOrNone(connection, [&] { connection.execScript(script); });
}

QStringList diaryTables(PgConnection &connection)
{
    const auto present = serverColumns(connection);
    QStringList found;
    for (const Table &table : tables()) {
        if (present.contains(table.name))
            found << table.name;
    }
    return found;
}

QString problem(PgConnection &connection)
{
    const auto present = serverColumns(connection);
    const QString database = connection.address().describe();
    QStringList missingTables;
    QStringList faults;
    bool anyTable = false;
    for (const Table &table : tables()) {
        if (!present.contains(table.name)) {
            missingTables << table.name;
            continue;
        }
        anyTable = true;
        const auto &columns = present.value(table.name);
        QStringList expected;
        for (const Column &column : table.columns)
            expected << column.name;
        expected << rowKey;
        QStringList names;
        for (const auto &[name, type] : columns)
            names << name;
        QStringList missing;
        for (const QString &name : expected) {
            if (!names.contains(name))
                missing << name;
        }
        if (!missing.isEmpty()) {
            faults << QStringLiteral("the table %1 lacks the column%2 %3")
                          .arg(table.name, missing.size() == 1 ? "" : "s",
                               missing.join(QStringLiteral(", ")));
            continue;
        }
        names.removeIf([&](const QString &name) { return !expected.contains(name); });
        if (names != expected) {
            faults << QStringLiteral("the columns of the table %1 are not in the diary's order "
                                     "(%2)")
                          .arg(table.name, expected.join(QStringLiteral(", ")));
            continue;
        }
        for (const Column &column : table.columns) {
            for (const auto &[name, type] : columns) {
                if (name == column.name && type != column.type)
                    faults << QStringLiteral("the column %1 of the table %2 is %3, not %4")
                                  .arg(name, table.name, type, column.type);
            }
        }
    }
    if (!anyTable)
        return QStringLiteral("The %1 holds no diary; lexordo --create-database makes one.")
            .arg(database);
    for (const char *table : {"advocate_counts", "advocate_pairs"}) {
        if (!present.contains(QLatin1String(table)))
            missingTables << QLatin1String(table);
    }
    if (!missingTables.isEmpty())
        faults.prepend(QStringLiteral("the table%1 %2 %3 missing")
                           .arg(missingTables.size() == 1 ? "" : "s",
                                missingTables.join(QStringLiteral(", ")),
                                missingTables.size() == 1 ? "is" : "are"));
    if (faults.isEmpty())
        return QString();
    return QStringLiteral("The %1 is not a diary of this program: %2.")
        .arg(database, faults.join(QStringLiteral("; ")));
}

void bringUpToDate(PgConnection &connection)
{
    const PgResult version =
        connection.exec("SELECT obj_description('advocate_counts'::regclass, 'pg_class')");
    if (version.text(0, 0).toUtf8() != keptVersion)
        allOrNone(connection, [&] { connection.execScript(keptStatements()); });
}

void rebuildKept(PgConnection &connection)
{
    connection.execScript("SELECT lx_rebuild_kept()");
}

void dropIndexes(PgConnection &connection)
{
    QStringList drops;
    for (const QString &name : translated().indexNames + serverIndexNames)
        drops << QStringLiteral("DROP INDEX IF EXISTS %1;").arg(quoted(name));
    connection.execScript(drops.join(u'\n').toUtf8());
}

void makeIndexes(PgConnection &connection)
{
    // Enough memory to sort a large table's keys at once.
    QString script = QStringLiteral("SET LOCAL maintenance_work_mem = '256MB';\n");
    for (const QString &statement : translated().indexStatements + serverIndexes)
        script += statement + QStringLiteral(";\n");
    connection.execScript(script.toUtf8());
}

void setKeeping(PgConnection &connection, bool on)
{
    QString script;
    for (const QString &trigger : keepingTriggers)
        script += QStringLiteral("ALTER TABLE advocate %1 TRIGGER %2;\n")
                      .arg(on ? QStringLiteral("ENABLE") : QStringLiteral("DISABLE"), trigger);
    connection.execScript(script.toUtf8());
}

} // namespace lexordo::serverschema
