// SPDX-License-Identifier: GPL-3.0-or-later
// Random keystrokes into a real Spanfield, mixed with clipboard contents and writes by the program.
// Keys are real key events sent to whatever has the focus. After every step no field may hold a
// value its rule refuses (days above 365, hours above 23, minutes or seconds above 59, characters
// other than digits) unless the field shows the overflow marker or what is left of a text the program
// wrote itself.

#include <durationvalue.h>
#include <messageboxhook.h>
#include <spanfield.h>

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QVBoxLayout>
#include <QWidget>

#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <cstdio>
#include <cstdlib>
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
        if (leftOf(text, w.written[size_t(i)]) || text == DurationValue::overflowMarker(qint16(i)))
            continue;
        // Typing overwrites at the caret, so a digit typed over the marker leaves the rest of it.
        QString digits;
        for (const QChar c : text) {
            if (c >= u'0' && c <= u'9')
                digits.append(c);
            else if (!w.written[size_t(i)].contains(c))
                fail(i, text, "a character that is neither a digit nor left from the program's text");
        }
        // Overwriting keeps the length of a longer text the program wrote, such as "-126".
        const qsizetype room = qMax<qsizetype>(i == DurationValue::DaysField ? 3 : 2, w.written[size_t(i)].size());
        if (digits.size() > room)
            fail(i, text, "more digits than the field takes");
        if (DurationValue::numericValue(text) > Limit[size_t(i)])
            fail(i, text, "a value above the field's limit");
    }
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
        const int action = provider.ConsumeIntegralInRange<int>(0, 19);
        if (action < 14) {
            const Key &key = Keys[provider.ConsumeIntegralInRange<size_t>(0, std::size(Keys) - 1)];
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
        } else if (action == 16) {
            w.field->setDayCount(provider.ConsumeIntegralInRange<qint16>(-400, 400));
            w.remember();
        } else if (action == 17) {
            w.field->setLocked(provider.ConsumeBool());
        } else if (action == 18) {
            w.field->setShowDays(provider.ConsumeBool());
            w.field->setShowSeconds(provider.ConsumeBool());
            w.remember();
        } else {
            QWidget *target = provider.ConsumeBool() ? static_cast<QWidget *>(w.other) : w.field;
            target->setFocus(Qt::OtherFocusReason);
        }
        QApplication::processEvents();
        trace(w, QStringLiteral("action %1").arg(action));
        checkFields(w);
    }
    MessageBoxHook::setHandler({});
    return 0;
}
