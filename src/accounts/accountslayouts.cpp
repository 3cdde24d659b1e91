#include "accountslayouts.h"

namespace lexordo {

using report::ReportLayout;
using report::Section;
using report::SectionKind;
using report::TextStyle;

namespace {

constexpr double width = report::a4PrintableWidth;
constexpr double textHeight = 5.0;
const QString amountFormat = QStringLiteral("0.00");
const QString dateFormat = QStringLiteral("dd/MM/yyyy");

TextStyle body()
{
    return TextStyle().size(10.5);
}

TextStyle caption()
{
    return TextStyle().size(10.5).strong();
}

TextStyle right()
{
    return TextStyle().size(10.5).align(Qt::AlignRight);
}

TextStyle title(double points)
{
    return TextStyle().size(points).strong().align(Qt::AlignHCenter);
}

void pageFooter(ReportLayout &layout)
{
    layout.addSection(SectionKind::PageFooter, QStringLiteral("PageFooter"), 8)
        .label(QStringLiteral("%p"), QRectF(0, 3, width, 4), TextStyle().align(Qt::AlignHCenter));
}

} // namespace

// --- the bill ----------------------------------------------------------------------------

report::ReportLayout billReport(const BillSheet &bill)
{
    ReportLayout layout(QStringLiteral("drBill"));
    layout.setCaption(QStringLiteral("Billling"));

    constexpr double tableTop = 56;
    constexpr double rowHeight = 8;
    constexpr double amountX = 146, amountW = 38;
    Section &header = layout.addSection(SectionKind::ReportHeader, QStringLiteral("Section1"), 200);
    header.label(QStringLiteral("BILL"), QRectF(0, 2, width, 10), title(18))
        .named(QStringLiteral("Label8"))
        .label(QStringLiteral("No."), QRectF(0, 18, 10, textHeight), caption())
        .named(QStringLiteral("Label4"))
        .namedLabel(QStringLiteral("lblNo"), QRectF(11, 18, 40, textHeight), body(), bill.number)
        .label(QStringLiteral("Date :"), QRectF(128, 18, 16, textHeight), caption())
        .named(QStringLiteral("lblDate1"))
        .namedLabel(QStringLiteral("lblDate"), QRectF(145, 18, 41, textHeight), body(), bill.date)
        .label(QStringLiteral("To"), QRectF(0, 28, 10, textHeight), caption())
        .named(QStringLiteral("Label6"))
        .namedLabel(QStringLiteral("lblTo1"), QRectF(11, 28, 110, textHeight), body(), bill.to)
        .namedLabel(QStringLiteral("lblTo2"), QRectF(11, 34, 110, textHeight), body(), bill.address)
        .below(QStringLiteral("lblTo1"))
        .label(QStringLiteral("Ref:"), QRectF(0, 46, 10, textHeight), caption())
        .named(QStringLiteral("Label9"))
        .namedLabel(QStringLiteral("lblRef"), QRectF(11, 46, 175, textHeight), body(),
                    bill.reference)
        .below(QStringLiteral("lblTo2"));

    header.frame(QRectF(0, tableTop, width, rowHeight * 9 + 2), 0.4)
        .line(QLineF(0, tableTop + rowHeight, width, tableTop + rowHeight), 0.3)
        .line(QLineF(16, tableTop, 16, tableTop + rowHeight * 9 + 2), 0.2)
        .line(QLineF(amountX - 2, tableTop, amountX - 2, tableTop + rowHeight * 9 + 2), 0.2)
        .label(QStringLiteral("S.No."), QRectF(1.5, tableTop + 1.8, 14, textHeight), caption())
        .named(QStringLiteral("Label11"))
        .label(QStringLiteral("Particulars"), QRectF(18, tableTop + 1.8, 100, textHeight),
               caption())
        .named(QStringLiteral("Label12"))
        .label(QStringLiteral("Amount"), QRectF(amountX, tableTop + 1.8, amountW, textHeight),
               caption().align(Qt::AlignRight))
        .named(QStringLiteral("Label15"));

    // Six lines from the screen and two more that stay empty.
    static const char *const particularNames[] = {"lblp1", "lblp2", "lblp3", "lblP4",
                                                  "lblp5", "lblp6", "lblP7", "lblP8"};
    for (int i = 0; i < 8; ++i) {
        const double y = tableTop + rowHeight * (i + 1) + 2;
        const bool filled = i < 6;
        header
            .namedLabel(QStringLiteral("lblSno%1").arg(i + 1), QRectF(1.5, y, 13, textHeight),
                        body(), filled ? bill.lineNumbers[size_t(i)] : QString())
            .singleLine()
            .namedLabel(QString::fromLatin1(particularNames[i]),
                        QRectF(18, y, amountX - 21, textHeight), body(),
                        filled ? bill.particulars[size_t(i)] : QString())
            .singleLine()
            .namedLabel(QStringLiteral("lblAmt%1").arg(i + 1),
                        QRectF(amountX, y, amountW, textHeight), right(),
                        filled ? bill.amounts[size_t(i)] : QString())
            .singleLine();
    }

    const double totals = tableTop + rowHeight * 9 + 6;
    header.label(QStringLiteral("Total"), QRectF(100, totals, 40, textHeight), caption())
        .named(QStringLiteral("Label44"))
        .namedLabel(QStringLiteral("lblTotal"), QRectF(amountX, totals, amountW, textHeight),
                    right(), bill.total)
        .label(QStringLiteral("Service Tax@"), QRectF(100, totals + 7, 25, textHeight), caption())
        .named(QStringLiteral("Label20"))
        .namedLabel(QStringLiteral("lblSTP"), QRectF(125, totals + 7, 12, textHeight), right(),
                    bill.taxPercent)
        .singleLine()
        .label(QStringLiteral("%"), QRectF(137.5, totals + 7, 5, textHeight), caption())
        .named(QStringLiteral("Label22"))
        .namedLabel(QStringLiteral("lblSTax"), QRectF(amountX, totals + 7, amountW, textHeight),
                    right(), bill.tax)
        .line(QLineF(100, totals + 13.5, width, totals + 13.5), 0.3)
        .label(QStringLiteral("Grand Total"), QRectF(100, totals + 15, 40, textHeight), caption())
        .named(QStringLiteral("Label46"))
        .namedLabel(QStringLiteral("lblGtotal"), QRectF(amountX, totals + 15, amountW, textHeight),
                    right().strong(), bill.grandTotal)
        .label(QStringLiteral("Rs. in Words :"), QRectF(0, totals + 26, 28, textHeight), caption())
        .named(QStringLiteral("Label3"))
        .namedLabel(QStringLiteral("lblInWords"), QRectF(29, totals + 26, width - 29, textHeight),
                    body(), bill.inWords)
        .label(QStringLiteral("E. & O.E."), QRectF(0, totals + 40, 30, textHeight), body())
        .named(QStringLiteral("Label18"))
        .below(QStringLiteral("lblInWords"))
        .label(QStringLiteral("Authorised Signatory"), QRectF(136, totals + 60, 50, textHeight),
               caption().align(Qt::AlignRight))
        .named(QStringLiteral("Label7"))
        .below(QStringLiteral("lblInWords"));

    // ComBill reads no bill: the detail lines stay empty.
    layout.addSection(SectionKind::Detail, QStringLiteral("ComBill_Detail"), 6)
        .field(QStringLiteral("BillNo"), QRectF(0, 0.5, 30, textHeight), body())
        .field(QStringLiteral("BillNo"), QRectF(100, 0.5, 30, textHeight), body());
    pageFooter(layout);
    return layout;
}

// --- the receipt -------------------------------------------------------------------------

QString receiptFigure(const QString &figure)
{
    return QStringLiteral("Rs.") + figure + QStringLiteral("/-");
}

report::ReportLayout receiptReport(const ReceiptSheet &receipt, const QString &advocateName)
{
    ReportLayout layout(QStringLiteral("drReceipt"));
    layout.setCaption(QStringLiteral("Printing Receipt"));

    Section &header = layout.addSection(SectionKind::PageHeader, QStringLiteral("PageHeader"), 125);
    header.frame(QRectF(0, 0, width, 122), 0.5)
        .namedLabel(QStringLiteral("Label1"), QRectF(4, 4, width - 8, 8), title(16), advocateName)
        .label(QStringLiteral("BILL"), QRectF(width - 24, 4, 20, textHeight),
               TextStyle().size(8).align(Qt::AlignRight))
        .named(QStringLiteral("Label7"))
        .label(QStringLiteral("Receipt"), QRectF(4, 14, width - 8, 8), title(14))
        .named(QStringLiteral("Label2"))
        .line(QLineF(60, 22.5, width - 60, 22.5), 0.3)
        .label(QStringLiteral("No."), QRectF(4, 28, 9, textHeight), caption())
        .named(QStringLiteral("Label3"))
        .namedLabel(QStringLiteral("LblNo"), QRectF(14, 28, 40, textHeight), body(), receipt.number)
        .label(QStringLiteral("Date :"), QRectF(130, 28, 15, textHeight), caption())
        .named(QStringLiteral("lblDate1"))
        .namedLabel(QStringLiteral("lblDate"), QRectF(146, 28, 36, textHeight), body(),
                    receipt.date)
        .label(QStringLiteral("Received with thanks from Mr./Mrs."), QRectF(4, 40, 66, textHeight),
               caption())
        .named(QStringLiteral("Label4"))
        .namedLabel(QStringLiteral("lblFrom"), QRectF(71, 40, 111, textHeight), body(),
                    receipt.from)
        .label(QStringLiteral("a sum of Rupees"), QRectF(4, 50, 30, textHeight), caption())
        .named(QStringLiteral("Label5"))
        .namedLabel(QStringLiteral("LblRupees"), QRectF(35, 50, 147, textHeight), body(),
                    receipt.inWords)
        .below(QStringLiteral("lblFrom"))
        .namedLabel(QStringLiteral("lblMode"), QRectF(4, 60, 40, textHeight), caption(),
                    receipt.paymentMode)
        .below(QStringLiteral("LblRupees"))
        .label(QStringLiteral("by cash/Cheque/Draft No."), QRectF(4, 68, 46, textHeight), caption())
        .named(QStringLiteral("Label8"))
        .below(QStringLiteral("lblMode"))
        .namedLabel(QStringLiteral("lblDDNo"), QRectF(51, 68, 36, textHeight), body(),
                    receipt.chequeNo)
        .below(QStringLiteral("lblMode"))
        .label(QStringLiteral("Dated:"), QRectF(89, 68, 13, textHeight), caption())
        .named(QStringLiteral("Label6"))
        .below(QStringLiteral("lblMode"))
        .namedLabel(QStringLiteral("LblDDDate"), QRectF(103, 68, 24, textHeight), body(),
                    receipt.chequeDate)
        .below(QStringLiteral("lblMode"))
        .label(QStringLiteral("Drawn on"), QRectF(129, 68, 18, textHeight), caption())
        .named(QStringLiteral("Label9"))
        .below(QStringLiteral("lblMode"))
        .namedLabel(QStringLiteral("LblDrawnon"), QRectF(148, 68, 34, textHeight), body(),
                    receipt.drawnOn)
        .below(QStringLiteral("lblMode"))
        .label(QStringLiteral("On account of:"), QRectF(4, 78, 28, textHeight), caption())
        .named(QStringLiteral("Label12"))
        .below(QStringLiteral("lblDDNo"))
        .namedLabel(QStringLiteral("lblOnAccount"), QRectF(33, 78, 149, textHeight), body(),
                    receipt.onAccount)
        .below(QStringLiteral("lblDDNo"))
        .frame(QRectF(4, 92, 60, 11), 0.4)
        .namedLabel(QStringLiteral("lblRSFig"), QRectF(6, 94, 56, 7), TextStyle().size(13).strong(),
                    receiptFigure(receipt.figure))
        .singleLine()
        .label(QStringLiteral("Signature"), QRectF(130, 108, 52, textHeight),
               caption().align(Qt::AlignRight));

    // comReceipt's number is not printed: it would be receipt 1's on every receipt.
    layout.addSection(SectionKind::Detail, QStringLiteral("comReceipt_Detail"), 0);
    return layout;
}

// --- the fee statements --------------------------------------------------------------------

bool isBankAccount(const QString &account)
{
    return account.trimmed().toLower() == QStringLiteral("bank");
}

namespace {

// Fields are known by their column (the layout's Text1 ... Text11).
struct FeeColumn
{
    const char *heading;
    const char *headingName;
    const char *field;
    const char *total;
    double x;
    double w;
};

// Date, particulars and the five amounts, with the totals under the amounts.
const FeeColumn feeColumns[] = {
    {"Date", "Label1", "Transdate", nullptr, 0, 22},
    {"Particulars", "Label2", "Part", nullptr, 23, 58},
    {"Legal Fees", "Label3", "Legal Fees", "AgNLFees", 82, 20},
    {"Cout Fees", "lblpaid", "CourtFees", "AgCFees", 103, 20},
    {"Misc. Fees", "Label4", "Misc", "AgMisc", 124, 20},
    {"Received", "lblRec", "Received", "AgRec", 145, 20},
    {"Balance", "Label5", "Balance", "AgBal", 166, 20},
};

// The statement of all accounts names each row's account in a column of
// its own, taken from the particulars' room.
constexpr double accountX = 23, accountW = 27;

void feeSections(ReportLayout &layout, bool withName)
{
    const bool accountColumn = !withName;
    auto place = [accountColumn](const FeeColumn &c) {
        if (accountColumn && QLatin1String(c.field) == QLatin1String("Part"))
            return std::pair{accountX + accountW + 1, c.w - accountW - 1};
        return std::pair{c.x, c.w};
    };
    layout.setRepeatGroupHeader(true);
    Section &group = layout.addSection(SectionKind::GroupHeader, QStringLiteral("GroupHeader"), 16);
    const double headY = 9;
    if (withName) {
        group.label(QStringLiteral("Name :"), QRectF(0, 1.5, 14, textHeight), caption())
            .named(QStringLiteral("lblName"))
            .field(QStringLiteral("Name"), QRectF(15, 1.5, 120, textHeight), caption());
    }
    group.line(QLineF(0, headY - 1, width, headY - 1), 0.3)
        .line(QLineF(0, headY + 6, width, headY + 6), 0.3);
    if (accountColumn) {
        group
            .namedLabel(QStringLiteral("lblAccount"), QRectF(accountX, headY, accountW, textHeight),
                        caption().size(9), QStringLiteral("Name"))
            .singleLine();
    }
    for (const FeeColumn &c : feeColumns) {
        const bool amount = c.total != nullptr;
        const auto [x, w] = place(c);
        group
            .namedLabel(QString::fromLatin1(c.headingName), QRectF(x, headY, w, textHeight),
                        amount ? caption().size(9).align(Qt::AlignRight) : caption().size(9),
                        QString::fromLatin1(c.heading))
            .singleLine();
    }

    Section &detail = layout.addSection(SectionKind::Detail, QStringLiteral("Detail"), 6);
    if (accountColumn) {
        detail.field(QStringLiteral("Name"), QRectF(accountX, 0.5, accountW, textHeight),
                     TextStyle().size(9));
    }
    for (const FeeColumn &c : feeColumns) {
        const bool amount = c.total != nullptr;
        const bool date = QLatin1String(c.field) == QLatin1String("Transdate");
        const auto [x, w] = place(c);
        detail.field(QString::fromLatin1(c.field), QRectF(x, 0.5, w, textHeight),
                     amount ? TextStyle().size(9).align(Qt::AlignRight) : TextStyle().size(9),
                     amount ? amountFormat : (date ? dateFormat : QString()));
    }

    Section &footer =
        layout.addSection(SectionKind::GroupFooter, QStringLiteral("GroupFooter"), 10);
    footer.line(QLineF(82, 0.5, width, 0.5), 0.3);
    for (const FeeColumn &c : feeColumns) {
        if (!c.total)
            continue;
        footer.field(QString::fromLatin1(c.total), QRectF(c.x, 1.5, c.w, textHeight),
                     TextStyle().size(9).strong().align(Qt::AlignRight), amountFormat);
    }
    pageFooter(layout);
}

} // namespace

report::ReportLayout transFeesReport(const QString &account)
{
    ReportLayout layout(QStringLiteral("drTransFees"));
    layout.setCaption(QStringLiteral("Report Priting for Fees"));
    layout.addSection(SectionKind::PageHeader, QStringLiteral("PageHeader"), 14)
        .label(QStringLiteral("Accounts Deatails"), QRectF(0, 2, width, 8), title(14))
        .named(QStringLiteral("Label13"));
    feeSections(layout, true);
    if (isBankAccount(account)) {
        layout.setLabel(QStringLiteral("GroupHeader"), QStringLiteral("lblRec"),
                        QStringLiteral("Withdrawn"));
        layout.setLabel(QStringLiteral("GroupHeader"), QStringLiteral("lblpaid"),
                        QStringLiteral("Deposited"));
    }
    return layout;
}

report::ReportLayout transAnnualReport(const QString &from, const QString &to)
{
    ReportLayout layout(QStringLiteral("drTransAnnual"));
    layout.setCaption(QStringLiteral("Report Priting for Fees"));
    layout.addSection(SectionKind::PageHeader, QStringLiteral("PageHeader"), 20)
        .label(QStringLiteral("Accounts Deatails"), QRectF(0, 2, width, 8), title(14))
        .named(QStringLiteral("Label13"))
        .label(QStringLiteral("From :"), QRectF(50, 12, 14, textHeight), caption())
        .named(QStringLiteral("Label6"))
        .namedLabel(QStringLiteral("lblFrom"), QRectF(65, 12, 30, textHeight), body(), from)
        .label(QStringLiteral("TO:"), QRectF(100, 12, 9, textHeight), caption())
        .named(QStringLiteral("Label7"))
        .namedLabel(QStringLiteral("lblTo"), QRectF(110, 12, 30, textHeight), body(), to);
    feeSections(layout, false);
    // Each group is one financial year of the period.
    layout.section(QStringLiteral("GroupHeader"))
        ->label(QStringLiteral("Financial Year"), QRectF(0, 1, 30, textHeight), caption())
        .named(QStringLiteral("lblYear"))
        .field(QStringLiteral("Gr"), QRectF(31, 1, 40, textHeight), caption());
    return layout;
}

} // namespace lexordo
