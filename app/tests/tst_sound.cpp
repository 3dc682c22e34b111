// SPDX-License-Identifier: GPL-3.0-or-later
#include "audiothreadplayer.h"
#include "messageboxhook.h"
#include "recordingsoundplayer.h"
#include "sound.h"
#include "waveinfo.h"

#include <QElapsedTimer>
#include <QTest>

class tst_Sound : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void playsoundHandsOverPathAndWait_data();
    void playsoundHandsOverPathAndWait();
    void failureBox();
    void failureAnswers_data();
    void failureAnswers();
    void failureWithoutMessages();

    void realPlaybackOfAShippedSound();

private:
    MessageBoxHook::Handler m_previousHandler;
    QList<MessageBoxRequest> m_boxes;
    QList<QMessageBox::StandardButton> m_answers;
};

void tst_Sound::init()
{
    m_boxes.clear();
    m_answers.clear();
    m_previousHandler = MessageBoxHook::setHandler([this](const MessageBoxRequest &request) {
        m_boxes.append(request);
        return m_answers.isEmpty() ? QMessageBox::Ignore : m_answers.takeFirst();
    });
}

void tst_Sound::cleanup()
{
    MessageBoxHook::setHandler(std::move(m_previousHandler));
}

void tst_Sound::playsoundHandsOverPathAndWait_data()
{
    QTest::addColumn<bool>("wait");
    QTest::newRow("to the end") << true;
    QTest::newRow("at once") << false;
}

void tst_Sound::playsoundHandsOverPathAndWait()
{
    QFETCH(bool, wait);
    RecordingSoundPlayer player;
    Sound(player).Playsound(QStringLiteral("/opt/Vesperon/sound/s1min.wav"), wait);
    QCOMPARE(player.requests().size(), 1);
    QCOMPARE(player.requests().constFirst().path, QStringLiteral("/opt/Vesperon/sound/s1min.wav"));
    QCOMPARE(player.requests().constFirst().wait, wait);
    QVERIFY(m_boxes.isEmpty());
}

void tst_Sound::failureBox()
{
    RecordingSoundPlayer player;
    player.failNext(1, {53, QStringLiteral("Audio output not found")});
    QWidget window;
    Sound(player, &window).Playsound(QStringLiteral("a.wav"), true);
    QCOMPARE(m_boxes.size(), 1);
    const MessageBoxRequest &box = m_boxes.constFirst();
    QCOMPARE(box.title, QStringLiteral("Fehler in: (Vesperon) Sub Playsound"));
    QCOMPARE(box.text, QStringLiteral("Fehler-Nr: 53\r\nFehler     : Audio output not found"));
    QCOMPARE(box.icon, QMessageBox::Warning);
    QCOMPARE(box.buttons, QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore);
    QCOMPARE(box.defaultButton, QMessageBox::Ignore);
    QCOMPARE(box.parent.data(), &window);
}

void tst_Sound::failureAnswers_data()
{
    QTest::addColumn<int>("failures");
    QTest::addColumn<QList<QMessageBox::StandardButton>>("answers");
    QTest::addColumn<int>("calls");
    QTest::addColumn<int>("boxes");

    using B = QMessageBox::StandardButton;
    QTest::newRow("abort") << 5 << QList<B>{QMessageBox::Abort} << 1 << 1;
    QTest::newRow("ignore") << 5 << QList<B>{QMessageBox::Ignore} << 1 << 1;
    QTest::newRow("retry, then it works") << 1 << QList<B>{QMessageBox::Retry} << 2 << 1;
    QTest::newRow("retry twice, then abort")
        << 5 << QList<B>{QMessageBox::Retry, QMessageBox::Retry, QMessageBox::Abort} << 3 << 3;
    QTest::newRow("box closed otherwise") << 5 << QList<B>{QMessageBox::NoButton} << 1 << 1;
}

void tst_Sound::failureAnswers()
{
    QFETCH(int, failures);
    QFETCH(QList<QMessageBox::StandardButton>, answers);
    QFETCH(int, calls);
    QFETCH(int, boxes);
    RecordingSoundPlayer player;
    player.failNext(failures, {1, QStringLiteral("broken")});
    m_answers = answers;
    Sound(player).Playsound(QStringLiteral("a.wav"), false);
    QCOMPARE(player.requests().size(), calls);
    QCOMPARE(m_boxes.size(), boxes);
}

void tst_Sound::failureWithoutMessages()
{
    RecordingSoundPlayer player;
    player.failNext(5, {1, QStringLiteral("broken")});
    Sound sound(player);
    sound.setMessagesShown(false);
    sound.Playsound(QStringLiteral("a.wav"), true);
    QCOMPARE(player.requests().size(), 1);
    QVERIFY(m_boxes.isEmpty());
}

void tst_Sound::realPlaybackOfAShippedSound()
{
    // Through the sound server, or without one (as in CI): no box, and a waiting call comes back
    // within the sound's own length and the margin.
    const QString path = QStringLiteral(VESPERON_SOUND_DIR "/s1min.wav");
    const std::optional<WaveInfo> wave = WaveInfo::read(path);
    QVERIFY(wave);
    QVERIFY(wave->durationMs > 500 && wave->durationMs < 5000);

    AudioThreadPlayer player;
    Sound sound(player);
    QElapsedTimer elapsed;
    elapsed.start();
    sound.Playsound(path, true);
    const qint64 waited = elapsed.elapsed();
    // A little over the margin for starting the thread's work on a loaded machine.
    QVERIFY2(waited <= wave->durationMs + AudioThreadPlayer::DefaultMarginMs + 250,
             qPrintable(QString::number(waited)));

    elapsed.restart();
    sound.Playsound(path, false);
    QVERIFY2(elapsed.elapsed() < wave->durationMs, qPrintable(QString::number(elapsed.elapsed())));
    QVERIFY(m_boxes.isEmpty());
}

QTEST_MAIN(tst_Sound)
#include "tst_sound.moc"
