#include "officesettings.h"

#include <QSettings>

namespace lexordo::office {

namespace {

const QString advocateNameKey = QStringLiteral("office/advocateName");

QSettings settings()
{
    return QSettings(QStringLiteral("Lexordo"), QStringLiteral("Lexordo"));
}

} // namespace

QString advocateName()
{
    return settings().value(advocateNameKey).toString().trimmed();
}

void setAdvocateName(const QString &name)
{
    settings().setValue(advocateNameKey, name.trimmed());
}

} // namespace lexordo::office
