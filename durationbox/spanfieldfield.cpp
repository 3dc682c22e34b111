// SPDX-License-Identifier: GPL-3.0-or-later
#include "spanfieldfield.h"

#include "durationvalue.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPointer>
#include <QValidator>

#include <functional>
#include <memory>

namespace {

// The line edit asks this before it keeps a text, and undoes an edit it refuses.
class TextCheck final : public QValidator
{
public:
    TextCheck(std::function<bool(const QString &)> accepts, QObject *parent)
        : QValidator(parent)
        , m_accepts(std::move(accepts))
    {
    }

    State validate(QString &input, int &) const override { return m_accepts(input) ? Acceptable : Invalid; }

private:
    std::function<bool(const QString &)> m_accepts;
};

} // namespace

SpanfieldField::SpanfieldField(qint16 index, QWidget *parent)
    : QLineEdit(parent)
    , m_index(index)
{
    setAcceptDrops(false);
    setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // The fields are designed two digits wide (three for the days); the line edit's own inner
    // margin of two pixels a side would scroll the first digit out of sight.
    setTextMargins(-2, 0, -2, 0);
    setValidator(new TextCheck([this](const QString &text) { return acceptsText(text); }, this));
    connect(this, &QLineEdit::textChanged, this, &SpanfieldField::settle);
}

int SpanfieldField::caretPosition() const
{
    return hasSelectedText() ? selectionStart() : cursorPosition();
}

// Setting a text clears the edit history, and every edit records itself there and drops whatever
// could be redone. So a text that comes while nothing can be undone was set by the control (or by
// whoever sets the text directly), and one that comes while something can be redone is an undo,
// back to a text the field held before. Redo repeats edits that kept to the rules, and so does too.
bool SpanfieldField::acceptsText(const QString &text) const
{
    if (!isUndoAvailable() || isRedoAvailable())
        return true;
    return DurationValue::isAcceptableEdit(m_index, m_settled, text);
}

void SpanfieldField::settle(const QString &text)
{
    m_settled = text;
}

void SpanfieldField::pasteDigits(QClipboard::Mode mode)
{
    if (isReadOnly())
        return;
    const qsizetype room = DurationValue::inputLength(m_index) - (text().size() - selectedText().size());
    QString digits;
    const QString pasted = QGuiApplication::clipboard()->text(mode);
    for (qsizetype i = 0; i < pasted.size() && digits.size() < room; ++i) {
        if (pasted.at(i) >= u'0' && pasted.at(i) <= u'9')
            digits.append(pasted.at(i));
    }
    if (!digits.isEmpty())
        insert(digits);
}

void SpanfieldField::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Paste)) {
        pasteDigits(QClipboard::Clipboard);
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void SpanfieldField::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::MiddleButton && QGuiApplication::clipboard()->supportsSelection()) {
        pasteDigits(QClipboard::Selection);
        event->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}

// A read-only field has input methods turned off, but the line edit would still take a commit sent
// to it.
void SpanfieldField::inputMethodEvent(QInputMethodEvent *event)
{
    if (isReadOnly()) {
        event->ignore();
        return;
    }
    QLineEdit::inputMethodEvent(event);
}

// An insertion beyond the end of the text (an input method may place its commit there, and a caret
// can move past the end over an input method's pending text) pads the text with blanks, which the
// line edit keeps when it takes the refused insertion back, without telling anyone: once the user's
// input is handled, a text the field never settled on is taken back. Other events, such as the
// queries an edit itself sends, may see an edit half done.
bool SpanfieldField::event(QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::InputMethod:
    case QEvent::MouseButtonRelease:
    case QEvent::ContextMenu:
    case QEvent::Drop:
        break;
    default:
        return QLineEdit::event(event);
    }
    const QPointer<SpanfieldField> alive(this);
    ++m_inputDepth;
    const bool handled = QLineEdit::event(event);
    if (!alive)
        return handled;
    if (--m_inputDepth == 0 && text() != m_settled)
        setText(m_settled);
    return handled;
}

void SpanfieldField::contextMenuEvent(QContextMenuEvent *event)
{
    const std::unique_ptr<QMenu> menu(createStandardContextMenu());
    // The menu's Paste is known by the caption the line edit gives it.
    const QString paste = QLineEdit::tr("&Paste");
    const QList<QAction *> actions = menu->actions();
    for (QAction *action : actions) {
        if (!action->text().startsWith(paste))
            continue;
        disconnect(action, &QAction::triggered, this, nullptr);
        connect(action, &QAction::triggered, this, [this] { pasteDigits(QClipboard::Clipboard); });
    }
    menu->exec(event->globalPos());
}
