#include "csv.h"

namespace lexordo::csv {

namespace {

bool needsQuotes(const QString &field)
{
    for (const QChar c : field) {
        if (c == u',' || c == u'"' || c == u'\n' || c == u'\r')
            return true;
    }
    // Blanks at either end survive a spreadsheet only inside quotes.
    return !field.isEmpty() && (field.front().isSpace() || field.back().isSpace());
}

} // namespace

QByteArray formatRecord(const QStringList &fields)
{
    QList<std::optional<QString>> values;
    values.reserve(fields.size());
    for (const QString &field : fields)
        values << (field.isEmpty() ? std::nullopt : std::optional<QString>(field));
    return formatRecord(values);
}

QByteArray formatRecord(const QList<std::optional<QString>> &fields)
{
    QString line;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            line += u',';
        if (!fields[i])
            continue;
        const QString &field = *fields[i];
        if (field.isEmpty() || needsQuotes(field)) {
            QString quoted = field;
            quoted.replace(u'"', QStringLiteral("\"\""));
            line += u'"' + quoted + u'"';
        } else {
            line += field;
        }
    }
    line += QStringLiteral("\r\n");
    return line.toUtf8();
}

std::vector<Record> parse(QStringView text)
{
    std::vector<Record> records;
    qsizetype i = 0;
    const qsizetype n = text.size();
    if (n > 0 && text[0] == QChar(0xFEFF))
        i = 1;

    int line = 1;
    while (i < n) {
        Record record;
        record.line = line;
        // A blank line between records is not a record of one empty field.
        if (text[i] == u'\n' || (text[i] == u'\r' && i + 1 < n && text[i + 1] == u'\n')) {
            i += text[i] == u'\r' ? 2 : 1;
            ++line;
            continue;
        }
        bool endOfRecord = false;
        while (!endOfRecord) {
            QString field;
            const bool quoted = i < n && text[i] == u'"';
            if (quoted) {
                const int opened = line;
                ++i;
                bool closed = false;
                while (i < n) {
                    const QChar c = text[i];
                    if (c == u'"') {
                        if (i + 1 < n && text[i + 1] == u'"') {
                            field += u'"';
                            i += 2;
                            continue;
                        }
                        ++i;
                        closed = true;
                        break;
                    }
                    if (c == u'\n')
                        ++line;
                    field += c;
                    ++i;
                }
                if (!closed) {
                    record.problem =
                        QStringLiteral("the quotes opened on line %1 are never closed.")
                            .arg(opened);
                    record.fields << field;
                    record.quoted << true;
                    records.push_back(record);
                    return records;
                }
                // Only a separator or the end of the record may follow a closing quote.
                if (i < n && text[i] != u',' && text[i] != u'\n' &&
                    !(text[i] == u'\r' && i + 1 < n && text[i + 1] == u'\n') &&
                    record.problem.isEmpty())
                    record.problem = QStringLiteral("text follows the closing quote of field %1.")
                                         .arg(record.fields.size() + 1);
                while (i < n && text[i] != u',' && text[i] != u'\n' &&
                       !(text[i] == u'\r' && i + 1 < n && text[i + 1] == u'\n'))
                    field += text[i++];
            } else {
                while (i < n && text[i] != u',' && text[i] != u'\n' &&
                       !(text[i] == u'\r' && i + 1 < n && text[i + 1] == u'\n')) {
                    if (text[i] == u'"' && record.problem.isEmpty())
                        record.problem =
                            QStringLiteral("a double quote inside field %1 that is not quoted.")
                                .arg(record.fields.size() + 1);
                    field += text[i++];
                }
            }
            record.fields << field;
            record.quoted << quoted;
            if (i >= n) {
                endOfRecord = true;
            } else if (text[i] == u',') {
                ++i;
            } else {
                i += text[i] == u'\r' ? 2 : 1;
                ++line;
                endOfRecord = true;
            }
        }
        records.push_back(record);
    }
    return records;
}

} // namespace lexordo::csv
