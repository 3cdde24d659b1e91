#pragma once

#include <QString>
#include <stdexcept>

namespace lexordo {

// An error of the data layer, with a description a person can read. Screens
// show description() where they report "the error's description".
class DataError : public std::runtime_error
{
public:
    explicit DataError(const QString &description)
        : std::runtime_error(description.toStdString()), m_description(description)
    {
    }

    QString description() const { return m_description; }

private:
    QString m_description;
};

// A change or delete refused because the row no longer holds what was read
// (another desk changed or removed it). Nothing was written; the row has been
// read again.
class ChangedElsewhere : public DataError
{
public:
    ChangedElsewhere()
        : DataError(QStringLiteral(
              "This entry was changed or removed at another desk; it has been read again."))
    {
    }
};

} // namespace lexordo
