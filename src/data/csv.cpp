#include "csv.h"

#include <algorithm>
#include <cstring>
#include <QBuffer>

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

namespace {

// Whether the bytes are UTF-8: each character in the shortest form, none a
// surrogate or beyond U+10FFFF.
bool isUtf8(const uchar *p, const uchar *end)
{
    while (p < end) {
        const uchar c = *p;
        if (c < 0x80) {
            ++p;
            continue;
        }
        qsizetype length = 0;
        uchar low = 0x80;
        uchar high = 0xBF;
        if (c >= 0xC2 && c <= 0xDF) {
            length = 2;
        } else if (c >= 0xE0 && c <= 0xEF) {
            length = 3;
            if (c == 0xE0)
                low = 0xA0; // shorter forms
            else if (c == 0xED)
                high = 0x9F; // surrogates
        } else if (c >= 0xF0 && c <= 0xF4) {
            length = 4;
            if (c == 0xF0)
                low = 0x90;
            else if (c == 0xF4)
                high = 0x8F; // beyond U+10FFFF
        } else {
            return false;
        }
        if (end - p < length || p[1] < low || p[1] > high)
            return false;
        for (qsizetype i = 2; i < length; ++i) {
            if (p[i] < 0x80 || p[i] > 0xBF)
                return false;
        }
        p += length;
    }
    return true;
}

} // namespace

void Reader::endField(Record &record, bool quoted)
{
    const qsizetype start = record.ends.isEmpty() ? 0 : record.ends.last();
    const QByteArrayView field = QByteArrayView(record.bytes).sliced(start);
    const auto *first = reinterpret_cast<const uchar *>(field.data());
    uchar any = 0;
    for (qsizetype i = 0; i < field.size(); ++i)
        any |= first[i];
    if (any < 0x80) {
        if (m_decode)
            record.fields << QString::fromLatin1(field);
    } else {
        if (!isUtf8(first, first + field.size()))
            m_badText = true;
        if (m_decode)
            record.fields << QString::fromUtf8(field);
    }
    record.ends << record.bytes.size();
    record.quoted << quoted;
}

void Reader::readQuoted(Record &record)
{
    const int opened = m_line;
    ++m_pos;
    for (;;) {
        // The bytes up to the next quote are the field's as they are.
        const char *data = m_buffer.constData();
        const char *from = data + m_pos;
        const char *to = data + m_buffer.size();
        const auto *quote = static_cast<const char *>(std::memchr(from, '"', size_t(to - from)));
        const char *stop = quote ? quote : to;
        m_line += int(std::count(from, stop, '\n'));
        record.bytes.append(from, stop - from);
        m_pos = stop - data;
        if (!quote) {
            if (!fill(0))
                break;
            continue;
        }
        if (peek(1) == '"') {
            record.bytes += '"';
            m_pos += 2;
            continue;
        }
        ++m_pos;
        // Only a separator or the end of the record may follow a closing quote.
        if (!fieldEnds() && record.problem.isEmpty())
            record.problem = QStringLiteral("text follows the closing quote of field %1.")
                                 .arg(record.quoted.size() + 1);
        while (!fieldEnds())
            record.bytes += char(m_buffer.constData()[m_pos++]);
        endField(record, true);
        return;
    }
    record.problem = QStringLiteral("the quotes opened on line %1 are never closed.").arg(opened);
    endField(record, true);
    m_stopped = true;
}

void Reader::readPlain(Record &record)
{
    for (;;) {
        const char *data = m_buffer.constData();
        const qsizetype size = m_buffer.size();
        qsizetype at = m_pos;
        while (at < size) {
            const char c = data[at];
            if (c == ',' || c == '\n' || c == '\r' || c == '"')
                break;
            ++at;
        }
        record.bytes.append(data + m_pos, at - m_pos);
        m_pos = at;
        if (at == size) {
            if (!fill(0))
                break;
            continue;
        }
        const char c = data[at];
        if (c == '"') {
            if (record.problem.isEmpty())
                record.problem =
                    QStringLiteral("a double quote inside field %1 that is not quoted.")
                        .arg(record.quoted.size() + 1);
        } else if (c != '\r' || peek(1) == '\n') {
            break; // a comma or the end of the line
        }
        // A quote, or a carriage return alone, is part of the field.
        record.bytes += c;
        ++m_pos;
    }
    endField(record, false);
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
        if (peek() == '"') {
            readQuoted(record);
            if (m_stopped)
                return true;
        } else {
            readPlain(record);
        }
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
