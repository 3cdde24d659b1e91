#include <app/qtmessenger.h>
#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QWindow>

using namespace lexordo;
using Answer = Messenger::Answer;

class TestQtMessenger : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void keysTypedAheadAnswerTheMessageBox();
    void keysTypedAheadGoIntoTheInputBox();
    void boxesAreNeverMaximised();
    void enterAnswersWithTheDefaultButton_data();
    void enterAnswersWithTheDefaultButton();
    void aLongMessageFitsOnTheScreen();

private:
    // Keys typed into the field before the box has opened.
    void typeAhead(const QString &text, bool enter = false);
    // Should the keys not reach the box, it is answered this way after a while,
    // so that the test ends and fails instead of waiting for ever.
    void answerLateWith(const std::function<void(QWidget *)> &answer);
    // Runs `act` on the modal box once it is on the screen.
    void whenBoxShown(const std::function<void(QWidget *)> &act);

    std::unique_ptr<QWidget> m_window;
    QLineEdit *m_field = nullptr;
};

void TestQtMessenger::init()
{
    m_window = std::make_unique<QWidget>();
    m_field = new QLineEdit(m_window.get());
    m_window->showMaximized();
    QApplication::setActiveWindow(m_window.get());
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    m_field->setFocus();
}

void TestQtMessenger::cleanup()
{
    m_window.reset();
}

void TestQtMessenger::typeAhead(const QString &text, bool enter)
{
    auto post = [this](int key, const QString &t) {
        QCoreApplication::postEvent(m_field, new QKeyEvent(QEvent::KeyPress, key, {}, t));
        QCoreApplication::postEvent(m_field, new QKeyEvent(QEvent::KeyRelease, key, {}, t));
    };
    for (const QChar c : text)
        post(QChar(c.toUpper()).unicode(), QString(c));
    if (enter)
        post(Qt::Key_Return, QStringLiteral("\r"));
}

void TestQtMessenger::answerLateWith(const std::function<void(QWidget *)> &answer)
{
    QTimer::singleShot(3000, m_window.get(), [answer] {
        if (QWidget *box = QApplication::activeModalWidget())
            answer(box);
    });
}

void TestQtMessenger::whenBoxShown(const std::function<void(QWidget *)> &act)
{
    auto *poll = new QTimer(m_window.get());
    poll->setInterval(10);
    connect(poll, &QTimer::timeout, poll, [poll, act] {
        QWidget *box = QApplication::activeModalWidget();
        if (!box || !box->isVisible() || !box->windowHandle() || !box->windowHandle()->isExposed())
            return;
        poll->stop();
        poll->deleteLater();
        act(box);
    });
    poll->start();
}

void TestQtMessenger::keysTypedAheadAnswerTheMessageBox()
{
    answerLateWith(
        [](QWidget *box) { qobject_cast<QMessageBox *>(box)->button(QMessageBox::Yes)->click(); });
    typeAhead(QStringLiteral("n"));
    QtMessenger messenger;
    QCOMPARE(messenger.message(QStringLiteral("Today is sunday. Do you want to continue?"),
                               Messenger::Buttons::YesNo, Messenger::Icon::None,
                               Messenger::Default::First),
             Answer::No);
    QCOMPARE(m_field->text(), QString());
}

void TestQtMessenger::keysTypedAheadGoIntoTheInputBox()
{
    answerLateWith([](QWidget *box) { qobject_cast<QDialog *>(box)->reject(); });
    typeAhead(QStringLiteral("ram"), true);
    QtMessenger messenger;
    QCOMPARE(messenger.input(QStringLiteral("Enter the party"), QString(), QString()),
             std::optional<QString>(QStringLiteral("ram")));
    QCOMPARE(m_field->text(), QString());
}

void TestQtMessenger::boxesAreNeverMaximised()
{
    QVERIFY(m_window->isMaximized());
    QStringList seen;
    auto look = [&seen](QWidget *box) {
        seen << QStringLiteral("%1 %2")
                    .arg(box->isMaximized())
                    .arg(box->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    };
    whenBoxShown([&](QWidget *box) {
        look(box);
        qobject_cast<QMessageBox *>(box)->button(QMessageBox::Ok)->click();
    });
    QtMessenger messenger;
    messenger.message(QStringLiteral("Record Not Found "), Messenger::Buttons::Ok,
                      Messenger::Icon::None, Messenger::Default::First);
    whenBoxShown([&](QWidget *box) {
        look(box);
        qobject_cast<QDialog *>(box)->reject();
    });
    messenger.input(QStringLiteral("Enter The Name to Be Searched "), QString(), QString());
    QCOMPARE(seen, (QStringList{"0 0", "0 0"}));
}

void TestQtMessenger::enterAnswersWithTheDefaultButton_data()
{
    QTest::addColumn<Messenger::Buttons>("buttons");
    QTest::addColumn<Messenger::Default>("defaultButton");
    QTest::addColumn<Answer>("expected");
    QTest::newRow("Yes first") << Messenger::Buttons::YesNo << Messenger::Default::First
                               << Answer::Yes;
    QTest::newRow("No when cautious")
        << Messenger::Buttons::YesNo << Messenger::Default::Cautious << Answer::No;
    QTest::newRow("Cancel when cautious")
        << Messenger::Buttons::OkCancel << Messenger::Default::Cautious << Answer::Cancel;
}

void TestQtMessenger::enterAnswersWithTheDefaultButton()
{
    QFETCH(Messenger::Buttons, buttons);
    QFETCH(Messenger::Default, defaultButton);
    QFETCH(Answer, expected);
    // Should Enter not answer, another button closes the box and the comparison fails.
    const QMessageBox::StandardButton other = expected == Answer::Yes  ? QMessageBox::No
                                              : expected == Answer::No ? QMessageBox::Yes
                                                                       : QMessageBox::Ok;
    answerLateWith(
        [other](QWidget *box) { qobject_cast<QMessageBox *>(box)->button(other)->click(); });
    typeAhead(QString(), true);
    QtMessenger messenger;
    QCOMPARE(messenger.message(QStringLiteral("Few Cases of this Date Already Exist!! Do you "
                                              "want to continue?"),
                               buttons, Messenger::Icon::None, defaultButton),
             expected);
}

void TestQtMessenger::aLongMessageFitsOnTheScreen()
{
    QString text = QStringLiteral("Nothing was imported into courts: 500 rows are wrong.");
    for (int line = 2; line < 502; ++line)
        text +=
            QStringLiteral("\nLine %1: \"two\" is not a valid whole number for indexx.").arg(line);
    bool fits = false;
    QString shown;
    QString detail;
    whenBoxShown([&](QWidget *modal) {
        auto *box = qobject_cast<QMessageBox *>(modal);
        const QRect screen = box->screen()->availableGeometry();
        QAbstractButton *ok = box->button(QMessageBox::Ok);
        fits = screen.contains(box->frameGeometry()) &&
               screen.contains(QRect(ok->mapToGlobal(QPoint(0, 0)), ok->size()));
        shown = box->text();
        detail = box->detailedText();
        ok->click();
    });
    QtMessenger messenger;
    QCOMPARE(messenger.message(text, Messenger::Buttons::Ok, Messenger::Icon::Critical,
                               Messenger::Default::First),
             Answer::Ok);
    QVERIFY(fits);
    QCOMPARE(shown, QStringLiteral("Nothing was imported into courts: 500 rows are wrong."));
    QCOMPARE(detail, text);
}

QTEST_MAIN(TestQtMessenger)
#include "tst_qtmessenger.moc"
