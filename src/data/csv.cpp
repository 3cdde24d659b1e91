#include "csv.h"

#include <algorithm>
#include <QBuffer>
#include <QStringDecoder>

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

namespace {

// The file is read in blocks of this many bytes.
constexpr qsizetype blockSize = 1 << 20;

} // namespace

Reader::Reader(QIODevice &device) : m_device(device)
{
}

bool Reader::fill(qsizetype ahead)
{
    while (m_pos + ahead >= m_buffer.size()) {
        if (m_end)
            return false;
        m_buffer.remove(0, m_pos);
        m_pos = 0;
        const qsizetype kept = m_buffer.size();
        m_buffer.resize(kept + blockSize);
        const qint64 got = m_device.read(m_buffer.data() + kept, blockSize);
        m_buffer.resize(kept + std::max<qint64>(got, 0));
        if (got < 0)
            m_failed = true;
        if (got <= 0)
            m_end = true;
    }
    return true;
}

bool Reader::fieldEnds()
{
    const int c = peek();
    return c < 0 || c == ',' || c == '\n' || (c == '\r' && peek(1) == '\n');
}

void Reader::endField(Record &record, bool quoted)
{
    const qsizetype start = record.ends.isEmpty() ? 0 : record.ends.last();
    const QByteArrayView field = QByteArrayView(record.bytes).sliced(start);
    const bool ascii =
        std::all_of(field.begin(), field.end(), [](char c) { return uchar(c) < 0x80; });
    if (ascii) {
        if (m_decode)
            record.fields << QString::fromLatin1(field);
    } else {
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        QString text = decoder.decode(field);
        if (decoder.hasError())
            m_badText = true;
        if (m_decode)
            record.fields << text;
    }
    record.ends << record.bytes.size();
    record.quoted << quoted;
}

bool Reader::next(Record &record)
{
    record.fields.clear();
    record.quoted.clear();
    record.problem.clear();
    record.bytes.resize(0);
    record.ends.clear();
    if (m_stopped)
        return false;
    if (!m_started) {
        m_started = true;
        if (peek() == 0xEF && peek(1) == 0xBB && peek(2) == 0xBF)
            m_pos += 3;
    }
    // A blank line between records is not a record of one empty field.
    for (;;) {
        const int c = peek();
        if (c == '\n') {
            ++m_pos;
        } else if (c == '\r' && peek(1) == '\n') {
            m_pos += 2;
        } else {
            break;
        }
        ++m_line;
    }
    if (peek() < 0)
        return false;

    record.line = m_line;
    for (;;) {
        const bool quoted = peek() == '"';
        if (quoted) {
            const int opened = m_line;
            ++m_pos;
            bool closed = false;
            for (int c = peek(); c >= 0; c = peek()) {
                if (c == '"') {
                    if (peek(1) == '"') {
                        record.bytes += '"';
                        m_pos += 2;
                        continue;
                    }
                    ++m_pos;
                    closed = true;
                    break;
                }
                if (c == '\n')
                    ++m_line;
                record.bytes += char(c);
                ++m_pos;
            }
            if (!closed) {
                record.problem =
                    QStringLiteral("the quotes opened on line %1 are never closed.").arg(opened);
                endField(record, true);
                m_stopped = true;
                return true;
            }
            // Only a separator or the end of the record may follow a closing quote.
            if (!fieldEnds() && record.problem.isEmpty())
                record.problem = QStringLiteral("text follows the closing quote of field %1.")
                                     .arg(record.quoted.size() + 1);
            while (!fieldEnds())
                record.bytes += char(m_buffer.constData()[m_pos++]);
        } else {
            while (!fieldEnds()) {
                const char c = m_buffer.constData()[m_pos++];
                if (c == '"' && record.problem.isEmpty())
                    record.problem =
                        QStringLiteral("a double quote inside field %1 that is not quoted.")
                            .arg(record.quoted.size() + 1);
                record.bytes += c;
            }
        }
        endField(record, quoted);
        const int c = peek();
        if (c < 0)
            return true;
        if (c == ',') {
            ++m_pos;
            continue;
        }
        m_pos += c == '\r' ? 2 : 1;
        ++m_line;
        return true;
    }
}

std::vector<Record> parse(QStringView text)
{
    QByteArray bytes = text.toUtf8();
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    Reader reader(buffer);
    std::vector<Record> records;
    Record record;
    while (reader.next(record))
        records.push_back(record);
    return records;
}

} // namespace lexordo::csv
