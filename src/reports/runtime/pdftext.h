#pragma once

#include <optional>
#include <QByteArray>
#include <QList>
#include <QPointF>
#include <QString>

namespace lexordo::report {

// A line of text as it was painted on a PDF page: where its pen started on
// the baseline, in the painter's device units, the text it stands for, and
// the number of runs (one per font) its glyphs were painted in; -1 when not
// known.
struct PaintedLine
{
    QPointF at;
    QString text;
    int runs = -1;
};

// Gives the shaped lines of a PDF their text back. The glyphs of Indian
// scripts (conjuncts, vowel signs drawn before their consonant, Tamil
// ligatures) have no character of their own in a font, so a reader that
// copies, searches or extracts the text of a PDF would get it garbled or not
// at all. Each painted line that holds such text is marked with the text it
// stands for (a PDF "ActualText" span), added as an update at the end of the
// file. lines holds the painted lines of each page, in the order painted.
//
// Nothing when the PDF does not have the shape this expects (it is then left
// as it is: its pages print the same either way).
std::optional<QByteArray> withActualText(const QByteArray &pdf,
                                         const QList<QList<PaintedLine>> &lines);

// Whether a text needs marking: anything beyond Latin letters.
bool needsActualText(const QString &text);

} // namespace lexordo::report
