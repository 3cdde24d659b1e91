#pragma once

#include <QColor>
#include <QFont>
#include <QLineF>
#include <QList>
#include <QMarginsF>
#include <QPageLayout>
#include <QRectF>
#include <QSizeF>
#include <QString>

namespace lexordo::report {

// Millimetres of the printable width of A4 portrait inside the layouts' usual
// 12 mm margins.
inline constexpr double a4PrintableWidth = 186.0;

// The declaration of a printed report: sections by name, each holding its
// items with their place in millimetres from the section's top-left corner.
// A layout is declared once and laid out on pages for every set of rows.

enum class SectionKind {
    ReportHeader, // once, at the top of the first page
    PageHeader,   // at the top of every page
    GroupHeader,  // before the rows of each group
    Detail,       // once per row
    GroupFooter,  // after the rows of each group
    PageFooter,   // at the foot of every page
    ReportFooter, // once, after the last row
};

struct TextStyle
{
    QString family = QStringLiteral("Liberation Serif");
    double pointSize = 9.5;
    bool bold = false;
    bool italic = false;
    Qt::Alignment alignment = Qt::AlignLeft;
    QColor color = Qt::black;

    TextStyle &size(double points)
    {
        pointSize = points;
        return *this;
    }
    TextStyle &strong()
    {
        bold = true;
        return *this;
    }
    TextStyle &slanted()
    {
        italic = true;
        return *this;
    }
    TextStyle &align(Qt::Alignment a)
    {
        alignment = a;
        return *this;
    }
    TextStyle &inColor(const QColor &c)
    {
        color = c;
        return *this;
    }

    // The font measured and painted; unhinted, so that text takes the same
    // room on the screen, on paper and in a PDF.
    QFont font() const;
};

struct Item
{
    enum class Kind {
        Label, // a fixed text, or a text set by name before the report is laid out
        Field, // the value of a column of the current row (or a group total)
        Line,
        Frame,
    };

    Kind kind = Kind::Label;
    QString name;   // labels: the name the opening screen sets it by; fields: the column
    QString text;   // labels: the caption; "%p" is the page number, "%P" the page count
    QString format; // fields: "dd/MM/yyyy" for dates, "0.00" for amounts
    QRectF rect;    // millimetres; lines run from the top-left to the bottom-right corner
    TextStyle style;
    bool wrap = true;           // long text breaks into lines and the section grows
    QString below;              // placed under this item, keeping the declared distance
    bool followsGrowth = false; // lines and frames stretch or move with a grown section
    double penWidth = 0.25;     // millimetres
    QColor penColor = Qt::black;

    bool isText() const { return kind == Kind::Label || kind == Kind::Field; }
};

class Section
{
public:
    Section(SectionKind kind, const QString &name, double height);

    SectionKind kind() const { return m_kind; }
    QString name() const { return m_name; }
    double height() const { return m_height; } // the least height; text may make it grow

    // Items; each call returns the section for the next one.
    Section &label(const QString &text, const QRectF &mm, const TextStyle &style = {});
    Section &namedLabel(const QString &name, const QRectF &mm, const TextStyle &style = {},
                        const QString &text = {});
    Section &field(const QString &column, const QRectF &mm, const TextStyle &style = {},
                   const QString &format = {});
    Section &line(const QLineF &mm, double penWidth = 0.25, const QColor &color = Qt::black);
    Section &frame(const QRectF &mm, double penWidth = 0.3, const QColor &color = Qt::black);

    // Adjust the item added last.
    Section &below(const QString &itemName); // stack under a text that may wrap
    Section &followGrowth();                 // a rule or frame that grows with the section
    Section &singleLine();                   // no wrapping
    Section &named(const QString &name);

    const QList<Item> &items() const { return m_items; }

    // Labels are found by name without regard to letter case.
    bool setLabel(const QString &name, const QString &text);
    const Item *item(const QString &name) const;

private:
    SectionKind m_kind;
    QString m_name;
    double m_height;
    QList<Item> m_items;
};

class ReportLayout
{
public:
    explicit ReportLayout(const QString &name = {});

    QString name() const { return m_name; }

    // The report window's caption, also the title of a written PDF.
    QString caption() const { return m_caption; }
    void setCaption(const QString &caption) { m_caption = caption; }

    // The file name a written PDF is offered under, without the dates and
    // ".pdf" ("cause-list"); made from the caption when not set.
    QString fileName() const { return m_fileName; }
    void setFileName(const QString &name) { m_fileName = name; }

    QPageLayout::Orientation orientation() const { return m_orientation; }
    void setOrientation(QPageLayout::Orientation orientation) { m_orientation = orientation; }
    QMarginsF margins() const { return m_margins; }
    void setMargins(const QMarginsF &mm) { m_margins = mm; }

    // A group that runs on to a new page gets its header again at the top.
    bool repeatsGroupHeader() const { return m_repeatGroupHeader; }
    void setRepeatGroupHeader(bool repeat) { m_repeatGroupHeader = repeat; }

    QSizeF pageSize() const; // A4 in millimetres, turned for the orientation
    QRectF printableRect() const;

    Section &addSection(SectionKind kind, const QString &name, double height);
    const QList<Section> &sections() const { return m_sections; }
    const Section *section(SectionKind kind) const;
    const Section *section(const QString &name) const; // letter case ignored
    Section *section(const QString &name);

    // Sets the caption of a label by section name and label name (letter
    // case ignored); false when there is no such label.
    bool setLabel(const QString &section, const QString &label, const QString &text);
    QString label(const QString &section, const QString &label) const;

private:
    QString m_name;
    QString m_caption;
    QString m_fileName;
    QPageLayout::Orientation m_orientation = QPageLayout::Portrait;
    QMarginsF m_margins{12, 12, 12, 12};
    bool m_repeatGroupHeader = false;
    QList<Section> m_sections;
};

} // namespace lexordo::report
