// SPDX-License-Identifier: GPL-3.0-or-later
#include "spanfield.h"

#include "durationvalue.h"
#include "spanfieldfield.h"
#include "tokens.h"

#include <controlregistry.h>
#include <messageboxhook.h>
#include <propertybag.h>
#include <valuerules.h>

#include <QApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>

using namespace DurationValue;

namespace {

const QChar Semicolon(u';');

// The fields and labels as designed, in twips.
constexpr std::array<int, FieldCount> DesignFieldLeft{0, 470, 850, 1230};
constexpr std::array<int, FieldCount> DesignFieldWidth{360, 270, 270, 270};
constexpr std::array<int, FieldCount> DesignLabelLeft{360, 765, 1125, 1530};
constexpr int DesignLabelWidth = 45;
constexpr int DesignFieldHeight = 285;
constexpr int DesignLabelTop = 30;
constexpr int DesignLabelHeight = 195;

int twips(double value)
{
    return ValueRules::twipsToPixels(value);
}

const ControlRegistration registration(QStringLiteral("Durix.Spanfield"),
                                       [](QWidget *parent) { return new Spanfield(parent); });

// A Tab or Shift+Tab put into the input queue: it reaches whatever has the focus once the
// handler that posted it has returned.
class PostedTabEvent final : public QEvent
{
public:
    static QEvent::Type eventType()
    {
        static const int type = QEvent::registerEventType();
        return QEvent::Type(type);
    }
    explicit PostedTabEvent(bool backwards)
        : QEvent(eventType())
        , backwards(backwards)
    {
    }
    const bool backwards;
};

bool isTypedCharacter(const QKeyEvent *event)
{
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    const QString text = event->text();
    return text.size() == 1 && text.at(0).isPrint();
}

// An input method that commits a single character, as an on-screen keyboard does, types it.
bool isTypedCommit(const QInputMethodEvent *event)
{
    const QString text = event->commitString();
    return text.size() == 1 && text.at(0).isPrint() && event->preeditString().isEmpty()
        && event->replacementStart() == 0 && event->replacementLength() == 0;
}

} // namespace

Spanfield::Spanfield(QWidget *parent)
    : HostedControl(parent)
{
    setFocusPolicy(Qt::NoFocus);
    // Control text is set in the platform's sans at 8.25 point, the size the fields are designed for,
    // whatever font the container has.
    QFont controlFont = QApplication::font();
    controlFont.setPointSizeF(8.25);
    controlFont.setResolveMask(QFont::AllPropertiesResolved);
    setFont(controlFont);
    for (int i = 0; i < FieldCount; ++i) {
        txtTime[i] = new SpanfieldField(qint16(i), this);
        txtTime[i]->setObjectName(QStringLiteral("txtTime%1").arg(i));
        txtTime[i]->setText(i == DaysField ? QStringLiteral("0") : QStringLiteral("00"));
        txtTime[i]->installEventFilter(this);
        connect(txtTime[i], &QLineEdit::textChanged, this, &Spanfield::Change);

        lblSeperator[i] = new QLabel(QStringLiteral(":"), this);
        lblSeperator[i]->setObjectName(QStringLiteral("lblSeperator%1").arg(i));
        lblSeperator[i]->setFocusPolicy(Qt::NoFocus);
    }
    for (int i = 1; i < FieldCount; ++i)
        setTabOrder(txtTime[i - 1], txtTime[i]);
    setFocusProxy(txtTime[HoursField]);

    for (int i = 0; i < FieldCount; ++i) {
        txtTime[i]->setGeometry(twips(DesignFieldLeft[i]), 0, twips(DesignFieldWidth[i]), twips(DesignFieldHeight));
        lblSeperator[i]->setGeometry(twips(DesignLabelLeft[i]), twips(DesignLabelTop), twips(DesignLabelWidth),
                                     twips(DesignLabelHeight));
    }
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

Spanfield::~Spanfield() = default;

void Spanfield::setShowDays(bool vNewValue)
{
    m_showDays = vNewValue;
    ArrangeFields();
}

void Spanfield::setShowSeconds(bool vNewValue)
{
    m_showSeconds = vNewValue;
    ArrangeFields();
}

void Spanfield::setLabelSeperator(const QString &vNewValue)
{
    if (Tokens::CountTokens(vNewValue, Semicolon) != 4) {
        MessageBoxHook::show({this, QStringLiteral("Spanfield"),
                              QStringLiteral("Ungültiges Argument. Vier Seperatoren erforderlich; durch Semikolon "
                                             "getrennt."),
                              QMessageBox::Information, QMessageBox::Ok, QMessageBox::Ok});
        return;
    }
    m_labelSeperator = vNewValue;
    ArrangeFields();
}

void Spanfield::writeLabelSeperatorProperty(const QString &vNewValue)
{
    ValueRules::withoutOverflow([&] { setLabelSeperator(vNewValue); });
}

void Spanfield::setBackColor(quint32 vNewValue)
{
    m_backColor = vNewValue;
    ArrangeFields();
}

void Spanfield::setForeColor(quint32 vNewValue)
{
    m_foreColor = vNewValue;
    ArrangeFields();
}

void Spanfield::setLocked(bool vNewValue)
{
    m_locked = vNewValue;
    ArrangeFields();
}

float Spanfield::secondsPastMidnight() const
{
    m_secondsPastMidnight =
        joinFields(numericValue(txtTime[HoursField]->text()), numericValue(txtTime[MinutesField]->text()),
                   numericValue(txtTime[SecondsField]->text()), m_showSeconds);
    return m_secondsPastMidnight;
}

void Spanfield::setSecondsPastMidnight(float Secs)
{
    const SecondsWrite plan = planSecondsWrite(Secs, m_showSeconds);
    const qint16 days = ValueRules::addInt16(m_dayCount, plan.carriedDays);

    const QPointer<Spanfield> alive(this);
    m_dayCount = days;
    setDayCount(days);
    if (plan.rest != Secs) {
        ArrangeFields();
        qint16 diffDays = plan.carriedDays;
        Q_EMIT DayOverflow(diffDays);
        if (!alive)
            return;
    }
    m_secondsPastMidnight = plan.rest;
    txtTime[HoursField]->setText(fieldText(HoursField, plan.hours));
    txtTime[MinutesField]->setText(fieldText(MinutesField, plan.minutes));
    txtTime[SecondsField]->setText(m_showSeconds ? fieldText(SecondsField, plan.seconds) : QStringLiteral("00"));
}

void Spanfield::writeSecondsPastMidnightProperty(float Secs)
{
    ValueRules::withoutOverflow([&] { setSecondsPastMidnight(Secs); });
}

qint16 Spanfield::dayCount() const
{
    if (m_overflowShown)
        return -1;
    const double days = m_showDays ? numericValue(txtTime[DaysField]->text()) : 0.0;
    // The days field holds at most what a write or three typed digits put there.
    ValueRules::withoutOverflow([&] { m_dayCount = ValueRules::toInt16(days); });
    return m_dayCount;
}

void Spanfield::setDayCount(qint16 vNewValue)
{
    if (vNewValue <= 365) {
        SetOverflowDisplay(false);
        m_dayCount = vNewValue;
        txtTime[DaysField]->setText(fieldText(DaysField, vNewValue));
    } else {
        SetOverflowDisplay(true);
    }
}

QVariant Spanfield::dayCountProperty() const
{
    return QVariant::fromValue(dayCount());
}

void Spanfield::writeDayCountProperty(const QVariant &vNewValue)
{
    bool isNumber = false;
    const double days = vNewValue.toDouble(&isNumber);
    if (isNumber)
        ValueRules::withoutOverflow([&] { setDayCount(ValueRules::toInt16(days)); });
}

void Spanfield::SetOverflowDisplay(bool state)
{
    m_overflowShown = state;
    if (state) {
        for (int i = 0; i < FieldCount; ++i)
            txtTime[i]->setText(overflowMarker(qint16(i)));
    }
}

void Spanfield::ArrangeFields()
{
    QPalette surface = palette();
    surface.setColor(QPalette::Window, ValueRules::resolveColor(m_backColor));
    setPalette(surface);
    setAutoFillBackground(true);

    const QColor fore = ValueRules::resolveColor(m_foreColor);
    for (int i = 0; i < FieldCount; ++i) {
        QPalette fieldPalette = txtTime[i]->palette();
        fieldPalette.setColor(QPalette::Text, fore);
        txtTime[i]->setPalette(fieldPalette);
        QPalette labelPalette = lblSeperator[i]->palette();
        labelPalette.setColor(QPalette::WindowText, fore);
        lblSeperator[i]->setPalette(labelPalette);

        QString caption;
        // A caption list too long to split (possible only from a stored value) gives empty captions.
        ValueRules::withoutOverflow([&] { caption = Tokens::GetToken(m_labelSeperator, Semicolon, qint16(i + 1)); });
        lblSeperator[i]->setText(caption);
        lblSeperator[i]->resize(caption.isEmpty() ? 0 : lblSeperator[i]->sizeHint().width(), lblSeperator[i]->height());
    }

    txtTime[DaysField]->setVisible(m_showDays);
    lblSeperator[DaysField]->setVisible(m_showDays);

    const Arrangement a = currentArrangement();
    for (int i = 0; i < FieldCount; ++i) {
        txtTime[i]->move(twips(a.fieldLeft[i]), txtTime[i]->y());
        lblSeperator[i]->move(twips(a.labelLeft[i]), lblSeperator[i]->y());
    }

    txtTime[SecondsField]->setVisible(m_showSeconds);
    lblSeperator[SecondsField]->setVisible(m_showSeconds);

    resize(twips(a.width), twips(a.height));

    for (SpanfieldField *field : txtTime)
        field->setReadOnly(m_locked);
    setFocusProxy(txtTime[m_showDays ? DaysField : HoursField]);
    updateGeometry();
}

// Where the fields and labels go with their present widths, in twips.
DurationValue::Arrangement Spanfield::currentArrangement() const
{
    std::array<float, FieldCount> fieldWidth{};
    std::array<float, FieldCount> labelWidth{};
    for (int i = 0; i < FieldCount; ++i) {
        fieldWidth[i] = float(ValueRules::pixelsToTwips(txtTime[i]->width()));
        labelWidth[i] = float(ValueRules::pixelsToTwips(lblSeperator[i]->width()));
    }
    return arrange(fieldWidth, labelWidth, float(DesignFieldHeight), m_showDays, m_showSeconds);
}

QSize Spanfield::sizeHint() const
{
    const Arrangement a = currentArrangement();
    return {twips(a.width), twips(a.height)};
}

void Spanfield::resizeEvent(QResizeEvent *event)
{
    HostedControl::resizeEvent(event);
    if (m_arranging)
        return;
    m_arranging = true;
    ArrangeFields();
    m_arranging = false;
}

void Spanfield::readProperties(const PropertyBag &bag)
{
    m_labelSeperator = bag.read(Stored::LabelSeperator);
    m_showDays = bag.read(Stored::ShowDays);
    m_showSeconds = bag.read(Stored::ShowSeconds);
    m_backColor = bag.read(Stored::BackColor);
    m_dayCount = bag.read(Stored::DayCount);
    m_locked = bag.read(Stored::Locked);
    m_secondsPastMidnight = bag.read(Stored::SecondsPastMidnight);
    m_foreColor = bag.read(Stored::ForeColor);
    showStoredValues();
}

// The fields show what was stored, so that a saved control reads back the values it was saved with.
void Spanfield::showStoredValues()
{
    setDayCount(m_dayCount);
    const float seconds = m_secondsPastMidnight;
    ValueRules::withoutOverflow([&] { setSecondsPastMidnight(seconds); });
}

void Spanfield::writeProperties(PropertyBag &bag) const
{
    bag.write(Stored::LabelSeperator, m_labelSeperator);
    bag.write(Stored::ShowDays, m_showDays);
    bag.write(Stored::ShowSeconds, m_showSeconds);
    bag.write(Stored::BackColor, m_backColor);
    bag.write(Stored::DayCount, m_dayCount);
    bag.write(Stored::Locked, m_locked);
    // A time that the fields made infinite cannot be stored; the bag then holds the default instead.
    if (!bag.write(Stored::SecondsPastMidnight, m_secondsPastMidnight))
        bag.write(Stored::SecondsPastMidnight, Stored::SecondsPastMidnight.defaultValue);
    bag.write(Stored::ForeColor, m_foreColor);
}

int Spanfield::fieldIndex(const QObject *object) const
{
    for (int i = 0; i < FieldCount; ++i) {
        if (txtTime[i] == object)
            return i;
    }
    return -1;
}

bool Spanfield::eventFilter(QObject *watched, QEvent *event)
{
    const int index = fieldIndex(watched);
    if (index >= 0 && event->type() == QEvent::InputMethod) {
        const auto *input = static_cast<QInputMethodEvent *>(event);
        if (!isTypedCommit(input) || m_locked)
            return false;
        handleCharacter(index, input->commitString().at(0));
        return true;
    }
    if (index < 0 || event->type() != QEvent::KeyPress)
        return HostedControl::eventFilter(watched, event);
    auto *key = static_cast<QKeyEvent *>(event);
    if (key->key() == Qt::Key_Left || key->key() == Qt::Key_Right)
        return handleArrowKey(index, key->key());
    if (isTypedCharacter(key) && !m_locked) {
        handleCharacter(index, key->text().at(0));
        return true;
    }
    return false;
}

bool Spanfield::handleArrowKey(int index, int key)
{
    SpanfieldField *field = txtTime[index];
    if (key == Qt::Key_Left) {
        if (field->caretPosition() != 0)
            return false;
        const int first = m_showDays ? DaysField : HoursField;
        if (index > first) {
            SpanfieldField *previous = txtTime[index - 1];
            previous->setFocus(Qt::OtherFocusReason);
            previous->setCursorPosition(qMax(0, int(previous->text().size()) - 1));
            return true;
        }
        postTab(true);
        return false;
    }
    const int end = index == DaysField ? int(field->text().size()) : 2;
    if (field->caretPosition() != end)
        return false;
    const int last = m_showSeconds ? SecondsField : MinutesField;
    if (index < last) {
        SpanfieldField *next = txtTime[index + 1];
        next->setFocus(Qt::OtherFocusReason);
        next->setCursorPosition(0);
        return true;
    }
    postTab(false);
    return false;
}

void Spanfield::handleCharacter(int index, QChar character)
{
    if (character < u'0' || character > u'9') {
        raiseError(ErrorNotADigit, QStringLiteral("Es sind nur Ziffern bei der Eingabe zulässig."));
        return;
    }
    SpanfieldField *field = txtTime[index];
    const QString oldText = field->text();
    const int p = field->caretPosition();
    QString newText = oldText;
    if (p == 0)
        newText = character + oldText.mid(1);
    else if ((p == 1 || p == 2) && index == DaysField)
        newText = (oldText.left(p) + character + oldText.mid(p)).left(3);
    else if (p == 1 || p == 2)
        newText = oldText.left(1) + character;

    if ((p == 1 || p == 2) && (index > DaysField || p == 2))
        postTab(false);

    const QPointer<Spanfield> alive(this);
    field->setText(newText);
    if (!alive)
        return;
    if (isAcceptableFieldValue(qint16(index), numericValue(newText))) {
        field->setCursorPosition(qMin(p + 1, int(newText.size())));
        return;
    }
    raiseError(ErrorInvalidValue, QStringLiteral("Ungültiger Zeitwert bei der Eingabe."));
    if (!alive)
        return;
    field->setText(oldText);
    field->setCursorPosition(p);
    field->setFocus(Qt::OtherFocusReason);
}

void Spanfield::raiseError(qint16 number, const QString &message)
{
    qint16 num = number;
    QString msg = message;
    Q_EMIT Error(num, msg);
}

void Spanfield::postTab(bool backwards)
{
    QCoreApplication::postEvent(this, new PostedTabEvent(backwards));
}

bool Spanfield::event(QEvent *event)
{
    if (event->type() != PostedTabEvent::eventType())
        return HostedControl::event(event);
    if (QWidget *target = QApplication::focusWidget()) {
        const bool backwards = static_cast<PostedTabEvent *>(event)->backwards;
        QKeyEvent press(QEvent::KeyPress, backwards ? Qt::Key_Backtab : Qt::Key_Tab,
                        backwards ? Qt::ShiftModifier : Qt::NoModifier);
        QApplication::sendEvent(target, &press);
    }
    return true;
}
