#pragma once

#include <optional>
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

class QIODevice;

namespace lexordo::csv {

// Comma-separated text as RFC 4180 has it: records end with CR LF, a field
// that holds a comma, a double quote or a line break is put in double quotes
// and its quotes are doubled. The text is UTF-8.

// One record, CR LF at its end.
QByteArray formatRecord(const QStringList &fields);
// The same, where a field may be no value: that is written as nothing, and
// an empty text as "" so that the two read back apart.
QByteArray formatRecord(const QList<std::optional<QString>> &fields);

// A record read back, with the line of the file on which it starts (the first
// line is 1) and, when it could not be read, the reason.
struct Record
{
    int line = 0;
    QStringList fields; // left empty by a Reader told not to decode
    QList<bool> quoted; // for each field: written in double quotes
    QString problem;
    // The fields' UTF-8, one after another, and where each ends.
    QByteArray bytes;
    QList<qsizetype> ends;

    qsizetype count() const { return ends.size(); }
    QByteArrayView raw(qsizetype i) const
    {
        const qsizetype start = i > 0 ? ends[i - 1] : 0;
        return QByteArrayView(bytes).sliced(start, ends[i] - start);
    }
};

// Reads the records of a file one at a time, holding one record and a block
// of the file, so that a file of any size reads in little memory. The rules
// are parse()'s.
class Reader
{
public:
    // The file is read in blocks of this many bytes.
    static constexpr qsizetype blockSize = 1 << 20;

    explicit Reader(QIODevice &device);

    // The next record into `record`; false at the end of the file, after a
    // record whose quotes are never closed, or when the device failed.
    bool next(Record &record);
    // Whether records get their fields as text besides their bytes. The
    // bytes are checked to be UTF-8 either way.
    void setDecoding(bool decode) { m_decode = decode; }
    // A field so far was not UTF-8.
    bool badText() const { return m_badText; }
    // Reading the device failed; its errorString() says why.
    bool failed() const { return m_failed; }

private:
    int peek(qsizetype ahead = 0)
    {
        if (m_pos + ahead < m_buffer.size())
            return uchar(m_buffer.constData()[m_pos + ahead]);
        return fill(ahead) ? uchar(m_buffer.constData()[m_pos + ahead]) : -1;
    }
    bool fill(qsizetype ahead);
    bool fieldEnds();                // at a comma, a line break or the end of the file
    void readQuoted(Record &record); // from its opening quote
    void readPlain(Record &record);
    void endField(Record &record, bool quoted);

    QIODevice &m_device;
    QByteArray m_buffer;
    qsizetype m_pos = 0;
    int m_line = 1;
    bool m_decode = true;
    bool m_started = false;
    bool m_end = false;
    bool m_stopped = false;
    bool m_badText = false;
    bool m_failed = false;
};

// Reads every record of a text. Records end with CR LF or LF alone; line
// breaks inside quotes belong to the field. A byte-order mark at the start is
// skipped; blank lines are not records.
std::vector<Record> parse(QStringView text);

} // namespace lexordo::csv
