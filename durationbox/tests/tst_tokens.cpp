// SPDX-License-Identifier: GPL-3.0-or-later
#include <tokens.h>

#include <QTest>

using namespace Tokens;

class tst_Tokens : public QObject
{
    Q_OBJECT

private slots:
    void countTokens_data();
    void countTokens();
    void getToken_data();
    void getToken();
    void replaceText_data();
    void replaceText();
    void sixteenBitLimits();
};

void tst_Tokens::countTokens_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<int>("count");
    QTest::newRow("T;h;m;s") << "T;h;m;s" << 4;
    QTest::newRow("doubled delimiter") << "a;;b;c;d" << 4;
    QTest::newRow("closing delimiter") << "T;h;m;" << 4;
    QTest::newRow("three") << "a;b;c" << 3;
    QTest::newRow("empty") << "" << 1;
    QTest::newRow("one semicolon") << ";" << 2;
    QTest::newRow("four semicolons") << ";;;;" << 2;
    QTest::newRow("five in a run") << "a;;;;;b" << 2;
    QTest::newRow("leading and closing") << ";a;" << 3;
    QTest::newRow("spaces are items") << " ; ; ; " << 4;
}

void tst_Tokens::countTokens()
{
    QFETCH(QString, list);
    QTEST(int(CountTokens(list, u';')), "count");
}

void tst_Tokens::getToken_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<int>("n");
    QTest::addColumn<QString>("item");
    const QString captions = QStringLiteral("T;h;m;s");
    QTest::newRow("1") << captions << 1 << "T";
    QTest::newRow("2") << captions << 2 << "h";
    QTest::newRow("3") << captions << 3 << "m";
    QTest::newRow("4") << captions << 4 << "s";
    QTest::newRow("0 is the last") << captions << 0 << "s";
    QTest::newRow("5") << captions << 5 << "";
    QTest::newRow("6") << captions << 6 << "";
    QTest::newRow(";a; 1") << ";a;" << 1 << "";
    QTest::newRow(";a; 2") << ";a;" << 2 << "a";
    QTest::newRow(";a; 3") << ";a;" << 3 << "";
    QTest::newRow("abc 1") << "abc" << 1 << "abc";
    QTest::newRow("abc 0") << "abc" << 0 << "abc";
    QTest::newRow("abc 2") << "abc" << 2 << "";
    QTest::newRow("a;;b 2") << "a;;b" << 2 << "b";
    QTest::newRow("untrimmed") << " x ;y" << 1 << " x ";
    QTest::newRow("spaces only") << "   " << 0 << "";
    QTest::newRow("empty 0") << "" << 0 << "";
    QTest::newRow("d;:;:; 4") << "d;:;:;" << 4 << "";
    QTest::newRow("d;:;:; 2") << "d;:;:;" << 2 << ":";
}

void tst_Tokens::getToken()
{
    QFETCH(QString, list);
    QFETCH(int, n);
    QTEST(GetToken(list, u';', qint16(n)), "item");
}

void tst_Tokens::replaceText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("search");
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<QString>("result");
    QTest::newRow("one pass over three") << ";;;"
                                         << ";;"
                                         << ";"
                                         << ";;";
    QTest::newRow("never searches the replacement") << "aa"
                                                    << "a"
                                                    << "aa"
                                                    << "aaaa";
    QTest::newRow("case-sensitive") << "aAa"
                                    << "a"
                                    << "b"
                                    << "bAb";
    QTest::newRow("empty text") << ""
                                << "x"
                                << "y"
                                << "";
    QTest::newRow("to nothing") << "a-b-c"
                                << "-"
                                << ""
                                << "abc";
    QTest::newRow("not found") << "abc"
                               << "z"
                               << "y"
                               << "abc";
}

void tst_Tokens::replaceText()
{
    QFETCH(QString, text);
    QFETCH(QString, search);
    QFETCH(QString, replacement);
    QTEST(ReplaceText(text, search, replacement), "result");
}

void tst_Tokens::sixteenBitLimits()
{
    const QString longest = QString(32766, u'a') + u';';
    QCOMPARE(CountTokens(longest, u';'), qint16(2));
    QVERIFY_THROWS_EXCEPTION(std::overflow_error, CountTokens(QString(32768, u'a'), u';'));
    QVERIFY_THROWS_EXCEPTION(std::overflow_error, GetToken(QString(32768, u'a') + u';', u';', 1));
    // Without a delimiter nothing is collapsed: item 1 is the list itself, however long.
    QCOMPARE(GetToken(QString(40000, u'a'), u';', 1).size(), 40000);
    // A search string found beyond position 32767 fails; one that is not found does not.
    QVERIFY_THROWS_EXCEPTION(std::overflow_error, ReplaceText(QString(32767, u'a') + u'b', QStringLiteral("b"), {}));
    QCOMPARE(ReplaceText(QString(32766, u'a') + u'b', QStringLiteral("b"), {}), QString(32766, u'a'));
    QCOMPARE(ReplaceText(QString(40000, u'a'), QStringLiteral("b"), {}).size(), 40000);
}

QTEST_GUILESS_MAIN(tst_Tokens)
#include "tst_tokens.moc"
