// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QClipboard>
#include <QLineEdit>

// One numeric field of Spanfield, the days, hours, minutes or seconds field by its index (see
// DurationValue). Typing is handled by the control; what arrives by other roads (paste by key,
// context menu or middle click) keeps only its digits and stays within the field's input length
// (three digits for the days, two for the others), and is refused whole when the field would then
// hold a value its rules do not accept.
// Text written by the control itself is never cut, so a day count such as "-100" is shown whole.
class SpanfieldField final : public QLineEdit
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SpanfieldField)

public:
    SpanfieldField(qint16 index, QWidget *parent);

    int inputLength() const { return m_inputLength; }
    // The caret as the control's rules see it: the start of the selection, or the cursor.
    int caretPosition() const;

    void insertDigits(const QString &text);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    void pasteDigits(QClipboard::Mode mode);

    qint16 m_index = 0;
    int m_inputLength = 2;
};
