#include "library/StreamProbe.h"

#include "audio/Decoder.h"
#include "audio/FfmpegPath.h"
#include "platform/LocalFiles.h"

#include <QProcess>
#include <csignal>
#include <cstdio>
#include <string>

namespace library {

namespace {

// A line of the child: the facts as the engine's stream of the file gives them.
bool parseFacts(const QByteArray& line, StreamFacts& facts)
{
    const QList<QByteArray> f = line.split(' ');
    if (f.size() != 6 || f[0] != "ok")
        return false;
    bool ok[5];
    const qlonglong rate = f[1].toLongLong(&ok[0]);
    const qlonglong channels = f[2].toLongLong(&ok[1]);
    const qlonglong frames = f[3].toLongLong(&ok[2]);
    const qlonglong size = f[4].toLongLong(&ok[3]);
    const qlonglong bitRate = f[5].toLongLong(&ok[4]);
    for (bool b : ok)
        if (!b)
            return false;
    if (rate <= 0 || rate > 0xFFFFFFFF || channels <= 0 || channels > 0xFFFF)
        return false;
    facts = StreamFacts();
    facts.freq = std::uint32_t(rate);
    facts.chans = std::uint32_t(channels);
    facts.bitrate = bitRate > 0 && bitRate <= 0xFFFFFFFF ? std::uint32_t(bitRate) : 0;
    facts.seconds = frames > 0 ? double(frames) / double(rate) : 0.0;
    facts.fileSize = size > 0 && size <= 0xFFFFFFFF ? std::uint32_t(size) : 0;
    return true;
}

} // namespace

StreamProbe::StreamProbe(QString program, int limitMs)
    : program_(std::move(program)), limitMs_(limitMs)
{
}

StreamProbe::~StreamProbe()
{
    if (process_ && process_->state() != QProcess::NotRunning) {
        process_->kill();
        process_->waitForFinished(1000);
    }
}

bool StreamProbe::start(const QStringList& paths)
{
    if (busy())
        return false;
    paths_ = paths;
    next_ = 0;
    restartedAt_ = -1;
    if (paths_.isEmpty())
        return true;
    if (!launch()) {
        paths_.clear();
        return false;
    }
    return true;
}

bool StreamProbe::launch()
{
    output_.clear();
    timedOut_ = false;
    // A process that answered for all its files ends by itself as soon as it sees the end of
    // its input: it is let go in peace, not killed.
    if (process_ && process_->state() != QProcess::NotRunning)
        process_->waitForFinished(1000);
    process_ = std::make_unique<QProcess>();
    process_->setProgram(program_);
    process_->setArguments({QString::fromLatin1(ServeArgument)});
    // The decoder's complaints about broken files go where the program's own go.
    process_->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_->start();
    if (!process_->waitForStarted(5000)) {
        process_.reset();
        return false;
    }
    QByteArray input;
    for (int i = next_; i < paths_.size(); ++i) {
        input += platform::LocalFiles::encodeName(paths_[i]);
        input += '\0';
    }
    process_->write(input);
    process_->closeWriteChannel();
    sinceAnswer_.start();
    return true;
}

QList<StreamProbe::Result> StreamProbe::take()
{
    QList<Result> results;
    if (!process_)
        return results;
    const auto readAnswers = [this, &results] {
        output_ += process_->readAllStandardOutput();
        int end;
        while (busy() && (end = output_.indexOf('\n')) >= 0) {
            Result r;
            r.path = paths_[next_++];
            r.outcome =
                parseFacts(output_.left(end), r.facts) ? Outcome::Read : Outcome::Unreadable;
            output_.remove(0, end + 1);
            results.append(r);
            sinceAnswer_.start(); // each file has the whole limit
        }
    };
    // What it answered is taken before the time is judged: an answer that came just before
    // the limit counts.
    bool ended = process_->state() == QProcess::NotRunning;
    readAnswers();
    if (busy() && !ended && sinceAnswer_.hasExpired(limitMs_)) {
        // Stuck on one file: it goes as a crash does, the files before it are still read out.
        timedOut_ = true;
        process_->kill();
        process_->waitForFinished(1000);
        ended = true;
        readAnswers();
    }
    if (busy() && ended)
        finishAbnormalEnd(results);
    if (!busy() && process_->state() == QProcess::NotRunning)
        process_.reset();
    return results;
}

bool StreamProbe::endedFromOutside() const
{
    if (timedOut_)
        return false;
    // A crashed process's exit code is the number of the signal that ended it.
    const int signal = process_->exitCode();
    return signal == SIGKILL || signal == SIGTERM;
}

void StreamProbe::finishAbnormalEnd(QList<Result>& results)
{
    // The process ended before answering for every file.
    if (process_->exitStatus() == QProcess::CrashExit) {
        if (endedFromOutside()) {
            // Nothing is known of the file it was reading: a new process reads it again, once.
            if (restartedAt_ != next_) {
                restartedAt_ = next_;
                if (launch())
                    return;
            }
        } else {
            // The decoder crashed on the file, or it went over the time limit: that file is
            // unreadable, and a new process reads the rest.
            results.append({paths_[next_++], Outcome::Unreadable, StreamFacts()});
            if (!busy() || launch())
                return;
        }
    }
    // Otherwise (or without a new process) the caller reads the rest itself.
    while (busy())
        results.append({paths_[next_++], Outcome::NotRead, StreamFacts()});
}

void StreamProbe::waitForResults(int msecs)
{
    if (process_ && !process_->waitForReadyRead(msecs))
        process_->waitForFinished(0);
}

int StreamProbe::serve()
{
    std::string name;
    int c = 0;
    while (c != EOF) {
        name.clear();
        while ((c = std::getchar()) != EOF && c != '\0')
            name.push_back(char(c));
        if (c == EOF && name.empty())
            break;
        const QString path =
            platform::LocalFiles::decodeName(QByteArray(name.data(), qsizetype(name.size())));
        audio::Decoder decoder;
        // Never a FIFO or device: the decoder's open of one could wait for ever.
        if (path.isEmpty() || platform::LocalFiles::isSpecialFile(path) ||
            !decoder.open(audio::ffmpegPath(path).toStdString())) {
            std::fputs("fail\n", stdout);
        } else {
            std::printf("ok %u %u %lld %lld %lld\n", decoder.rate(), decoder.channels(),
                        static_cast<long long>(decoder.lengthFrames()),
                        static_cast<long long>(decoder.fileSize()),
                        static_cast<long long>(decoder.bitRate()));
        }
        std::fflush(stdout);
    }
    return 0;
}

} // namespace library
