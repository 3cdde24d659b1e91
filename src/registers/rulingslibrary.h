#pragma once

#include <widgets/recordscreen.h>

namespace Ui {
class RulingsLibrary;
}

namespace lexordo {

struct RulingTexts;

// The court rulings the office may cite: section, citation, court, case title
// and head notes. Searched through its own search screen; the clients
// register opens it at the rulings on one section.
class RulingsLibrary : public RecordScreen
{
    Q_OBJECT

public:
    explicit RulingsLibrary(QWidget *parent = nullptr);
    ~RulingsLibrary() override;

    // Keeps only the rulings on exactly this section. False when the library
    // is busy with a row being entered (the user is told).
    bool showSection(const QString &section);
    // Keeps only the rulings whose column contains the text; re-reads the
    // table first when asked to.
    bool search(const QString &column, const QString &text, bool rereadFirst);

    RulingTexts shownTexts() const;

protected:
    void add() override;
    void modify() override;
    void moveFirst() override;
    void moveLast() override;
    void find() override;

private:
    bool readyToFilter();
    void print();

    Ui::RulingsLibrary *ui;
};

} // namespace lexordo
