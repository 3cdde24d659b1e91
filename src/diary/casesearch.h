#pragma once

#include <QWidget>

namespace Ui {
class CaseSearch;
}

namespace lexordo {

// `frmSearchcase`: narrows the case register to the hearings of one next
// date, one current date, a party or a case number, or hands over to the
// search for hearings left without a next date.
class CaseSearch : public QWidget
{
    Q_OBJECT

public:
    static inline const QString screenName = QStringLiteral("frmSearchcase");

    explicit CaseSearch(QWidget *parent = nullptr);
    ~CaseSearch() override;

private:
    void search();

    Ui::CaseSearch *ui;
};

} // namespace lexordo
