// SPDX-License-Identifier: GPL-3.0-or-later
#include "spanfieldfield.h"

#include "durationvalue.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>

#include <memory>

SpanfieldField::SpanfieldField(qint16 index, QWidget *parent)
    : QLineEdit(parent)
    , m_index(index)
    , m_inputLength(index == DurationValue::DaysField ? 3 : 2)
{
    setAcceptDrops(false);
    setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // The fields are designed two digits wide (three for the days); the line edit's own inner
    // margin of two pixels a side would scroll the first digit out of sight.
    setTextMargins(-2, 0, -2, 0);
}

int SpanfieldField::caretPosition() const
{
    return hasSelectedText() ? selectionStart() : cursorPosition();
}

void SpanfieldField::insertDigits(const QString &text)
{
    if (isReadOnly())
        return;
    QString digits;
    for (const QChar c : text) {
        if (c >= u'0' && c <= u'9')
            digits.append(c);
    }
    const qsizetype room = m_inputLength - (this->text().size() - selectedText().size());
    if (room <= 0 || digits.isEmpty())
        return;
    digits = digits.left(room);
    const int at = caretPosition();
    const QString result = this->text().left(at) + digits + this->text().mid(at + selectedText().size());
    if (!DurationValue::isAcceptableFieldValue(m_index, DurationValue::numericValue(result)))
        return;
    insert(digits);
}

void SpanfieldField::pasteDigits(QClipboard::Mode mode)
{
    insertDigits(QGuiApplication::clipboard()->text(mode));
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

void SpanfieldField::contextMenuEvent(QContextMenuEvent *event)
{
    const std::unique_ptr<QMenu> menu(createStandardContextMenu());
    if (QAction *paste = menu->findChild<QAction *>(QStringLiteral("edit-paste"))) {
        disconnect(paste, &QAction::triggered, nullptr, nullptr);
        connect(paste, &QAction::triggered, this, [this] { pasteDigits(QClipboard::Clipboard); });
    }
    menu->exec(event->globalPos());
}
