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

} // namespace lexordo
