#include "filtersql.h"

#include "amounts.h"
#include "database.h"
#include "dataerror.h"
#include "dates.h"
#include "sqlquery.h"

#include <optional>

namespace lexordo {

namespace {

// True when letter case cannot make a difference beyond the Latin letters A
// to Z: the database's own case-blind comparison (which can use an index)
// then finds the same texts as folding the case of every script. The
// database stops that comparison at a NUL character.
bool caseBlindInAscii(const QString &text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t c = text[i].unicode();
        if (c == 0)
            return false;
        if (c < 0x80)
            continue;
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            c = QChar::surrogateToUcs4(char16_t(c), text[++i].unicode());
        // Letters of any case (and numerals and signs with case, such as
        // roman numerals and circled letters), and the sharp s that the
        // capital sharp s folds to.
        if (QChar::toCaseFolded(c) != c || QChar::toUpper(c) != c || QChar::toLower(c) != c ||
            QChar::toTitleCase(c) != c || c == 0xdf)
            return false;
    }
    return true;
}

// `text` with the wildcards of LIKE matched as typed.
QString likeLiteral(const QString &text)
{
    QString escaped;
    escaped.reserve(text.size());
    for (QChar c : text) {
        if (c == u'\\' || c == u'%' || c == u'_')
            escaped += u'\\';
        escaped += c;
    }
    return escaped;
}

const char *comparison(Filter::Op op)
{
    switch (op) {
    case Filter::Op::NotEqual:
        return " <> ";
    case Filter::Op::Less:
        return " < ";
    case Filter::Op::LessOrEqual:
        return " <= ";
    case Filter::Op::Greater:
        return " > ";
    case Filter::Op::GreaterOrEqual:
        return " >= ";
    default:
        return " = ";
    }
}

// One comparison of an expression with a bound value; a missing value passes
// only "not equal".
void compare(Where &where, const QString &expr, Filter::Op op, const QVariant &value,
             const QString &collation = QString())
{
    const QString suffix =
        collation.isEmpty() ? QString() : QStringLiteral(" COLLATE ") + collation;
    const QString test = expr + QLatin1String(comparison(op)) + QStringLiteral("?") + suffix;
    where.parts << (op == Filter::Op::NotEqual
                        ? QStringLiteral("(") + expr + QStringLiteral(" IS NULL OR ") + test + u')'
                        : test);
    where.values << value;
}

// Text compared with letter case ignored in every script; %, _ and ' are
// characters like any other.
// `list`, when given, is the database's list of the different texts of the
// column (Database::textList).
void compareText(Where &where, const QString &expr, Filter::Op op, const QString &text,
                 const QString &list = QString())
{
    const bool plain = caseBlindInAscii(text);
    const bool withinText = op == Filter::Op::Contains || (op == Filter::Op::BeginsWith && !plain);
    if (!list.isEmpty() && withinText && !text.isEmpty()) {
        // No index finds text within a column: the few different texts are
        // searched, and the rows holding them are found by the column's index.
        // A row whose text differs from a found one only in the case of A to Z
        // is found as well, and rightly: it holds the same text to the search.
        Where listed;
        compareText(listed, QStringLiteral("\"text\""), op, text);
        const QString among = sql::amongTexts(expr, list, listed.condition());
        where.values << listed.values;
        // A server's text never holds a NUL character.
        if (Database::isServer()) {
            where.parts << among;
            return;
        }
        // The case-blind comparison stops at a NUL character, so a text
        // holding one is searched itself.
        Where direct;
        compareText(direct, expr, op, text);
        where.parts << QStringLiteral("(%1 AND (instr(%2, char(0)) = 0 OR %3))")
                           .arg(among, expr, direct.condition());
        where.values << direct.values;
        return;
    }
    switch (op) {
    case Filter::Op::BeginsWith:
    case Filter::Op::Contains:
        // A server's LIKE ignores case in every script, through its trigram
        // index.
        if (plain || Database::isServer()) {
            // LIKE reads a text only up to a NUL character: a text that holds
            // one is searched whole.
            // A server's text never holds a NUL character.
            const bool nulPossible = op == Filter::Op::Contains && !Database::isServer();
            where.parts << (nulPossible ? QStringLiteral(
                                              "(%1 LIKE ? ESCAPE '\\' OR (instr(%1, char(0)) > 0 "
                                              "AND instr(%2, %3) > 0))")
                                              .arg(expr, sql::foldedText(expr),
                                                   sql::foldedText(QStringLiteral("?")))
                                        : expr + QStringLiteral(" LIKE ? ESCAPE '\\'"));
            where.values << (op == Filter::Op::Contains ? QStringLiteral("%") : QString()) +
                                likeLiteral(text) + u'%';
            if (nulPossible)
                where.values << text;
        } else {
            where.parts << QStringLiteral("instr(%1, %2)%3")
                               .arg(sql::foldedText(expr), sql::foldedText(QStringLiteral("?")),
                                    op == Filter::Op::BeginsWith ? QStringLiteral(" = 1")
                                                                 : QStringLiteral(" > 0"));
            where.values << text;
        }
        return;
    default: {
        // The case-blind index orders letters outside ASCII by their stored
        // case: it serves only to find equal texts.
        const bool equality = op == Filter::Op::Equal || op == Filter::Op::NotEqual;
        compare(where, expr, op, text,
                plain && equality ? QStringLiteral("NOCASE") : sql::foldedCollation());
        return;
    }
        return;
    }
}

void addTerm(Where &where, const QString &expr, FieldType type, const QString &name,
             const Filter::Term &term, const QString &textList)
{
    using Op = Filter::Op;
    if (term.op == Op::IsNull) {
        // A file may hold empty text in any column; a server's dates and
        // numbers cannot, nor be compared with text.
        const bool typed = type == FieldType::Date || type == FieldType::Time ||
                           type == FieldType::Number || type == FieldType::Integer;
        if (typed && Database::isServer())
            where.parts << QStringLiteral("%1 IS NULL").arg(expr);
        else
            where.parts << QStringLiteral("(%1 IS NULL OR %1 = '')").arg(expr);
        return;
    }
    const bool textMatch = term.op == Op::BeginsWith || term.op == Op::Contains;
    const QString valueText = term.value.typeId() == QMetaType::QDate
                                  ? dates::format(term.value.toDate())
                                  : term.value.toString();
    switch (type) {
    case FieldType::Date:
    case FieldType::Time: {
        const QVariant v = convertForColumn(type, name, term.value);
        if (!v.isValid())
            throw DataError(
                QStringLiteral("A %1 is needed to filter on %2.").arg(fieldTypeName(type), name));
        compare(where, expr, textMatch ? Op::Equal : term.op, v);
        return;
    }
    case FieldType::Number:
    case FieldType::Integer: {
        if (textMatch) {
            compareText(where, QStringLiteral("CAST(%1 AS TEXT)").arg(expr), term.op, valueText);
            return;
        }
        const QVariant v = convertForColumn(FieldType::Number, name, term.value);
        if (!v.isValid())
            throw DataError(QStringLiteral("A number is needed to filter on %1.").arg(name));
        compare(where, expr, term.op, v);
        return;
    }
    case FieldType::Any:
        if (textMatch) {
            compareText(where, QStringLiteral("CAST(%1 AS TEXT)").arg(expr), term.op, valueText);
            return;
        }
        if (term.value.typeId() == QMetaType::QDate) {
            compare(where, expr, term.op, term.value);
            return;
        }
        if (const auto number =
                term.value.typeId() != QMetaType::QString
                    ? std::optional<double>(term.value.toDouble())
                    : (valueText.trimmed().isEmpty() ? std::nullopt : amounts::parse(valueText))) {
            compare(where, expr, term.op, *number);
            return;
        }
        compareText(where, expr, term.op, valueText);
        return;
    case FieldType::Text:
        compareText(where, expr, term.op, valueText, textList);
        return;
    }
}

} // namespace

QString Where::condition() const
{
    return parts.join(QStringLiteral(" AND "));
}

QString columnExpression(const RecordColumn &column, bool onTable)
{
    return sql::quoteIdentifier(onTable ? column.baseName : column.name);
}

void addFilter(Where &where, const Filter &filter, const RecordColumns &columns,
               const QString &table)
{
    for (const Filter::Term &term : filter.terms()) {
        const RecordColumn &column = columns[size_t(requireColumn(columns, term.column))];
        const bool withinText =
            term.op == Filter::Op::Contains || term.op == Filter::Op::BeginsWith;
        const QString textList =
            !table.isEmpty() && withinText ? Database::textList(table, column.baseName) : QString();
        addTerm(where, columnExpression(column, !table.isEmpty()), column.type, column.name, term,
                textList);
    }
}

} // namespace lexordo
