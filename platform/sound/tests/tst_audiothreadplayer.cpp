// SPDX-License-Identifier: GPL-3.0-or-later
#include "audiothreadplayer.h"
#include "waveinfo.h"

#include <littleendian.h>

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QtEndian>

#include <memory>

namespace {

// Everything the fake voices of one test did, in order, seen from any thread.
class VoiceLog
{
public:
    void add(const QString &entry)
    {
        QMutexLocker lock(&m_mutex);
        m_entries.append(entry);
    }
    void clear()
    {
        QMutexLocker lock(&m_mutex);
        m_entries.clear();
    }
    QStringList entries() const
    {
        QMutexLocker lock(&m_mutex);
        return m_entries;
    }

private:
    mutable QMutex m_mutex;
    QStringList m_entries;
};

// A voice that "plays" each sound for endAfterMs (or for ever when it is negative), like an
// audio system with or without an output device.
class FakeVoice final : public SoundVoice
{
public:
    FakeVoice(VoiceLog &log, int endAfterMs)
        : m_log(log)
        , m_endAfterMs(endAfterMs)
    {
        m_end.setSingleShot(true);
        m_end.setTimerType(Qt::PreciseTimer);
        connect(&m_end, &QTimer::timeout, this, [this] {
            m_log.add(QStringLiteral("end ") + m_current);
            m_current.clear();
            emit finished();
        });
    }

    void start(const QString &path) override
    {
        if (!m_current.isEmpty())
            m_log.add(QStringLiteral("cut ") + m_current);
        m_current = QFileInfo(path).baseName();
        m_log.add(QStringLiteral("start ") + m_current);
        if (m_endAfterMs >= 0)
            m_end.start(m_endAfterMs);
    }

    void stop() override
    {
        m_end.stop();
        if (!m_current.isEmpty())
            m_log.add(QStringLiteral("stop ") + m_current);
        m_current.clear();
    }

private:
    VoiceLog &m_log;
    int m_endAfterMs;
    QString m_current;
    QTimer m_end;
};

constexpr auto le32 = LittleEndian::bytes32;
constexpr auto le16 = LittleEndian::bytes16;

// A silent 8 kHz mono 16-bit wave file of durationMs, with an optional chunk before "fmt ".
QByteArray waveBytes(int durationMs, quint16 formatTag = 1, const QByteArray &extraChunk = {})
{
    const quint32 rate = 8000;
    const QByteArray data(int(rate * 2 * durationMs / 1000), '\0');
    QByteArray format = le16(formatTag) + le16(1) + le32(rate) + le32(rate * 2) + le16(2) + le16(16);
    QByteArray body = "WAVE" + extraChunk + "fmt " + le32(quint32(format.size())) + format + "data"
        + le32(quint32(data.size())) + data;
    return "RIFF" + le32(quint32(body.size())) + body;
}

// 250 ms of 8 kHz mono 32-bit samples in the extensible format, whose subformat names the sample
// type (1 integer, 3 floating point, others compressed).
QByteArray extensibleWave(quint16 sampleType)
{
    const quint32 rate = 8000;
    const QByteArray data(int(rate * 4 / 4), '\0');
    const QByteArray subformat = le16(sampleType) + QByteArray("\0\0\0\0\x10\0\x80\0\0\xaa\0\x38\x9b\x71", 14);
    const QByteArray format = le16(0xFFFE) + le16(1) + le32(rate) + le32(rate * 4) + le16(4) + le16(32) + le16(22)
        + le16(32) + le32(4) + subformat;
    const QByteArray body =
        "WAVEfmt " + le32(quint32(format.size())) + format + "data" + le32(quint32(data.size())) + data;
    return "RIFF" + le32(quint32(body.size())) + body;
}

} // namespace

class tst_AudioThreadPlayer : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void waveInfo_data();
    void waveInfo();

    void waitReturnsWhenTheSoundEnds();
    void waitNeverOutlastsTheLengthAndMargin();
    void withoutWaitReturnsAtOnce();
    void newSoundCutsOffTheOneStillPlaying();
    void unplayableFileIsSkipped_data();
    void unplayableFileIsSkipped();
    void voiceIsMadeByTheFirstSound();
    void playerWithoutVoiceFailsAndTriesAgain();

private:
    QString file(const QString &name, const QByteArray &content);
    std::unique_ptr<AudioThreadPlayer> player(int endAfterMs, int marginMs = 200);

    std::unique_ptr<QTemporaryDir> m_dir;
    VoiceLog m_log;
};

void tst_AudioThreadPlayer::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_log.clear();
}

QString tst_AudioThreadPlayer::file(const QString &name, const QByteArray &content)
{
    const QString path = m_dir->filePath(name);
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(content) != content.size())
        qFatal("cannot write the test sound");
    return path;
}

std::unique_ptr<AudioThreadPlayer> tst_AudioThreadPlayer::player(int endAfterMs, int marginMs)
{
    return std::make_unique<AudioThreadPlayer>(
        [this, endAfterMs] { return std::make_unique<FakeVoice>(m_log, endAfterMs); }, marginMs);
}

void tst_AudioThreadPlayer::waveInfo_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<qint64>("durationMs"); // -1: not a wave file we play

    QTest::newRow("one second") << waveBytes(1000) << qint64(1000);
    QTest::newRow("chunk before the format")
        << waveBytes(250, 1, QByteArray("LIST") + le32(3) + QByteArray("abc\0", 4)) << qint64(250);
    QTest::newRow("floating point") << waveBytes(500, 3) << qint64(500);
    QTest::newRow("extensible, integer samples") << extensibleWave(1) << qint64(250);
    QTest::newRow("extensible, floating point") << extensibleWave(3) << qint64(250);
    QTest::newRow("extensible, compressed") << extensibleWave(0x55) << qint64(-1);
    QTest::newRow("cut short: the length is what is there") << waveBytes(1000).left(44 + 8000) << qint64(500);
    QTest::newRow("empty file") << QByteArray() << qint64(-1);
    QTest::newRow("text") << QByteArray("[Global]\nSuppressSound=TRUE\n") << qint64(-1);
    QTest::newRow("header only") << waveBytes(1000).left(20) << qint64(-1);
    QTest::newRow("no sound data") << waveBytes(0) << qint64(-1);
    QTest::newRow("compressed format") << waveBytes(1000, 0x55) << qint64(-1);
    QTest::newRow("garbage after RIFF") << QByteArray("RIFF\x10\0\0\0WAVEjunk\xff\xff\xff\x7f", 20) << qint64(-1);

    // Headers whose numbers would divide by zero or run past the file.
    const auto header = [](quint16 channels, quint32 rate, quint16 bits, quint32 dataSize, int dataBytes) {
        const QByteArray format = le16(1) + le16(channels) + le32(rate) + le32(rate * channels * bits / 8)
            + le16(quint16(channels * bits / 8)) + le16(bits);
        const QByteArray body =
            "WAVEfmt " + le32(quint32(format.size())) + format + "data" + le32(dataSize) + QByteArray(dataBytes, '\0');
        return "RIFF" + le32(quint32(body.size())) + body;
    };
    QTest::newRow("no channels") << header(0, 8000, 16, 1600, 1600) << qint64(-1);
    QTest::newRow("sample rate zero") << header(1, 0, 16, 1600, 1600) << qint64(-1);
    QTest::newRow("no bits per sample") << header(1, 8000, 0, 1600, 1600) << qint64(-1);
    QTest::newRow("4-bit samples") << header(1, 8000, 4, 1600, 1600) << qint64(-1);
    QTest::newRow("sample rate beyond 31 bits") << header(1, 0x80000000u, 8, 1600, 1600) << qint64(-1);
    QTest::newRow("data size beyond the file") << header(1, 8000, 16, 0xFFFFFFFFu, 1600) << qint64(100);
    QTest::newRow("chunk size beyond the file")
        << QByteArray("RIFF\x10\0\0\0WAVELIST\xff\xff\xff\xff", 20) << qint64(-1);
}

void tst_AudioThreadPlayer::waveInfo()
{
    QFETCH(QByteArray, content);
    QFETCH(qint64, durationMs);
    const std::optional<WaveInfo> info = WaveInfo::read(file(QStringLiteral("x.wav"), content));
    QCOMPARE(info.has_value(), durationMs >= 0);
    if (info) {
        QCOMPARE(info->durationMs, durationMs);
        // The sound data is the last chunk of these files.
        QCOMPARE(info->dataOffset + info->dataBytes, qint64(content.size()));
        QCOMPARE(info->floatingPoint, QByteArray(QTest::currentDataTag()).contains("floating point"));
    }
    QVERIFY(!WaveInfo::read(m_dir->filePath(QStringLiteral("missing.wav"))));
}

void tst_AudioThreadPlayer::waitReturnsWhenTheSoundEnds()
{
    const auto audio = player(100);
    const QString path = file(QStringLiteral("long.wav"), waveBytes(5000));
    QElapsedTimer elapsed;
    elapsed.start();
    QVERIFY(!audio->play(path, true));
    QVERIFY2(elapsed.elapsed() >= 100, qPrintable(QString::number(elapsed.elapsed())));
    QVERIFY2(elapsed.elapsed() < 4000, qPrintable(QString::number(elapsed.elapsed())));
    QCOMPARE(m_log.entries(), (QStringList{"start long", "end long"}));
}

void tst_AudioThreadPlayer::waitNeverOutlastsTheLengthAndMargin()
{
    // No output device: the voice never reports an end.
    const auto audio = player(-1, 200);
    const QString path = file(QStringLiteral("short.wav"), waveBytes(300));
    QElapsedTimer elapsed;
    elapsed.start();
    QVERIFY(!audio->play(path, true));
    QVERIFY2(elapsed.elapsed() >= 300 + 200, qPrintable(QString::number(elapsed.elapsed())));
    QVERIFY2(elapsed.elapsed() < 300 + 200 + 2000, qPrintable(QString::number(elapsed.elapsed())));
    QTRY_COMPARE(m_log.entries(), (QStringList{"start short", "stop short"}));
}

void tst_AudioThreadPlayer::withoutWaitReturnsAtOnce()
{
    const auto audio = player(-1);
    const QString path = file(QStringLiteral("greeting.wav"), waveBytes(10000));
    QElapsedTimer elapsed;
    elapsed.start();
    QVERIFY(!audio->play(path, false));
    QVERIFY2(elapsed.elapsed() < 5000, qPrintable(QString::number(elapsed.elapsed())));
    QTRY_COMPARE(m_log.entries(), QStringList{"start greeting"});
}

void tst_AudioThreadPlayer::newSoundCutsOffTheOneStillPlaying()
{
    const auto audio = player(150);
    const QString arm = file(QStringLiteral("arm.wav"), waveBytes(5000));
    const QString disarm = file(QStringLiteral("disarm.wav"), waveBytes(5000));
    QVERIFY(!audio->play(arm, false));
    // The cut-off sound's own end must not be taken for the end of the new one.
    QVERIFY(!audio->play(disarm, true));
    QCOMPARE(m_log.entries(), (QStringList{"start arm", "cut arm", "start disarm", "end disarm"}));
}

void tst_AudioThreadPlayer::unplayableFileIsSkipped_data()
{
    QTest::addColumn<QByteArray>("content"); // "<missing>": no file
    QTest::newRow("missing") << QByteArray("<missing>");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("corrupt") << waveBytes(1000).left(30);
    QTest::newRow("not a wave file") << QByteArray("ID3\x03\0\0\0\0\0\0mp3 frames", 20);
}

void tst_AudioThreadPlayer::unplayableFileIsSkipped()
{
    QFETCH(QByteArray, content);
    const auto audio = player(-1);
    const QString playing = file(QStringLiteral("playing.wav"), waveBytes(10000));
    const QString path =
        content == "<missing>" ? m_dir->filePath(QStringLiteral("bad.wav")) : file(QStringLiteral("bad.wav"), content);
    QVERIFY(!audio->play(playing, false));
    QElapsedTimer elapsed;
    elapsed.start();
    QVERIFY(!audio->play(path, true));
    QVERIFY2(elapsed.elapsed() < 5000, qPrintable(QString::number(elapsed.elapsed())));
    // Like any new sound it ends the one before; it plays nothing itself.
    QTRY_COMPARE(m_log.entries(), (QStringList{"start playing", "stop playing"}));
}

void tst_AudioThreadPlayer::voiceIsMadeByTheFirstSound()
{
    int made = 0;
    AudioThreadPlayer audio([this, &made] {
        ++made;
        return std::make_unique<FakeVoice>(m_log, 0);
    });
    QCOMPARE(made, 0);
    const QString path = file(QStringLiteral("greeting.wav"), waveBytes(100));
    QVERIFY(!audio.play(path, true));
    QVERIFY(!audio.play(path, true));
    QCOMPARE(made, 1);
    QCOMPARE(m_log.entries(), (QStringList{"start greeting", "end greeting", "start greeting", "end greeting"}));
}

void tst_AudioThreadPlayer::playerWithoutVoiceFailsAndTriesAgain()
{
    int tries = 0;
    AudioThreadPlayer audio([this, &tries]() -> std::unique_ptr<SoundVoice> {
        if (++tries < 3)
            return nullptr;
        return std::make_unique<FakeVoice>(m_log, 0);
    });
    const QString path = file(QStringLiteral("a.wav"), waveBytes(100));
    for (int i = 0; i < 2; ++i) {
        const std::optional<SoundPlayerFailure> failure = audio.play(path, true);
        QVERIFY(failure);
        QVERIFY(failure->number != 0);
        QVERIFY(!failure->message.isEmpty());
    }
    QVERIFY(!audio.play(path, true));
    QCOMPARE(tries, 3);
    QCOMPARE(m_log.entries(), (QStringList{"start a", "end a"}));
}

QTEST_GUILESS_MAIN(tst_AudioThreadPlayer)
#include "tst_audiothreadplayer.moc"
