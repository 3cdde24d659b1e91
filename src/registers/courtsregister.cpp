#include "courtsregister.h"

#include "ui_courtsregister.h"

namespace lexordo {

CourtsRegister::CourtsRegister(QWidget *parent) : RecordScreen(parent), ui(new Ui::CourtsRegister)
{
    ui->setupUi(this);
    openRecordSet(RecordSource::table(QStringLiteral("courts")).orderBy(QStringLiteral("indexx")));
    bind(courtName(), QStringLiteral("court"));
    bind(courtIndex(), QStringLiteral("indexx"));
    setGrid(ui->DataGrid1, {{QStringLiteral("court"), QStringLiteral("court")},
                            {QStringLiteral("index"), QStringLiteral("indexx")}});
    // A court is found by the first letters of its name.
    setFind(QStringLiteral("Enter The Name to Be Searched "), QStringLiteral("court"),
            Filter::Op::BeginsWith);
    start(Start::AllEnabled);
    followChangesElsewhere(ui->lblChangedElsewhere);
}

CourtsRegister::~CourtsRegister()
{
    delete ui;
}

QLineEdit *CourtsRegister::courtName() const
{
    return ui->txtHdays;
}

QLineEdit *CourtsRegister::courtIndex() const
{
    return ui->txtDate;
}

} // namespace lexordo
