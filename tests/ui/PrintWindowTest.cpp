// Printing and saving from the windows under offscreen Qt: the main window's
// 425 greyed without a mail and printing the shown one into a PDF (the
// printer set up by the test instead of the print dialog), 406 saving the
// text as shown or the stored file byte for byte, a write that fails told in
// a box; the compose window's 24337 and 24334 on the text being written.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QMenuBar>
#include <QPrinter>
#include <QTreeView>
#include <algorithm>

#include "config/QimCommandIds.h"
#include "config/QimGlobals.h"
#include "config/QimStringIds.h"
#include "config/QimStrings.h"
#include "config/SQimSendSettingData.h"
#include "config/SSettingData.h"
#include "config/SUserInetData.h"
#include "platform/ScriptedDialogService.h"
#include "send/SSendMail.h"
#include "support/TestSupport.h"
#include "tests/app/AppTestSupport.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/QimMenuBuilder.h"
#include "ui/TComposeEdit.h"
#include "ui/THeaderListModel.h"
#include "ui/TMailPrint.h"
#include "ui/TMailViewPane.h"
#include "ui/TQimFrame.h"
#include "ui/TQimSendWindow.h"
#include "ui/TQimWindow.h"
#include "ui/TQimWindows.h"

using qimtest::ReadFileBytes;
using qimtest::Sjis;

namespace {

void Settle() {
    for (int i = 0; i < 5; ++i) QApplication::processEvents();
}

// Subject "印刷と保存" in an encoded word, the text in Shift_JIS as stored.
std::string StoredMail() {
    return "From: Taro <taro@x.jp>\r\n"
           "To: hanako@x.jp\r\n"
           "Subject: =?ISO-2022-JP?B?GyRCMHU6fiRISl1COBsoQg==?=\r\n"
           "\r\n" +
           Sjis("本文の一行目\r\n> 引用した行\r\n");
}

// The test's stand-in for the print dialog: a PDF file.
void PrintInto(const std::string& pdf) {
    SetPrinterChooser([pdf](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(pdf));
        return true;
    });
}

// Whether the PDF's text holds `piece` (spaces aside: qimtest::PdfText drops them).
bool Holds(const std::string& text, std::string piece) {
    piece.erase(std::remove(piece.begin(), piece.end(), ' '), piece.end());
    return text.find(piece) != std::string::npos;
}

class Printing : public qimtest::QimHomeTest {
protected:
    void SetUp() override {
        QimHomeTest::SetUp();
        qimtest::QimTestApp();
        GetSettingData() = SSettingData();
        GetSettingData().viewerDocking = kViewerBelow;
    }
    void TearDown() override {
        SetPrinterChooser({});
        QimHomeTest::TearDown();
    }
    bool Showed(unsigned id) const {
        for (const auto& box : dialogs_.Boxes())
            if (box.text.find(LoadQimString(id)) != std::string::npos) return true;
        return false;
    }

    platform::ScriptedDialogService dialogs_;
    platform::ScopedDialogService installed_{dialogs_};
};

TEST_F(Printing, MainWindowPrintsAndSavesTheShownMailAndGreysBothWithoutOne) {
    TQimApp& app = qimtest::QimTestApp();
    TQimWindows windows(app);
    app.SetWindowLayer(&windows);
    qimtest::WriteFileBytes(home_ + "/1", StoredMail());
    TQimFrame* frame = windows.CreateMainFrame();
    frame->show();
    Settle();
    // Nothing shown, nothing selected: nothing to print or save.
    frame->ExecCommand(qimcmd::ClearSelection);
    frame->UpdateCommandStates();
    for (int id : {qimcmd::Print, qimcmd::SaveMailAs}) {
        EXPECT_TRUE(frame->IsCommandServed(id)) << id;
        EXPECT_FALSE(FindCommandAction(frame->menuBar(), id)->isEnabled()) << id;
    }

    TQimWindow* window = windows.Window();
    ASSERT_EQ(window->Model()->rowCount(), 1);
    window->List()->setCurrentIndex(window->Model()->index(0, 0));
    Settle();
    ASSERT_EQ(window->Viewer()->ShownPath(), home_ + "/1");
    frame->UpdateCommandStates();
    EXPECT_TRUE(FindCommandAction(frame->menuBar(), qimcmd::Print)->isEnabled());

    const std::string pdf = dir_.File("mail.pdf");
    PrintInto(pdf);
    EXPECT_TRUE(frame->ExecCommand(qimcmd::Print));
    const std::string printed = qimtest::PdfText(pdf);
    EXPECT_TRUE(Holds(printed, "Subject: 印刷と保存")) << printed;
    EXPECT_TRUE(Holds(printed, "From: Taro <taro@x.jp>"));
    EXPECT_TRUE(Holds(printed, "> 引用した行"));
    EXPECT_TRUE(Holds(printed, "- 1 / 1 -"));

    // The text as the viewer shows it, in UTF-8; the stored file as it is.
    const std::string text = dir_.File("mail.txt");
    const std::string eml = dir_.File("mail.eml");
    dialogs_.AnswerFile({text});
    dialogs_.AnswerFile({eml});
    EXPECT_TRUE(frame->ExecCommand(qimcmd::SaveMailAs));
    EXPECT_TRUE(frame->ExecCommand(qimcmd::SaveMailAs));
    EXPECT_EQ(ReadFileBytes(text),
              "From: Taro <taro@x.jp>\nTo: hanako@x.jp\nSubject: 印刷と保存\n\n本文の一行目\n> 引用した行\n");
    EXPECT_EQ(ReadFileBytes(eml), StoredMail());
    ASSERT_FALSE(dialogs_.Boxes().empty());
    const platform::FileDialogRequest& asked = dialogs_.Boxes().back().file;
    EXPECT_EQ(asked.kind, platform::FileDialogKind::Save);
    EXPECT_TRUE(asked.overwritePrompt);
    EXPECT_NE(asked.filter.find("*.eml"), std::string::npos);

    // A folder that is not there: the box says so, nothing is written.
    dialogs_.AnswerFile({dir_.Path() + "/none/mail.txt"});
    dialogs_.AnswerMessage(platform::MessageAnswer::Ok);
    frame->ExecCommand(qimcmd::SaveMailAs);
    EXPECT_TRUE(Showed(qimstr::FileWriteFailed));
    EXPECT_EQ(dialogs_.Unanswered(), 0);
    app.SetWindowLayer(nullptr);
}

TEST_F(Printing, ComposeWindowPrintsAndSavesTheFieldsAsTypedAndTheText) {
    SUserInetData inet;
    SQimSendSettingData settings;
    SLoginAlreadyConfirmed login;
    TQimSendWindow window(inet, settings, login, false);
    window.toEdit->setText("suzuki@example.jp");
    window.subjectEdit->setText(QString::fromUtf8("会議の件"));
    window.editor->setPlainText(QString::fromUtf8("鈴木様\n\n明日の会議は十時からです。"));

    const std::string pdf = dir_.File("draft.pdf");
    PrintInto(pdf);
    EXPECT_TRUE(window.ExecCommand(qimcmd::FilePrint));
    const std::string printed = qimtest::PdfText(pdf);
    EXPECT_TRUE(Holds(printed, "To: suzuki@example.jp")) << printed;
    EXPECT_TRUE(Holds(printed, "明日の会議は十時からです。"));
    EXPECT_FALSE(Holds(printed, "Cc:"));  // an empty field stays off the paper

    const std::string text = dir_.File("draft.txt");
    dialogs_.AnswerFile({text});
    EXPECT_TRUE(window.ExecCommand(qimcmd::FileSaveAs));
    EXPECT_EQ(ReadFileBytes(text), "To: suzuki@example.jp\nSubject: 会議の件\n\n鈴木様\n\n明日の会議は十時からです。");
}

}  // namespace
