// SPDX-License-Identifier: GPL-3.0-or-later
// The registry reading of the web link, against values that the test writes under a key of its own
// in the user's part of the registry and removes again.
#include "windowsregistry.h"

#include <QTest>
#include <QUuid>

class tst_WindowsRegistry : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void queryRegistryValue();
    void readRegistryString_data();
    void readRegistryString();

private:
    std::string m_path;
    HKEY m_key = nullptr;
};

void tst_WindowsRegistry::initTestCase()
{
    m_path = "Software\\Vesperon tests\\" + QUuid::createUuid().toString(QUuid::WithoutBraces).toStdString();
    QCOMPARE(
        RegCreateKeyExA(HKEY_CURRENT_USER, m_path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &m_key, nullptr),
        ERROR_SUCCESS);
    const auto setString = [this](const char *name, DWORD type, const std::string &text) {
        return RegSetValueExA(m_key, name, 0, type, reinterpret_cast<const BYTE *>(text.c_str()),
                              DWORD(text.size() + 1));
    };
    const std::string command = "\"C:\\Program Files\\Web\\browse.exe\" -nohome";
    QCOMPARE(setString("", REG_SZ, command), ERROR_SUCCESS);
    QCOMPARE(setString("expandable", REG_EXPAND_SZ, "%ProgramFiles%\\Web\\browse.exe"), ERROR_SUCCESS);
    QCOMPARE(setString("empty", REG_SZ, ""), ERROR_SUCCESS);
    const DWORD number = 4000000000u;
    QCOMPARE(RegSetValueExA(m_key, "number", 0, REG_DWORD, reinterpret_cast<const BYTE *>(&number), sizeof(number)),
             ERROR_SUCCESS);
}

void tst_WindowsRegistry::cleanupTestCase()
{
    if (m_key)
        RegCloseKey(m_key);
    RegDeleteTreeA(HKEY_CURRENT_USER, m_path.c_str());
}

void tst_WindowsRegistry::queryRegistryValue()
{
    using ClickAndBrowse::QueryRegistryValue;
    using ClickAndBrowse::RegistryValue;

    RegistryValue value;
    QCOMPARE(QueryRegistryValue(m_key, "", value), 0L);
    QCOMPARE(std::get<std::string>(value), std::string("\"C:\\Program Files\\Web\\browse.exe\" -nohome"));

    value = std::string("kept");
    QCOMPARE(QueryRegistryValue(m_key, "expandable", value), -1L);
    QCOMPARE(std::get<std::string>(value), std::string("kept"));

    QCOMPARE(QueryRegistryValue(m_key, "missing", value), long(ERROR_FILE_NOT_FOUND));
    QCOMPARE(std::get<std::string>(value), std::string("kept"));

    QCOMPARE(QueryRegistryValue(m_key, "number", value), 0L);
    QCOMPARE(std::get<std::uint32_t>(value), std::uint32_t(4000000000u));

    QCOMPARE(QueryRegistryValue(m_key, "empty", value), 0L);
    QCOMPARE(std::get<std::string>(value), std::string());
}

void tst_WindowsRegistry::readRegistryString_data()
{
    QTest::addColumn<QString>("subKey");
    QTest::addColumn<QString>("valueName");
    QTest::addColumn<QString>("expected");
    QTest::newRow("unnamed string") << ""
                                    << ""
                                    << R"("C:\Program Files\Web\browse.exe" -nohome)";
    QTest::newRow("number as digits") << ""
                                      << "number"
                                      << "4000000000";
    QTest::newRow("expandable string") << ""
                                       << "expandable"
                                       << "";
    QTest::newRow("missing value") << ""
                                   << "missing"
                                   << "";
    QTest::newRow("missing key") << "\\missing"
                                 << ""
                                 << "";
}

void tst_WindowsRegistry::readRegistryString()
{
    QFETCH(QString, subKey);
    QFETCH(QString, valueName);
    QFETCH(QString, expected);
    const std::string text =
        ClickAndBrowse::ReadRegistryString(HKEY_CURRENT_USER, m_path + subKey.toStdString(), valueName.toStdString());
    QCOMPARE(QString::fromStdString(text), expected);
}

QTEST_GUILESS_MAIN(tst_WindowsRegistry)
#include "tst_windowsregistry.moc"
