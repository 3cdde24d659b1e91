#pragma once

#include <QString>

namespace lexordo::test {

// The text of a PDF as pdftotext lays it out (columns kept); empty when it
// could not be read.
QString pdfText(const QString &path);

} // namespace lexordo::test
