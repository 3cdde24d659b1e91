#pragma once

#include <QString>

namespace lexordo::office {

// The office's own settings, kept with the user's settings (QSettings of
// the organisation "Lexordo"). The advocate's name heads the cause lists
// and signs the receipts.
QString advocateName(); // empty when not set yet
void setAdvocateName(const QString &name);

} // namespace lexordo::office
