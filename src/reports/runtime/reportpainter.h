#pragma once

#include "pdftext.h"
#include "reportengine.h"

#include <QImage>

class QPagedPaintDevice;
class QPainter;

namespace lexordo::report {

// Paints a laid-out page from the painter's origin at its device's
// resolution: the same page on a printer, in a PDF or on the screen. Each
// line painted is added to *painted when asked.
void paintPage(QPainter &painter, const ReportPage &page, QList<PaintedLine> *painted = nullptr);

// Paints pages first to last (1-based, both included) on a paged device,
// one page per sheet. The device's origin must be the paper's corner.
void paintPages(QPagedPaintDevice &device, QPainter &painter, const ReportDocument &document,
                int firstPage, int lastPage);

// Writes the whole report as an A4 PDF file. The file appears only once it
// is complete; an existing file is replaced. A device or pipe (/dev/stdout)
// is written straight. The open database and its journal files are never
// written over. On failure the reason is in *error and nothing is left
// behind: a failed write leaves an existing file as it was.
bool writePdf(const ReportDocument &document, const QString &path, QString *error = nullptr);

// A page as a picture, dpi dots per inch, on white.
QImage renderPage(const ReportDocument &document, int index, double dpi,
                  double devicePixelRatio = 1.0);

} // namespace lexordo::report
