// A recording whose process is killed keeps all but its last second: the WAV writer patches
// both size fields at least once per second of audio. The test runs itself again as a child
// that records and then waits to be killed, and reads the file the child left behind.
// ctest-label: unit
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include "recording/WavWriter.h"
#include "support/decode_audio.h"

namespace {

constexpr char ChildPathVariable[] = "VEXA_WAV_CHILD_PATH";
constexpr int Rate = 8000;
constexpr int Channels = 2;
constexpr int TotalFrames = Rate * 5 / 2; // 2.5 s
constexpr int BlockFrames = Rate / 10;    // 100 ms blocks, as a capture hands them over

quint32 le32(const QByteArray& bytes, int at)
{
    quint32 v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | quint8(bytes.at(at + i));
    return v;
}

std::vector<std::int16_t> signal()
{
    return testsupport::sinePcm(Rate, TotalFrames, {440.0, 660.0});
}

// In the child: record 2.5 s, say so, and wait to be killed (never finalising).
TEST(WavPeriodicHeader, ChildRecords)
{
    const QString path = qEnvironmentVariable(ChildPathVariable);
    if (path.isEmpty())
        GTEST_SKIP() << "runs only as the child of KilledRecordingKeepsAllButItsLastSecond";
    const auto pcm = signal();
    auto* writer = new recording::WavWriter; // never destroyed: the process dies with it open
    ASSERT_TRUE(writer->openFile(path, Channels, Rate));
    const auto* bytes = reinterpret_cast<const char*>(pcm.data());
    for (int f = 0; f < TotalFrames; f += BlockFrames)
        ASSERT_TRUE(writer->append(bytes + f * Channels * 2, BlockFrames * Channels * 2));
    std::fputs("RECORDED\n", stdout);
    std::fflush(stdout);
    QThread::sleep(120);
}

TEST(WavPeriodicHeader, KilledRecordingKeepsAllButItsLastSecond)
{
    if (qEnvironmentVariableIsSet(ChildPathVariable))
        GTEST_SKIP();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Vexa_001.wav"));

    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QString::fromLatin1(ChildPathVariable), path);
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_filter=WavPeriodicHeader.ChildRecords")});
    ASSERT_TRUE(child.waitForStarted(10000));
    QByteArray out;
    while (!out.contains("RECORDED") && child.state() == QProcess::Running) {
        child.waitForReadyRead(1000);
        out += child.readAllStandardOutput();
    }
    ASSERT_TRUE(out.contains("RECORDED")) << out.toStdString();
    child.kill(); // SIGKILL: no destructor, no finalise
    ASSERT_TRUE(child.waitForFinished(10000));
    EXPECT_EQ(child.exitStatus(), QProcess::CrashExit);

    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray file = f.readAll();
    const auto pcm = signal();
    const QByteArray expected(reinterpret_cast<const char*>(pcm.data()), int(pcm.size() * 2));
    const int bytesPerSecond = Rate * Channels * 2;

    // Every appended byte reached the file, in place behind the header.
    ASSERT_EQ(file.size(), 44 + expected.size());
    EXPECT_TRUE(file.mid(44) == expected);
    // The header describes all but the last second, in whole frames, and no more than is there.
    const quint32 riff = le32(file, 4);
    const quint32 data = le32(file, 40);
    EXPECT_GE(qint64(data), expected.size() - bytesPerSecond);
    EXPECT_LE(qint64(data), expected.size());
    EXPECT_EQ(data % (Channels * 2), 0u);
    EXPECT_EQ(riff, data + 36);

    const testsupport::DecodedAudio d = testsupport::decodeAudio(path);
    ASSERT_TRUE(d.ok) << d.error.toStdString();
    EXPECT_EQ(d.frames(), qint64(data) / (Channels * 2));
}

} // namespace
