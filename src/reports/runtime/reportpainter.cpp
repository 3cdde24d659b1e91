#include "reportpainter.h"

#include <algorithm>
#include <data/dataerror.h>
#include <data/safewrite.h>
#include <deque>
#include <optional>
#include <QBuffer>
#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QTextLayout>

namespace lexordo::report {

namespace {

// Fonts and metrics of the styles met on a page, made once per page.
class Fonts
{
public:
    explicit Fonts(QPaintDevice *device) : m_device(device) {}

    struct Entry
    {
        TextStyle style;
        QFont font;
        QFontMetricsF metrics;
    };

    const Entry &of(const TextStyle &style)
    {
        for (const Entry &e : m_entries) {
            if (e.style.pointSize == style.pointSize && e.style.bold == style.bold &&
                e.style.italic == style.italic && e.style.family == style.family)
                return e;
        }
        const QFont font = style.font();
        m_entries.push_back(Entry{style, font, QFontMetricsF(font, m_device)});
        return m_entries.back();
    }

private:
    QPaintDevice *m_device;
    std::deque<Entry> m_entries; // stays in place as it grows
};

// Paints a line run by run (one run per font) and notes how many runs it
// took, so that the text of each line can be found again in a PDF.
void paintRuns(QPainter &painter, const QFont &font, const QPointF &at, const QString &text,
               QList<PaintedLine> &painted)
{
    if (text.isEmpty())
        return;
    QTextLayout layout(text, font, painter.device());
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    if (!line.isValid()) {
        layout.endLayout();
        painter.drawText(at, text);
        painted.append(PaintedLine{painter.transform().map(at), text, -1});
        return;
    }
    line.setLineWidth(1e7);
    line.setPosition(QPointF(0, 0));
    layout.endLayout();
    const QPointF origin(at.x(), at.y() - line.ascent());
    int runs = 0;
    for (const QGlyphRun &run : layout.glyphRuns()) {
        if (run.glyphIndexes().isEmpty())
            continue;
        painter.drawGlyphRun(origin, run);
        ++runs;
    }
    painted.append(PaintedLine{painter.transform().map(at), text, runs});
}

} // namespace

void paintPage(QPainter &painter, const ReportPage &page, QList<PaintedLine> *painted)
{
    QPaintDevice *device = painter.device();
    Fonts fonts(device);
    const Fonts::Entry *currentFont = nullptr;
    std::optional<QColor> textPen; // nothing while a rule's pen is set
    const double kx = device->logicalDpiX() / 25.4;
    const double ky = device->logicalDpiY() / 25.4;
    auto toDevice = [&](const QRectF &mm) {
        return QRectF(mm.left() * kx, mm.top() * ky, mm.width() * kx, mm.height() * ky);
    };

    painter.save();
    for (const PlacedItem &item : page.items) {
        switch (item.kind) {
        case PlacedItem::Kind::Text: {
            if (item.lines.isEmpty())
                break;
            const Fonts::Entry &entry = fonts.of(item.style);
            if (currentFont != &entry) {
                painter.setFont(entry.font);
                currentFont = &entry;
            }
            if (textPen != item.style.color) {
                painter.setPen(item.style.color);
                textPen = item.style.color;
            }
            const QFontMetricsF &metrics = entry.metrics;
            const QRectF box = toDevice(item.rect);
            const double step = item.lineHeight * ky;
            const double textHeight = step * double(item.lines.size());
            double top = box.top();
            if (item.style.alignment & Qt::AlignVCenter)
                top += std::max(0.0, (box.height() - textHeight) / 2);
            else if (item.style.alignment & Qt::AlignBottom)
                top += std::max(0.0, box.height() - textHeight);
            for (int i = 0; i < item.lines.size(); ++i) {
                const QString &line = item.lines[i];
                double x = box.left();
                if (item.style.alignment & (Qt::AlignRight | Qt::AlignHCenter)) {
                    const double width = metrics.horizontalAdvance(line);
                    x = item.style.alignment & Qt::AlignRight
                            ? box.right() - width
                            : box.left() + (box.width() - width) / 2;
                }
                const QPointF at(x, top + i * step + metrics.ascent());
                if (painted)
                    paintRuns(painter, entry.font, at, line, *painted);
                else
                    painter.drawText(at, line);
            }
            break;
        }
        case PlacedItem::Kind::Line: {
            painter.setPen(QPen(item.penColor, item.penWidth * kx, Qt::SolidLine, Qt::FlatCap));
            textPen.reset();
            const QLineF l = item.line();
            painter.drawLine(QPointF(l.x1() * kx, l.y1() * ky), QPointF(l.x2() * kx, l.y2() * ky));
            break;
        }
        case PlacedItem::Kind::Frame: {
            painter.setPen(QPen(item.penColor, item.penWidth * kx, Qt::SolidLine, Qt::SquareCap,
                                Qt::MiterJoin));
            textPen.reset();
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(toDevice(item.rect));
            break;
        }
        }
    }
    painter.restore();
}

void paintPages(QPagedPaintDevice &device, QPainter &painter, const ReportDocument &document,
                int firstPage, int lastPage)
{
    firstPage = std::max(firstPage, 1);
    lastPage = std::min(lastPage, document.pageCount());
    for (int number = firstPage; number <= lastPage; ++number) {
        if (number > firstPage)
            device.newPage();
        paintPage(painter, document.pages[number - 1]);
    }
}

namespace {

bool fail(QString *error, const QString &text)
{
    if (error)
        *error = text;
    return false;
}

} // namespace

bool writePdf(const ReportDocument &document, const QString &path, QString *error)
{
    if (path.isEmpty())
        return fail(error, QStringLiteral("No file was named for the PDF."));
    // The diary is refused, and the temporary file made, before the pages are.
    std::optional<safewrite::AtomicFile> file;
    try {
        file.emplace(path);
    } catch (const DataError &e) {
        return fail(error, e.description());
    }

    // The whole PDF is made in memory first: its text marks are added to the
    // finished file.
    QByteArray pdf;
    QList<QList<PaintedLine>> painted;
    {
        QBuffer buffer(&pdf);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setTitle(document.title);
        writer.setCreator(QStringLiteral("Lexordo"));
        writer.setResolution(1200);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), document.orientation,
                                         QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
        QPainter painter;
        if (!painter.begin(&writer))
            return fail(error, QStringLiteral("%1 could not be written: the PDF could not be "
                                              "made.")
                                   .arg(path));
        for (int i = 0; i < document.pageCount(); ++i) {
            if (i > 0)
                writer.newPage();
            painted.append(QList<PaintedLine>());
            paintPage(painter, document.pages[i], &painted.last());
        }
        if (!painter.end())
            return fail(error, QStringLiteral("%1 could not be written: the PDF could not be "
                                              "made.")
                                   .arg(path));
    }

    // Readers get the text of Indian scripts back as it was written. Should
    // the PDF not be marked, its pages still print the same.
    if (const std::optional<QByteArray> marked = withActualText(pdf, painted))
        pdf = *marked;

    try {
        file->write(pdf);
        file->commit();
    } catch (const DataError &e) {
        return fail(error, e.description());
    }
    return true;
}

QImage renderPage(const ReportDocument &document, int index, double dpi, double devicePixelRatio)
{
    if (index < 0 || index >= document.pageCount())
        return QImage();
    const double dots = dpi * devicePixelRatio;
    const QSize size(qRound(document.pageSize.width() / 25.4 * dots),
                     qRound(document.pageSize.height() / 25.4 * dots));
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    const int dotsPerMeter = qRound(dots / 0.0254);
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        paintPage(painter, document.pages[index]);
    }
    image.setDevicePixelRatio(devicePixelRatio);
    return image;
}

} // namespace lexordo::report
