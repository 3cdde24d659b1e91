#include "valuecodec.h"

#include "amounts.h"
#include "dataerror.h"
#include "dates.h"
#include "schemacheck.h"
#include "sqlquery.h"

#include <cmath>

namespace lexordo {

FieldType fieldTypeFromDeclaration(const QByteArray &declared)
{
    if (declared.isEmpty())
        return FieldType::Any;
    const QByteArray decl = declared.toUpper();
    if (decl.startsWith("DATE"))
        return FieldType::Date;
    if (decl.startsWith("TIME"))
        return FieldType::Time;
    if (decl.contains("INT"))
        return FieldType::Integer;
    if (decl.contains("REAL") || decl.contains("FLOA") || decl.contains("DOUB") ||
        decl.contains("NUM") || decl.contains("DEC") || decl.contains("CURRENCY"))
        return FieldType::Number;
    return FieldType::Text;
}

FieldType columnFieldType(const SqlQuery &query, int column)
{
    QByteArray declared = query.columnDeclaredType(column);
    if (declared.isEmpty()) {
        const QByteArray origin = query.columnOrigin(column).toUtf8();
        if (!origin.isEmpty())
            declared = SchemaCheck::columnType(origin.constData(), nullptr).toUpper();
    }
    return fieldTypeFromDeclaration(declared);
}

namespace {

// The largest whole number a double holds exactly, 2^53 - 1.
constexpr double largestWholeNumber = 9007199254740991.0;

QVariant wholeOrDouble(double value)
{
    if (std::trunc(value) == value && std::fabs(value) < 9e15)
        return qint64(value);
    return value;
}

} // namespace

QVariant decodeColumn(const SqlQuery &query, int column, FieldType type)
{
    if (query.isNull(column))
        return QVariant();
    const bool number = query.isNumber(column);
    switch (type) {
    case FieldType::Date: {
        const QString text = query.text(column);
        if (text.isEmpty())
            return QVariant();
        if (auto date = dates::parseIso(text))
            return *date;
        return text;
    }
    case FieldType::Time: {
        const QString text = query.text(column);
        if (text.isEmpty())
            return QVariant();
        if (auto time = dates::parseTime(text))
            return *time;
        return text;
    }
    case FieldType::Number: {
        if (number)
            return query.value(column).toDouble();
        // An amount kept as text (a diary written by another tool) is read as
        // an amount typed in a box is; text that is no amount stays text.
        const QString text = query.text(column);
        if (text.trimmed().isEmpty())
            return QVariant();
        if (const std::optional<double> amount = amounts::parse(text))
            return *amount;
        return text;
    }
    case FieldType::Integer:
        if (number)
            return wholeOrDouble(query.value(column).toDouble());
        return query.text(column);
    case FieldType::Any: {
        if (number) {
            const QVariant v = query.value(column);
            return v.typeId() == QMetaType::LongLong ? v : wholeOrDouble(v.toDouble());
        }
        // A column made by another tool without a declared type: the stored
        // form of a date still reads as a date.
        const QString text = query.text(column);
        if (text.size() == 10 && text[4] == u'-' && text[7] == u'-') {
            if (auto date = dates::parseIso(text))
                return *date;
        }
        return text;
    }
    case FieldType::Text:
        return query.text(column);
    }
    return QVariant();
}

QString fieldTypeName(FieldType type)
{
    switch (type) {
    case FieldType::Date:
        return QStringLiteral("date");
    case FieldType::Time:
        return QStringLiteral("time");
    case FieldType::Number:
        return QStringLiteral("number");
    case FieldType::Integer:
        return QStringLiteral("whole number");
    default:
        return QStringLiteral("value");
    }
}

QVariant convertForColumn(FieldType type, const QString &column, const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return QVariant();

    const bool isText = value.typeId() == QMetaType::QString;
    const QString text = isText ? value.toString() : QString();
    if (isText && text.trimmed().isEmpty())
        return QVariant();

    auto refuse = [&](const QString &shown) -> DataError {
        return DataError(QStringLiteral("\"%1\" is not a valid %2 for %3.")
                             .arg(shown, fieldTypeName(type), column));
    };
    // A NUL character ends the text wherever it is read as C text: the
    // rest would be stored out of sight.
    if (isText && text.contains(QChar(u'\0')))
        throw DataError(
            QStringLiteral("The text for %1 holds a NUL character, which cannot be stored.")
                .arg(column));

    switch (type) {
    case FieldType::Date:
        if (value.typeId() == QMetaType::QDate) {
            if (!value.toDate().isValid())
                throw refuse(QString());
            return value;
        }
        if (value.typeId() == QMetaType::QDateTime)
            return value.toDateTime().date();
        if (isText) {
            if (auto date = dates::parse(text))
                return *date;
            if (auto iso = dates::parseIso(text.trimmed()); iso && text.trimmed().size() == 10)
                return *iso;
        }
        throw refuse(value.toString());
    case FieldType::Time:
        if (value.typeId() == QMetaType::QTime)
            return value;
        if (value.typeId() == QMetaType::QDateTime)
            return value.toDateTime().time();
        if (isText) {
            if (auto time = dates::parseTime(text))
                return *time;
        }
        throw refuse(value.toString());
    case FieldType::Number:
    case FieldType::Integer: {
        std::optional<double> number;
        if (isText) {
            number = amounts::parse(text);
        } else {
            bool ok = false;
            const double v = value.toDouble(&ok);
            if (ok && std::isfinite(v) && value.typeId() != QMetaType::QDate)
                number = v;
        }
        if (!number && type == FieldType::Number)
            throw DataError(amounts::notAnAmount(column, value.toString()));
        if (!number)
            throw refuse(value.toString());
        if (type == FieldType::Integer && std::trunc(*number) != *number)
            throw refuse(value.toString());
        // Beyond this a whole number is no longer kept exactly (and beyond
        // the column's range it would wrap round).
        if (type == FieldType::Integer && std::fabs(*number) > largestWholeNumber)
            throw DataError(QStringLiteral("\"%1\" is too large a whole number for %2 (at most "
                                           "%3 either side of 0).")
                                .arg(value.toString(), column)
                                .arg(largestWholeNumber, 0, 'f', 0));
        return QVariant(*number);
    }
    case FieldType::Text:
        if (value.typeId() == QMetaType::QDate)
            return dates::format(value.toDate());
        return value.toString();
    case FieldType::Any: {
        if (value.typeId() == QMetaType::QDate)
            return value;
        if (!isText) {
            bool ok = false;
            const double v = value.toDouble(&ok);
            if (ok)
                return QVariant(v);
        }
        return value.toString();
    }
    }
    return QVariant();
}

QVariant normalisedForColumn(FieldType type, const QVariant &value)
{
    if (value.typeId() == QMetaType::Double && type != FieldType::Number) {
        const double v = value.toDouble();
        if (std::trunc(v) == v && std::fabs(v) < 9e15)
            return qint64(v);
    }
    return value;
}

QString cellText(const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return QString();
    switch (value.typeId()) {
    case QMetaType::QDate:
        return dates::format(value.toDate());
    case QMetaType::QTime:
        return dates::formatTime(value.toTime());
    case QMetaType::Double:
    case QMetaType::LongLong:
        return amounts::write(value.toDouble());
    default:
        return value.toString();
    }
}

void bindForColumn(SqlQuery &query, int index, const QVariant &value, FieldType type)
{
    if (!value.isValid() || value.isNull()) {
        query.bindNull(index);
        return;
    }
    switch (value.typeId()) {
    case QMetaType::Double: {
        const double v = value.toDouble();
        if (type != FieldType::Number && std::trunc(v) == v && std::fabs(v) < 9e15)
            query.bindInt(index, qint64(v));
        else
            query.bindDouble(index, v);
        return;
    }
    default:
        query.bind(index, value);
        return;
    }
}

} // namespace lexordo
