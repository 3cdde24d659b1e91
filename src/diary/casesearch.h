#pragma once

#include <widgets/searchscreen.h>

namespace Ui {
class CaseSearch;
}

namespace lexordo {

// `frmSearchcase`: narrows the case register to the hearings of one next
// date, one current date, a party or a case number, or hands over to the
// search for hearings left without a next date.
class CaseSearch : public SearchScreen
{
    Q_OBJECT

public:
    explicit CaseSearch(QWidget *parent = nullptr);
    ~CaseSearch() override;

private:
    void search() override;

    Ui::CaseSearch *ui;
};

} // namespace lexordo
