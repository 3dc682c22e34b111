// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "durix_export.h"

#include <hostedcontrol.h>
#include <propertybag.h>

#include <QString>

#include <array>

class QLabel;
class SpanfieldField;
namespace DurationValue {
struct Arrangement;
}

// Spanfield lets the user enter a time of day or a duration in up to four numeric fields (days,
// hours, minutes, seconds), each followed by a caption label, and converts it to and from seconds
// past midnight and a day count. Hosts create it as "Durix.Spanfield".
//
// The control keeps its size to its visible fields: whatever size a container gives it, it snaps
// back. Typing follows the control's own rules: digits overwrite the field at the caret, a value
// above the field's limit is refused with Error 1001, a non-digit is refused with Error 1000 and is
// not inserted, a complete field moves the focus on, and the arrow keys cross between fields. A
// single character committed by an input method, as an on-screen keyboard sends it, is typed.
//
// Every other change the user makes to a field's text (a paste by key, context menu or middle
// click, a longer input-method commit, a key press carrying other text, deleting, cutting, undo and
// redo) is kept only when it adds nothing but digits, leaves the field's value within its limit and
// leaves no more characters than the field takes (three for the days, two for the others);
// otherwise the field keeps its text. A paste takes the digits of the pasted text, as many as the
// field has room for. These refusals raise no Error, as a refused Ctrl+V never did: Error reports
// typed characters only. The fields take no drops.
//
// Errors: setSecondsPastMidnight() and setLabelSeperator() throw std::overflow_error where the
// 16-bit arithmetic overflows (more than 32767 days, a caption list beyond 32767 characters);
// nothing is changed then. Through setProperty() the same write simply has no effect.
//
// DayCount reads as a qint16. Written through setProperty() it takes any number (or text holding
// one), rounded halves to even; a value outside -32768..32767, NaN, an infinity or something that
// is no number is refused and changes nothing, instead of wrapping around into the range.
//
// Events pass their arguments by reference; the control ignores what a handler leaves there.
class DURIX_EXPORT Spanfield final : public HostedControl
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Spanfield)

    Q_CLASSINFO("TypeLibrary", "Durix")
    Q_CLASSINFO("TypeLibraryVersion", "18.0")
    Q_CLASSINFO("TypeLibraryDescription", "Tamsel - Spanfield")
    Q_CLASSINFO("ProgrammaticId", "Durix.Spanfield")
    Q_CLASSINFO("DefaultInterface", "_Spanfield")
    Q_CLASSINFO("EventInterface", "__Spanfield")

    Q_CLASSINFO("DispId:ShowDays", "0x68030008")
    Q_CLASSINFO("Description:ShowDays",
                "Legt fest, ob die Eingabemöglichkeit von Tagen ermöglicht ist, oder gibt diese zurück.")
    Q_CLASSINFO("DispId:ShowSeconds", "0x68030007")
    Q_CLASSINFO("Description:ShowSeconds",
                "Legt fest, ob die Eingabemöglichkeit von Sekunden ermöglicht ist, oder gibt diese zurück.")
    Q_CLASSINFO("DispId:LabelSeperator", "0x68030006")
    Q_CLASSINFO("Description:LabelSeperator",
                "Legt, durch Semikolon getrennt, die vier Labelbeschriftungen fest, oder gibt diesen Wert zurück.")
    Q_CLASSINFO("DispId:BackColor", "0x68030005")
    Q_CLASSINFO("Description:BackColor", "Gibt die Hintergrundfarbe des Controls zurück, oder legt diese fest.")
    Q_CLASSINFO("DispId:SecondsPastMidnight", "0x68030004")
    Q_CLASSINFO("Description:SecondsPastMidnight",
                "Gibt den Wert der Sekunden nach Mitternacht zurück, der durch das Control in eine Zeitangabe "
                "gewandelt wird, oder legt diesen fest.")
    Q_CLASSINFO("DispId:Locked", "0x68030003")
    Q_CLASSINFO("Description:Locked",
                "Legt fest, ob die Angaben innerhalb des Controls verändert werden dürfen (Locked=False), oder gibt "
                "diesen Wert zurück.")
    Q_CLASSINFO("DispId:DayCount", "0x68030002")
    Q_CLASSINFO("Description:DayCount",
                "Legt den Wert für die Anzahl von Tagen zusätzlich zur Zeit an, oder gibt diesen Wert zurück.")
    Q_CLASSINFO("DispId:ForeColor", "0x68030001")
    Q_CLASSINFO("DispId:Change", "1")
    Q_CLASSINFO("Description:Change", "Tritt auf, wenn Daten innerhalb des Controls geändert werden.")
    Q_CLASSINFO("DispId:Error", "2")
    Q_CLASSINFO("Description:Error", "Tritt bei Fehlengaben seitens des Benutzers auf.")
    Q_CLASSINFO("DispId:DayOverflow", "3")

    Q_PROPERTY(bool ShowDays READ showDays WRITE setShowDays)
    Q_PROPERTY(bool ShowSeconds READ showSeconds WRITE setShowSeconds)
    Q_PROPERTY(QString LabelSeperator READ labelSeperator WRITE writeLabelSeperatorProperty)
    Q_PROPERTY(quint32 BackColor READ backColor WRITE setBackColor)
    Q_PROPERTY(float SecondsPastMidnight READ secondsPastMidnight WRITE writeSecondsPastMidnightProperty)
    Q_PROPERTY(bool Locked READ locked WRITE setLocked)
    Q_PROPERTY(QVariant DayCount READ dayCountProperty WRITE writeDayCountProperty)
    Q_PROPERTY(quint32 ForeColor READ foreColor WRITE setForeColor)

public:
    // The published property names, for hosts that address the control by name
    // (HostedControl::setPublishedProperty).
    struct Property
    {
        static constexpr char ShowDays[] = "ShowDays";
        static constexpr char ShowSeconds[] = "ShowSeconds";
        static constexpr char LabelSeperator[] = "LabelSeperator";
        static constexpr char BackColor[] = "BackColor";
        static constexpr char SecondsPastMidnight[] = "SecondsPastMidnight";
        static constexpr char Locked[] = "Locked";
        static constexpr char DayCount[] = "DayCount";
        static constexpr char ForeColor[] = "ForeColor";
    };

    static constexpr qint16 ErrorNotADigit = 1000;
    static constexpr qint16 ErrorInvalidValue = 1001;

    explicit Spanfield(QWidget *parent = nullptr);
    ~Spanfield() override;

    bool showDays() const { return m_showDays; }
    void setShowDays(bool vNewValue);
    bool showSeconds() const { return m_showSeconds; }
    void setShowSeconds(bool vNewValue);
    QString labelSeperator() const { return m_labelSeperator; }
    // A list without exactly four captions is refused with a message box and leaves the captions.
    void setLabelSeperator(const QString &vNewValue);
    quint32 backColor() const { return m_backColor; }
    void setBackColor(quint32 vNewValue);
    quint32 foreColor() const { return m_foreColor; }
    void setForeColor(quint32 vNewValue);
    bool locked() const { return m_locked; }
    void setLocked(bool vNewValue);

    // Reads the hours, minutes and (when shown) seconds fields; the days are read through dayCount().
    float secondsPastMidnight() const;
    // Whole days are carried into the day count (raising DayOverflow), the rest is shown.
    void setSecondsPastMidnight(float Secs);
    // -1 while the overflow marker is shown; 0 while the days are hidden.
    qint16 dayCount() const;
    // Above 365 the fields show the overflow marker instead.
    void setDayCount(qint16 vNewValue);

    void readProperties(const PropertyBag &bag) override;
    void writeProperties(PropertyBag &bag) const override;

    QSize sizeHint() const override;

Q_SIGNALS:
    void Change();
    void Error(qint16 &Num, QString &Msg);
    void DayOverflow(qint16 &DiffDays);

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    // The stored properties, written and read in this order: each one's key in the host's property
    // bag and its default, which is also its initial value. ForeColor is stored as "TextColor".
    struct Stored
    {
        static constexpr PropertyKey<QLatin1String> LabelSeperator{"LabelSeperator", QLatin1String("T;h;m;s")};
        static constexpr PropertyKey<bool> ShowDays{"ShowDays", false};
        static constexpr PropertyKey<bool> ShowSeconds{"ShowSeconds", true};
        static constexpr PropertyKey<quint32> BackColor{"BackColor", 0x8000000Fu}; // the button face
        static constexpr PropertyKey<qint16> DayCount{"DayCount", 0};
        static constexpr PropertyKey<bool> Locked{"Locked", false};
        static constexpr PropertyKey<float> SecondsPastMidnight{"SecondsPastMidnight", 0.0f};
        static constexpr PropertyKey<quint32> ForeColor{"TextColor", 0x80000008u}; // the window text
    };

    void writeLabelSeperatorProperty(const QString &vNewValue);
    void writeSecondsPastMidnightProperty(float Secs);
    QVariant dayCountProperty() const;
    void writeDayCountProperty(const QVariant &vNewValue);

    void ArrangeFields();
    void SetOverflowDisplay(bool state);
    void showStoredValues();
    DurationValue::Arrangement currentArrangement() const;

    bool handleArrowKey(int index, int key);
    void handleCharacter(int index, QChar character);
    void raiseError(qint16 number, const QString &message);
    void postTab(bool backwards);
    int fieldIndex(const QObject *object) const;

    std::array<SpanfieldField *, 4> txtTime{};
    std::array<QLabel *, 4> lblSeperator{};

    bool m_showDays = Stored::ShowDays.defaultValue;
    bool m_showSeconds = Stored::ShowSeconds.defaultValue;
    QString m_labelSeperator = Stored::LabelSeperator.defaultValue;
    quint32 m_backColor = Stored::BackColor.defaultValue;
    quint32 m_foreColor = Stored::ForeColor.defaultValue;
    mutable qint16 m_dayCount = Stored::DayCount.defaultValue;
    bool m_locked = Stored::Locked.defaultValue;
    mutable float m_secondsPastMidnight = Stored::SecondsPastMidnight.defaultValue;
    bool m_overflowShown = false;
    bool m_arranging = false;
};
