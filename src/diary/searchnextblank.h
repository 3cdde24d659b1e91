#pragma once

#include <QWidget>

namespace Ui {
class SearchNextBlank;
}

namespace lexordo {

// `frmSearchNextBlank`: narrows the case register to the hearings of a range
// of current dates that have no next date yet.
class SearchNextBlank : public QWidget
{
    Q_OBJECT

public:
    static inline const QString screenName = QStringLiteral("frmSearchNextBlank");

    explicit SearchNextBlank(QWidget *parent = nullptr);
    ~SearchNextBlank() override;

private:
    void search();

    Ui::SearchNextBlank *ui;
};

} // namespace lexordo
