#pragma once
// Runs another program from a test with fork and exec. QProcess starts its children with a
// clone that the thread sanitizer does not see, and from then on the sanitizer misses the
// main thread's own locks and reports races on every lock shared with another thread: tests
// that run tools and then threads of the program use this instead.
#include <QByteArray>
#include <QString>
#include <QStringList>

#include <sys/types.h>
#include <utility>
#include <vector>

namespace testsupport {

// One child whose standard output is read through a pipe. Its standard error is merged into
// it, or kept apart (separateErrors) and read once the child is done.
class ChildProcess {
public:
    // Starts `program` (looked up in PATH) with `args`, and `env` added to this process's
    // environment. started() tells whether it ran.
    ChildProcess(const QString& program, const QStringList& args,
                 const std::vector<std::pair<QByteArray, QByteArray>>& env = {},
                 bool separateErrors = false);
    ~ChildProcess(); // kills a child still running and reaps it
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool started() const { return pid_ > 0; }
    // Reads what is there, waiting up to timeoutMs for something; false at the end of output.
    bool readSome(int timeoutMs);
    const QByteArray& output() const { return output_; }
    // The standard error kept apart, as far as it was written (empty when merged).
    QByteArray errors() const;
    // Reads to the end and waits for the exit, up to timeoutMs in all. False on time-out.
    bool finish(int timeoutMs);
    void kill();
    bool exitedNormally() const { return exited_ && signal_ == 0; }
    int exitCode() const { return code_; }
    int signal() const { return signal_; }

private:
    bool reap(bool wait);
    pid_t pid_ = -1;
    int fd_ = -1;
    int errorsFd_ = -1;
    QByteArray output_;
    bool exited_ = false;
    int code_ = -1;
    int signal_ = 0;
};

// A program run to its end (up to two minutes) with its output and errors apart.
struct ProgramRun {
    bool ran = false; // it started and ended by itself
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};
ProgramRun runProgramApart(const QString& program, const QStringList& args);
// The same; true when it exited with 0. Its standard output goes to *out when given.
bool runProgram(const QString& program, const QStringList& args, QByteArray* out = nullptr);

} // namespace testsupport
