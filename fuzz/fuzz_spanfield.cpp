// SPDX-License-Identifier: GPL-3.0-or-later
// Random input into a real Spanfield by every road text takes into its fields: keystrokes, pastes by
// key, context menu and middle click, drops, input-method commits, key presses carrying other text,
// the context menu's other actions, undo and redo, mixed with writes by the program. Keys and events
// are real events sent to the fields. After every step no field may hold a text the typing rules
// would refuse (a value above the field's limit, characters other than digits) or more characters
// than it takes, unless that text is what the program wrote, or what is left of it.

#include <durationvalue.h>
#include <messageboxhook.h>
#include <spanfield.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>

#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

struct Key
{
    int key;
    Qt::KeyboardModifiers modifiers;
    const char *text;
};

const Key Keys[] = {
    {Qt::Key_0, Qt::NoModifier, "0"},
    {Qt::Key_1, Qt::NoModifier, "1"},
    {Qt::Key_2, Qt::NoModifier, "2"},
    {Qt::Key_3, Qt::NoModifier, "3"},
    {Qt::Key_4, Qt::NoModifier, "4"},
    {Qt::Key_5, Qt::NoModifier, "5"},
    {Qt::Key_6, Qt::NoModifier, "6"},
    {Qt::Key_7, Qt::NoModifier, "7"},
    {Qt::Key_8, Qt::NoModifier, "8"},
    {Qt::Key_9, Qt::NoModifier, "9"},
    {Qt::Key_9, Qt::KeypadModifier, "9"},
    {Qt::Key_A, Qt::NoModifier, "a"},
    {Qt::Key_Minus, Qt::NoModifier, "-"},
    {Qt::Key_Space, Qt::NoModifier, " "},
    {Qt::Key_Left, Qt::NoModifier, ""},
    {Qt::Key_Right, Qt::NoModifier, ""},
    {Qt::Key_Home, Qt::NoModifier, ""},
    {Qt::Key_End, Qt::NoModifier, ""},
    {Qt::Key_Backspace, Qt::NoModifier, "\b"},
    {Qt::Key_Delete, Qt::NoModifier, "\x7f"},
    {Qt::Key_Tab, Qt::NoModifier, "\t"},
    {Qt::Key_Backtab, Qt::ShiftModifier, ""},
    {Qt::Key_Left, Qt::ShiftModifier, ""},
    {Qt::Key_Right, Qt::ShiftModifier, ""},
    {Qt::Key_Home, Qt::ShiftModifier, ""},
    {Qt::Key_End, Qt::ShiftModifier, ""},
    {Qt::Key_A, Qt::ControlModifier, "\x01"},
    {Qt::Key_V, Qt::ControlModifier, "\x16"},
    {Qt::Key_X, Qt::ControlModifier, "\x18"},
    {Qt::Key_C, Qt::ControlModifier, "\x03"},
    {Qt::Key_Z, Qt::ControlModifier, "\x1a"},
    {Qt::Key_Y, Qt::ControlModifier, "\x19"},
    {Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier, "\x1a"},
    {Qt::Key_K, Qt::ControlModifier, "\x0b"},
    {Qt::Key_Insert, Qt::ShiftModifier, ""},
    {Qt::Key_Up, Qt::NoModifier, ""},
    {Qt::Key_Down, Qt::NoModifier, ""},
    {Qt::Key_Return, Qt::NoModifier, "\r"},
    {Qt::Key_Backspace, Qt::ControlModifier, ""},
    {Qt::Key_Delete, Qt::ControlModifier, ""},
};

constexpr std::array<int, DurationValue::FieldCount> Limit{365, 23, 59, 59};

QApplication &application()
{
    static int argc = 1;
    static char name[] = "fuzz_spanfield";
    static char *argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Kept for the life of the process: destroying it among the exit handlers, after Qt's own
    // globals, would crash.
    static QApplication *const app = new QApplication(argc, argv);
    return *app;
}

struct Window
{
    QWidget window;
    Spanfield *field = nullptr;
    QLineEdit *other = nullptr;
    std::array<QString, DurationValue::FieldCount> written;

    QLineEdit *text(int i) const { return field->findChild<QLineEdit *>(QStringLiteral("txtTime%1").arg(i)); }
    void remember()
    {
        for (int i = 0; i < DurationValue::FieldCount; ++i)
            written[size_t(i)] = text(i)->text();
    }
};

[[noreturn]] void fail(int index, const QString &text, const char *what)
{
    std::fprintf(stderr, "spanfield: field %d holds \"%s\": %s\n", index, qPrintable(text), what);
    std::abort();
}

// Whether text is what the program wrote, or what is left of it after characters were deleted.
bool leftOf(const QString &text, const QString &written)
{
    qsizetype next = 0;
    for (const QChar c : text) {
        next = written.indexOf(c, next);
        if (next < 0)
            return false;
        ++next;
    }
    return true;
}

void checkFields(const Window &w)
{
    for (int i = 0; i < DurationValue::FieldCount; ++i) {
        const QString text = w.text(i)->text();
        const QString &written = w.written[size_t(i)];
        // Whatever the road, the value stays within the field's limit; the program never writes more.
        if (DurationValue::numericValue(text) > Limit[size_t(i)])
            fail(i, text, "a value above the field's limit");
        if (leftOf(text, written))
            continue;
        // Typing overwrites at the caret, so a digit typed over a longer text the program wrote keeps
        // its length (other steps are held to the field's length by checkStep), and a digit typed over
        // the marker or a minus sign leaves the rest.
        if (text.size() > qMax<qsizetype>(DurationValue::inputLength(qint16(i)), written.size()))
            fail(i, text, "more characters than the field takes");
        for (const QChar c : text) {
            if ((c < u'0' || c > u'9') && !written.contains(c))
                fail(i, text, "a character that is neither a digit nor left from the program's text");
        }
    }
    const float seconds = w.field->secondsPastMidnight();
    if (!std::isfinite(seconds))
        fail(DurationValue::HoursField, w.text(DurationValue::HoursField)->text(), "a time that is no number");
}

// What a step other than typing, undo and redo may do to a field: leave its text, take characters
// out of it, or leave no more characters than the field takes.
void checkStep(const Window &w, const std::array<QString, DurationValue::FieldCount> &before)
{
    for (int i = 0; i < DurationValue::FieldCount; ++i) {
        const QString text = w.text(i)->text();
        if (text.size() > DurationValue::inputLength(qint16(i)) && !leftOf(text, before[size_t(i)]))
            fail(i, text, "more characters than the field takes, after a step other than typing");
    }
}

// Whether a key types a character (the control's typing rules apply) or undoes or redoes.
bool typesOrUndoes(const Key &key)
{
    if (key.modifiers & Qt::ControlModifier)
        return key.key == Qt::Key_Z || key.key == Qt::Key_Y;
    return std::strlen(key.text) == 1 && QChar(QLatin1Char(key.text[0])).isPrint();
}

// FUZZ_TRACE=1 prints every step, to see how a finding came about.
const bool Trace = qEnvironmentVariableIsSet("FUZZ_TRACE");

void trace(const Window &w, const QString &step)
{
    if (!Trace)
        return;
    QStringList texts;
    for (int i = 0; i < DurationValue::FieldCount; ++i)
        texts.append(w.text(i)->text());
    QWidget *focus = QApplication::focusWidget();
    std::fprintf(stderr, "%-28s -> [%s] focus %s\n", qPrintable(step), qPrintable(texts.join(u'|')),
                 focus ? qPrintable(focus->objectName()) : "none");
}

void press(const Key &key)
{
    QWidget *target = QApplication::focusWidget();
    if (!target)
        return;
    QKeyEvent down(QEvent::KeyPress, key.key, key.modifiers, QString::fromLatin1(key.text));
    QApplication::sendEvent(target, &down);
    if (QWidget *now = QApplication::focusWidget()) {
        QKeyEvent up(QEvent::KeyRelease, key.key, key.modifiers, QString::fromLatin1(key.text));
        QApplication::sendEvent(now, &up);
    }
}

// Text from characters that matter to the fields: digits, a letter, a minus sign, the overflow
// marker, a blank and a fullwidth digit.
QString someText(FuzzedDataProvider &provider, int longest)
{
    static const QString alphabet = QStringLiteral("0123456789a-\u00a7 \uff11");
    QString text;
    const int length = provider.ConsumeIntegralInRange<int>(0, longest);
    for (int i = 0; i < length; ++i)
        text.append(alphabet.at(provider.ConsumeIntegralInRange<qsizetype>(0, alphabet.size() - 1)));
    return text;
}

QLineEdit *focusedField(const Window &w)
{
    auto *edit = qobject_cast<QLineEdit *>(QApplication::focusWidget());
    return edit && edit != w.other ? edit : nullptr;
}

QPoint somewhereIn(FuzzedDataProvider &provider, const QWidget *widget)
{
    return {provider.ConsumeIntegralInRange<int>(0, qMax(0, widget->width() - 1)), widget->height() / 2};
}

// Opens the field's context menu and chooses one of its actions (Undo, Redo, Cut, Copy, Paste,
// Delete, Select All), if it is enabled. Gives the caption of the action chosen.
QString chooseFromContextMenu(QLineEdit *field, int choice)
{
    QString chosen;
    QTimer::singleShot(0, field, [choice, &chosen] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        if (!menu)
            return;
        QList<QAction *> actions;
        for (QAction *action : menu->actions()) {
            if (!action->isSeparator() && !action->menu())
                actions.append(action);
        }
        if (!actions.isEmpty()) {
            QAction *action = actions.at(choice % actions.size());
            if (action->isEnabled()) {
                chosen = action->text();
                action->trigger();
            }
        }
        menu->close();
    });
    const QPoint at(1, field->height() / 2);
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, field->mapToGlobal(at));
    QApplication::sendEvent(field, &event);
    // As a closing menu gives the focus back to where it was.
    QApplication::setActiveWindow(field->window());
    field->setFocus(Qt::PopupFocusReason);
    return chosen;
}

void middleClick(QLineEdit *field, QPoint at)
{
    QMouseEvent press(QEvent::MouseButtonPress, at, field->mapToGlobal(at), Qt::MiddleButton, Qt::MiddleButton,
                      Qt::NoModifier);
    QApplication::sendEvent(field, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, field->mapToGlobal(at), Qt::MiddleButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(field, &release);
}

// Gives whether the commit is a single character that the control types.
bool commit(FuzzedDataProvider &provider, QLineEdit *field, QString *description)
{
    QInputMethodEvent event(provider.ConsumeBool() ? someText(provider, 2) : QString(), {});
    const QString committed = someText(provider, 4);
    if (provider.ConsumeBool())
        event.setCommitString(committed, provider.ConsumeIntegralInRange<int>(-3, 1),
                              provider.ConsumeIntegralInRange<int>(0, 3));
    else
        event.setCommitString(committed);
    QApplication::sendEvent(field, &event);
    *description = QStringLiteral("commit \"%1\" at %2 over %3, preedit \"%4\"")
                       .arg(committed)
                       .arg(event.replacementStart())
                       .arg(event.replacementLength())
                       .arg(event.preeditString());
    return committed.size() == 1 && event.preeditString().isEmpty() && event.replacementStart() == 0
        && event.replacementLength() == 0;
}

void drop(FuzzedDataProvider &provider, QLineEdit *field)
{
    QMimeData data;
    data.setText(someText(provider, 6));
    const QPoint at = somewhereIn(provider, field);
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(field, &enter);
    QDropEvent dropped(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(field, &dropped);
}

// A key press with text of its own: several characters, one character with Alt, or one character
// that the control types. Gives whether it types.
bool keyText(FuzzedDataProvider &provider, QLineEdit *field, QString *description)
{
    const QString text = someText(provider, 3);
    const Qt::KeyboardModifiers modifiers = provider.ConsumeBool() ? Qt::AltModifier : Qt::NoModifier;
    QKeyEvent down(QEvent::KeyPress, Qt::Key_unknown, modifiers, text);
    QApplication::sendEvent(field, &down);
    *description = QStringLiteral("key text \"%1\" mod %2").arg(text).arg(int(modifiers), 0, 16);
    return text.size() == 1 && modifiers == Qt::NoModifier;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    application();
    MessageBoxHook::setHandler([](const MessageBoxRequest &) { return QMessageBox::Ok; });
    FuzzedDataProvider provider(data, size);

    Window w;
    auto *layout = new QVBoxLayout(&w.window);
    w.field = new Spanfield(&w.window);
    w.other = new QLineEdit(&w.window);
    layout->addWidget(w.field);
    layout->addWidget(w.other);
    w.field->setShowDays(provider.ConsumeBool());
    w.field->setShowSeconds(!provider.ConsumeBool());
    w.window.show();
    QApplication::setActiveWindow(&w.window);
    w.field->setFocus(Qt::OtherFocusReason);
    QApplication::processEvents();
    w.remember();

    for (int step = 0; step < 200 && provider.remaining_bytes() > 0; ++step) {
        std::array<QString, DurationValue::FieldCount> before;
        for (int i = 0; i < DurationValue::FieldCount; ++i)
            before[size_t(i)] = w.text(i)->text();
        // Typing, undo and redo may leave a longer text the program wrote as long as it was.
        bool typesOrUndoesOrWrites = false;
        const int action = provider.ConsumeIntegralInRange<int>(0, 27);
        if (action < 14) {
            const Key &key = Keys[provider.ConsumeIntegralInRange<size_t>(0, std::size(Keys) - 1)];
            typesOrUndoesOrWrites = typesOrUndoes(key);
            press(key);
            QApplication::processEvents();
            trace(w,
                  QStringLiteral("key %1 mod %2").arg(QKeySequence(key.key).toString()).arg(int(key.modifiers), 0, 16));
        } else if (action == 14) {
            QApplication::clipboard()->setText(QString::fromStdString(provider.ConsumeRandomLengthString(8)));
            trace(w, QStringLiteral("clipboard \"%1\"").arg(QApplication::clipboard()->text()));
        } else if (action == 15) {
            const float seconds = provider.ConsumeBool() ? provider.ConsumeFloatingPointInRange<float>(-1e6f, 1e8f)
                                                         : float(provider.ConsumeIntegralInRange<int>(0, 86399));
            w.field->setProperty("SecondsPastMidnight", seconds);
            w.remember();
            typesOrUndoesOrWrites = true;
        } else if (action == 16) {
            w.field->setDayCount(provider.ConsumeIntegralInRange<qint16>(-400, 400));
            w.remember();
            typesOrUndoesOrWrites = true;
        } else if (action == 17) {
            w.field->setLocked(provider.ConsumeBool());
        } else if (action == 18) {
            w.field->setShowDays(provider.ConsumeBool());
            w.field->setShowSeconds(provider.ConsumeBool());
        } else if (action == 19) {
            QWidget *target = provider.ConsumeBool() ? static_cast<QWidget *>(w.other) : w.field;
            target->setFocus(Qt::OtherFocusReason);
        } else if (QLineEdit *field = focusedField(w)) {
            if (action == 20) {
                const QString chosen = chooseFromContextMenu(field, provider.ConsumeIntegral<uint8_t>());
                typesOrUndoesOrWrites =
                    chosen.startsWith(QLineEdit::tr("&Undo")) || chosen.startsWith(QLineEdit::tr("&Redo"));
                trace(w, QStringLiteral("menu \"%1\"").arg(chosen));
            } else if (action == 21) {
                QApplication::clipboard()->setText(someText(provider, 6), QClipboard::Selection);
                middleClick(field, somewhereIn(provider, field));
            } else if (action == 22) {
                drop(provider, field);
            } else if (action == 23 || action == 24) {
                QString description;
                typesOrUndoesOrWrites = commit(provider, field, &description);
                trace(w, description);
            } else if (action == 25) {
                QString description;
                typesOrUndoesOrWrites = keyText(provider, field, &description);
                trace(w, description);
            } else if (action == 26) {
                provider.ConsumeBool() ? field->undo() : field->redo();
                typesOrUndoesOrWrites = true;
            } else {
                QApplication::clipboard()->setText(someText(provider, 6));
            }
        }
        QApplication::processEvents();
        trace(w, QStringLiteral("action %1").arg(action));
        checkFields(w);
        if (!typesOrUndoesOrWrites)
            checkStep(w, before);
    }
    MessageBoxHook::setHandler({});
    return 0;
}
