#include "support/SessionBus.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

extern char** environ;

namespace qimtest {

namespace {

// Starts `argv` with `env` added to this process's environment, its standard
// input from `stdinFd` (-1: /dev/null), its output into `log`; `keepFd` stays
// open in the child. The child's PID, or -1. Everything the child needs is
// made before the fork: the test process has threads.
pid_t Spawn(const std::vector<std::string>& argv, const std::vector<std::string>& env, int stdinFd,
            const std::string& log, int keepFd = -1) {
    std::vector<std::string> envStrings;
    for (char** e = environ; *e; ++e) {
        const std::string entry(*e);
        const std::string key = entry.substr(0, entry.find('=') + 1);
        bool replaced = false;
        for (const std::string& add : env) replaced |= add.compare(0, key.size(), key) == 0;
        if (!replaced) envStrings.push_back(entry);
    }
    envStrings.insert(envStrings.end(), env.begin(), env.end());
    std::vector<char*> envp;
    for (std::string& e : envStrings) envp.push_back(e.data());
    envp.push_back(nullptr);
    std::vector<std::string> argStrings = argv;
    std::vector<char*> args;
    for (std::string& a : argStrings) args.push_back(a.data());
    args.push_back(nullptr);
    const int in = stdinFd >= 0 ? stdinFd : open("/dev/null", O_RDONLY | O_CLOEXEC);
    const int out = open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(in, 0);
        dup2(out, 1);
        dup2(out, 2);
        for (int fd = 3; fd < 1024; ++fd)
            if (fd != keepFd) close(fd);
        execvpe(args[0], args.data(), envp.data());
        _exit(127);
    }
    if (stdinFd < 0) close(in);
    close(out);
    return pid;
}

void Stop(pid_t& pid) {
    if (pid <= 0) return;
    kill(pid, SIGTERM);
    for (int i = 0; i < 50; ++i) {
        if (waitpid(pid, nullptr, WNOHANG) == pid) {
            pid = -1;
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    pid = -1;
}

}  // namespace

PrivateSessionBus::PrivateSessionBus() {
    const std::string run = dir_.File("run");
    mkdir(run.c_str(), 0700);
    WriteFileBytes(dir_.File("bus.conf"),
                   "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
                   " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                   "<busconfig>\n  <type>session</type>\n  <listen>unix:dir=" + run + "</listen>\n"
                   "  <auth>EXTERNAL</auth>\n"
                   "  <policy context=\"default\">\n    <allow send_destination=\"*\" eavesdrop=\"true\"/>\n"
                   "    <allow eavesdrop=\"true\"/>\n    <allow own=\"*\"/>\n  </policy>\n</busconfig>\n");
    int pipeFds[2];
    if (pipe(pipeFds) != 0) return;
    busPid_ = Spawn({"dbus-daemon", "--config-file=" + dir_.File("bus.conf"), "--nofork",
                     "--print-address=" + std::to_string(pipeFds[1])},
                    {}, -1, dir_.File("bus.log"), pipeFds[1]);
    close(pipeFds[1]);
    std::string line;
    char c;
    // The daemon writes its address once it listens; an end of file means it did not start.
    while (read(pipeFds[0], &c, 1) == 1 && c != '\n') line += c;
    close(pipeFds[0]);
    address_ = line;
}

PrivateSessionBus::~PrivateSessionBus() {
    Stop(keyringPid_);
    Stop(busPid_);
}

bool PrivateSessionBus::StopKeyring() {
    Stop(keyringPid_);
    for (int i = 0; i < 100; ++i) {
        if (!NameHasOwner("org.freedesktop.secrets")) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

bool PrivateSessionBus::StartKeyring() {
    if (!Ok()) return false;
    if (keyringPid_ > 0) return true;
    const std::string home = dir_.File("home");
    mkdir(home.c_str(), 0700);
    int in[2];
    if (pipe(in) != 0) return false;
    keyringPid_ = Spawn({"gnome-keyring-daemon", "--foreground", "--components=secrets", "--unlock"},
                        {"DBUS_SESSION_BUS_ADDRESS=" + address_, "HOME=" + home, "XDG_DATA_HOME=" + home + "/data",
                         "XDG_RUNTIME_DIR=" + dir_.File("run")},
                        in[0], dir_.File("keyring.log"));
    close(in[0]);
    // The password of the new login keyring, then the end of input.
    const char password[] = "keyring-test";
    const bool written = write(in[1], password, sizeof password - 1) == static_cast<ssize_t>(sizeof password - 1);
    close(in[1]);
    if (!written) return false;
    for (int i = 0; i < 100; ++i) {
        if (NameHasOwner("org.freedesktop.secrets")) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

void PrivateSessionBus::UseForThisProcess() const {
    setenv("DBUS_SESSION_BUS_ADDRESS", address_.c_str(), 1);
    setenv("XDG_RUNTIME_DIR", dir_.File("run").c_str(), 1);
    // The keyring is chosen by the desktop's name; the tests take the Secret Service.
    unsetenv("XDG_CURRENT_DESKTOP");
    unsetenv("DESKTOP_SESSION");
    unsetenv("KDE_FULL_SESSION");
}

bool PrivateSessionBus::NameHasOwner(const std::string& name) const {
    int status = 0;
    const std::string out = RunCommand("dbus-send --bus='" + address_ +
                                           "' --print-reply --dest=org.freedesktop.DBus / "
                                           "org.freedesktop.DBus.NameHasOwner string:" + name + " 2>/dev/null",
                                       &status);
    return status == 0 && out.find("boolean true") != std::string::npos;
}

std::string PrivateSessionBus::KeyringLog() const { return ReadFileBytes(dir_.File("keyring.log")); }

}  // namespace qimtest
