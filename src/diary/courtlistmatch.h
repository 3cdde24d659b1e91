#pragma once

#include <functional>
#include <optional>
#include <QString>
#include <QStringView>
#include <vector>

namespace lexordo::courtlist {

// Case numbers as courts print them, brought to one key: the type's letters
// in capitals without dots, blanks or "No.", the number without leading
// zeros, the four-digit year ("O.S. No. 088 of 2025" is "OS 88/2025").

// The key of a number written as the diary keeps it; nothing when it has no
// type letters, no number or no four-digit year.
std::optional<QString> caseKey(QStringView caseNo);

// A case number found in a court's list.
struct Listing
{
    QString key;     // the normalised case number
    QString printed; // as the list prints it
    QString item;    // the item (serial) number before it on its line, or empty
    QString hall;    // the court hall of the nearest heading before it, or empty
    QString beside;  // what the list prints after it, up to the next case number
    qsizetype offset = 0;
};

// Reads the list's text once, finding every shape of a case number, and
// keeps those whose key `wanted` knows. A type is read from up to four words
// before the number; the longest reading that `wanted` knows is taken, so
// that "Ram vs. O.S. 88/2025" is OS 88/2025.
std::vector<Listing> findListings(const QString &text,
                                  const std::function<bool(const QString &key)> &wanted);

// True when the parties printed beside a case number plainly are not the
// diary's: neither party shares a significant word with the printed text.
// Nothing to compare (no words on either side) is no mismatch.
bool partiesDiffer(QStringView printed, QStringView party1, QStringView party2);

} // namespace lexordo::courtlist
