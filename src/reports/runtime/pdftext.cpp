#include "pdftext.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <QByteArrayList>
#include <QRegularExpression>

namespace lexordo::report {

namespace {

// How far (device units, 1/1200 inch) a text object's first glyph may stand
// from where its line was painted.
constexpr double tolerance = 1.5;
// How far above or below its baseline a line's first glyph may stand: about
// a line of print, for scripts that set their letters up or down the line.
constexpr double yTolerance = 250;

bool atLineStart(const QByteArray &data, qsizetype at)
{
    return at == 0 || data.at(at - 1) == '\n' || data.at(at - 1) == '\r';
}

// A PDF file and where its objects begin, from its cross-reference table.
struct Pdf
{
    const QByteArray &bytes;
    QList<qint64> offsets;
};

bool readOffsets(const QByteArray &pdf, qint64 xref, QList<qint64> &offsets)
{
    offsets.clear();
    if (xref < 0 || xref >= pdf.size() || pdf.mid(xref, 4) != "xref")
        return false;
    qsizetype at = pdf.indexOf('\n', xref) + 1;
    const qsizetype lineEnd = pdf.indexOf('\n', at);
    const QList<QByteArray> head = pdf.mid(at, lineEnd - at).simplified().split(' ');
    if (head.size() != 2 || head[0] != "0")
        return false;
    bool ok = false;
    const int count = head[1].toInt(&ok);
    at = lineEnd + 1;
    if (!ok || count <= 0 || at + qint64(count) * 20 > pdf.size())
        return false;
    for (int i = 0; i < count; ++i, at += 20)
        offsets << (pdf.at(at + 17) == 'n' ? pdf.mid(at, 10).toLongLong() : -1);
    return true;
}

// The offset just after "N 0 obj" of the object with that number.
qsizetype objectStart(const Pdf &file, int number)
{
    const QByteArray &pdf = file.bytes;
    const QList<qint64> &offsets = file.offsets;
    if (number <= 0 || number >= offsets.size() || offsets[number] < 0)
        return -1;
    const QByteArray head = QByteArray::number(number) + " 0 obj";
    const qint64 at = offsets[number];
    if (at + head.size() > pdf.size() || pdf.mid(at, head.size()) != head)
        return -1;
    return at + head.size();
}

// The text of an object, from after "obj" up to "endobj" (or "stream").
QByteArray objectText(const Pdf &file, int number)
{
    const QByteArray &pdf = file.bytes;
    const qsizetype start = objectStart(file, number);
    if (start < 0)
        return QByteArray();
    qsizetype end = pdf.indexOf("endobj", start);
    const qsizetype stream = pdf.indexOf("stream", start);
    if (stream >= 0 && (end < 0 || stream < end))
        end = stream;
    return end < 0 ? QByteArray() : pdf.mid(start, end - start);
}

std::optional<int> reference(const QByteArray &text, const char *key)
{
    const QRegularExpression pattern(
        QStringLiteral("/%1\\s+(\\d+)\\s+0\\s+R").arg(QLatin1String(key)));
    const QRegularExpressionMatch match = pattern.match(QString::fromLatin1(text));
    if (!match.hasMatch())
        return std::nullopt;
    return match.captured(1).toInt();
}

// A content stream of the file: where its data lies and what it holds.
struct Stream
{
    int number = 0;
    QByteArray data; // decompressed
};

std::optional<Stream> readStream(const Pdf &file, int number)
{
    const QByteArray &pdf = file.bytes;
    const qsizetype start = objectStart(file, number);
    if (start < 0)
        return std::nullopt;
    qsizetype keyword = pdf.indexOf("stream", start);
    const qsizetype end = pdf.indexOf("endobj", start);
    if (keyword < 0 || (end >= 0 && end < keyword))
        return std::nullopt;
    const QByteArray dictionary = pdf.mid(start, keyword - start);
    if (!dictionary.contains("/FlateDecode"))
        return std::nullopt;
    qsizetype dataStart = keyword + 6;
    if (pdf.mid(dataStart, 2) == "\r\n")
        dataStart += 2;
    else if (pdf.mid(dataStart, 1) == "\n")
        dataStart += 1;
    else
        return std::nullopt;

    qint64 length = -1;
    const QRegularExpressionMatch direct =
        QRegularExpression(QStringLiteral("/Length\\s+(\\d+)(\\s+0\\s+R)?"))
            .match(QString::fromLatin1(dictionary));
    if (!direct.hasMatch())
        return std::nullopt;
    if (direct.captured(2).isEmpty()) {
        length = direct.captured(1).toLongLong();
    } else {
        bool ok = false;
        length = objectText(file, direct.captured(1).toInt()).trimmed().toLongLong(&ok);
        if (!ok)
            return std::nullopt;
    }
    if (length <= 0 || dataStart + length > pdf.size())
        return std::nullopt;

    // qUncompress wants the size ahead of the data; it grows its buffer when
    // the guess is short.
    QByteArray packed;
    const quint32 guess = quint32(std::min<qint64>(length * 8, qint64(64) * 1024 * 1024));
    packed.append(char(guess >> 24))
        .append(char(guess >> 16))
        .append(char(guess >> 8))
        .append(char(guess));
    packed.append(pdf.mid(dataStart, length));
    Stream stream;
    stream.number = number;
    stream.data = qUncompress(packed);
    if (stream.data.isEmpty())
        return std::nullopt;
    return stream;
}

// One text object of a content stream, with the state set just before it:
// from its "q" to its "Q", and where its first glyph stands.
struct TextObject
{
    qsizetype begin = 0;
    qsizetype end = 0;
    QPointF at;
};

std::optional<QList<TextObject>> textObjects(const QByteArray &content)
{
    QList<TextObject> objects;
    for (qsizetype bt = content.indexOf("BT\n"); bt >= 0; bt = content.indexOf("BT\n", bt + 3)) {
        if (!atLineStart(content, bt))
            continue;
        TextObject object;
        // The "q" that opens the state of this text object.
        const qsizetype q = content.lastIndexOf("q\n", bt);
        if (q < 0 || !atLineStart(content, q) || bt - q > 200)
            return std::nullopt;
        const QByteArray prologue = content.mid(q + 2, bt - q - 2);
        if (prologue.contains("Q\n") || prologue.contains("ET"))
            return std::nullopt;
        object.begin = q;
        const qsizetype et = content.indexOf("\nET\n", bt);
        if (et < 0 || content.mid(et + 4, 2) != "Q\n")
            return std::nullopt;
        object.end = et + 6;

        // "/F7 217 Tf 1 0 0 -1 0 0 Tm" then "x y Td" of the first glyph.
        const QByteArray head = content.mid(bt + 3, std::min<qsizetype>(et - bt, 400));
        const QList<QByteArray> words = head.simplified().split(' ');
        const qsizetype tm = words.indexOf("Tm");
        const qsizetype td = words.indexOf("Td");
        if (tm < 6 || td < 2 || td < tm)
            return std::nullopt;
        const double matrix[6] = {words[tm - 6].toDouble(), words[tm - 5].toDouble(),
                                  words[tm - 4].toDouble(), words[tm - 3].toDouble(),
                                  words[tm - 2].toDouble(), words[tm - 1].toDouble()};
        if (matrix[0] != 1 || matrix[1] != 0 || matrix[2] != 0 || matrix[3] != -1 ||
            matrix[4] != 0 || matrix[5] != 0)
            return std::nullopt;
        // Only the first Td after Tm is a place on the page; the ones after
        // it move from glyph to glyph.
        if (td != tm + 3)
            return std::nullopt;
        bool okX = false;
        bool okY = false;
        object.at = QPointF(words[td - 2].toDouble(&okX), -words[td - 1].toDouble(&okY));
        if (!okX || !okY)
            return std::nullopt;
        objects << object;
        bt = et;
    }
    return objects;
}

QByteArray actualText(const QString &text)
{
    QByteArray hex = "FEFF";
    for (const QChar ch : text)
        hex += QByteArray::number(ch.unicode(), 16).rightJustified(4, '0').toUpper();
    return "/Span << /ActualText <" + hex + "> >> BDC\n";
}

// The content stream with each line that needs it marked; nothing when the
// text objects cannot be told apart line by line.
std::optional<QByteArray> markLines(const QByteArray &content, const QList<PaintedLine> &lines)
{
    const std::optional<QList<TextObject>> objects = textObjects(content);
    if (!objects)
        return std::nullopt;

    // Each run of a line was painted as one text object, line after line.
    struct Span
    {
        int line;
        qsizetype begin;
        qsizetype end;
    };
    QList<Span> spans;
    qsizetype next = 0;
    for (int i = 0; i < lines.size(); ++i) {
        const PaintedLine &line = lines[i];
        if (line.runs < 0 || next + line.runs > objects->size())
            return std::nullopt;
        if (line.runs == 0)
            continue;
        const TextObject &first = objects->at(next);
        // The first glyph stands on the line's baseline, give or take what a
        // script moves its marks by.
        if (std::abs(first.at.y() - line.at.y()) > yTolerance ||
            first.at.x() < line.at.x() - tolerance)
            return std::nullopt;
        spans << Span{i, first.begin, objects->at(next + line.runs - 1).end};
        next += line.runs;
    }
    if (next != objects->size())
        return std::nullopt;

    QByteArray marked;
    marked.reserve(content.size() + content.size() / 4);
    qsizetype copied = 0;
    for (const Span &span : spans) {
        if (!needsActualText(lines[span.line].text))
            continue;
        marked += content.mid(copied, span.begin - copied);
        marked += actualText(lines[span.line].text);
        marked += content.mid(span.begin, span.end - span.begin);
        marked += "EMC\n";
        copied = span.end;
    }
    marked += content.mid(copied);
    return marked;
}

} // namespace

bool needsActualText(const QString &text)
{
    for (const QChar ch : text) {
        const QChar::Script script = ch.script();
        if (script != QChar::Script_Latin && script != QChar::Script_Common &&
            script != QChar::Script_Inherited)
            return true;
    }
    return false;
}

std::optional<QByteArray> withActualText(const QByteArray &pdf,
                                         const QList<QList<PaintedLine>> &lines)
{
    const qsizetype trailerAt = pdf.lastIndexOf("trailer");
    const qsizetype startxrefAt = pdf.lastIndexOf("startxref");
    if (trailerAt < 0 || startxrefAt < trailerAt)
        return std::nullopt;
    const qsizetype dictStart = pdf.indexOf("<<", trailerAt);
    const qsizetype dictEnd = pdf.indexOf(">>", dictStart);
    if (dictStart < 0 || dictEnd < 0 || dictEnd > startxrefAt)
        return std::nullopt;
    const QByteArray trailer = pdf.mid(dictStart + 2, dictEnd - dictStart - 2);
    bool ok = false;
    const qint64 previous =
        pdf.mid(startxrefAt + 9, 24).simplified().split(' ').value(0).toLongLong(&ok);
    Pdf file{pdf, {}};
    if (!ok || trailer.contains("/Prev") || trailer.contains("/Encrypt") ||
        !readOffsets(pdf, previous, file.offsets))
        return std::nullopt;

    const std::optional<int> root = reference(trailer, "Root");
    if (!root)
        return std::nullopt;
    const std::optional<int> pagesObject = reference(objectText(file, *root), "Pages");
    if (!pagesObject)
        return std::nullopt;
    const QRegularExpressionMatch kids =
        QRegularExpression(QStringLiteral("/Kids\\s*\\[([^\\]]*)\\]"))
            .match(QString::fromLatin1(objectText(file, *pagesObject)));
    if (!kids.hasMatch())
        return std::nullopt;
    QList<int> pages;
    const QRegularExpression ref(QStringLiteral("(\\d+)\\s+0\\s+R"));
    for (auto it = ref.globalMatch(kids.captured(1)); it.hasNext();)
        pages << it.next().captured(1).toInt();
    if (pages.size() != lines.size())
        return std::nullopt;

    std::map<int, QByteArray> replaced; // content object number -> new data
    for (int i = 0; i < pages.size(); ++i) {
        bool any = false;
        for (const PaintedLine &line : lines[i])
            any = any || needsActualText(line.text);
        if (!any)
            continue;
        const std::optional<int> contents = reference(objectText(file, pages[i]), "Contents");
        if (!contents)
            return std::nullopt;
        const std::optional<Stream> stream = readStream(file, *contents);
        if (!stream)
            return std::nullopt;
        const std::optional<QByteArray> marked = markLines(stream->data, lines[i]);
        if (!marked)
            return std::nullopt;
        replaced[*contents] = *marked;
    }
    if (replaced.empty())
        return pdf;

    // The marked pages go at the end as an update of the file: the objects
    // written before stay where the cross-reference table says they are.
    QByteArray out = pdf;
    if (!out.endsWith('\n'))
        out += '\n';
    std::map<int, qsizetype> offsets;
    for (const auto &[number, data] : replaced) {
        const QByteArray packed = qCompress(data, 9).mid(4);
        offsets[number] = out.size();
        out += QByteArray::number(number) + " 0 obj\n<<\n/Length " +
               QByteArray::number(packed.size()) + "\n/Filter /FlateDecode\n>>\nstream\n" + packed +
               "\nendstream\nendobj\n";
    }
    const qsizetype xref = out.size();
    out += "xref\n";
    for (const auto &[number, offset] : offsets) {
        out += QByteArray::number(number) + " 1\n";
        out += QByteArray::number(offset).rightJustified(10, '0') + " 00000 n \n";
    }
    out += "trailer\n<<" + trailer + "/Prev " + QByteArray::number(previous) + "\n>>\nstartxref\n" +
           QByteArray::number(xref) + "\n%%EOF\n";
    return out;
}

} // namespace lexordo::report
