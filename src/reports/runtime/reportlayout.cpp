#include "reportlayout.h"

#include <QPageSize>

namespace lexordo::report {

namespace {

// Fonts that carry on where the report's own family has no letters: the
// scripts of India (Debian's Noto fonts, serif where there is one), Urdu,
// then whatever the system finds. Printed and embedded like the main font.
const QStringList &fallbackFamilies()
{
    static const QStringList families = {
        QStringLiteral("Noto Serif"),           QStringLiteral("Noto Serif Devanagari"),
        QStringLiteral("Noto Sans Devanagari"), QStringLiteral("Noto Serif Bengali"),
        QStringLiteral("Noto Sans Bengali"),    QStringLiteral("Noto Serif Gujarati"),
        QStringLiteral("Noto Sans Gujarati"),   QStringLiteral("Noto Serif Gurmukhi"),
        QStringLiteral("Noto Sans Gurmukhi"),   QStringLiteral("Noto Serif Tamil"),
        QStringLiteral("Noto Sans Tamil"),      QStringLiteral("Noto Serif Telugu"),
        QStringLiteral("Noto Sans Telugu"),     QStringLiteral("Noto Serif Kannada"),
        QStringLiteral("Noto Sans Kannada"),    QStringLiteral("Noto Serif Malayalam"),
        QStringLiteral("Noto Sans Malayalam"),  QStringLiteral("Noto Sans Oriya"),
        QStringLiteral("Noto Sans Ol Chiki"),   QStringLiteral("Noto Sans Meetei Mayek"),
        QStringLiteral("Noto Serif Tibetan"),   QStringLiteral("Noto Nastaliq Urdu"),
        QStringLiteral("Noto Naskh Arabic"),    QStringLiteral("Lohit Devanagari"),
        QStringLiteral("Lohit Tamil"),
    };
    return families;
}

} // namespace

QFont TextStyle::font() const
{
    QFont f(family);
    f.setFamilies(QStringList{family} + fallbackFamilies());
    f.setPointSizeF(pointSize);
    f.setBold(bold);
    f.setItalic(italic);
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setKerning(true);
    return f;
}

Section::Section(SectionKind kind, const QString &name, double height)
    : m_kind(kind), m_name(name), m_height(height)
{
}

Section &Section::label(const QString &text, const QRectF &mm, const TextStyle &style)
{
    Item item;
    item.kind = Item::Kind::Label;
    item.text = text;
    item.rect = mm;
    item.style = style;
    m_items.append(item);
    return *this;
}

Section &Section::namedLabel(const QString &name, const QRectF &mm, const TextStyle &style,
                             const QString &text)
{
    label(text, mm, style);
    m_items.last().name = name;
    return *this;
}

Section &Section::field(const QString &column, const QRectF &mm, const TextStyle &style,
                        const QString &format)
{
    Item item;
    item.kind = Item::Kind::Field;
    item.name = column;
    item.format = format;
    item.rect = mm;
    item.style = style;
    m_items.append(item);
    return *this;
}

Section &Section::line(const QLineF &mm, double penWidth, const QColor &color)
{
    Item item;
    item.kind = Item::Kind::Line;
    item.rect = QRectF(mm.p1(), mm.p2());
    item.penWidth = penWidth;
    item.penColor = color;
    m_items.append(item);
    return *this;
}

Section &Section::frame(const QRectF &mm, double penWidth, const QColor &color)
{
    Item item;
    item.kind = Item::Kind::Frame;
    item.rect = mm;
    item.penWidth = penWidth;
    item.penColor = color;
    m_items.append(item);
    return *this;
}

Section &Section::below(const QString &itemName)
{
    Q_ASSERT(!m_items.isEmpty());
    m_items.last().below = itemName;
    return *this;
}

Section &Section::followGrowth()
{
    Q_ASSERT(!m_items.isEmpty());
    m_items.last().followsGrowth = true;
    return *this;
}

Section &Section::singleLine()
{
    Q_ASSERT(!m_items.isEmpty());
    m_items.last().wrap = false;
    return *this;
}

Section &Section::named(const QString &name)
{
    Q_ASSERT(!m_items.isEmpty());
    m_items.last().name = name;
    return *this;
}

bool Section::setLabel(const QString &name, const QString &text)
{
    if (name.isEmpty())
        return false;
    for (Item &item : m_items) {
        if (item.kind == Item::Kind::Label && item.name.compare(name, Qt::CaseInsensitive) == 0) {
            item.text = text;
            return true;
        }
    }
    return false;
}

const Item *Section::item(const QString &name) const
{
    for (const Item &item : m_items) {
        if (!item.name.isEmpty() && item.name.compare(name, Qt::CaseInsensitive) == 0)
            return &item;
    }
    return nullptr;
}

ReportLayout::ReportLayout(const QString &name) : m_name(name)
{
}

QSizeF ReportLayout::pageSize() const
{
    const QSizeF a4 = QPageSize::size(QPageSize::A4, QPageSize::Millimeter);
    return m_orientation == QPageLayout::Portrait ? a4 : a4.transposed();
}

QRectF ReportLayout::printableRect() const
{
    return QRectF(QPointF(0, 0), pageSize()).marginsRemoved(m_margins);
}

Section &ReportLayout::addSection(SectionKind kind, const QString &name, double height)
{
    m_sections.append(Section(kind, name, height));
    return m_sections.last();
}

const Section *ReportLayout::section(SectionKind kind) const
{
    for (const Section &s : m_sections) {
        if (s.kind() == kind)
            return &s;
    }
    return nullptr;
}

const Section *ReportLayout::section(const QString &name) const
{
    for (const Section &s : m_sections) {
        if (s.name().compare(name, Qt::CaseInsensitive) == 0)
            return &s;
    }
    return nullptr;
}

Section *ReportLayout::section(const QString &name)
{
    for (Section &s : m_sections) {
        if (s.name().compare(name, Qt::CaseInsensitive) == 0)
            return &s;
    }
    return nullptr;
}

bool ReportLayout::setLabel(const QString &sectionName, const QString &label, const QString &text)
{
    Section *s = section(sectionName);
    return s && s->setLabel(label, text);
}

QString ReportLayout::label(const QString &sectionName, const QString &label) const
{
    const Section *s = section(sectionName);
    const Item *item = s ? s->item(label) : nullptr;
    return item && item->kind == Item::Kind::Label ? item->text : QString();
}

} // namespace lexordo::report
