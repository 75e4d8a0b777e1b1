// print: a stored mail into a PDF file, laid out as the windows print it.
// The layout lives in libqimprint.so, loaded here by name: it needs Qt Gui,
// which no other subcommand should have to load.
#include <cstdlib>
#include <string>
#include <vector>

#include "config/SSettingData.h"
#include "platform/OutsideLibrary.h"
#include "print/QimPrintPdf.h"
#include "tools/HomeOption.h"
#include "tools/ToolCommand.h"

#include <dlfcn.h>

namespace {

int PrintCommand(const std::vector<std::string>& args);

const qimtool::Command kPrint{"print", "[--home DIR] [--fixed] [--all-headers] MAIL OUT.pdf",
                              "メールを印刷用に組んで PDF ファイルにする", PrintCommand};
const bool kRegistered = qimtool::RegisterCommand(kPrint);

// "印刷は固定ﾌｫﾝﾄにする" of the home given by --home or QIMHOME; off without one.
bool FixedFontOfHome(const qimtool::ParsedArgs& parsed, bool& fixed, int& status) {
    const char* env = std::getenv("QIMHOME");
    if (!parsed.Value("--home") && !(env && *env)) return true;
    if (!qimtool::SetHome(parsed, kPrint, status)) return false;
    SSettingData settings;
    settings.Read();
    fixed = settings.fixedPrintFont;
    return true;
}

int PrintCommand(const std::vector<std::string>& args) {
    qimtool::ParsedArgs parsed;
    std::string error;
    if (!qimtool::ParseArgs(args, {"--fixed", "--all-headers"}, {"--home"}, parsed, error))
        return qimtool::UsageError(kPrint, error);
    if (parsed.operands.size() != 2)
        return qimtool::UsageError(kPrint, "メールのファイルと出力する PDF ファイルを指定してください");
    bool fixed = false;
    int status = 0;
    if (!FixedFontOfHome(parsed, fixed, status)) return status;
    if (parsed.Has("--fixed")) fixed = true;

    std::string mail;
    if (!qimtool::ReadInput(parsed.operands[0], mail))
        return qimtool::Failure("メールのファイルを読めません: " + parsed.operands[0]);
    void* library = platform::OpenOutsideLibrary("libqimprint.so");
    const auto print = library ? reinterpret_cast<QimPrintMailPdfFunction>(dlsym(library, kQimPrintMailPdfName)) : nullptr;
    if (!print) return qimtool::Failure("印刷のライブラリ libqimprint.so が見つかりません");
    const QimPrintPdfRequest request{mail.data(), mail.size(), parsed.operands[1].c_str(), fixed ? 1 : 0,
                                     parsed.Has("--all-headers") ? 1 : 0};
    const int pages = print(&request);
    if (pages == kQimPrintCannotWrite)
        return qimtool::Failure("PDF ファイルに書き込めません: " + parsed.operands[1]);
    if (pages < 0) return qimtool::Failure("印刷できませんでした");
    return qimtool::kExitOk;
}

}  // namespace
