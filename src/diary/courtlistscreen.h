#pragma once

#include "courtlistcheck.h"

#include <optional>
#include <QWidget>

class QTreeWidgetItem;

namespace Ui {
class CourtListScreen;
}

namespace lexordo {

// Check the Court's List (frmCheckCourtList): the list the clerk saved from
// the court's site, read against the diary for its day, in three groups; a
// matter the court lists and the diary has not for the day comes first, in
// red, and can be put in the diary from here.
class CourtListScreen : public QWidget
{
    Q_OBJECT

public:
    explicit CourtListScreen(QWidget *parent = nullptr);
    ~CourtListScreen() override;

    // The result shown, when a check has run.
    const std::optional<courtlist::CheckResult> &result() const { return m_result; }

public slots:
    void browse();
    void check();
    void addToDiary();
    // The day's cause list with the court's items read, shown to print.
    void printWithItems();

private:
    void showResult();
    void updateButtons();
    const courtlist::CheckRow *chosenMissed() const;

    Ui::CourtListScreen *ui;
    std::optional<courtlist::CheckResult> m_result;
};

} // namespace lexordo
