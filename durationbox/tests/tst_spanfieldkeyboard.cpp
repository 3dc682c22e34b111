// SPDX-License-Identifier: GPL-3.0-or-later
#include <spanfield.h>

#include <QApplication>
#include <QClipboard>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

namespace {

using Keys = QList<int>;

// A window with the control between two ordinary line edits, so focus can be seen to leave it.
class Host : public QWidget
{
public:
    Host()
    {
        auto *layout = new QHBoxLayout(this);
        before = new QLineEdit(this);
        before->setObjectName(QStringLiteral("before"));
        control = new Spanfield(this);
        after = new QLineEdit(this);
        after->setObjectName(QStringLiteral("after"));
        layout->addWidget(before);
        layout->addWidget(control);
        layout->addWidget(after);
        QObject::connect(control, &Spanfield::Error, control, [this](qint16 &num, QString &msg) {
            errors.append(num);
            messages.append(msg);
            num = 0; // the control ignores what a handler leaves here
            msg.clear();
        });
    }

    QLineEdit *field(int i) const { return control->findChild<QLineEdit *>(QStringLiteral("txtTime%1").arg(i)); }

    QString focusName() const
    {
        QWidget *focus = QApplication::focusWidget();
        return focus ? focus->objectName() : QString();
    }

    // Types like a person: each key goes to whatever has the focus, after the keys before it
    // (and the Tabs they posted) were processed.
    void type(const Keys &keys)
    {
        for (int key : keys) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
            QCoreApplication::sendPostedEvents();
        }
    }

    QLineEdit *before = nullptr;
    QLineEdit *after = nullptr;
    Spanfield *control = nullptr;
    QList<int> errors;
    QStringList messages;
};

} // namespace

class tst_SpanfieldKeyboard : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void typing_data();
    void typing();
    void selectionStartCounts();
    void changeIsRaisedForEveryTextChange();
    void lockedFieldsIgnoreTyping();
    void pasteKeepsDigits();
    void errorTexts();

private:
    bool activate(Host &host);
};

void tst_SpanfieldKeyboard::init()
{
    QGuiApplication::clipboard()->clear();
}

bool tst_SpanfieldKeyboard::activate(Host &host)
{
    host.show();
    QApplication::setActiveWindow(&host);
    return QTest::qWaitForWindowActive(&host);
}

void tst_SpanfieldKeyboard::typing_data()
{
    QTest::addColumn<bool>("showDays");
    QTest::addColumn<bool>("showSeconds");
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("caret");
    QTest::addColumn<Keys>("keys");
    QTest::addColumn<QString>("expectedText"); // of the field typed into first
    QTest::addColumn<QString>("expectedFocus");
    QTest::addColumn<int>("expectedCaret"); // in the field that has the focus
    QTest::addColumn<QList<int>>("expectedErrors");

    const QList<int> none;
    const QList<int> invalid{1001};
    // Overwriting and moving on.
    QTest::newRow("hours 1") << false << true << 1 << "00" << 0 << Keys{Qt::Key_1} << "10"
                             << "txtTime1" << 1 << none;
    QTest::newRow("hours 12") << false << true << 1 << "00" << 0 << Keys{Qt::Key_1, Qt::Key_2} << "12"
                              << "txtTime2" << 2 << none;
    QTest::newRow("hours 12 then minutes 3")
        << false << true << 1 << "00" << 0 << Keys{Qt::Key_1, Qt::Key_2, Qt::Key_3} << "12"
        << "txtTime2" << 1 << none;
    QTest::newRow("replace last at 2") << false << true << 2 << "45" << 2 << Keys{Qt::Key_7} << "47"
                                       << "txtTime3" << 2 << none;
    QTest::newRow("seconds complete leaves") << false << true << 3 << "00" << 0 << Keys{Qt::Key_5, Qt::Key_9} << "59"
                                             << "after" << -1 << none;
    // Refusals.
    QTest::newRow("hours 3 refused") << false << true << 1 << "00" << 0 << Keys{Qt::Key_3} << "00"
                                     << "txtTime1" << 0 << invalid;
    QTest::newRow("hours 25 refused, Tab still posted") << false << true << 1 << "20" << 1 << Keys{Qt::Key_5} << "20"
                                                        << "txtTime2" << -1 << invalid;
    QTest::newRow("minutes 6 refused") << false << true << 2 << "00" << 0 << Keys{Qt::Key_6} << "00"
                                       << "txtTime2" << 0 << invalid;
    QTest::newRow("letter refused, not inserted") << false << true << 1 << "12" << 1 << Keys{Qt::Key_A} << "12"
                                                  << "txtTime1" << 1 << QList<int>{1000};
    QTest::newRow("space refused") << false << true << 2 << "" << 0 << Keys{Qt::Key_Space} << ""
                                   << "txtTime2" << 0 << QList<int>{1000};
    // The days field inserts.
    QTest::newRow("days 365") << true << true << 0 << "0" << 0 << Keys{Qt::Key_3, Qt::Key_6, Qt::Key_5} << "365"
                              << "txtTime1" << 2 << none;
    QTest::newRow("days 366 refused") << true << true << 0 << "0" << 0 << Keys{Qt::Key_3, Qt::Key_6, Qt::Key_6} << "36"
                                      << "txtTime1" << 2 << invalid;
    QTest::newRow("days insert at 1") << true << true << 0 << "123" << 1 << Keys{Qt::Key_9} << "192"
                                      << "txtTime0" << 2 << none;
    QTest::newRow("days full at 3") << true << true << 0 << "123" << 3 << Keys{Qt::Key_4} << "123"
                                    << "txtTime0" << 3 << none;
    // Arrow keys.
    QTest::newRow("right at end of hours") << false << true << 1 << "12" << 2 << Keys{Qt::Key_Right} << "12"
                                           << "txtTime2" << 0 << none;
    QTest::newRow("right inside hours") << false << true << 1 << "12" << 1 << Keys{Qt::Key_Right} << "12"
                                        << "txtTime1" << 2 << none;
    QTest::newRow("right at end of seconds leaves") << false << true << 3 << "12" << 2 << Keys{Qt::Key_Right} << "12"
                                                    << "after" << -1 << none;
    QTest::newRow("right at end of minutes, no seconds")
        << false << false << 2 << "12" << 2 << Keys{Qt::Key_Right} << "12"
        << "after" << -1 << none;
    QTest::newRow("right at end of days") << true << true << 0 << "12" << 2 << Keys{Qt::Key_Right} << "12"
                                          << "txtTime1" << 0 << none;
    QTest::newRow("right in a short field stays") << false << true << 1 << "1" << 1 << Keys{Qt::Key_Right} << "1"
                                                  << "txtTime1" << 1 << none;
    QTest::newRow("left at start of minutes") << false << true << 2 << "34" << 0 << Keys{Qt::Key_Left} << "34"
                                              << "txtTime1" << 1 << none;
    QTest::newRow("left at start of hours leaves") << false << true << 1 << "34" << 0 << Keys{Qt::Key_Left} << "34"
                                                   << "before" << -1 << none;
    QTest::newRow("left at start of hours to days") << true << true << 1 << "34" << 0 << Keys{Qt::Key_Left} << "34"
                                                    << "txtTime0" << 0 << none; // days field "0"
    QTest::newRow("left inside minutes") << false << true << 2 << "34" << 1 << Keys{Qt::Key_Left} << "34"
                                         << "txtTime2" << 0 << none;
    // Keys that are not typed characters work as in any line edit and raise nothing.
    QTest::newRow("backspace") << false << true << 1 << "12" << 2 << Keys{Qt::Key_Backspace} << "1"
                               << "txtTime1" << 1 << none;
    QTest::newRow("delete") << false << true << 1 << "12" << 0 << Keys{Qt::Key_Delete} << "2"
                            << "txtTime1" << 0 << none;
    QTest::newRow("tab") << false << true << 1 << "12" << 0 << Keys{Qt::Key_Tab} << "12"
                         << "txtTime2" << -1 << none;
}

void tst_SpanfieldKeyboard::typing()
{
    QFETCH(bool, showDays);
    QFETCH(bool, showSeconds);
    QFETCH(int, field);
    QFETCH(QString, text);
    QFETCH(int, caret);
    QFETCH(Keys, keys);

    Host host;
    host.control->setShowDays(showDays);
    host.control->setShowSeconds(showSeconds);
    QVERIFY(activate(host));
    QLineEdit *start = host.field(field);
    start->setText(text);
    start->setFocus();
    start->setCursorPosition(caret);
    QCOMPARE(host.focusName(), start->objectName());

    host.type(keys);
    QTEST(start->text(), "expectedText");
    QTEST(host.focusName(), "expectedFocus");
    QFETCH(int, expectedCaret);
    if (expectedCaret >= 0)
        QCOMPARE(qobject_cast<QLineEdit *>(QApplication::focusWidget())->cursorPosition(), expectedCaret);
    QTEST(host.errors, "expectedErrors");
}

void tst_SpanfieldKeyboard::selectionStartCounts()
{
    Host host;
    QVERIFY(activate(host));
    QLineEdit *hours = host.field(1);
    hours->setText(QStringLiteral("12"));
    hours->setFocus();
    hours->selectAll();
    host.type({Qt::Key_0});
    QCOMPARE(hours->text(), QStringLiteral("02"));
    QCOMPARE(hours->cursorPosition(), 1);
    QVERIFY(!hours->hasSelectedText());
}

void tst_SpanfieldKeyboard::changeIsRaisedForEveryTextChange()
{
    Host host;
    host.control->setShowDays(true);
    QVERIFY(activate(host));
    QSignalSpy changes(host.control, &Spanfield::Change);
    QLineEdit *hours = host.field(1);
    hours->setFocus();
    hours->setCursorPosition(0);
    host.type({Qt::Key_1});
    QCOMPARE(changes.size(), 1);
    hours->setCursorPosition(0);
    host.type({Qt::Key_1}); // "10" stays "10": no change
    QCOMPARE(changes.size(), 1);
    hours->setCursorPosition(0);
    host.type({Qt::Key_9}); // "90" is refused and "10" written back
    QCOMPARE(changes.size(), 3);
    QCOMPARE(hours->text(), QStringLiteral("10"));
    host.control->setSecondsPastMidnight(3723);
    QCOMPARE(changes.size(), 6); // hours, minutes and seconds; the days field keeps "0"
}

void tst_SpanfieldKeyboard::lockedFieldsIgnoreTyping()
{
    Host host;
    host.control->setLocked(true);
    QVERIFY(activate(host));
    QLineEdit *hours = host.field(1);
    hours->setFocus();
    hours->setCursorPosition(0);
    QSignalSpy changes(host.control, &Spanfield::Change);
    host.type({Qt::Key_1, Qt::Key_A, Qt::Key_Backspace, Qt::Key_Delete});
    QCOMPARE(hours->text(), QStringLiteral("00"));
    QVERIFY(host.errors.isEmpty());
    QCOMPARE(changes.size(), 0);
    // The arrow keys still cross between the fields.
    hours->setCursorPosition(2);
    host.type({Qt::Key_Right});
    QCOMPARE(host.focusName(), QStringLiteral("txtTime2"));
}

void tst_SpanfieldKeyboard::pasteKeepsDigits()
{
    Host host;
    QVERIFY(activate(host));
    QLineEdit *minutes = host.field(2);
    minutes->clear();
    minutes->setFocus();
    QGuiApplication::clipboard()->setText(QStringLiteral("a4b5c6"));
    QTest::keyClick(minutes, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(minutes->text(), QStringLiteral("45")); // digits only, no longer than the field takes
    QVERIFY(host.errors.isEmpty());

    minutes->selectAll();
    QGuiApplication::clipboard()->setText(QStringLiteral("x"));
    QTest::keyClick(minutes, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(minutes->text(), QStringLiteral("45"));

    // A paste that would leave a value above the field's limit is refused whole.
    QLineEdit *seconds = host.field(3);
    seconds->setText(QStringLiteral("9"));
    seconds->setFocus();
    seconds->setCursorPosition(1);
    QGuiApplication::clipboard()->setText(QStringLiteral("0"));
    QTest::keyClick(seconds, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(seconds->text(), QStringLiteral("9"));
    QLineEdit *hours = host.field(1);
    hours->selectAll();
    hours->setFocus();
    QGuiApplication::clipboard()->setText(QStringLiteral("24"));
    QTest::keyClick(hours, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(hours->text(), QStringLiteral("00"));
    QGuiApplication::clipboard()->setText(QStringLiteral("23"));
    hours->selectAll();
    QTest::keyClick(hours, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(hours->text(), QStringLiteral("23"));
}

void tst_SpanfieldKeyboard::errorTexts()
{
    Host host;
    QVERIFY(activate(host));
    QLineEdit *hours = host.field(1);
    hours->setFocus();
    hours->setCursorPosition(0);
    host.type({Qt::Key_Q, Qt::Key_9});
    QCOMPARE(host.errors, (QList<int>{1000, 1001}));
    QCOMPARE(host.messages,
             (QStringList{QStringLiteral("Es sind nur Ziffern bei der Eingabe zulässig."),
                          QStringLiteral("Ungültiger Zeitwert bei der Eingabe.")}));
}

QTEST_MAIN(tst_SpanfieldKeyboard)
#include "tst_spanfieldkeyboard.moc"
