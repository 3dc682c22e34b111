// SPDX-License-Identifier: GPL-3.0-or-later
// Text that reaches a Spanfield field by roads other than typed keys: pasted by key, context menu,
// middle click or drop, committed by an input method, sent with a key press, deleted, undone and
// redone. Every road leaves a field with a text the typing rules accept, or leaves it as it was.
#include <spanfield.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QHBoxLayout>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <cmath>

namespace {

enum class Road { CtrlV, ShiftInsert, ContextMenu, MiddleClick, Drop, InputMethod, KeyText };

const char *roadName(Road road)
{
    switch (road) {
    case Road::CtrlV:
        return "Ctrl+V";
    case Road::ShiftInsert:
        return "Shift+Insert";
    case Road::ContextMenu:
        return "context menu";
    case Road::MiddleClick:
        return "middle click";
    case Road::Drop:
        return "drop";
    case Road::InputMethod:
        return "input method";
    case Road::KeyText:
        return "key text";
    }
    return "";
}

class Host : public QWidget
{
public:
    Host()
    {
        auto *layout = new QHBoxLayout(this);
        control = new Spanfield(this);
        control->setShowDays(true);
        layout->addWidget(control);
        QObject::connect(control, &Spanfield::Error, control, [this](qint16 &num, QString &) { errors.append(num); });
    }

    QLineEdit *field(int i) const { return control->findChild<QLineEdit *>(QStringLiteral("txtTime%1").arg(i)); }

    Spanfield *control = nullptr;
    QList<int> errors;
};

bool activate(Host &host)
{
    host.show();
    QApplication::setActiveWindow(&host);
    return QTest::qWaitForWindowActive(&host);
}

// Opens the field's context menu with a real event and chooses the enabled action whose caption
// starts with caption ("&Paste", "&Undo"). False when the menu offered no such action.
bool chooseFromContextMenu(QLineEdit *field, const QString &caption)
{
    bool chosen = false;
    QTimer::singleShot(0, field, [&chosen, caption] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        if (!menu)
            return;
        const QList<QAction *> actions = menu->actions();
        for (QAction *action : actions) {
            if (action->text().startsWith(caption) && action->isEnabled()) {
                action->trigger();
                chosen = true;
                break;
            }
        }
        menu->close();
    });
    const QPoint at(2, field->height() / 2);
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, field->mapToGlobal(at));
    QCoreApplication::sendEvent(field, &event);
    return chosen;
}

// The end of the field's text: where a middle click puts what it brings, and where a drop is aimed.
QPoint endOfText(QLineEdit *field)
{
    return {field->width() - 2, field->height() / 2};
}

void commit(QLineEdit *field, const QString &text)
{
    QInputMethodEvent event;
    event.setCommitString(text);
    QCoreApplication::sendEvent(field, &event);
}

// Brings text into the field by the road; false when this platform has no such road.
bool bring(Road road, QLineEdit *field, const QString &text)
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    switch (road) {
    case Road::CtrlV:
        clipboard->setText(text);
        QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
        return true;
    case Road::ShiftInsert:
        clipboard->setText(text);
        QTest::keyClick(field, Qt::Key_Insert, Qt::ShiftModifier);
        return true;
    case Road::ContextMenu:
        clipboard->setText(text);
        return chooseFromContextMenu(field, QStringLiteral("&Paste"));
    case Road::MiddleClick:
        if (!clipboard->supportsSelection())
            return false;
        clipboard->setText(text, QClipboard::Selection);
        QTest::mouseClick(field, Qt::MiddleButton, Qt::NoModifier, endOfText(field));
        return true;
    case Road::Drop: {
        QMimeData data;
        data.setText(text);
        QDropEvent drop(endOfText(field), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(field, &drop);
        return true;
    }
    case Road::InputMethod:
        commit(field, text);
        return true;
    case Road::KeyText: {
        // A key press that carries more than one character, or a character with Alt held.
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, text.size() == 1 ? Qt::AltModifier : Qt::NoModifier, text);
        QCoreApplication::sendEvent(field, &press);
        return true;
    }
    }
    return false;
}

// One step of an editing sequence: "what" or "what:text".
void perform(QLineEdit *field, const QString &step)
{
    const QString what = step.section(u':', 0, 0);
    const QString text = step.section(u':', 1);
    if (what == QLatin1String("select all"))
        field->selectAll();
    else if (what == QLatin1String("home"))
        field->home(false);
    else if (what == QLatin1String("end"))
        field->end(false);
    else if (what == QLatin1String("backspace"))
        QTest::keyClick(field, Qt::Key_Backspace);
    else if (what == QLatin1String("delete"))
        QTest::keyClick(field, Qt::Key_Delete);
    else if (what == QLatin1String("undo by key"))
        QTest::keySequence(field, QKeySequence::Undo);
    else if (what == QLatin1String("redo by key"))
        QTest::keySequence(field, QKeySequence::Redo);
    else if (what == QLatin1String("undo by menu"))
        QVERIFY(chooseFromContextMenu(field, QStringLiteral("&Undo")));
    else if (what == QLatin1String("redo by menu"))
        QVERIFY(chooseFromContextMenu(field, QStringLiteral("&Redo")));
    else if (what == QLatin1String("cut by menu"))
        QVERIFY(chooseFromContextMenu(field, QStringLiteral("Cu&t")));
    else if (what == QLatin1String("undo"))
        field->undo();
    else if (what == QLatin1String("redo"))
        field->redo();
    else if (what == QLatin1String("paste by key"))
        bring(Road::CtrlV, field, text);
    else if (what == QLatin1String("paste by menu"))
        QVERIFY(bring(Road::ContextMenu, field, text));
    else if (what == QLatin1String("commit"))
        bring(Road::InputMethod, field, text);
    else if (what == QLatin1String("key text"))
        bring(Road::KeyText, field, text);
    else
        QFAIL(qPrintable(QStringLiteral("unknown step ") + step));
}

// Whether the typing rules could have left this text: digits only, no more than the field's
// length, a value within the field's limit.
bool keepsToTheTypingRules(int index, const QString &text)
{
    static const int limit[] = {365, 23, 59, 59};
    const int length = index == 0 ? 3 : 2;
    if (text.size() > length)
        return false;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return false;
    }
    return text.isEmpty() || text.toInt() <= limit[index];
}

} // namespace

class tst_SpanfieldInput : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void pasteRoads_data();
    void pasteRoads();
    void inputMethodCommits_data();
    void inputMethodCommits();
    void insertionsBeyondTheText_data();
    void insertionsBeyondTheText();
    void lockedFieldsTakeNoCommits();
    void noRoadOverfillsAField_data();
    void noRoadOverfillsAField();
    void editingSequences_data();
    void editingSequences();
};

void tst_SpanfieldInput::init()
{
    QGuiApplication::clipboard()->clear();
}

// Every way of pasting follows the rule Ctrl+V has: the digits of what is pasted, no more than the
// field has room for, and nothing at all when the field would then hold a value above its limit.
// A paste raises no Error.
void tst_SpanfieldInput::pasteRoads_data()
{
    QTest::addColumn<Road>("road");
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("selectAll"); // else the caret is at the end
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("expected");

    struct Case
    {
        const char *name;
        int field;
        const char *text;
        bool selectAll;
        const char *pasted;
        const char *expected;
    };
    const Case cases[] = {
        {"letters", 1, "00", true, "ab", "00"},
        {"99 in the hours", 1, "00", true, "99", "00"},
        {"23 in the hours", 1, "00", true, "23", "23"},
        {"digits among letters", 0, "", false, "a1b2c3", "123"},
        {"long digit string", 2, "", false, "1234567890123456789012345678901234567890", "12"},
        {"400 days", 0, "", false, "400", ""},
        {"completes the seconds", 3, "5", false, "9", "59"},
        {"60 seconds", 3, "6", false, "0", "6"},
        {"fullwidth digits", 2, "", false, "\xef\xbc\x91\xef\xbc\x92", ""},
    };
    for (const Road road : {Road::CtrlV, Road::ShiftInsert, Road::ContextMenu, Road::MiddleClick}) {
        for (const Case &c : cases) {
            QTest::addRow("%s: %s", roadName(road), c.name)
                << road << c.field << QString::fromUtf8(c.text) << c.selectAll << QString::fromUtf8(c.pasted)
                << QString::fromUtf8(c.expected);
        }
    }
}

void tst_SpanfieldInput::pasteRoads()
{
    QFETCH(Road, road);
    QFETCH(int, field);
    QFETCH(QString, text);
    QFETCH(bool, selectAll);
    QFETCH(QString, pasted);

    Host host;
    QVERIFY(activate(host));
    QLineEdit *edit = host.field(field);
    edit->setText(text);
    edit->setFocus();
    if (selectAll)
        edit->selectAll();
    QSignalSpy changes(host.control, &Spanfield::Change);

    if (!bring(road, edit, pasted))
        QSKIP("This platform has no such road.");
    QTEST(edit->text(), "expected");
    QFETCH(QString, expected);
    QCOMPARE(changes.size(), expected == text ? 0 : 1);
    QVERIFY(host.errors.isEmpty());
}

// An input method that commits one character types it: the typing rules apply, with their Error
// events. A longer commit lands whole when the field then keeps to the typing rules, and otherwise
// leaves the field as it was, raising no Error, as a refused paste does.
void tst_SpanfieldInput::inputMethodCommits_data()
{
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("caret"); // -1: the whole text selected
    QTest::addColumn<QString>("committed");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QList<int>>("expectedErrors");

    const QList<int> none;
    QTest::newRow("1 overwrites") << 1 << "00" << 0 << "1"
                                  << "10" << none;
    QTest::newRow("9 above the hours' limit") << 1 << "00" << 0 << "9"
                                              << "00" << QList<int>{1001};
    QTest::newRow("x is no digit") << 1 << "00" << 0 << "x"
                                   << "00" << QList<int>{1000};
    QTest::newRow("fullwidth 1 is no digit") << 1 << "00" << 0 << QString(QChar(0xFF11)) << "00" << QList<int>{1000};
    QTest::newRow("99 over the hours") << 1 << "00" << -1 << "99"
                                       << "00" << none;
    QTest::newRow("500 in the minutes") << 2 << "00" << -1 << "500"
                                        << "00" << none;
    QTest::newRow("500 in empty minutes") << 2 << "" << 0 << "500"
                                          << "" << none;
    QTest::newRow("xy") << 1 << "" << 0 << "xy"
                        << "" << none;
    QTest::newRow("fullwidth 12") << 1 << "" << 0 << QString(QChar(0xFF11)) + QChar(0xFF12) << "" << none;
    QTest::newRow("12 in empty hours") << 1 << "" << 0 << "12"
                                       << "12" << none;
    QTest::newRow("23 over the hours") << 1 << "00" << -1 << "23"
                                       << "23" << none;
    QTest::newRow("365 days") << 0 << "" << 0 << "365"
                              << "365" << none;
    QTest::newRow("366 days") << 0 << "" << 0 << "366"
                              << "" << none;
}

void tst_SpanfieldInput::inputMethodCommits()
{
    QFETCH(int, field);
    QFETCH(QString, text);
    QFETCH(int, caret);
    QFETCH(QString, committed);

    Host host;
    QVERIFY(activate(host));
    QLineEdit *edit = host.field(field);
    edit->setText(text);
    edit->setFocus();
    if (caret < 0)
        edit->selectAll();
    else
        edit->setCursorPosition(caret);

    commit(edit, committed);
    QTEST(edit->text(), "expected");
    QTEST(host.errors, "expectedErrors");
}

// An input method may place its commit beyond the end of the text, and a caret can move past the
// end over an input method's pending text. The line edit then pads the text with blanks; a refused
// insertion leaves none of them behind.
void tst_SpanfieldInput::insertionsBeyondTheText_data()
{
    QTest::addColumn<Road>("road");
    QTest::newRow("commit") << Road::InputMethod;
    QTest::newRow("key text") << Road::KeyText;
    QTest::newRow("paste") << Road::CtrlV;
}

void tst_SpanfieldInput::insertionsBeyondTheText()
{
    QFETCH(Road, road);
    Host host;
    QVERIFY(activate(host));
    QLineEdit *hours = host.field(1);
    hours->setText(QStringLiteral("1"));
    hours->setFocus();
    hours->end(false);

    QInputMethodEvent beyond;
    beyond.setCommitString(QStringLiteral("7-9"), 1, 1);
    QCoreApplication::sendEvent(hours, &beyond);
    QCOMPARE(hours->text(), QStringLiteral("1"));

    // Pending text, and Ctrl+Delete moves the caret over it, past the end of the text.
    QInputMethodEvent pending(QStringLiteral("8"), {});
    QCoreApplication::sendEvent(hours, &pending);
    QTest::keyClick(hours, Qt::Key_Delete, Qt::ControlModifier);
    QVERIFY(bring(road, hours, QStringLiteral("95")));
    QCOMPARE(hours->text(), QStringLiteral("1"));
}

void tst_SpanfieldInput::lockedFieldsTakeNoCommits()
{
    Host host;
    host.control->setLocked(true);
    QVERIFY(activate(host));
    QLineEdit *hours = host.field(1);
    hours->setFocus();
    hours->selectAll();
    commit(hours, QStringLiteral("12"));
    commit(hours, QStringLiteral("5"));
    QCOMPARE(hours->text(), QStringLiteral("00"));
    QVERIFY(host.errors.isEmpty());
}

// However long a digit string is, no road leaves more of it in a field than the field takes, so
// the time read from the fields stays a time of day.
void tst_SpanfieldInput::noRoadOverfillsAField_data()
{
    QTest::addColumn<Road>("road");
    QTest::addColumn<int>("field");
    QTest::addColumn<bool>("selectAll");

    for (const Road road : {Road::CtrlV, Road::ShiftInsert, Road::ContextMenu, Road::MiddleClick, Road::Drop,
                            Road::InputMethod, Road::KeyText}) {
        for (int field = 0; field < 4; ++field) {
            QTest::addRow("%s into field %d", roadName(road), field) << road << field << false;
            if (road != Road::Drop)
                QTest::addRow("%s over field %d", roadName(road), field) << road << field << true;
        }
    }
}

void tst_SpanfieldInput::noRoadOverfillsAField()
{
    QFETCH(Road, road);
    QFETCH(int, field);
    QFETCH(bool, selectAll);

    Host host;
    QVERIFY(activate(host));
    QLineEdit *edit = host.field(field);
    edit->setFocus();
    if (selectAll)
        edit->selectAll();
    else
        edit->clear();
    const QString before = edit->text();

    if (!bring(road, edit, QString(60, u'1')))
        QSKIP("This platform has no such road.");
    QVERIFY2(edit->text() == before || keepsToTheTypingRules(field, edit->text()), qPrintable(edit->text()));
    const float seconds = host.control->secondsPastMidnight();
    QVERIFY2(std::isfinite(seconds) && seconds < 86400.0f, qPrintable(QString::number(seconds)));
}

// Deleting, cutting, undo and redo keep to the same rules as any other change: a refused change
// leaves nothing for undo to bring back, and undo and redo return only to texts the field held
// since the control last wrote it.
void tst_SpanfieldInput::editingSequences_data()
{
    QTest::addColumn<float>("secondsWritten"); // into the hours, minutes and seconds fields
    QTest::addColumn<QStringList>("steps");    // in the hours field
    QTest::addColumn<QStringList>("texts");    // of the hours field after each step

    QTest::newRow("refused commit, undo and redo by key")
        << 0.0f << QStringList{"select all", "commit:12", "select all", "commit:99", "undo by key", "redo by key"}
        << QStringList{"00", "12", "12", "12", "00", "12"};
    QTest::newRow("refused menu paste, undo and redo by menu")
        << 0.0f << QStringList{"select all",       "paste by menu:12", "select all",
                               "paste by menu:ab", "undo by menu",     "redo by menu"}
        << QStringList{"00", "12", "12", "12", "00", "12"};
    QTest::newRow("refused key text, undo and redo slots")
        << 0.0f << QStringList{"select all", "key text:12", "end", "key text:9", "undo", "redo"}
        << QStringList{"00", "12", "12", "12", "00", "12"};
    // The line edit asks the field for input-method details while an undo is half done.
    QTest::newRow("undo and redo slots that move the caret")
        << 0.0f << QStringList{"end", "backspace", "paste by key:9", "undo", "redo", "undo"}
        << QStringList{"00", "0", "09", "0", "09", "0"};
    QTest::newRow("cut by menu and undo")
        << 3600.0f * 21 << QStringList{"select all", "cut by menu", "undo by key", "paste by key:3"}
        << QStringList{"21", "", "21", "3"};
    // A negative hour count the control wrote: deleting its sign would leave 99 hours.
    QTest::newRow("sign of a written negative")
        << -356400.0f << QStringList{"home", "delete",         "end",       "backspace", "undo by key",
                                     "end",  "paste by key:1", "backspace", "key text:5"}
        << QStringList{"-99", "-99", "-99", "-9", "-99", "-99", "-99", "-9", "-9"};
}

void tst_SpanfieldInput::editingSequences()
{
    QFETCH(float, secondsWritten);
    QFETCH(QStringList, steps);
    QFETCH(QStringList, texts);

    Host host;
    QVERIFY(activate(host));
    host.control->setSecondsPastMidnight(secondsWritten);
    QLineEdit *hours = host.field(1);
    hours->setFocus();
    for (qsizetype i = 0; i < steps.size(); ++i) {
        perform(hours, steps.at(i));
        QVERIFY2(hours->text() == texts.at(i),
                 qPrintable(QStringLiteral("after \"%1\": \"%2\"").arg(steps.at(i), hours->text())));
    }
    QVERIFY(host.errors.isEmpty());
}

QTEST_MAIN(tst_SpanfieldInput)
#include "tst_spanfieldinput.moc"
