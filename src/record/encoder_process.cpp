#include "record/encoder_process.hpp"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace internal {

namespace {

// Enough for the error lines of a failing encoder; the start of a long output is dropped.
constexpr size_t ERROR_TAIL_BYTES = 600;

// SIGPIPE blocked on this thread while the child's input is written: a write to a child that
// has exited then fails with EPIPE instead of ending the application. A SIGPIPE raised by the
// write is taken off the pending set before the mask goes back, unless one was pending
// already (the application's own, left for it).
class SigpipeBlock {
public:
    SigpipeBlock() {
        sigemptyset(&mPipe);
        sigaddset(&mPipe, SIGPIPE);
        sigset_t pending;
        sigpending(&pending);
        mWasPending = sigismember(&pending, SIGPIPE) == 1;
        pthread_sigmask(SIG_BLOCK, &mPipe, &mOld);
    }
    ~SigpipeBlock() {
        sigset_t pending;
        sigpending(&pending);
        if (!mWasPending && sigismember(&pending, SIGPIPE) == 1) {
            const timespec now{0, 0};
            while (sigtimedwait(&mPipe, nullptr, &now) < 0 && errno == EINTR) {
            }
        }
        pthread_sigmask(SIG_SETMASK, &mOld, nullptr);
    }
    SigpipeBlock(const SigpipeBlock&) = delete;
    SigpipeBlock& operator=(const SigpipeBlock&) = delete;

private:
    sigset_t mPipe;
    sigset_t mOld;
    bool mWasPending = false;
};

void closeFd(int& fd) {
    if (fd >= 0) close(fd);
    fd = -1;
}

}  // namespace

bool EncoderProcess::start(const std::vector<std::string>& argv, std::string& reason) {
    int input[2] = {-1, -1};
    int errors[2] = {-1, -1};
    if (pipe2(input, O_CLOEXEC) != 0 || pipe2(errors, O_CLOEXEC) != 0) {
        reason = std::strerror(errno);
        closeFd(input[0]), closeFd(input[1]), closeFd(errors[0]), closeFd(errors[1]);
        return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    posix_spawn_file_actions_init(&actions);
    posix_spawnattr_init(&attributes);
    // dup2 clears close-on-exec on the child's copies; every other descriptor of these pipes
    // closes on exec.
    posix_spawn_file_actions_adddup2(&actions, input[0], 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, errors[1], 2);
    sigset_t none, pipeSignal;
    sigemptyset(&none);
    sigemptyset(&pipeSignal);
    sigaddset(&pipeSignal, SIGPIPE);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &pipeSignal);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    pid_t pid = -1;
    const int error =
        posix_spawnp(&pid, args[0], &actions, &attributes, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    closeFd(input[0]);
    closeFd(errors[1]);
    if (error != 0) {
        closeFd(input[1]);
        closeFd(errors[0]);
        reason = "cannot run \"" + argv[0] + "\": " + std::strerror(error);
        return false;
    }
    mPid = pid;
    mInput = input[1];
    mErrors = errors[0];
    // Only this process's ends wait for nothing; the child's read blocks as usual.
    fcntl(mInput, F_SETFL, fcntl(mInput, F_GETFL) | O_NONBLOCK);
    fcntl(mErrors, F_SETFL, fcntl(mErrors, F_GETFL) | O_NONBLOCK);
    mErrorTail.clear();
    return true;
}

void EncoderProcess::drainErrors(bool wait) {
    if (mErrors < 0) return;
    char buffer[4096];
    for (;;) {
        const ssize_t n = read(mErrors, buffer, sizeof buffer);
        if (n > 0) {
            mErrorTail.append(buffer, static_cast<size_t>(n));
            if (mErrorTail.size() > ERROR_TAIL_BYTES)
                mErrorTail.erase(0, mErrorTail.size() - ERROR_TAIL_BYTES);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno == EAGAIN && wait) {
            pollfd p{mErrors, POLLIN, 0};
            poll(&p, 1, -1);
            continue;
        }
        if (n == 0) closeFd(mErrors);  // the child and its descendants closed it
        return;
    }
}

bool EncoderProcess::write(const unsigned char* bytes, size_t size, std::string& reason) {
    if (mInput < 0) {
        reason = "the encoder is not running";
        return false;
    }
    const SigpipeBlock block;
    size_t done = 0;
    while (done < size) {
        pollfd p[2] = {{mInput, POLLOUT, 0}, {mErrors, POLLIN, 0}};
        const int n = poll(p, mErrors >= 0 ? 2 : 1, -1);
        if (n < 0) {
            if (errno == EINTR) continue;
            reason = std::strerror(errno);
            return false;
        }
        if (mErrors >= 0 && (p[1].revents & (POLLIN | POLLHUP | POLLERR))) drainErrors(false);
        // A closed pipe shows as POLLERR; the write below then fails with EPIPE.
        if (!(p[0].revents & (POLLOUT | POLLERR))) continue;
        const ssize_t w = ::write(mInput, bytes + done, size - done);
        if (w < 0) {
            if (errno == EINTR || errno == EAGAIN) continue;
            reason = errno == EPIPE ? "the encoder stopped reading its input"
                                    : std::strerror(errno);
            return false;
        }
        done += static_cast<size_t>(w);
    }
    return true;
}

void EncoderProcess::closeInput() { closeFd(mInput); }

bool EncoderProcess::finish(std::string& reason) {
    if (mPid <= 0) return true;
    closeInput();
    drainErrors(true);
    closeFd(mErrors);
    int status = 0;
    pid_t r;
    while ((r = waitpid(mPid, &status, 0)) < 0 && errno == EINTR) {
    }
    const pid_t pid = mPid;
    mPid = -1;
    // ECHILD: the application reaps its children itself (SIGCHLD ignored); nothing to tell.
    if (r != pid) return true;
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return true;
    reason = WIFSIGNALED(status)
                 ? "the encoder was killed by signal " + std::to_string(WTERMSIG(status))
                 : "the encoder exited with status " + std::to_string(WEXITSTATUS(status));
    return false;
}

EncoderProcess::~EncoderProcess() {
    std::string ignored;
    finish(ignored);
}

std::string EncoderProcess::errorOutput() const {
    std::string s = mErrorTail;
    while (!s.empty() && (s.back() == '\n' || s.back() == '\r' || s.back() == ' ')) s.pop_back();
    return s;
}

}  // namespace internal
