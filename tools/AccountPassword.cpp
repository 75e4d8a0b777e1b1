#include "tools/AccountPassword.h"

#include <cstdio>
#include <cstdlib>
#include <termios.h>
#include <unistd.h>

#include "config/SUserInetData.h"
#include "tools/ToolCommand.h"

namespace qimtool {

bool TakePasswordFromEnvironment(SUserInetData& inet, std::string& error) {
    if (!inet.password.empty()) return true;
    const char* pw = std::getenv("QIM_PASSWORD");
    if (!pw || !*pw) return true;
    if (TerminalToSjis(pw, inet.password)) return true;
    error = "QIM_PASSWORD を Shift_JIS にできません。";
    return false;
}

bool PromptPassword(std::string& sjis) {
    if (!isatty(STDIN_FILENO)) return false;
    std::fprintf(stderr, "パスワード: ");
    std::fflush(stderr);
    termios old{};
    const bool tty = tcgetattr(STDIN_FILENO, &old) == 0;
    if (tty) {
        termios quiet = old;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
    }
    char buffer[512];
    const bool got = std::fgets(buffer, sizeof buffer, stdin) != nullptr;
    if (tty) tcsetattr(STDIN_FILENO, TCSAFLUSH, &old);
    std::fprintf(stderr, "\n");
    if (!got) return false;
    std::string typed(buffer);
    while (!typed.empty() && (typed.back() == '\n' || typed.back() == '\r')) typed.pop_back();
    return !typed.empty() && TerminalToSjis(typed, sjis);
}

}  // namespace qimtool
