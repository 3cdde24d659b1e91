#pragma once

#include <QString>

namespace lexordo {

// A column as its screen calls it, with the column's own name, for
// messages about a file's or a box's value: "Next Date (ndate)". A column
// no screen names is given by its own name.
QString columnCaption(const QString &table, const QString &column);

} // namespace lexordo
