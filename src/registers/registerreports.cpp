#include "registerreports.h"

#include <data/recordset.h>

namespace lexordo {

using report::ReportLayout;
using report::Section;
using report::SectionKind;
using report::TextStyle;

namespace {

constexpr double width = report::a4PrintableWidth;
constexpr double textHeight = 4.5;

struct Column
{
    QString title;
    QString field; // as the report names it
    double x;
    double w;
};

const QList<Column> &clientColumns()
{
    static const QList<Column> columns{
        {QStringLiteral("Client Name"), QStringLiteral("acname"), 0, 96},
        {QStringLiteral("Phone No."), QStringLiteral("phoneno"), 98, 50},
        {QStringLiteral("File No"), QStringLiteral("Fileno"), 150, 36},
    };
    return columns;
}

} // namespace

ReportLayout clientReportLayout()
{
    ReportLayout layout(QStringLiteral("drClientReport"));
    layout.setCaption(QStringLiteral("Case Report"));

    layout.addSection(SectionKind::ReportHeader, QStringLiteral("Section1"), 16)
        .label(QStringLiteral("Clients Report"), QRectF(58, 3, 70, 8),
               TextStyle().size(15).strong().align(Qt::AlignHCenter))
        .frame(QRectF(55, 1, 76, 12), 0.4);

    Section &header = layout.addSection(SectionKind::PageHeader, QStringLiteral("PageHeader"), 8);
    Section &detail = layout.addSection(SectionKind::Detail, QStringLiteral("Detail"), 6);
    for (const Column &c : clientColumns()) {
        header.label(c.title, QRectF(c.x + 1, 1.5, c.w - 2, textHeight), TextStyle().strong());
        detail.field(c.field, QRectF(c.x + 1, 0.8, c.w - 2, textHeight));
    }
    header.line(QLineF(0, 0.5, width, 0.5), 0.4).line(QLineF(0, 7.5, width, 7.5), 0.4);
    detail.line(QLineF(0, 6, width, 6), 0.15, QColor(150, 150, 150)).followGrowth();
    for (const Column &c : clientColumns().mid(1)) {
        header.line(QLineF(c.x - 1, 0.5, c.x - 1, 7.5), 0.25);
        detail.line(QLineF(c.x - 1, 0, c.x - 1, 6), 0.15, QColor(150, 150, 150)).followGrowth();
    }

    layout.addSection(SectionKind::PageFooter, QStringLiteral("PageFooter"), 8)
        .label(QStringLiteral("%p"), QRectF(width - 30, 2, 30, textHeight),
               TextStyle().align(Qt::AlignRight));
    layout.addSection(SectionKind::ReportFooter, QStringLiteral("Section2"), 0);
    return layout;
}

ResultTable clientReportRows(const RecordSet &clients)
{
    ResultTable table;
    QList<int> sources;
    for (const Column &c : clientColumns()) {
        table.columns << c.field;
        sources << clients.fieldIndex(c.field);
    }
    table.rows.reserve(clients.rowCount());
    for (int row = 0; row < clients.rowCount(); ++row) {
        QVariantList values;
        for (int source : std::as_const(sources))
            values << clients.valueAt(row, source);
        table.rows << values;
    }
    return table;
}

ReportLayout rulingReportLayout(const RulingTexts &ruling)
{
    ReportLayout layout(QStringLiteral("drCourtsOrders"));
    layout.setCaption(QStringLiteral("Ruling"));

    constexpr double captionWidth = 28;
    constexpr double valueX = 32;
    constexpr double valueWidth = width - valueX - 3;
    const TextStyle caption = TextStyle().size(10.5).strong();
    const TextStyle value = TextStyle().size(10.5);
    // Each text stacks under the one before, however many lines that one takes.
    // With no rows the report's footer stands at the head of the first page,
    // and unlike a report header it runs on to further pages: head notes can
    // be long.
    layout.addSection(SectionKind::ReportHeader, QStringLiteral("Section1"), 0);
    Section &block = layout.addSection(SectionKind::ReportFooter, QStringLiteral("Section2"), 52);
    block.label(QStringLiteral("Section:"), QRectF(3, 3, captionWidth, 5), caption)
        .namedLabel(QStringLiteral("lblSec"), QRectF(valueX, 3, valueWidth, 5), value)
        .label(QStringLiteral("Citation:"), QRectF(3, 10, captionWidth, 5), caption)
        .below(QStringLiteral("lblSec"))
        .namedLabel(QStringLiteral("lblCit"), QRectF(valueX, 10, valueWidth, 5), value)
        .below(QStringLiteral("lblSec"))
        .label(QStringLiteral("Court:"), QRectF(3, 17, captionWidth, 5), caption)
        .below(QStringLiteral("lblCit"))
        .namedLabel(QStringLiteral("lblCourt"), QRectF(valueX, 17, valueWidth, 5), value)
        .below(QStringLiteral("lblCit"))
        .label(QStringLiteral("Case Title:"), QRectF(3, 24, captionWidth, 5), caption)
        .below(QStringLiteral("lblCourt"))
        .namedLabel(QStringLiteral("lblCT"), QRectF(valueX, 24, valueWidth, 5), value)
        .below(QStringLiteral("lblCourt"))
        .label(QStringLiteral("Head Notes"), QRectF(3, 33, captionWidth, 5), caption)
        .below(QStringLiteral("lblCT"))
        .named(QStringLiteral("lblHeadNotesCaption"))
        .namedLabel(QStringLiteral("lblHnotes"), QRectF(3, 40, width - 6, 5), value)
        .below(QStringLiteral("lblHeadNotesCaption"))
        .frame(QRectF(0, 0, width, 48), 0.4)
        .followGrowth();

    layout.setLabel(QStringLiteral("Section2"), QStringLiteral("lblSec"), ruling.section);
    layout.setLabel(QStringLiteral("Section2"), QStringLiteral("lblCit"), ruling.citation);
    layout.setLabel(QStringLiteral("Section2"), QStringLiteral("lblCourt"), ruling.court);
    layout.setLabel(QStringLiteral("Section2"), QStringLiteral("lblCT"), ruling.caseTitle);
    layout.setLabel(QStringLiteral("Section2"), QStringLiteral("lblHnotes"), ruling.headNotes);

    layout.addSection(SectionKind::PageFooter, QStringLiteral("PageFooter"), 8)
        .label(QStringLiteral("%p"), QRectF(width - 30, 2, 30, textHeight),
               TextStyle().align(Qt::AlignRight));
    return layout;
}

} // namespace lexordo
