// The printed mail: the header block as the viewer shows it, and the pages of
// the layout (a short mail on one page, a long text and one endless line
// wrapped onto more, an output that cannot be written refused).
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QPdfWriter>

#include "common/SMailText.h"
#include "print/MailPrintLayout.h"
#include "print/SPrintedMail.h"
#include "support/TestSupport.h"

namespace {

void GuiApp() {
    static int argc = 1;
    static char name[] = "test_print";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* app = new QGuiApplication(argc, argv);
    (void)app;
}

SMailView View(std::vector<std::pair<std::string, std::string>> fields, std::string body = "") {
    SMailView view;
    view.fields = std::move(fields);
    view.body = std::move(body);
    return view;
}

std::vector<std::string> Lines(const SPrintedMail& mail) {
    std::vector<std::string> lines;
    for (const auto& [name, value] : mail.header) lines.push_back((name + ": " + value).toStdString());
    return lines;
}

TEST(PrintedMail, HeaderBlockIsTheViewersFiveFieldsInItsOrderOrEveryField) {
    const SMailView view = View({{"Subject", "件名"},
                                 {"Received", "by x"},
                                 {"To", "b@x.jp"},
                                 {"Cc", ""},
                                 {"From", "太郎 <a@x.jp>"},
                                 {"Date", "no date at all"}},
                                "本文\n");
    struct Case {
        bool all;
        std::vector<std::string> lines;
    } cases[] = {
        // An empty Cc is left out; a date that cannot be read stands as it came.
        {false, {"From: 太郎 <a@x.jp>", "To: b@x.jp", "Date: no date at all", "Subject: 件名"}},
        {true,
         {"Subject: 件名", "Received: by x", "To: b@x.jp", "Cc: ", "From: 太郎 <a@x.jp>", "Date: no date at all"}},
    };
    for (const Case& c : cases) {
        const SPrintedMail mail = PrintedMailOf(view, c.all);
        EXPECT_EQ(Lines(mail), c.lines) << c.all;
        EXPECT_EQ(mail.subject.toStdString(), "件名");
    }
    EXPECT_EQ(PrintedMailOf(View({{"Subject", "s"}}, "a\nb\n"), false).Text().toStdString(), "Subject: s\n\na\nb\n");
}

TEST(PrintedMail, ADateIsShownInLocalTimeWithTheDayOfTheWeek) {
    setenv("TZ", "Asia/Tokyo", 1);
    EXPECT_EQ(LocalDate("Mon, 01 Jun 2026 01:00:00 +0000").toStdString(), "2026/06/01(月) 10:00");
}

TEST(MailPrintLayout, PagesFollowTheLengthOfTheTextAndLongLinesWrap) {
    GuiApp();
    qimtest::TempDir dir;
    std::string many;
    for (int i = 0; i < 200; ++i) many += "行 " + std::to_string(i) + "\n";
    std::string endless;
    for (int i = 0; i < 4000; ++i) endless += "あいう";
    struct Case {
        std::string body;
        bool morePages;
    } cases[] = {{"短い本文\n", false}, {many, true}, {endless, true}};
    for (const Case& c : cases) {
        SPrintedMail mail;
        mail.subject = "件名";
        mail.header = {{"Subject", "件名"}};
        mail.body = QString::fromStdString(c.body);
        for (const bool fixed : {false, true}) {
            QPdfWriter writer(QString::fromStdString(dir.File("out.pdf")));
            SPrintStyle style;
            style.fixedFont = fixed;
            const int pages = PrintMailPages(writer, mail, style);
            EXPECT_EQ(pages > 1, c.morePages) << c.body.size() << " bytes, " << pages << " pages";
            EXPECT_GE(pages, 1);
        }
    }
}

TEST(MailPrintLayout, AnOutputThatCannotBeWrittenIsRefused) {
    GuiApp();
    qimtest::TempDir dir;
    QPdfWriter writer(QString::fromStdString(dir.Path() + "/no/such/folder/out.pdf"));
    SPrintedMail mail;
    mail.body = "x";
    EXPECT_EQ(PrintMailPages(writer, mail, SPrintStyle()), -1);
}

}  // namespace
