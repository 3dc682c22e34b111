// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QClipboard>
#include <QLineEdit>

// One numeric field of Spanfield. Typing is handled by the control; what arrives by other roads
// (paste by key, context menu or middle click) keeps only its digits and stays within the field's
// input length, and is refused whole when the field would then hold more than its largest value.
// Text written by the control itself is never cut, so a day count such as "-100" is shown whole.
class SpanfieldField final : public QLineEdit
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SpanfieldField)

public:
    SpanfieldField(int inputLength, int largestValue, QWidget *parent);

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

    int m_inputLength = 2;
    int m_largestValue = 99;
};
