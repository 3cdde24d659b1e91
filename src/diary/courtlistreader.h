#pragma once

#include <QByteArray>
#include <QString>

namespace lexordo::courtlist {

// The text of a court's list as the clerk saved it from the court's site: a
// PDF with text (read page by page in reading order), a web page (tags
// dropped, each table row kept on one line, its cells apart by tabs), or a
// plain text file. Which it is comes from the file's content.
struct ListText
{
    enum class Kind { Pdf, Html, Text };
    Kind kind = Kind::Text;
    QString text;
    int pages = 0; // of a PDF
};

// Throws DataError naming the file when it cannot be read, is empty, is a
// damaged or locked PDF, or is a PDF of scanned pages without text.
ListText readListFile(const QString &path);

// The text of a web page, for the case numbers, items and halls in it.
QString htmlText(const QByteArray &html);

} // namespace lexordo::courtlist
