#pragma once

#include <QWidget>

namespace Ui {
class CaseSummary;
}

namespace lexordo {

// The case summary (frmRepoClients): the history of one case number, the
// hearings in the order they were entered. A run that opens its report
// closes the screen.
class CaseSummary : public QWidget
{
    Q_OBJECT

public:
    explicit CaseSummary(QWidget *parent = nullptr);
    ~CaseSummary() override;

public slots:
    void showReport();

private:
    Ui::CaseSummary *ui;
};

} // namespace lexordo
