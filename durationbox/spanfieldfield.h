// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QClipboard>
#include <QLineEdit>

// One numeric field of Spanfield, the days, hours, minutes or seconds field by its index (see
// DurationValue). Typed characters are handled by the control. Whatever else changes the field's
// text on the user's side (a paste by key, context menu or middle click, an input method's commit,
// a key press that carries other text, deleting, cutting, undo and redo by key, menu or slot) is
// checked in one place, and the field keeps its text unless the change keeps to the typing rules
// (DurationValue::isAcceptableEdit): only digits added, a value within the field's limit, and no
// more characters than the field's input length (three for the days, two for the others).
// A paste keeps only the digits of the pasted text, as many as the field has room for. Undo returns
// to a text the field held before; redo repeats edits that kept to the rules. The field takes no
// drops, and a read-only field no input-method text.
// Text the control writes is taken as it is, so a day count such as "-100" is shown whole.
class SpanfieldField final : public QLineEdit
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SpanfieldField)

public:
    SpanfieldField(qint16 index, QWidget *parent);

    // The caret as the control's rules see it: the start of the selection, or the cursor.
    int caretPosition() const;

protected:
    bool event(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    bool acceptsText(const QString &text) const;
    void settle(const QString &text);
    void pasteDigits(QClipboard::Mode mode);

    qint16 m_index = 0;
    QString m_settled;
    int m_inputDepth = 0;
};
