#pragma once

#include <QWidget>

namespace Ui {
class SearchDirectory;
}

namespace lexordo {

// `frmSearchDirectory`: narrows the advocates directory by one of seven
// fields. A name of one letter lists the names that begin with it.
class SearchDirectory : public QWidget
{
    Q_OBJECT

public:
    static inline const QString screenName = QStringLiteral("frmSearchDirectory");

    explicit SearchDirectory(QWidget *parent = nullptr);
    ~SearchDirectory() override;

private:
    void search();

    Ui::SearchDirectory *ui;
};

} // namespace lexordo
