// SPDX-License-Identifier: GPL-3.0-or-later
#include "audiothreadplayer.h"
#include "pulsevoice.h"

#include <littleendian.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <pulse/simple.h>

#include <atomic>
#include <cmath>
#include <memory>
#include <mutex>
#include <thread>

namespace {

constexpr int Rate = 16000;

constexpr auto le32 = LittleEndian::bytes32;
constexpr auto le16 = LittleEndian::bytes16;

// A 16 kHz mono 16-bit wave file holding a 1 kHz tone at half of full scale, or silence.
QByteArray toneWave(int durationMs, bool silent = false)
{
    QByteArray data;
    const int frames = Rate * durationMs / 1000;
    for (int i = 0; i < frames; ++i)
        data += le16(silent ? 0 : quint16(qint16(16384 * std::sin(2 * M_PI * 1000 * i / Rate))));
    const QByteArray format = le16(1) + le16(1) + le32(Rate) + le32(Rate * 2) + le16(2) + le16(16);
    const QByteArray body =
        "WAVEfmt " + le32(quint32(format.size())) + format + "data" + le32(quint32(data.size())) + data;
    return "RIFF" + le32(quint32(body.size())) + body;
}

// Listens to the test sink's monitor from start() until it goes, in a thread of its own, and
// keeps the loudest sample of every 20 ms it heard.
class MonitorListener
{
public:
    ~MonitorListener()
    {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
    }

    void start(const QByteArray &server)
    {
        m_clock.start();
        m_thread = std::thread([this, server] {
            const pa_sample_spec sample{PA_SAMPLE_S16LE, Rate, 1};
            // Fragments of 20 ms: the server's own choice would hand the sound over in seconds.
            const pa_buffer_attr fragments{quint32(-1), quint32(-1), quint32(-1), quint32(-1), Rate / 50 * 2};
            pa_simple *stream = pa_simple_new(server.constData(), "tst_pulsevoice", PA_STREAM_RECORD, "test.monitor",
                                              "monitor", &sample, nullptr, &fragments, nullptr);
            if (!stream)
                return;
            QByteArray buffer(Rate / 50 * 2, '\0');
            while (!m_stop && pa_simple_read(stream, buffer.data(), size_t(buffer.size()), nullptr) >= 0) {
                double peak = 0.0;
                for (int i = 0; i + 1 < buffer.size(); i += 2)
                    peak = std::max(peak, std::abs(qFromLittleEndian<qint16>(buffer.constData() + i)) / 32768.0);
                std::lock_guard lock(m_mutex);
                m_heard.append({m_clock.elapsed(), peak});
            }
            pa_simple_free(stream);
        });
    }

    // How long the listener has been listening, in its own milliseconds.
    qint64 now() const { return m_clock.elapsed(); }
    // Whether it has heard anything (silence included) since from.
    bool hasHeardSince(qint64 from) const
    {
        std::lock_guard lock(m_mutex);
        return !m_heard.isEmpty() && m_heard.constLast().first >= from;
    }
    // The loudest sample heard between from and to, as a fraction of full scale.
    double peak(qint64 from, qint64 to) const
    {
        std::lock_guard lock(m_mutex);
        double loudest = 0.0;
        for (const auto &[at, peak] : m_heard) {
            if (at >= from && at <= to)
                loudest = std::max(loudest, peak);
        }
        return loudest;
    }

private:
    QElapsedTimer m_clock;
    std::thread m_thread;
    std::atomic_bool m_stop = false;
    mutable std::mutex m_mutex;
    QList<std::pair<qint64, double>> m_heard;
};

// A PulseAudio server of the test's own with one sink that plays into nothing ("test"), whose
// monitor the test listens to all along (listener()). It reaches no bus, display or folder of the
// machine.
class PrivateSoundServer
{
public:
    ~PrivateSoundServer()
    {
        m_listener.reset();
        if (m_server.state() != QProcess::NotRunning) {
            m_server.terminate();
            if (!m_server.waitForFinished(5000))
                m_server.kill();
            m_server.waitForFinished(5000);
        }
    }

    bool start()
    {
        const QString program = QStandardPaths::findExecutable(QStringLiteral("pulseaudio"));
        if (program.isEmpty() || !m_folder.isValid())
            return false;
        QProcessEnvironment environment;
        environment.insert(QStringLiteral("PATH"), qEnvironmentVariable("PATH"));
        environment.insert(QStringLiteral("HOME"), m_folder.path());
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_folder.path());
        const QString noBus = QStringLiteral("unix:path=") + m_folder.filePath(QStringLiteral("no-bus"));
        environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), noBus);
        environment.insert(QStringLiteral("DBUS_SYSTEM_BUS_ADDRESS"), noBus);
        m_server.setProcessEnvironment(environment);
        m_server.setStandardOutputFile(QProcess::nullDevice());
        m_server.setStandardErrorFile(QProcess::nullDevice());
        m_server.start(program,
                       {QStringLiteral("-n"), QStringLiteral("--daemonize=no"), QStringLiteral("--use-pid-file=no"),
                        QStringLiteral("--exit-idle-time=-1"), QStringLiteral("--load=module-null-sink sink_name=test"),
                        QStringLiteral("--load=module-native-protocol-unix socket=") + socketPath()});
        QElapsedTimer waited;
        waited.start();
        while (m_server.state() != QProcess::NotRunning && !QFile::exists(socketPath()) && waited.elapsed() < 10000)
            QTest::qWait(20);
        if (!QFile::exists(socketPath()))
            return false;
        // Listening from the start keeps the sink at a short latency all along.
        m_listener = std::make_unique<MonitorListener>();
        m_listener->start(address());
        while (!m_listener->hasHeardSince(0) && waited.elapsed() < 10000)
            QTest::qWait(20);
        return m_listener->hasHeardSince(0);
    }

    QByteArray address() const { return "unix:" + socketPath().toUtf8(); }
    const MonitorListener &listener() const { return *m_listener; }

private:
    QString socketPath() const { return m_folder.filePath(QStringLiteral("native")); }

    QTemporaryDir m_folder;
    QProcess m_server;
    std::unique_ptr<MonitorListener> m_listener;
};

} // namespace

class tst_PulseVoice : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void withoutServerEndsAtOnce_data();
    void withoutServerEndsAtOnce();
    void unplayableSoundEndsAtOnce_data();
    void unplayableSoundEndsAtOnce();

    void playsTheSoundToItsEnd();
    void stopCutsTheSoundOff();
    void newSoundCutsOffTheOneStillPlaying();
    void waitingPlayerReturnsWhenTheSoundHasBeenPlayed();

private:
    QString file(const QString &name, const QByteArray &content);
    bool useServer();

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<PrivateSoundServer> m_server;
    bool m_serverTried = false;
};

void tst_PulseVoice::initTestCase()
{
    QVERIFY2(PulseVoice::create(), "the PulseAudio client library could not be loaded");
}

void tst_PulseVoice::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    // Never the machine's own sound server: a test that wants one starts its own.
    qputenv("PULSE_SERVER", "unix:" + m_dir->filePath(QStringLiteral("no-server")).toUtf8());
}

QString tst_PulseVoice::file(const QString &name, const QByteArray &content)
{
    const QString path = m_dir->filePath(name);
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(content) != content.size())
        qFatal("cannot write the test sound");
    return path;
}

bool tst_PulseVoice::useServer()
{
    if (!m_serverTried) {
        m_serverTried = true;
        auto server = std::make_unique<PrivateSoundServer>();
        if (server->start())
            m_server = std::move(server);
    }
    if (!m_server)
        return false;
    qputenv("PULSE_SERVER", m_server->address());
    return true;
}

void tst_PulseVoice::withoutServerEndsAtOnce_data()
{
    QTest::addColumn<int>("durationMs");
    QTest::newRow("short") << 300;
    QTest::newRow("longer than a wait's margin") << 4000;
}

void tst_PulseVoice::withoutServerEndsAtOnce()
{
    QFETCH(int, durationMs);
    const std::unique_ptr<PulseVoice> voice = PulseVoice::create();
    QSignalSpy finished(voice.get(), &SoundVoice::finished);
    QElapsedTimer elapsed;
    elapsed.start();
    voice->start(file(QStringLiteral("tone.wav"), toneWave(durationMs)));
    QCOMPARE(finished.size(), 1);
    QVERIFY2(elapsed.elapsed() < 250, qPrintable(QString::number(elapsed.elapsed())));
}

void tst_PulseVoice::unplayableSoundEndsAtOnce_data()
{
    QTest::addColumn<QByteArray>("content"); // "<missing>": no file

    const auto wave = [](quint16 formatTag, quint16 bits) {
        const QByteArray data(1600, '\0');
        const QByteArray format =
            le16(formatTag) + le16(1) + le32(Rate) + le32(Rate * bits / 8) + le16(bits / 8) + le16(bits);
        const QByteArray body = "WAVEfmt " + le32(16) + format + "data" + le32(quint32(data.size())) + data;
        return "RIFF" + le32(quint32(body.size())) + body;
    };
    QTest::newRow("missing") << QByteArray("<missing>");
    QTest::newRow("not a wave file") << QByteArray("ID3\x03\0\0\0\0\0\0mp3 frames", 20);
    QTest::newRow("64-bit floating point") << wave(3, 64);
    QTest::newRow("16-bit floating point") << wave(3, 16);
    QTest::newRow("40-bit integers") << wave(1, 40);
}

void tst_PulseVoice::unplayableSoundEndsAtOnce()
{
    QFETCH(QByteArray, content);
    useServer();
    const std::unique_ptr<PulseVoice> voice = PulseVoice::create();
    QSignalSpy finished(voice.get(), &SoundVoice::finished);
    voice->start(content == "<missing>" ? m_dir->filePath(QStringLiteral("bad.wav"))
                                        : file(QStringLiteral("bad.wav"), content));
    QCOMPARE(finished.size(), 1);
}

void tst_PulseVoice::playsTheSoundToItsEnd()
{
    if (!useServer())
        QSKIP("no pulseaudio to start a sound server of the test's own");
    const MonitorListener &heard = m_server->listener();
    const std::unique_ptr<PulseVoice> voice = PulseVoice::create();
    QSignalSpy finished(voice.get(), &SoundVoice::finished);
    const qint64 started = heard.now();
    voice->start(file(QStringLiteral("tone.wav"), toneWave(600)));
    QVERIFY(finished.wait(5000));
    const qint64 ended = heard.now();
    QVERIFY2(ended - started >= 500 && ended - started < 2000, qPrintable(QString::number(ended - started)));
    QTRY_VERIFY(heard.hasHeardSince(ended));
    QVERIFY2(heard.peak(started, ended) > 0.3, qPrintable(QString::number(heard.peak(started, ended))));
    QCOMPARE(finished.size(), 1);
}

void tst_PulseVoice::stopCutsTheSoundOff()
{
    if (!useServer())
        QSKIP("no pulseaudio to start a sound server of the test's own");
    const MonitorListener &heard = m_server->listener();
    const std::unique_ptr<PulseVoice> voice = PulseVoice::create();
    QSignalSpy finished(voice.get(), &SoundVoice::finished);
    const qint64 started = heard.now();
    voice->start(file(QStringLiteral("long.wav"), toneWave(3000)));
    QTest::qWait(500);
    const qint64 stopped = heard.now();
    voice->stop();
    QVERIFY2(heard.now() - stopped < 100, qPrintable(QString::number(heard.now() - stopped)));
    QTest::qWait(1000);
    QVERIFY2(heard.peak(started, stopped) > 0.3, qPrintable(QString::number(heard.peak(started, stopped))));
    // A little for what was on its way to the sink when the rest was thrown away.
    QVERIFY2(heard.peak(stopped + 200, heard.now()) < 0.01,
             qPrintable(QString::number(heard.peak(stopped + 200, heard.now()))));
    QCOMPARE(finished.size(), 0);
}

void tst_PulseVoice::newSoundCutsOffTheOneStillPlaying()
{
    if (!useServer())
        QSKIP("no pulseaudio to start a sound server of the test's own");
    const MonitorListener &heard = m_server->listener();
    const std::unique_ptr<PulseVoice> voice = PulseVoice::create();
    QSignalSpy finished(voice.get(), &SoundVoice::finished);
    voice->start(file(QStringLiteral("arm.wav"), toneWave(3000)));
    QTest::qWait(300);
    const qint64 cut = heard.now();
    voice->start(file(QStringLiteral("disarm.wav"), toneWave(400, true)));
    // One end, the new sound's, after its own length and long before the first one would have ended;
    // the new sound is silent, so that anything heard after the cut is the old one.
    QVERIFY(finished.wait(5000));
    const qint64 ended = heard.now();
    QVERIFY2(ended - cut >= 300 && ended - cut < 1800, qPrintable(QString::number(ended - cut)));
    QTest::qWait(800);
    QVERIFY2(heard.peak(cut + 200, heard.now()) < 0.01,
             qPrintable(QString::number(heard.peak(cut + 200, heard.now()))));
    QCOMPARE(finished.size(), 1);
}

void tst_PulseVoice::waitingPlayerReturnsWhenTheSoundHasBeenPlayed()
{
    if (!useServer())
        QSKIP("no pulseaudio to start a sound server of the test's own");
    // A margin this long shows that the end came from the voice, not from the player's limit.
    AudioThreadPlayer player({}, 5000);
    const QString path = file(QStringLiteral("warning.wav"), toneWave(800));
    QElapsedTimer elapsed;
    elapsed.start();
    QVERIFY(!player.play(path, true));
    QVERIFY2(elapsed.elapsed() >= 700 && elapsed.elapsed() < 2500, qPrintable(QString::number(elapsed.elapsed())));
}

QTEST_GUILESS_MAIN(tst_PulseVoice)
#include "tst_pulsevoice.moc"
