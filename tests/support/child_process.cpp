#include "support/child_process.h"

#include <QElapsedTimer>
#include <QFile>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <csignal>
#include <cstdlib>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace testsupport {

ChildProcess::ChildProcess(const QString& program, const QStringList& args,
                           const std::vector<std::pair<QByteArray, QByteArray>>& env,
                           bool separateErrors)
{
    if (separateErrors) {
        char name[] = "/tmp/vexa-child-errors.XXXXXX";
        errorsFd_ = ::mkstemp(name);
        if (errorsFd_ < 0)
            return;
        ::unlink(name);
    }
    // Everything the child needs is made before the fork.
    std::vector<QByteArray> argStore{QFile::encodeName(program)};
    for (const QString& a : args)
        argStore.push_back(QFile::encodeName(a));
    std::vector<char*> argv;
    for (QByteArray& a : argStore)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0)
        return;
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(pipeFds[1], STDOUT_FILENO);
        ::dup2(errorsFd_ >= 0 ? errorsFd_ : pipeFds[1], STDERR_FILENO);
        for (const auto& [name, value] : env)
            ::setenv(name.constData(), value.constData(), 1);
        ::execvp(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(pipeFds[1]);
    if (pid < 0) {
        ::close(pipeFds[0]);
        return;
    }
    pid_ = pid;
    fd_ = pipeFds[0];
}

ChildProcess::~ChildProcess()
{
    if (pid_ > 0 && !exited_) {
        kill();
        reap(true);
    }
    if (fd_ >= 0)
        ::close(fd_);
    if (errorsFd_ >= 0)
        ::close(errorsFd_);
}

QByteArray ChildProcess::errors() const
{
    QByteArray all;
    if (errorsFd_ < 0)
        return all;
    char buffer[4096];
    ssize_t n;
    off_t at = 0;
    while ((n = ::pread(errorsFd_, buffer, sizeof buffer, at)) > 0) {
        all.append(buffer, int(n));
        at += n;
    }
    return all;
}

bool ChildProcess::readSome(int timeoutMs)
{
    if (fd_ < 0)
        return false;
    pollfd p{fd_, POLLIN, 0};
    if (::poll(&p, 1, timeoutMs) <= 0)
        return true; // nothing yet
    char buffer[4096];
    const ssize_t n = ::read(fd_, buffer, sizeof buffer);
    if (n > 0) {
        output_.append(buffer, int(n));
        return true;
    }
    if (n < 0 && errno == EINTR)
        return true;
    ::close(fd_);
    fd_ = -1;
    return false;
}

bool ChildProcess::finish(int timeoutMs)
{
    if (pid_ <= 0)
        return false;
    QElapsedTimer clock;
    clock.start();
    while (fd_ >= 0 && clock.elapsed() < timeoutMs)
        readSome(int(std::max<qint64>(1, timeoutMs - clock.elapsed())));
    while (!reap(false) && clock.elapsed() < timeoutMs)
        ::usleep(10000);
    return exited_;
}

void ChildProcess::kill()
{
    if (pid_ > 0 && !exited_)
        ::kill(pid_, SIGKILL);
}

bool ChildProcess::reap(bool wait)
{
    if (exited_)
        return true;
    int status = 0;
    const pid_t r = ::waitpid(pid_, &status, wait ? 0 : WNOHANG);
    if (r != pid_)
        return false;
    exited_ = true;
    code_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    signal_ = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    return true;
}

} // namespace testsupport

namespace testsupport {

ProgramRun runProgramApart(const QString& program, const QStringList& args)
{
    ProgramRun run;
    ChildProcess child(program, args, {}, true);
    if (!child.started() || !child.finish(120000) || child.signal() != 0)
        return run;
    run.exitCode = child.exitCode();
    run.ran = run.exitCode != 127; // 127: exec failed, the program is not there
    run.out = child.output();
    run.err = child.errors();
    return run;
}

bool runProgram(const QString& program, const QStringList& args, QByteArray* out)
{
    const ProgramRun run = runProgramApart(program, args);
    if (out)
        *out = run.out;
    return run.ran && run.exitCode == 0;
}

} // namespace testsupport
