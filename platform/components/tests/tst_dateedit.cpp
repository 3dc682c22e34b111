// SPDX-License-Identifier: GPL-3.0-or-later
#include "dateedit.h"
#include "shortdate.h"

#include <controlregistry.h>
#include <hostedcontrol.h>

#include <QApplication>
#include <QCalendarWidget>
#include <QDateEdit>
#include <QTableView>
#include <QTest>

#include <memory>

class tst_DateEdit : public QObject
{
    Q_OBJECT

private slots:
    void shortDateText_data();
    void shortDateText();
    void valueRoundTrip_data();
    void valueRoundTrip();
    void unconvertibleTextReadsAsInvalid_data();
    void unconvertibleTextReadsAsInvalid();
    void typedDateIsRead();
    void halfTypedYearKeepsTheLastDate();
    void writtenTextThatIsNoDateStaysUntilADateIsTyped();
    void dateFromCalendar();
    void createdByItsIdentifier();
};

void tst_DateEdit::shortDateText_data()
{
    QTest::addColumn<QString>("localeName");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("referenceYear");
    QTest::addColumn<QDate>("expected");

    QTest::newRow("US two-digit year of this century") << "en_US"
                                                       << "12/10/26" << 2026 << QDate(2026, 12, 10);
    QTest::newRow("US 49 years ahead") << "en_US"
                                       << "1/1/75" << 2026 << QDate(2075, 1, 1);
    QTest::newRow("US 50 years back") << "en_US"
                                      << "1/1/76" << 2026 << QDate(1976, 1, 1);
    QTest::newRow("US window follows the reference") << "en_US"
                                                     << "1/1/76" << 2030 << QDate(2076, 1, 1);
    QTest::newRow("US four-digit year") << "en_US"
                                        << "12/10/2026" << 2026 << QDate(2026, 12, 10);
    QTest::newRow("US blanks around") << "en_US"
                                      << "  12/31/26 " << 2026 << QDate(2026, 12, 31);
    QTest::newRow("German day first") << "de_DE"
                                      << "10.12.26" << 2026 << QDate(2026, 12, 10);
    QTest::newRow("German four-digit year") << "de_DE"
                                            << "01.02.2027" << 2026 << QDate(2027, 2, 1);
    QTest::newRow("British four-digit short form") << "en_GB"
                                                   << "10/12/2026" << 2026 << QDate(2026, 12, 10);
    QTest::newRow("empty") << "en_US"
                           << "" << 2026 << QDate();
    QTest::newRow("blanks only") << "en_US"
                                 << "   " << 2026 << QDate();
    QTest::newRow("words") << "en_US"
                           << "tomorrow" << 2026 << QDate();
    QTest::newRow("no such month") << "en_US"
                                   << "13/10/26" << 2026 << QDate();
    QTest::newRow("no such day") << "de_DE"
                                 << "31.04.26" << 2026 << QDate();
    QTest::newRow("other locale's order") << "de_DE"
                                          << "12/10/26" << 2026 << QDate();
    QTest::newRow("half a date") << "en_US"
                                 << "12/10" << 2026 << QDate();
}

void tst_DateEdit::shortDateText()
{
    QFETCH(QString, localeName);
    QFETCH(QString, text);
    QFETCH(int, referenceYear);
    QFETCH(QDate, expected);

    QCOMPARE(ShortDate::fromText(text, QLocale(localeName), referenceYear), expected);
}

void tst_DateEdit::valueRoundTrip_data()
{
    QTest::addColumn<QString>("localeName");
    QTest::addColumn<QDate>("date");

    const QDate today = QDate::currentDate();
    for (const char *name : {"en_US", "de_DE", "en_GB", "fr_FR", "ja_JP"}) {
        QTest::addRow("%s today", name) << QString::fromLatin1(name) << today;
        QTest::addRow("%s tomorrow", name) << QString::fromLatin1(name) << today.addDays(1);
        QTest::addRow("%s new year", name) << QString::fromLatin1(name) << QDate(today.year() + 1, 1, 1);
        QTest::addRow("%s 40 years back", name) << QString::fromLatin1(name) << today.addYears(-40);
    }
}

// The window writes the date as the locale writes it and reads it back in every tick.
void tst_DateEdit::valueRoundTrip()
{
    QFETCH(QString, localeName);
    QFETCH(QDate, date);
    const QLocale locale(localeName);
    const QLocale previous;
    QLocale::setDefault(locale);

    DateEdit edit;
    QVERIFY(edit.setPublishedProperty(DateEdit::Property::Value, ShortDate::toText(date, locale)));
    const QVariant value = edit.publishedProperty(DateEdit::Property::Value);
    QLocale::setDefault(previous);

    QCOMPARE(value.userType(), QMetaType::QDate);
    QCOMPARE(value.toDate(), date);
    QCOMPARE(edit.dateField()->date(), date);
    QCOMPARE(edit.dateField()->text(), locale.toString(date, ShortDate::displayFormat(locale)));
}

void tst_DateEdit::unconvertibleTextReadsAsInvalid_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << "";
    QTest::newRow("words") << "next week";
    QTest::newRow("no such day") << "2/30/2027";
}

void tst_DateEdit::unconvertibleTextReadsAsInvalid()
{
    QFETCH(QString, text);
    DateEdit edit;
    edit.setLocale(QLocale(QStringLiteral("en_US")));
    edit.setValue(QDate(2026, 12, 10));
    QCOMPARE(edit.date(), QDate(2026, 12, 10));

    edit.setProperty("Value", text);
    const QVariant value = edit.property("Value");
    QCOMPARE(value.userType(), QMetaType::QDate);
    QVERIFY(!value.toDate().isValid());

    edit.setProperty("Value", QStringLiteral("12/11/26"));
    QCOMPARE(edit.date(), QDate(2026, 12, 11));
}

void tst_DateEdit::typedDateIsRead()
{
    QWidget window;
    auto *edit = new DateEdit(&window);
    edit->setLocale(QLocale(QStringLiteral("de_DE")));
    edit->setValue(QDate(2026, 12, 10));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    edit->setFocus();
    QVERIFY(edit->dateField()->hasFocus());

    QDateEdit *field = edit->dateField();
    field->setSelectedSection(QDateTimeEdit::DaySection);
    QTest::keyClicks(field, QStringLiteral("24"));
    QCOMPARE(field->text(), QStringLiteral("24.12.2026"));
    QCOMPARE(edit->date(), QDate(2026, 12, 24));
    field->setSelectedSection(QDateTimeEdit::YearSection);
    QTest::keyClick(field, Qt::Key_Up);
    QCOMPARE(edit->property("Value").toDate(), QDate(2027, 12, 24));
}

// Typing halfway into the year leaves the text without a whole date for a moment; Value keeps
// the last whole date meanwhile.
void tst_DateEdit::halfTypedYearKeepsTheLastDate()
{
    QWidget window;
    auto *edit = new DateEdit(&window);
    edit->setLocale(QLocale(QStringLiteral("en_US")));
    edit->setValue(QDate(2026, 12, 10));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    edit->setFocus();

    QDateEdit *field = edit->dateField();
    field->setSelectedSection(QDateTimeEdit::YearSection);
    QTest::keyClicks(field, QStringLiteral("20"));
    QCOMPARE(edit->date(), QDate(2026, 12, 10));
    QTest::keyClicks(field, QStringLiteral("27"));
    QCOMPARE(field->text(), QStringLiteral("12/10/2027"));
    QCOMPARE(edit->date(), QDate(2027, 12, 10));
}

void tst_DateEdit::writtenTextThatIsNoDateStaysUntilADateIsTyped()
{
    QWidget window;
    auto *edit = new DateEdit(&window);
    edit->setLocale(QLocale(QStringLiteral("de_DE")));
    edit->setValue(QStringLiteral("irgendwann"));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    edit->setFocus();

    QDateEdit *field = edit->dateField();
    QCOMPARE(field->text(), QStringLiteral("irgendwann"));
    QVERIFY(!edit->date().isValid());

    edit->setValue(QDate(2026, 12, 10));
    QCOMPARE(field->text(), QStringLiteral("10.12.2026"));
    edit->setValue(QString());
    QVERIFY(!edit->property("Value").toDate().isValid());

    field->setSelectedSection(QDateTimeEdit::DaySection);
    QTest::keyClick(field, Qt::Key_Up);
    QVERIFY(edit->date().isValid());
    QVERIFY(field->text() != QStringLiteral(" "));
}

void tst_DateEdit::dateFromCalendar()
{
    QWidget window;
    auto *edit = new DateEdit(&window);
    edit->setValue(QDate(2026, 12, 10));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    QDateEdit *field = edit->dateField();
    QTest::mouseClick(field, Qt::LeftButton, {}, QPoint(field->width() - 5, field->height() / 2));
    QCalendarWidget *calendar = field->calendarWidget();
    QTRY_VERIFY(calendar->isVisible());

    auto *days = calendar->findChild<QTableView *>();
    QVERIFY(days);
    QModelIndex eleventh;
    for (int row = 0; row < days->model()->rowCount(); ++row) {
        for (int column = 0; column < days->model()->columnCount(); ++column) {
            const QModelIndex index = days->model()->index(row, column);
            if (index.data().toString() == QLatin1String("11"))
                eleventh = index;
        }
    }
    QVERIFY(eleventh.isValid());
    QTest::mouseClick(days->viewport(), Qt::LeftButton, {}, days->visualRect(eleventh).center());
    QTRY_VERIFY(!calendar->isVisible());
    QCOMPARE(edit->date(), QDate(2026, 12, 11));
    QCOMPARE(edit->property("Value").toDate(), QDate(2026, 12, 11));
}

void tst_DateEdit::createdByItsIdentifier()
{
    QWidget window;
    QString error;
    HostedControl *control = ControlRegistry::instance().create(QStringLiteral("Calvane.DateEdit"), &window, &error);
    QVERIFY2(control, qPrintable(error));
    QCOMPARE(control->parent(), &window);
    auto *edit = qobject_cast<DateEdit *>(control);
    QVERIFY(edit);
    edit->setValue(QDate(2027, 3, 4));
    QCOMPARE(edit->date(), QDate(2027, 3, 4));
}

QTEST_MAIN(tst_DateEdit)
#include "tst_dateedit.moc"
