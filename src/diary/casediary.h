#pragma once

#include <QString>

class QWidget;

namespace lexordo {

class RecordSet;

// What the diary's other screens (case search, conversion) use of the case
// register `frmCases`. They reach it through the screen host, by name, as a
// menu entry would.
class CaseDiary
{
public:
    virtual ~CaseDiary() = default;

    // The register's diary (Adodc1): what its grid and fields show.
    virtual RecordSet *diary() = 0;
    // Shows the register maximised, in front.
    virtual void showMaximizedInFront() = 0;
    // Re-reads the diary from the table and goes to its last row.
    virtual void refreshAtLastRow() = 0;

    // The open register, or nothing.
    static CaseDiary *find();
    // The register, opened first (with its carry-forward) when it is not open.
    static CaseDiary *open();
    // Closes the register when it is open.
    static void close();
};

} // namespace lexordo
