#pragma once

#include "reportdata.h"
#include "reportlayout.h"

#include <QList>
#include <QStringList>

namespace lexordo::report {

// A text, rule or frame in its final place on a page, in millimetres from
// the page's top-left corner. Texts carry their lines as they will print.
struct PlacedItem
{
    enum class Kind { Text, Line, Frame };

    Kind kind = Kind::Text;
    QString section; // the name of the section it came from ("Section3", "PageHeader")
    QString name;    // the label's name or the field's column; empty for fixed texts
    QRectF rect;     // lines: from the top-left to the bottom-right corner
    QString text;    // the whole text
    QStringList lines;
    double lineHeight = 0; // millimetres
    TextStyle style;
    double penWidth = 0;
    QColor penColor;

    QLineF line() const { return QLineF(rect.topLeft(), rect.bottomRight()); }
};

struct ReportPage
{
    int number = 0;
    QList<PlacedItem> items; // in the order they were placed, top to bottom

    // Texts of the page, or of one section, in the order placed.
    QStringList texts(const QString &section = {}) const;
    QList<PlacedItem> textItems(const QString &section = {}) const;
    // The first text of a section with that name (label name or column), case ignored.
    const PlacedItem *find(const QString &section, const QString &name) const;
};

struct ReportDocument
{
    QString title;
    QSizeF pageSize; // millimetres
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    QList<ReportPage> pages;

    int pageCount() const { return int(pages.size()); }
};

// Lays the report out on pages. Text is measured with the fonts the pages
// will be painted with, so what the pages hold is what prints.
ReportDocument layOut(const ReportLayout &layout, const ReportData &data);

// The text a field prints for a value: dates and numbers by the field's
// format, nothing for NULL.
QString formatValue(const QVariant &value, const QString &format);

// Breaks a text into lines no wider than the width (millimetres) in the
// style's font. Words longer than a line are broken where they must be.
QStringList breakLines(const QString &text, double width, const TextStyle &style);
double lineHeight(const TextStyle &style); // millimetres

} // namespace lexordo::report
