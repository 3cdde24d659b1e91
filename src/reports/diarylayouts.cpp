#include "diarylayouts.h"

#include <data/messenger.h>
#include <data/officesettings.h>

namespace lexordo {

using report::ReportLayout;
using report::Section;
using report::SectionKind;
using report::TextStyle;

namespace {

constexpr double width = report::a4PrintableWidth;
constexpr double rowTop = 0.9;
constexpr double textHeight = 4.0;
const QString dateFormat = QStringLiteral("dd/MM/yyyy");
const QColor hairline(150, 150, 150);

TextStyle body()
{
    return TextStyle();
}

TextStyle caption()
{
    return TextStyle().strong();
}

TextStyle heading()
{
    return TextStyle().size(13).strong();
}

TextStyle groupHeading()
{
    return TextStyle().size(10.5).strong();
}

// A column of a table: where it starts and how wide it is.
struct Column
{
    double x;
    double w;
};

// The case number's column of the cause list by next date.
constexpr Column todayCaseNo{63, 26};

void rules(Section &section, double bottom)
{
    section.line(QLineF(0, 0, width, 0), 0.4);
    section.line(QLineF(0, bottom, width, bottom), 0.4);
}

// First party, "Vs." at the end of its first line, second party below.
void parties(Section &section, Column c)
{
    constexpr double vsWidth = 7.0;
    section
        .field(QStringLiteral("party1"), QRectF(c.x, rowTop, c.w - vsWidth - 1, textHeight), body())
        .label(QStringLiteral("Vs."), QRectF(c.x + c.w - vsWidth, rowTop, vsWidth, textHeight),
               TextStyle().slanted())
        .field(QStringLiteral("party2"), QRectF(c.x, rowTop + textHeight, c.w, textHeight), body())
        .below(QStringLiteral("party1"));
}

// A rule under each row, pale, so the eye can follow a row across the page.
void rowRule(Section &section, double y)
{
    section.line(QLineF(0, y, width, y), 0.1, hairline).followGrowth();
}

// The two parties together, "A vs. B", wrapping within the column.
void partiesTogether(Section &section, Column c)
{
    section
        .label(QStringLiteral("{party1} vs. {party2}"), QRectF(c.x, rowTop, c.w - 1, textHeight),
               body())
        .named(QStringLiteral("parties"));
}

// The row's number in the list, for reading the list out in court.
void serialNumber(Section &section, Column c)
{
    section.label(QStringLiteral("%n"), QRectF(c.x, rowTop, c.w, textHeight), body())
        .named(QStringLiteral("serial"));
}

// The report header, with the office's name above the report's own heading
// when it is set; `below` is where the heading then starts.
Section &headerWithOffice(ReportLayout &layout, double height, double &below)
{
    const QString name = office::advocateName();
    below = name.isEmpty() ? 0 : 9;
    Section &header =
        layout.addSection(SectionKind::ReportHeader, QStringLiteral("Section1"), height + below);
    if (!name.isEmpty()) {
        header
            .namedLabel(QStringLiteral("lblOffice"), QRectF(0, 1, width, 7),
                        TextStyle().size(14).strong().align(Qt::AlignHCenter), name)
            .singleLine();
    }
    return header;
}

// The list's day and the page among the pages, at the foot of every page.
void causeListFooter(ReportLayout &layout, const QString &dateColumn)
{
    layout.addSection(SectionKind::PageFooter, QStringLiteral("PageFooter"), 8)
        .field(dateColumn, QRectF(0, 3.5, 40, textHeight), body(), dateFormat)
        .label(QStringLiteral("Page %p of %P"), QRectF(width - 50, 3.5, 50, textHeight),
               TextStyle().align(Qt::AlignRight));
}

void pageFooter(ReportLayout &layout)
{
    layout.addSection(SectionKind::PageFooter, QStringLiteral("PageFooter"), 8)
        .label(QStringLiteral("%p"), QRectF(0, 3.5, width, textHeight),
               TextStyle().align(Qt::AlignHCenter));
}

void holidayNote(ReportLayout &layout, bool withCaption)
{
    Section &footer = layout.addSection(SectionKind::ReportFooter, QStringLiteral("Section2"), 9);
    if (withCaption) {
        footer.label(QStringLiteral("Note:  "), QRectF(1, 4, 14, textHeight), caption())
            .namedLabel(QStringLiteral("lblHdays"), QRectF(15, 4, width - 16, textHeight), body());
    } else {
        footer.namedLabel(QStringLiteral("lblHdays"), QRectF(1, 4, width - 2, textHeight), body());
    }
}

// The diary of several days and the hearings without a next date share
// one layout: a group per current date.
ReportLayout datesLayout(const QString &name, const QString &windowCaption)
{
    ReportLayout layout(name);
    layout.setCaption(windowCaption);
    layout.setRepeatGroupHeader(true);

    // The advocate's name heads the diary as it heads the cause list.
    double y = 0;
    headerWithOffice(layout, 18, y)
        .frame(QRectF(30, 1 + y, 126, 12), 0.5)
        .label(QStringLiteral("Case Dates between"), QRectF(34, 3.6 + y, 50, 7), heading())
        .singleLine()
        .namedLabel(QStringLiteral("lblDate1"), QRectF(85, 3.6 + y, 29, 7), heading())
        .singleLine()
        .label(QStringLiteral("and"), QRectF(115, 3.6 + y, 10, 7), heading())
        .singleLine()
        .namedLabel(QStringLiteral("lblDate2"), QRectF(126, 3.6 + y, 29, 7), heading())
        .singleLine();

    const Column prev{1, 20}, court{22, 36}, caseNo{59, 28}, party{88, 52}, fixed{141, 26},
        next{168, 18};
    Section &header = layout.addSection(SectionKind::PageHeader, QStringLiteral("PageHeader"), 13);
    rules(header, 11.6);
    header.label(QStringLiteral("Date"), QRectF(1, 1.2, 60, textHeight), caption())
        .label(QStringLiteral("Prev Date"), QRectF(prev.x, 6.4, prev.w, textHeight), caption())
        .label(QStringLiteral("Courts Name"), QRectF(court.x, 6.4, court.w, textHeight), caption())
        .label(QStringLiteral("Case No."), QRectF(caseNo.x, 6.4, caseNo.w, textHeight), caption())
        .label(QStringLiteral("Parties"), QRectF(party.x, 6.4, party.w, textHeight), caption())
        .label(QStringLiteral("Fixed For"), QRectF(fixed.x, 6.4, fixed.w, textHeight), caption())
        .label(QStringLiteral("Next Date"), QRectF(next.x, 6.4, next.w, textHeight), caption());

    layout.addSection(SectionKind::GroupHeader, QStringLiteral("Section3"), 7.5)
        .field(QStringLiteral("cdate"), QRectF(1, 1.8, 60, 5), groupHeading(), dateFormat)
        .line(QLineF(0, 7.2, width, 7.2), 0.2);

    Section &detail =
        layout.addSection(SectionKind::Detail, QStringLiteral("cmAdvocate_Detail"), 9.8);
    detail
        .field(QStringLiteral("pdate"), QRectF(prev.x, rowTop, prev.w, textHeight), body(),
               dateFormat)
        .field(QStringLiteral("courtname"), QRectF(court.x, rowTop, court.w - 1, textHeight),
               body())
        .field(QStringLiteral("caseno"), QRectF(caseNo.x, rowTop, caseNo.w - 1, textHeight), body())
        .field(QStringLiteral("fixedfor"), QRectF(fixed.x, rowTop, fixed.w - 1, textHeight), body())
        .field(QStringLiteral("ndate"), QRectF(next.x, rowTop, next.w, textHeight), body(),
               dateFormat);
    parties(detail, party);
    rowRule(detail, 9.8);

    layout.addSection(SectionKind::GroupFooter, QStringLiteral("Section4"), 2);
    pageFooter(layout);
    holidayNote(layout, true);
    return layout;
}

} // namespace

ReportLayout singleDateLayout()
{
    ReportLayout layout(QStringLiteral("drSingleDate"));
    layout.setCaption(QStringLiteral("Printing The Cases Report"));
    layout.setFileName(QStringLiteral("cause-list"));
    layout.setRepeatGroupHeader(true);

    double y = 0;
    Section &top = headerWithOffice(layout, 18, y);
    top.frame(QRectF(48, 1 + y, 90, 12), 0.5)
        .label(QStringLiteral("Date:"), QRectF(52, 3.6 + y, 14, 7), heading())
        .singleLine()
        .namedLabel(QStringLiteral("lblDate1"), QRectF(66, 3.6 + y, 28, 7), heading())
        .singleLine()
        .namedLabel(QStringLiteral("lblDay"), QRectF(95, 3.6 + y, 41, 7), heading())
        .singleLine();

    // The next date, and beside it what the case is fixed for on that date.
    const Column serial{1, 8}, prev{10, 19}, caseNo{30, 28}, party{59, 55}, fixed{115, 28},
        next{144, 42};
    constexpr double nextDateWidth = 18;
    Section &header = layout.addSection(SectionKind::PageHeader, QStringLiteral("PageHeader"), 13);
    rules(header, 11.6);
    header.label(QStringLiteral("Court Name"), QRectF(1, 1.2, 80, textHeight), caption())
        .label(QStringLiteral("Sr."), QRectF(serial.x, 6.4, serial.w, textHeight), caption())
        .label(QStringLiteral("Prev Date"), QRectF(prev.x, 6.4, prev.w, textHeight), caption())
        .label(QStringLiteral(" Case No."), QRectF(caseNo.x, 6.4, caseNo.w, textHeight), caption())
        .label(QStringLiteral("Parties"), QRectF(party.x, 6.4, party.w, textHeight), caption())
        .label(QStringLiteral("Fixed For"), QRectF(fixed.x, 6.4, fixed.w, textHeight), caption())
        .label(QStringLiteral("Next Date/Fixed For"), QRectF(next.x, 6.4, next.w, textHeight),
               caption());

    // The court, and how many of the day's hearings are before it.
    layout.addSection(SectionKind::GroupHeader, QStringLiteral("Section3"), 7.5)
        .field(QStringLiteral("courtname"), QRectF(1, 1.8, width - 42, 5), groupHeading())
        .label(QStringLiteral("Hearings: %c"), QRectF(width - 40, 1.8, 39, 5),
               TextStyle().size(10.5).align(Qt::AlignRight))
        .named(QStringLiteral("lblCount"))
        .singleLine()
        .line(QLineF(0, 7.2, width, 7.2), 0.2)
        .followGrowth();

    Section &detail =
        layout.addSection(SectionKind::Detail, QStringLiteral("cmAdvocate_Detail"), 9.8);
    serialNumber(detail, serial);
    detail
        .field(QStringLiteral("pdate"), QRectF(prev.x, rowTop, prev.w, textHeight), body(),
               dateFormat)
        .field(QStringLiteral("caseno"), QRectF(caseNo.x, rowTop, caseNo.w - 1, textHeight),
               body());
    partiesTogether(detail, party);
    detail
        .field(QStringLiteral("fixedfor"), QRectF(fixed.x, rowTop, fixed.w - 1, textHeight), body())
        .field(QStringLiteral("ndate"), QRectF(next.x, rowTop, nextDateWidth, textHeight), body(),
               dateFormat)
        .field(QStringLiteral("fixedforN"),
               QRectF(next.x + nextDateWidth + 1, rowTop, next.w - nextDateWidth - 1, textHeight),
               body());
    rowRule(detail, 9.8);

    // Drawn over the rule under the group's last row.
    layout.addSection(SectionKind::GroupFooter, QStringLiteral("Section4"), 2.5)
        .line(QLineF(0, 0, width, 0), 0.5);
    causeListFooter(layout, QStringLiteral("cdate"));
    holidayNote(layout, true);
    return layout;
}

void askAdvocateNameOnce()
{
    static bool asked = false;
    if (asked || !office::advocateName().isEmpty())
        return;
    asked = true;
    const std::optional<QString> name =
        askInput(QStringLiteral("The advocate's name, printed at the head of the cause lists:"),
                 QStringLiteral("Advocate's Name"));
    if (name && !name->trimmed().isEmpty())
        office::setAdvocateName(*name);
}

ReportLayout manyDatesLayout()
{
    ReportLayout layout =
        datesLayout(QStringLiteral("drManyDates"), QStringLiteral("Printing The Cases Report"));
    layout.setFileName(QStringLiteral("diary"));
    return layout;
}

ReportLayout nextBlankLayout()
{
    ReportLayout layout =
        datesLayout(QStringLiteral("drNextBlank"), QStringLiteral("Next Dates Left Blank"));
    layout.setFileName(QStringLiteral("blank-next-dates"));
    return layout;
}

ReportLayout todayRepoLayout()
{
    ReportLayout layout(QStringLiteral("drTodayRepo"));
    layout.setCaption(QStringLiteral("Next Dates Reports"));
    layout.setFileName(QStringLiteral("cause-list-by-next-date"));

    double y = 0;
    Section &top = headerWithOffice(layout, 18, y);
    top.frame(QRectF(62, 1 + y, 62, 12), 0.5)
        .label(QStringLiteral("Date : "), QRectF(66, 3.6 + y, 19, 7), heading())
        .singleLine()
        .namedLabel(QStringLiteral("lbldate"), QRectF(85, 3.6 + y, 36, 7), heading())
        .singleLine();

    const Column serial{1, 8}, prev{10, 19}, court{30, 32}, caseNo{todayCaseNo}, party{90, 50},
        fixed{141, 26}, next{168, 18};
    Section &header = layout.addSection(SectionKind::PageHeader, QStringLiteral("PageHeader"), 8);
    rules(header, 6.6);
    header.label(QStringLiteral("Sr."), QRectF(serial.x, 1.4, serial.w, textHeight), caption())
        .label(QStringLiteral("Prev Date"), QRectF(prev.x, 1.4, prev.w, textHeight), caption())
        .label(QStringLiteral("Courts Name"), QRectF(court.x, 1.4, court.w, textHeight), caption())
        .label(QStringLiteral("Case No."), QRectF(caseNo.x, 1.4, caseNo.w, textHeight), caption())
        .label(QStringLiteral("Parties"), QRectF(party.x, 1.4, party.w, textHeight), caption())
        .label(QStringLiteral("Fixed For"), QRectF(fixed.x, 1.4, fixed.w, textHeight), caption())
        .label(QStringLiteral("Next Date"), QRectF(next.x, 1.4, next.w, textHeight), caption());

    // Seen from the listed day, a hearing's current date is its previous
    // date; the next date is left blank to be written in court.
    Section &detail =
        layout.addSection(SectionKind::Detail, QStringLiteral("cmAdvocate_Detail"), 9.8);
    serialNumber(detail, serial);
    detail
        .field(QStringLiteral("cdate"), QRectF(prev.x, rowTop, prev.w, textHeight), body(),
               dateFormat)
        .field(QStringLiteral("courtname"), QRectF(court.x, rowTop, court.w - 1, textHeight),
               body())
        .field(QStringLiteral("caseno"), QRectF(caseNo.x, rowTop, caseNo.w - 1, textHeight),
               body());
    partiesTogether(detail, party);
    detail.field(QStringLiteral("fixedforN"), QRectF(fixed.x, rowTop, fixed.w - 1, textHeight),
                 body());
    rowRule(detail, 9.8);

    causeListFooter(layout, QStringLiteral("ndate"));
    holidayNote(layout, false);
    return layout;
}

void addCourtItems(ReportLayout &layout)
{
    const Column caseNo = todayCaseNo;
    if (Section *detail = layout.section(QStringLiteral("cmAdvocate_Detail")))
        detail
            ->field(QStringLiteral("courtitem"),
                    QRectF(caseNo.x, rowTop + textHeight, caseNo.w - 1, textHeight), body())
            .below(QStringLiteral("caseno"));
}

ReportLayout casesLayout()
{
    ReportLayout layout(QStringLiteral("drCases"));
    layout.setCaption(QStringLiteral("Case Report"));
    layout.setFileName(QStringLiteral("case-report"));

    layout.addSection(SectionKind::ReportHeader, QStringLiteral("Section1"), 18)
        .frame(QRectF(0, 1, width, 12), 0.5)
        .followGrowth()
        .namedLabel(QStringLiteral("lblHEAD"), QRectF(4, 3.6, 27, 7), heading())
        .singleLine()
        .namedLabel(QStringLiteral("lblParties"), QRectF(31, 3.6, width - 35, 7), heading());

    const Column cdate{1, 19}, court{21, 32}, caseNo{54, 26}, fixed{81, 26}, next{108, 19},
        prev{128, 19}, remarks{148, 38};
    Section &header = layout.addSection(SectionKind::PageHeader, QStringLiteral("PageHeader"), 8);
    rules(header, 6.6);
    header.label(QStringLiteral("C. Date"), QRectF(cdate.x, 1.4, cdate.w, textHeight), caption())
        .label(QStringLiteral("Courts Name"), QRectF(court.x, 1.4, court.w, textHeight), caption())
        .label(QStringLiteral("Case No."), QRectF(caseNo.x, 1.4, caseNo.w, textHeight), caption())
        .label(QStringLiteral("Fixed For"), QRectF(fixed.x, 1.4, fixed.w, textHeight), caption())
        .label(QStringLiteral("Next Date"), QRectF(next.x, 1.4, next.w, textHeight), caption())
        .label(QStringLiteral("Prev Date"), QRectF(prev.x, 1.4, prev.w, textHeight), caption())
        .label(QStringLiteral("Remarks"), QRectF(remarks.x, 1.4, remarks.w, textHeight), caption());

    Section &detail =
        layout.addSection(SectionKind::Detail, QStringLiteral("cmAdvocate_Detail"), 6);
    detail
        .field(QStringLiteral("cdate"), QRectF(cdate.x, rowTop, cdate.w, textHeight), body(),
               dateFormat)
        .field(QStringLiteral("courtname"), QRectF(court.x, rowTop, court.w - 1, textHeight),
               body())
        .field(QStringLiteral("caseno"), QRectF(caseNo.x, rowTop, caseNo.w - 1, textHeight), body())
        .field(QStringLiteral("fixedfor"), QRectF(fixed.x, rowTop, fixed.w - 1, textHeight), body())
        .field(QStringLiteral("pdate"), QRectF(prev.x, rowTop, prev.w, textHeight), body(),
               dateFormat)
        .field(QStringLiteral("ndate"), QRectF(next.x, rowTop, next.w, textHeight), body(),
               dateFormat)
        .field(QStringLiteral("remarks"), QRectF(remarks.x, rowTop, remarks.w, textHeight), body());
    rowRule(detail, 6);

    pageFooter(layout);
    layout.addSection(SectionKind::ReportFooter, QStringLiteral("Section2"), 0);
    return layout;
}

} // namespace lexordo
