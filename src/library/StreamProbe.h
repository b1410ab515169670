#pragma once
// Reads the facts of MP3 and WMA files (length, rate, channels, bit rate) in a process of its
// own, so that listing a folder of them does not bring the decoder and the many libraries it
// stands on into the window's process; they are loaded there only to play or convert a file
// or to record WMA. The process is the program itself, started with ServeArgument. A file
// that crashes the decoder takes only that process down: it is reported unreadable and a new
// process reads the files after it. So does a file that keeps the process from answering for
// longer than the time limit (a stalled network folder, a file the decoder scans without end);
// the limit is per file, counted from the answer before.
// A process ended from outside (SIGKILL or SIGTERM from another process: the out-of-memory
// killer, a user's kill) says nothing about the file it was reading: a new process reads that
// file again, once; ended so a second time on the same file, the caller reads the rest itself.
//
// Parent (GUI thread): start(paths), then take() whenever convenient (the window's tick); the
// event loop moves the data in between, and waitForResults() waits without one (tests).
// Child: serve() reads names, each ended by a NUL byte, from standard input and writes one
// line per name to standard output, in order: "ok <rate> <channels> <frames> <file size>
// <bit rate>" or "fail" (cannot be decoded, not a regular file, gone).
#include "library/StreamFacts.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QString>
#include <QStringList>
#include <memory>

class QProcess;

namespace library {

class StreamProbe {
public:
    static constexpr const char* ServeArgument = "--read-stream-facts";

    // program: the executable to start with ServeArgument (the program's own path);
    // limitMs: how long one file may take.
    explicit StreamProbe(QString program, int limitMs = DefaultLimitMs);
    static constexpr int DefaultLimitMs = 20000;
    ~StreamProbe(); // a process still running is killed
    StreamProbe(const StreamProbe&) = delete;
    StreamProbe& operator=(const StreamProbe&) = delete;

    // Starts reading the files. False when a reading still runs, or when the process cannot be
    // started (the caller then reads the files itself).
    bool start(const QStringList& paths);
    // Started and not every result taken yet.
    bool busy() const { return next_ < paths_.size(); }

    enum class Outcome {
        Read,       // facts holds what the engine would read
        Unreadable, // the engine cannot decode it (or it crashed the reading)
        NotRead,    // the reading could not go on: the caller reads it itself
    };
    struct Result {
        QString path;
        Outcome outcome = Outcome::NotRead;
        StreamFacts facts;
    };
    // The results that arrived since the last call, in the order of the paths. Never waits,
    // but for the end of a process that went over the time limit.
    QList<Result> take();
    // Waits up to msecs for the process to answer or end (for callers without an event loop).
    void waitForResults(int msecs);

    // The child's side; returns the process's exit code.
    static int serve();

private:
    bool launch();
    void finishAbnormalEnd(QList<Result>& results);
    // Whether the process, ended by a signal, was ended from outside rather than by the file
    // it read (a crash of the decoder, or this side's kill at the time limit).
    bool endedFromOutside() const;

    QString program_;
    int limitMs_;
    QElapsedTimer sinceAnswer_; // since the process started or last answered
    std::unique_ptr<QProcess> process_;
    QStringList paths_;
    int next_ = 0;      // the first path without a result
    bool timedOut_ = false; // this side killed the process at the time limit
    int restartedAt_ = -1;  // the path a process ended from outside was started again on
    QByteArray output_; // read, not yet a whole line
};

} // namespace library
