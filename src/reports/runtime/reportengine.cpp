#include "reportengine.h"

#include <algorithm>
#include <data/amounts.h>
#include <data/dates.h>
#include <memory>
#include <optional>
#include <QCoreApplication>
#include <QFontMetricsF>
#include <QHash>
#include <QImage>
#include <QTextLayout>
#include <vector>

namespace lexordo::report {

// --- measuring text ----------------------------------------------------------------------

namespace {

// Text is measured on a 1200 dpi device, as fine as a PDF or a printer.
constexpr double referenceDpi = 1200.0;
constexpr double mmPerPixel = 25.4 / referenceDpi;
// Leaves a little room for the difference between measuring and painting
// at other resolutions.
constexpr double widthAllowance = 0.985;

const QImage &referenceDevice()
{
    static const QImage device = [] {
        QImage image(1, 1, QImage::Format_ARGB32);
        const int dotsPerMeter = qRound(referenceDpi / 0.0254);
        image.setDotsPerMeterX(dotsPerMeter);
        image.setDotsPerMeterY(dotsPerMeter);
        return image;
    }();
    return device;
}

// The font of a style, its metrics on the reference device, and the lines
// of the texts already broken in it: a report prints the same court names,
// parties and dates over and over.
struct Measurer
{
    TextStyle style;
    QFont font;
    QFontMetricsF metrics;
    QHash<QPair<QString, double>, QStringList> broken;
};

bool sameFont(const TextStyle &a, const TextStyle &b)
{
    return a.pointSize == b.pointSize && a.bold == b.bold && a.italic == b.italic &&
           a.family == b.family;
}

// A report uses a handful of styles; a short list is the quickest lookup.
// The fonts go before the application does.
std::vector<std::unique_ptr<Measurer>> &measurers()
{
    static std::vector<std::unique_ptr<Measurer>> cache;
    return cache;
}

void forgetMeasurers()
{
    measurers().clear();
}

Measurer &measurer(const TextStyle &style)
{
    auto &cache = measurers();
    for (const auto &m : cache) {
        if (sameFont(m->style, style))
            return *m;
    }
    if (cache.empty())
        qAddPostRoutine(forgetMeasurers);
    const QFont font = style.font();
    cache.push_back(std::make_unique<Measurer>(
        Measurer{style, font, QFontMetricsF(font, &referenceDevice()), {}}));
    return *cache.back();
}

QString chopTrailingBlanks(QString text)
{
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1).isSpace())
        --end;
    text.truncate(end);
    return text;
}

} // namespace

double lineHeight(const TextStyle &style)
{
    return measurer(style).metrics.lineSpacing() * mmPerPixel;
}

QStringList breakLines(const QString &text, double width, const TextStyle &style)
{
    QStringList lines;
    if (text.isEmpty())
        return lines;
    Measurer &m = measurer(style);
    const QPair<QString, double> key(text, width);
    if (const auto it = m.broken.constFind(key); it != m.broken.constEnd())
        return *it;
    const double limit = std::max(width, 1.0) / mmPerPixel * widthAllowance;

    QString normalized = text;
    normalized.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    normalized.replace(u'\r', u'\n');
    for (const QString &paragraph : normalized.split(u'\n')) {
        if (m.metrics.horizontalAdvance(paragraph) <= limit) {
            lines << chopTrailingBlanks(paragraph);
            continue;
        }
        QTextLayout layout(paragraph, m.font, &referenceDevice());
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(limit);
            lines << chopTrailingBlanks(paragraph.mid(line.textStart(), line.textLength()));
        }
        layout.endLayout();
    }
    if (m.broken.size() > 100000)
        m.broken.clear(); // a bound on what a very long report keeps
    m.broken.insert(key, lines);
    return lines;
}

QString formatValue(const QVariant &value, const QString &format)
{
    if (!value.isValid() || value.isNull())
        return QString();
    switch (value.typeId()) {
    case QMetaType::QDate:
        return value.toDate().toString(format.isEmpty() ? QString::fromLatin1(dates::displayFormat)
                                                        : format);
    case QMetaType::QTime:
        return value.toTime().toString(format.isEmpty() ? QStringLiteral("hh:mm") : format);
    case QMetaType::Double:
    case QMetaType::LongLong:
    case QMetaType::Int: {
        const double number = value.toDouble();
        const qsizetype point = format.indexOf(u'.');
        if (format.isEmpty() || (point < 0 && !format.contains(u'0')))
            return amounts::write(number);
        const int decimals = point < 0 ? 0 : int(format.size() - point - 1);
        QString text = QString::number(number, 'f', decimals);
        if (format.contains(u',')) {
            // Thousands separated by commas, as "#,##0.00" asks.
            const qsizetype dot = text.indexOf(u'.');
            qsizetype end = dot < 0 ? text.size() : dot;
            const qsizetype first = text.startsWith(u'-') ? 1 : 0;
            for (qsizetype at = end - 3; at > first; at -= 3)
                text.insert(at, u',');
        }
        return text;
    }
    default:
        return value.toString();
    }
}

// --- pages ---------------------------------------------------------------------------------

QStringList ReportPage::texts(const QString &section) const
{
    QStringList result;
    for (const PlacedItem &item : items) {
        if (item.kind == PlacedItem::Kind::Text &&
            (section.isEmpty() || item.section.compare(section, Qt::CaseInsensitive) == 0))
            result << item.text;
    }
    return result;
}

QList<PlacedItem> ReportPage::textItems(const QString &section) const
{
    QList<PlacedItem> result;
    for (const PlacedItem &item : items) {
        if (item.kind == PlacedItem::Kind::Text &&
            (section.isEmpty() || item.section.compare(section, Qt::CaseInsensitive) == 0))
            result << item;
    }
    return result;
}

const PlacedItem *ReportPage::find(const QString &section, const QString &name) const
{
    for (const PlacedItem &item : items) {
        if (item.kind == PlacedItem::Kind::Text &&
            item.section.compare(section, Qt::CaseInsensitive) == 0 &&
            item.name.compare(name, Qt::CaseInsensitive) == 0)
            return &item;
    }
    return nullptr;
}

// --- laying out ----------------------------------------------------------------------------

namespace {

// A section made ready for the rows: its fields' column indexes and the
// items that text stacks under.
struct PreparedSection
{
    const Section *section = nullptr;
    QList<int> columns; // per item; -1 when not a column of the rows
    QList<int> anchors; // per item; index of the item it stands below, or -1
};

// One printing of a section: its height and items, placed from its own top.
struct Band
{
    double height = 0;
    QList<PlacedItem> items;
    bool isEmpty() const { return items.isEmpty() && height <= 0; }
};

// Where a section's field takes its value from.
struct Context
{
    int row = -1;                       // detail rows
    const ResultGroup *group = nullptr; // group headers and footers
    int page = 0;
    int serial = 0; // detail rows: the row's number in the report, from 1
};

PreparedSection prepare(const Section *section, const ResultTable &table)
{
    PreparedSection prepared;
    prepared.section = section;
    if (!section)
        return prepared;
    const QList<Item> &items = section->items();
    for (int i = 0; i < items.size(); ++i) {
        prepared.columns << (items[i].kind == Item::Kind::Field ? table.column(items[i].name) : -1);
        int anchor = -1;
        if (!items[i].below.isEmpty()) {
            for (int j = 0; j < i; ++j) {
                if (items[j].name.compare(items[i].below, Qt::CaseInsensitive) == 0)
                    anchor = j;
            }
        }
        prepared.anchors << anchor;
    }
    return prepared;
}

std::optional<double> sumOf(const ResultGroup &group, const QString &alias)
{
    for (auto it = group.sums.constBegin(); it != group.sums.constEnd(); ++it) {
        if (it.key().compare(alias, Qt::CaseInsensitive) == 0)
            return it.value();
    }
    return std::nullopt;
}

class Paginator
{
public:
    Paginator(const ReportLayout &layout, const ReportData &data);
    ReportDocument run();

private:
    QVariant fieldValue(const Item &item, int column, const Context &context) const;
    QString fillLabel(QString text, const Context &context) const;
    Band measure(const PreparedSection &prepared, const Context &context) const;
    static std::pair<Band, Band> split(const Band &band, double at);

    void openPage();
    void startPage();
    void finishPage();
    void put(const Band &band);
    void flow(Band band, bool isBody = true);
    double room() const { return m_limit - m_y; }
    double freshRoom() const { return m_limit - m_headerHeight; }

    const ReportLayout &m_layout;
    const ReportData &m_data;
    QRectF m_area;
    PreparedSection m_reportHeader, m_pageHeader, m_groupHeader, m_detail, m_groupFooter,
        m_pageFooter, m_reportFooter;

    ReportDocument m_document;
    ReportPage m_page;
    double m_y = 0;            // from the top of the printable area
    double m_limit = 0;        // where the page footer begins
    double m_headerHeight = 0; // of the page header on a page after the first
    bool m_bodyOnPage = false;
    std::optional<Band> m_openGroupHeader; // repeated on the pages a group runs on to
};

Paginator::Paginator(const ReportLayout &layout, const ReportData &data)
    : m_layout(layout), m_data(data), m_area(layout.printableRect())
{
    const ResultTable &table = data.table();
    m_reportHeader = prepare(layout.section(SectionKind::ReportHeader), table);
    m_pageHeader = prepare(layout.section(SectionKind::PageHeader), table);
    m_groupHeader = prepare(layout.section(SectionKind::GroupHeader), table);
    m_detail = prepare(layout.section(SectionKind::Detail), table);
    m_groupFooter = prepare(layout.section(SectionKind::GroupFooter), table);
    m_pageFooter = prepare(layout.section(SectionKind::PageFooter), table);
    m_reportFooter = prepare(layout.section(SectionKind::ReportFooter), table);
}

QVariant Paginator::fieldValue(const Item &item, int column, const Context &context) const
{
    const ResultTable &table = m_data.table();
    if (context.row >= 0)
        return column >= 0 ? table.rows[context.row][column] : QVariant();
    if (context.group) {
        if (const auto sum = sumOf(*context.group, item.name))
            return *sum;
        if (column >= 0 && !context.group->rows.isEmpty())
            return table.rows[context.group->rows.first()][column];
        return QVariant();
    }
    // Report and page sections: totals over all groups, or the first row's value.
    bool found = false;
    double total = 0;
    for (const ResultGroup &group : m_data.groups()) {
        if (const auto sum = sumOf(group, item.name)) {
            found = true;
            total += *sum;
        }
    }
    if (found)
        return total;
    if (column >= 0 && table.rowCount() > 0)
        return table.rows.first()[column];
    return QVariant();
}

// A label's place-holders: "%n" the row's number in the report, "%c" the
// number of rows of the group, "{column}" a value of the row.
QString Paginator::fillLabel(QString text, const Context &context) const
{
    if (context.row >= 0) {
        text.replace(QStringLiteral("%n"), QString::number(context.serial));
        const ResultTable &table = m_data.table();
        qsizetype open = text.indexOf(u'{');
        while (open >= 0) {
            const qsizetype close = text.indexOf(u'}', open);
            if (close < 0)
                break;
            const int column = table.column(text.mid(open + 1, close - open - 1));
            if (column < 0) {
                open = text.indexOf(u'{', close);
                continue;
            }
            const QString value = formatValue(table.rows[context.row][column], QString()).trimmed();
            text.replace(open, close - open + 1, value);
            open = text.indexOf(u'{', open + value.size());
        }
    }
    if (context.group)
        text.replace(QStringLiteral("%c"), QString::number(context.group->rows.size()));
    return text;
}

Band Paginator::measure(const PreparedSection &prepared, const Context &context) const
{
    Band band;
    if (!prepared.section)
        return band;
    const Section &section = *prepared.section;
    const QList<Item> &items = section.items();
    QList<std::optional<PlacedItem>> placed(items.size());
    QList<double> bottoms(items.size(), 0.0);
    double height = section.height();

    for (int i = 0; i < items.size(); ++i) {
        const Item &item = items[i];
        if (!item.isText())
            continue;
        PlacedItem p;
        p.kind = PlacedItem::Kind::Text;
        p.section = section.name();
        p.name = item.name;
        p.style = item.style;
        p.text = item.kind == Item::Kind::Label
                     ? item.text
                     : formatValue(fieldValue(item, prepared.columns[i], context), item.format);
        if (context.page > 0 && p.text.contains(u"%p"))
            p.text.replace(QStringLiteral("%p"), QString::number(context.page));
        if (item.kind == Item::Kind::Label)
            p.text = fillLabel(p.text, context);
        p.lineHeight = lineHeight(item.style);
        p.lines = item.wrap ? breakLines(p.text, item.rect.width(), item.style)
                            : (p.text.isEmpty() ? QStringList() : QStringList{p.text});
        double top = item.rect.top();
        if (const int anchor = prepared.anchors[i]; anchor >= 0)
            top = bottoms[anchor] + (item.rect.top() - items[anchor].rect.bottom());
        const double textHeight =
            std::max(item.rect.height(), double(p.lines.size()) * p.lineHeight);
        p.rect = QRectF(item.rect.left(), top, item.rect.width(), textHeight);
        bottoms[i] = p.rect.bottom();
        height = std::max(height,
                          p.rect.bottom() + std::max(0.0, section.height() - item.rect.bottom()));
        placed[i] = p;
    }

    const double growth = height - section.height();
    for (int i = 0; i < items.size(); ++i) {
        const Item &item = items[i];
        if (item.isText())
            continue;
        PlacedItem p;
        p.kind = item.kind == Item::Kind::Line ? PlacedItem::Kind::Line : PlacedItem::Kind::Frame;
        p.section = section.name();
        p.name = item.name;
        p.penWidth = item.penWidth;
        p.penColor = item.penColor;
        QRectF r = item.rect;
        if (item.followsGrowth && growth > 0) {
            const bool frame = item.kind == Item::Kind::Frame;
            if (!frame && qFuzzyCompare(r.top() + 1, r.bottom() + 1)) {
                r.translate(0, growth); // a rule under the text moves down with it
            } else if (frame || r.bottom() > r.top()) {
                r.setBottom(r.bottom() + growth); // a frame or a column rule grows
            } else {
                r.setTop(r.top() + growth);
            }
        }
        p.rect = r;
        placed[i] = p;
    }
    for (const auto &p : placed) {
        if (p)
            band.items << *p;
    }
    band.height = height;
    return band;
}

// Cuts a band that is taller than a page can hold: what lies above the cut
// stays, text lines below it and everything under it go on.
std::pair<Band, Band> Paginator::split(const Band &band, double at)
{
    auto linesThatFit = [at](const PlacedItem &item) {
        return item.lineHeight > 0 ? int((at - item.rect.top()) / item.lineHeight + 1e-6)
                                   : int(item.lines.size());
    };
    auto crosses = [at](const PlacedItem &item) {
        return item.rect.bottom() > at + 1e-6 && item.rect.top() < at - 1e-6;
    };
    // What goes on starts at the first line that did not fit, so that the
    // texts keep their places to one another (a second party stays under
    // the last line of the first).
    double from = at;
    for (const PlacedItem &item : band.items) {
        if (item.kind == PlacedItem::Kind::Text && crosses(item)) {
            const int fit = std::max(linesThatFit(item), 0);
            if (fit < item.lines.size())
                from = std::min(from, item.rect.top() + fit * item.lineHeight);
        }
    }

    Band first;
    Band rest;
    first.height = at;
    for (const PlacedItem &item : band.items) {
        if (item.rect.bottom() <= at + 1e-6) {
            first.items << item;
            continue;
        }
        if (item.rect.top() >= at - 1e-6) {
            PlacedItem moved = item;
            moved.rect.translate(0, -from);
            rest.items << moved;
            continue;
        }
        if (item.kind == PlacedItem::Kind::Text) {
            const int fit = linesThatFit(item);
            if (fit <= 0) {
                PlacedItem moved = item;
                moved.rect.translate(0, -from);
                rest.items << moved;
                continue;
            }
            PlacedItem head = item;
            head.lines = item.lines.mid(0, fit);
            head.rect.setBottom(at);
            first.items << head;
            if (fit < item.lines.size()) {
                PlacedItem tail = item;
                tail.lines = item.lines.mid(fit);
                tail.rect = QRectF(item.rect.left(), item.rect.top() + fit * item.lineHeight - from,
                                   item.rect.width(), double(tail.lines.size()) * item.lineHeight);
                rest.items << tail;
            }
            continue;
        }
        // Rules and frames crossing the cut are drawn on both sides of it.
        PlacedItem head = item;
        head.rect.setBottom(at);
        first.items << head;
        PlacedItem tail = item;
        tail.rect.setTop(std::max(0.0, at - from));
        tail.rect.setBottom(item.rect.bottom() - from);
        rest.items << tail;
    }
    double restHeight = band.height - from;
    for (const PlacedItem &item : rest.items)
        restHeight = std::max(restHeight, item.rect.bottom());
    rest.height = restHeight;
    return {first, rest};
}

void Paginator::put(const Band &band)
{
    for (PlacedItem item : band.items) {
        item.rect.translate(m_area.left(), m_area.top() + m_y);
        m_page.items << item;
    }
    m_y += band.height;
}

void Paginator::openPage()
{
    m_page = ReportPage();
    m_page.number = int(m_document.pages.size()) + 1;
    m_y = 0;
    m_bodyOnPage = false;
    Context context;
    context.page = m_page.number;
    const Band footer = measure(m_pageFooter, context);
    m_limit = m_area.height() - footer.height;
}

void Paginator::startPage()
{
    openPage();
    if (m_page.number == 1) {
        // A report header taller than the page (a party name of thousands of
        // characters in the heading) runs on over as many pages as it needs,
        // rather than past the foot of the first.
        Band header = measure(m_reportHeader, Context{-1, nullptr, 1});
        while (header.height > room() + 1e-6) {
            auto [first, rest] = split(header, std::max(room(), 0.0));
            if (first.items.isEmpty())
                break;
            put(first);
            finishPage();
            openPage();
            header = rest;
        }
        put(header);
    }
    Context context;
    context.page = m_page.number;
    const double before = m_y;
    put(measure(m_pageHeader, context));
    m_headerHeight = m_y - before;
    if (m_openGroupHeader)
        put(*m_openGroupHeader);
}

void Paginator::finishPage()
{
    Context context;
    context.page = m_page.number;
    const Band footer = measure(m_pageFooter, context);
    m_y = m_area.height() - footer.height;
    put(footer);
    m_document.pages << m_page;
}

void Paginator::flow(Band band, bool isBody)
{
    if (band.height > room() && m_bodyOnPage) {
        finishPage();
        startPage();
    }
    while (band.height > room() + 1e-6) {
        auto [first, rest] = split(band, std::max(room(), 0.0));
        if (first.items.isEmpty() && !m_bodyOnPage) {
            break; // not even one line fits on an empty page: let it run over
        }
        put(first);
        finishPage();
        startPage();
        band = rest;
    }
    put(band);
    m_bodyOnPage = m_bodyOnPage || isBody;
}

ReportDocument Paginator::run()
{
    m_document.title = m_layout.caption();
    m_document.pageSize = m_layout.pageSize();
    m_document.orientation = m_layout.orientation();

    startPage();
    int serial = 0;
    for (const ResultGroup &group : m_data.groups()) {
        Context groupContext;
        groupContext.group = &group;

        std::optional<Band> firstRow;
        if (!group.rows.isEmpty()) {
            Context rowContext;
            rowContext.row = group.rows.first();
            rowContext.serial = serial + 1;
            firstRow = measure(m_detail, rowContext);
        }
        if (m_groupHeader.section && m_data.isGrouped()) {
            const Band header = measure(m_groupHeader, groupContext);
            // A group header goes to the next page rather than stand alone at the foot.
            const double next =
                firstRow ? firstRow->height : measure(m_groupFooter, groupContext).height;
            const double needed =
                header.height + std::min(next, std::max(0.0, freshRoom() - header.height));
            if (needed > room() && m_bodyOnPage) {
                finishPage();
                startPage();
            }
            flow(header);
            if (m_layout.repeatsGroupHeader()) {
                // Repeated above the rows that run on, a header keeps to a
                // quarter of the page, so that a very long one leaves room for
                // the rows it heads.
                const double most = freshRoom() / 4;
                m_openGroupHeader = header.height > most ? split(header, most).first : header;
            }
        }
        for (int i = 0; i < group.rows.size(); ++i) {
            ++serial;
            if (i == 0 && firstRow) {
                flow(*firstRow);
                continue;
            }
            Context rowContext;
            rowContext.row = group.rows[i];
            rowContext.serial = serial;
            flow(measure(m_detail, rowContext));
        }
        if (m_groupFooter.section && m_data.isGrouped())
            flow(measure(m_groupFooter, groupContext));
        m_openGroupHeader.reset();
    }
    if (m_reportFooter.section)
        flow(measure(m_reportFooter, Context()));
    finishPage();

    const QString count = QString::number(m_document.pages.size());
    for (ReportPage &page : m_document.pages) {
        for (PlacedItem &item : page.items) {
            if (item.kind == PlacedItem::Kind::Text && item.text.contains(u"%P")) {
                item.text.replace(QStringLiteral("%P"), count);
                for (QString &line : item.lines)
                    line.replace(QStringLiteral("%P"), count);
            }
        }
    }
    return m_document;
}

} // namespace

ReportDocument layOut(const ReportLayout &layout, const ReportData &data)
{
    return Paginator(layout, data).run();
}

} // namespace lexordo::report
