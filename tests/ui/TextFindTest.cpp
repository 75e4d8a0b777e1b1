// Find and replace in the compose window's editor, and find in the viewer.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTextCursor>
#include <algorithm>

#include "config/QimCommandIds.h"
#include "config/QimGlobals.h"
#include "config/SQimSendSettingData.h"
#include "config/SUserInetData.h"
#include "platform/ScriptedDialogService.h"
#include "send/SSendMail.h"
#include "support/TestSupport.h"
#include "tests/app/AppTestSupport.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/TComposeEdit.h"
#include "ui/TMailViewPane.h"
#include "ui/TQimSendWindow.h"
#include "ui/TTextFind.h"
#include "ui/TTextFindDlg.h"

namespace {

void Settle() {
    for (int i = 0; i < 5; ++i) QApplication::processEvents();
}

class TextFind : public qimtest::QimHomeTest {
protected:
    void SetUp() override {
        QimHomeTest::SetUp();
        qimtest::QimTestApp();
        window_ = std::make_unique<TQimSendWindow>(inet_, settings_, login_, false);
        window_->show();
        Settle();
    }
    void TearDown() override {
        window_.reset();
        QimHomeTest::TearDown();
    }
    TComposeEdit& Editor() { return *window_->editor; }
    void SetText(const char* utf8) {
        Editor().setPlainText(QString::fromUtf8(utf8));
        Editor().moveCursor(QTextCursor::Start);
    }
    std::string Text() { return Editor().toPlainText().toStdString(); }
    std::string Selected() { return Editor().textCursor().selectedText().toStdString(); }
    int SelectionStart() { return Editor().textCursor().selectionStart(); }
    // The dialog a command opened, with the text to look for typed in.
    TTextFindDlg* Opened(int command, const char* pattern) {
        EXPECT_TRUE(window_->ExecCommand(command));
        TTextFindDlg* dialog = window_->textFind->OpenDialog();
        if (!dialog) return nullptr;
        dialog->pattern->setText(QString::fromUtf8(pattern));
        return dialog;
    }
    int Beeps() const {
        return static_cast<int>(std::count_if(dialogs_.Boxes().begin(), dialogs_.Boxes().end(), [](const auto& box) {
            return box.kind == platform::RecordedBox::Kind::Beep;
        }));
    }

    SUserInetData inet_;
    SQimSendSettingData settings_;
    SLoginAlreadyConfirmed login_;
    platform::ScriptedDialogService dialogs_;
    platform::ScopedDialogService scope_{dialogs_};
    std::unique_ptr<TQimSendWindow> window_;
};

TEST_F(TextFind, FindAndFindNextGoDownOrUpAndStopAtTheEndWithABeep) {
    SetText("東京は晴れ。\n東京タワーと東京駅。\nおしまい");
    TTextFindDlg* dialog = Opened(qimcmd::EditFind, "東京");
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->DialogKind(), TTextFindDlg::Kind::Find);
    dialog->findNext->click();
    EXPECT_EQ(Selected(), "東京");
    EXPECT_EQ(SelectionStart(), 0);
    // F3 repeats the last find, with the dialog open or closed.
    dialog->hide();
    EXPECT_TRUE(window_->ExecCommand(qimcmd::EditFindNext));
    EXPECT_EQ(SelectionStart(), 7);
    QTest::keyClick(window_.get(), Qt::Key_F3);
    EXPECT_EQ(SelectionStart(), 13);
    const int beeps = Beeps();
    EXPECT_FALSE(window_->textFind->FindNext());
    EXPECT_EQ(Beeps(), beeps + 1);
    EXPECT_EQ(SelectionStart(), 13);  // it does not go round
    // Upward from there, and the dialog says what it did not find.
    dialog = Opened(qimcmd::EditFind, "東京");
    dialog->upward->setChecked(true);
    dialog->findNext->click();
    EXPECT_EQ(SelectionStart(), 7);
    dialog->findNext->click();
    dialog->findNext->click();
    EXPECT_EQ(SelectionStart(), 0);
    EXPECT_EQ(dialog->outcome->text(), QString::fromUtf8("「東京」は見つかりませんでした。"));
}

TEST_F(TextFind, CaseAndWholeWordsNarrowTheMatches) {
    SetText("Cat concat cat CAT");
    const struct {
        bool matchCase, wholeWord;
        std::vector<int> starts;
    } cases[] = {
        {false, false, {0, 7, 11, 15}},
        {true, false, {7, 11}},
        {false, true, {0, 11, 15}},
        {true, true, {11}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.matchCase) + std::to_string(c.wholeWord));
        Editor().moveCursor(QTextCursor::Start);
        TTextFind::Condition& condition = window_->textFind->Current();
        condition = TTextFind::Condition{"cat", "", c.matchCase, c.wholeWord, false};
        std::vector<int> starts;
        while (window_->textFind->FindNext() && starts.size() < 5) starts.push_back(SelectionStart());
        EXPECT_EQ(starts, c.starts);
    }
}

TEST_F(TextFind, ReplaceAllReplacesEveryJapaneseMatchAsOneUndoStep) {
    const char* original = "東京は晴れ。\n東京タワーと東京駅。\n京都";
    SetText(original);
    TTextFindDlg* dialog = Opened(qimcmd::EditReplace, "東京");
    ASSERT_NE(dialog, nullptr);
    ASSERT_NE(dialog->replacement, nullptr);
    // The replacement holds the pattern: it is not replaced again.
    dialog->replacement->setText(QString::fromUtf8("新東京"));
    dialog->replaceAll->click();
    EXPECT_EQ(Text(), "新東京は晴れ。\n新東京タワーと新東京駅。\n京都");
    EXPECT_EQ(dialog->outcome->text(), QString::fromUtf8("3 箇所を置換しました。"));
    Editor().undo();
    EXPECT_EQ(Text(), original);
    Editor().redo();
    EXPECT_EQ(Text(), "新東京は晴れ。\n新東京タワーと新東京駅。\n京都");
    // Nothing to replace: a beep, the text unchanged.
    const int beeps = Beeps();
    dialog->pattern->setText(QString::fromUtf8("大阪"));
    dialog->replaceAll->click();
    EXPECT_EQ(Beeps(), beeps + 1);
    EXPECT_EQ(Text(), "新東京は晴れ。\n新東京タワーと新東京駅。\n京都");
}

TEST_F(TextFind, ReplaceChangesTheFoundMatchAndSelectsTheNext) {
    SetText("a cat, a Cat, a cat");
    TTextFindDlg* dialog = Opened(qimcmd::EditReplace, "cat");
    dialog->replacement->setText("dog");
    dialog->matchCase->setChecked(true);
    // The first press finds; a selection that is no match is not replaced.
    dialog->replace->click();
    EXPECT_EQ(Text(), "a cat, a Cat, a cat");
    EXPECT_EQ(SelectionStart(), 2);
    dialog->replace->click();
    EXPECT_EQ(Text(), "a dog, a Cat, a cat");
    EXPECT_EQ(SelectionStart(), 16);  // the Cat of another case passed over
    dialog->replace->click();
    EXPECT_EQ(Text(), "a dog, a Cat, a dog");
    // The dialogs share what was typed: the find dialog offers it again.
    TTextFindDlg* find = Opened(qimcmd::EditFind, "cat");
    EXPECT_TRUE(find->matchCase->isChecked());
    EXPECT_EQ(window_->textFind->OpenDialog(), find);  // the replace dialog went
}

TEST_F(TextFind, TheViewerFindsInTheMailShownFromItsKeys) {
    const std::string mail = home_ + "/1";
    qimtest::WriteFileBytes(mail, qimtest::Sjis("From: a@example.jp\r\nSubject: test\r\n\r\n一行目\r\n会議は三時から。\r\n会議室で\r\n"));
    TMailViewPane viewer;
    viewer.resize(400, 300);
    viewer.show();
    ASSERT_TRUE(viewer.ShowMail(mail));
    viewer.setFocus();
    Settle();
    QTest::keyClick(&viewer, Qt::Key_F, Qt::ControlModifier);
    TTextFindDlg* dialog = viewer.TextFind()->OpenDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->replacement, nullptr);
    dialog->pattern->setText(QString::fromUtf8("会議"));
    dialog->findNext->click();
    EXPECT_EQ(viewer.textCursor().selectedText(), QString::fromUtf8("会議"));
    const int first = viewer.textCursor().selectionStart();
    dialog->hide();
    viewer.activateWindow();
    viewer.setFocus();
    Settle();
    QTest::keyClick(&viewer, Qt::Key_F3);
    EXPECT_GT(viewer.textCursor().selectionStart(), first);
    // A shown mail cannot be changed.
    viewer.TextFind()->OpenReplace();
    EXPECT_EQ(viewer.TextFind()->OpenDialog(), nullptr);
    EXPECT_EQ(viewer.TextFind()->ReplaceAll(), 0);
}

}  // namespace
