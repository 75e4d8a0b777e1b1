#include "print/QimPrintPdf.h"

#include <QGuiApplication>
#include <QPdfWriter>
#include <cstdio>
#include <memory>
#include <string_view>

#include "common/SMailText.h"
#include "print/MailPrintLayout.h"

namespace {

// Qt's own notes ("XDG_RUNTIME_DIR not set", a painter that could not begin)
// stay off the command line: qimtool says in Japanese what went wrong.
void OnlySeriousMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg) std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
}

int PrintPdf(const QimPrintPdfRequest& request) {
    // Fonts need a Gui application; a command line has no screen to show on.
    std::unique_ptr<QGuiApplication> app;
    if (!QCoreApplication::instance()) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "qimtool";
        static char* argv[] = {name, nullptr};
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        return kQimPrintNoGui;
    }
    // The attached files get their line on paper: there is no row of them to see.
    const SMailView view = MailViewUtf8(std::string_view(request.mail, request.mailSize), true);
    const SPrintedMail mail = PrintedMailOf(view, request.allFields != 0);
    QPdfWriter writer(QString::fromUtf8(request.pdfPath));
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setResolution(300);
    writer.setTitle(mail.subject);
    writer.setCreator(QStringLiteral("Qim"));
    SPrintStyle style;
    style.fixedFont = request.fixedFont != 0;
    const int pages = PrintMailPages(writer, mail, style);
    return pages > 0 ? pages : kQimPrintCannotWrite;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) int QimPrintMailPdf(const QimPrintPdfRequest* request) {
    const QtMessageHandler previous = qInstallMessageHandler(OnlySeriousMessages);
    const int pages = PrintPdf(*request);
    qInstallMessageHandler(previous);
    return pages;
}
