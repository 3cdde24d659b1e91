#include "courtlistmatch.h"

#include <algorithm>
#include <QRegularExpression>
#include <QSet>

namespace lexordo::courtlist {

namespace {

bool isAsciiLetter(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

bool isBlank(QChar c)
{
    return c == u' ' || c == QChar(0xa0);
}

QString makeKey(const QString &type, QStringView number, QStringView year)
{
    qsizetype first = 0;
    while (first < number.size() - 1 && number[first] == u'0')
        ++first;
    QString key;
    key.reserve(type.size() + number.size() + 6);
    key += type;
    key += u' ';
    key += number.mid(first);
    key += u'/';
    key += year;
    return key;
}

// The number and the year, joined by "/", "-", "of" or blanks. Neither may
// run on into further digits: OS 188/2025 and OS 88/20251 are other cases.
const QRegularExpression &numberAndYear()
{
    static const QRegularExpression re(
        QStringLiteral("(?<![0-9])([0-9]{1,7})(?:[ \\t]*[/-][ \\t]*|[ \\t]+of[ \\t]+|[ \\t]+)"
                       "([0-9]{4})(?![0-9])"),
        QRegularExpression::CaseInsensitiveOption);
    return re;
}

// "COURT HALL 3", "Court No. 12", "Court Room: 4", "HALL NO. 2".
const QRegularExpression &hallHeading()
{
    static const QRegularExpression re(
        QStringLiteral(
            "\\b(?:court[ \\t]*hall|court[ \\t]*room|court|hall)[ \\t]*(?:no\\.?|number)?"
            "[ \\t]*[:.\\-]?[ \\t]*([0-9]{1,3}[A-Z]?)\\b"),
        QRegularExpression::CaseInsensitiveOption);
    return re;
}

// A word of a type: letters, dots and brackets ("O.S.", "W.P.(C)", "Crl.A.").
bool isTypeChar(QChar c)
{
    return isAsciiLetter(c) || c == u'.' || c == u'(' || c == u')';
}

QString typeLetters(QStringView word)
{
    QString letters;
    for (QChar c : word) {
        if (isAsciiLetter(c))
            letters += c.toUpper();
    }
    return letters;
}

// The words before a number, nearest first, with "No." dropped; where the
// type begins (its first word's start).
struct TypeWords
{
    QList<QStringView> words; // nearest first
    QList<qsizetype> starts;
};

TypeWords typeWordsBefore(const QString &text, qsizetype numberStart)
{
    TypeWords found;
    qsizetype pos = numberStart;
    while (pos > 0 && isBlank(text[pos - 1]))
        --pos;
    // OS/88/2025, OS-88-2025, OS:88/2025
    if (pos > 0 && (text[pos - 1] == u'/' || text[pos - 1] == u'-' || text[pos - 1] == u':')) {
        --pos;
        while (pos > 0 && isBlank(text[pos - 1]))
            --pos;
    }
    bool first = true;
    while (found.words.size() < 4 && pos > 0) {
        qsizetype start = pos;
        while (start > 0 && isTypeChar(text[start - 1]))
            --start;
        if (start == pos)
            break;
        // A word that runs into digits ("12OS") is not a type.
        if (start > 0 && isDigit(text[start - 1]))
            break;
        QStringView word = QStringView(text).mid(start, pos - start);
        if (typeLetters(word).isEmpty())
            break;
        if (first) {
            first = false;
            const QString lower = word.toString().toLower();
            if (lower == u"no" || lower == u"no." || lower == u"nos" || lower == u"nos.") {
                pos = start;
                while (pos > 0 && isBlank(text[pos - 1]))
                    --pos;
                continue;
            }
            if (lower.endsWith(u".no.") || lower.endsWith(u".no"))
                word = word.left(lower.lastIndexOf(u".no") + 1);
        }
        found.words.append(word);
        found.starts.append(start);
        pos = start;
        while (pos > 0 && isBlank(text[pos - 1]))
            --pos;
    }
    return found;
}

// The last item number in the stretch: digits standing alone, not part of a
// date, a case number or a word ("12.", "12)", "12" in a cell).
QString itemIn(QStringView stretch)
{
    qsizetype end = stretch.size();
    while (end > 0) {
        while (end > 0 && !isDigit(stretch[end - 1]))
            --end;
        if (end == 0)
            break;
        qsizetype start = end;
        while (start > 0 && isDigit(stretch[start - 1]))
            --start;
        const QChar before = start > 0 ? stretch[start - 1] : QChar(u' ');
        const QChar after = end < stretch.size() ? stretch[end] : QChar(u' ');
        const QChar afterNext = end + 1 < stretch.size() ? stretch[end + 1] : QChar(u' ');
        const bool joinedBefore = before.isLetterOrNumber() || before == u'/' || before == u'-' ||
                                  before == u'.' || before == u':';
        const bool joinedAfter = after.isLetterOrNumber() || after == u'/' || after == u'-' ||
                                 ((after == u'.' || after == u':') && isDigit(afterNext));
        if (!joinedBefore && !joinedAfter && end - start <= 5)
            return stretch.mid(start, end - start).toString();
        end = start;
    }
    return QString();
}

QString collapsed(QStringView text)
{
    return text.toString().simplified();
}

// Words that say nothing about who the parties are.
const QSet<QString> &commonWords()
{
    static const QSet<QString> words = {
        QStringLiteral("THE"),        QStringLiteral("AND"),       QStringLiteral("ORS"),
        QStringLiteral("ANR"),        QStringLiteral("OTHERS"),    QStringLiteral("ANOTHER"),
        QStringLiteral("VERSUS"),     QStringLiteral("STATE"),     QStringLiteral("THROUGH"),
        QStringLiteral("THR"),        QStringLiteral("UNION"),     QStringLiteral("INDIA"),
        QStringLiteral("LTD"),        QStringLiteral("PVT"),       QStringLiteral("SMT"),
        QStringLiteral("SHRI"),       QStringLiteral("SRI"),       QStringLiteral("ADVOCATE"),
        QStringLiteral("ADV"),        QStringLiteral("FOR"),       QStringLiteral("PETITIONER"),
        QStringLiteral("RESPONDENT"), QStringLiteral("APPELLANT"), QStringLiteral("ITEM"),
        QStringLiteral("HEARING"),    QStringLiteral("ORDERS"),    QStringLiteral("ADMISSION"),
    };
    return words;
}

QSet<QString> significantWords(QStringView text)
{
    QSet<QString> words;
    qsizetype i = 0;
    while (i < text.size()) {
        while (i < text.size() && !text[i].isLetter())
            ++i;
        qsizetype start = i;
        while (i < text.size() && text[i].isLetter())
            ++i;
        if (i - start >= 3) {
            QString word = text.mid(start, i - start).toString().toUpper();
            if (!commonWords().contains(word))
                words.insert(word);
        }
    }
    return words;
}

} // namespace

std::optional<QString> caseKey(QStringView caseNo)
{
    const QString text = caseNo.toString();
    QRegularExpressionMatchIterator it = numberAndYear().globalMatch(text);
    QRegularExpressionMatch last;
    while (it.hasNext())
        last = it.next();
    if (!last.hasMatch())
        return std::nullopt;
    // The diary's own entry: every letter before the number is the type.
    QString before = text.left(last.capturedStart(1)).trimmed();
    while (before.endsWith(u'/') || before.endsWith(u'-') || before.endsWith(u':'))
        before = before.chopped(1).trimmed();
    const QString lower = before.toLower();
    for (const QString &no : {QStringLiteral("nos."), QStringLiteral("no."), QStringLiteral("nos"),
                              QStringLiteral("no")}) {
        if (lower.endsWith(no) &&
            (lower.size() == no.size() || !lower.at(lower.size() - no.size() - 1).isLetter())) {
            before.chop(no.size());
            break;
        }
    }
    const QString type = typeLetters(before);
    if (type.isEmpty())
        return std::nullopt;
    return makeKey(type, last.capturedView(1), last.capturedView(2));
}

std::vector<Listing> findListings(const QString &text,
                                  const std::function<bool(const QString &key)> &wanted)
{
    // Headings of court halls, in the order of the text.
    std::vector<std::pair<qsizetype, QString>> halls;
    {
        QRegularExpressionMatchIterator it = hallHeading().globalMatch(text);
        while (it.hasNext()) {
            const QRegularExpressionMatch m = it.next();
            halls.emplace_back(m.capturedStart(), m.captured(1).toUpper());
        }
    }

    struct Shape
    {
        qsizetype start = 0; // where its type (or number) begins
        qsizetype end = 0;
        QString key; // empty when not wanted
    };
    std::vector<Shape> shapes;
    QRegularExpressionMatchIterator it = numberAndYear().globalMatch(text);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        const TypeWords words = typeWordsBefore(text, m.capturedStart(1));
        if (words.words.isEmpty())
            continue;
        Shape shape;
        shape.start = words.starts.first();
        shape.end = m.capturedEnd(2);
        // The longest reading of the type that the diary knows.
        QList<QString> readings;
        QString letters;
        for (QStringView word : words.words) {
            letters.prepend(typeLetters(word));
            readings.append(letters);
        }
        for (qsizetype i = readings.size() - 1; i >= 0; --i) {
            QString key = makeKey(readings[i], m.capturedView(1), m.capturedView(2));
            if (wanted(key)) {
                shape.key = std::move(key);
                shape.start = words.starts[i];
                break;
            }
        }
        shapes.push_back(std::move(shape));
    }

    std::vector<Listing> found;
    QString previousItem; // of the case number before, on the same line
    for (std::size_t i = 0; i < shapes.size(); ++i) {
        const Shape &shape = shapes[i];
        // The item: the nearest before it on its line. A number printed after
        // another on the line without an item of its own ("2. CRP 5/2020
        // with CRA 7/2023", a connected matter) is called with that item.
        qsizetype from = shape.start == 0 ? 0 : text.lastIndexOf(u'\n', shape.start - 1) + 1;
        const bool afterAnother = i > 0 && shapes[i - 1].end > from;
        if (afterAnother)
            from = shapes[i - 1].end;
        QString item = itemIn(QStringView(text).mid(from, shape.start - from));
        if (item.isEmpty() && afterAnother)
            item = previousItem;
        previousItem = item;
        if (shape.key.isEmpty())
            continue;
        Listing listing;
        listing.key = shape.key;
        listing.offset = shape.start;
        listing.printed = collapsed(QStringView(text).mid(shape.start, shape.end - shape.start));
        listing.item = item;

        const auto hall = std::upper_bound(
            halls.begin(), halls.end(), shape.start,
            [](qsizetype pos, const std::pair<qsizetype, QString> &h) { return pos < h.first; });
        if (hall != halls.begin())
            listing.hall = std::prev(hall)->second;

        qsizetype besideEnd = std::min(text.size(), shape.end + 300);
        if (i + 1 < shapes.size())
            besideEnd = std::min(besideEnd, shapes[i + 1].start);
        listing.beside = collapsed(QStringView(text).mid(shape.end, besideEnd - shape.end));
        // The next matter's item number is not part of these parties.
        static const QRegularExpression nextItem(QStringLiteral("\\s*\\b[0-9]{1,5}[.)]?$"));
        listing.beside.remove(nextItem);
        found.push_back(std::move(listing));
    }
    return found;
}

bool partiesDiffer(QStringView printed, QStringView party1, QStringView party2)
{
    const QSet<QString> listed = significantWords(printed);
    QSet<QString> diary = significantWords(party1);
    diary.unite(significantWords(party2));
    if (listed.isEmpty() || diary.isEmpty())
        return false;
    return !listed.intersects(diary);
}

} // namespace lexordo::courtlist
