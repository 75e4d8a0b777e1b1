// The search commands of the local main window: From (To) and Subject over
// the list, the search of the mail files with the next one, and the search
// that selects every mail found.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QMainWindow>
#include <QItemSelectionModel>
#include <QRadioButton>
#include <QStatusBar>
#include <QTest>
#include <QTreeView>
#include <algorithm>
#include <chrono>
#include <cstdlib>

#include "config/QimCommandIds.h"
#include "config/QimGlobals.h"
#include "config/QimStringIds.h"
#include "config/QimStrings.h"
#include "platform/FileSystem.h"
#include "platform/ScriptedDialogService.h"
#include "platform/qt/QtText.h"
#include "store/QimStoreCodes.h"
#include "support/TestSupport.h"
#include "tests/app/AppTestSupport.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/TFindInListDlg.h"
#include "ui/TFindMailDlg.h"
#include "ui/THeaderListModel.h"
#include "ui/TMailViewPane.h"
#include "ui/TQimWindow.h"

using namespace qimstore;

namespace {

void Settle() {
    for (int i = 0; i < 5; ++i) QApplication::processEvents();
}

struct MailSpec {
    int number;
    const char* from;
    const char* to;
    const char* subject;  // UTF-8, or an encoded word as it stands
    const char* extra;    // more header lines, each ending CR LF
    const char* body;
};

std::string MailText(const MailSpec& m) {
    std::string text = "From: ";
    text.append(m.from).append("\r\nTo: ").append(m.to).append("\r\nSubject: ").append(m.subject);
    text.append("\r\nDate: ").append(std::to_string(m.number)).append(" Dec 2026 10:00:00 +0900\r\n");
    text.append(m.extra).append("\r\n").append(m.body).append("\r\n");
    return qimtest::Sjis(text);
}

SFindOption Options(bool matchCase, bool wholeWord, bool atLineStart) {
    SFindOption option;
    option.MatchCase = matchCase;
    option.WholeWord = wholeWord;
    option.AtLineStart = atLineStart;
    return option;
}

SFindMailCondition MailCondition(const char* pattern, SFindMailCondition::SEnumFindPartInMail where,
                                 const char* field = "", SFindOption option = {}) {
    SFindMailCondition condition;
    condition.SetPattern(qimtest::Sjis(pattern).c_str());
    condition.SetFieldName(field);
    condition.SetWhere(where);
    condition.SetOption(option);
    return condition;
}

class FolderSearch : public qimtest::QimHomeTest {
protected:
    void SetUp() override {
        QimHomeTest::SetUp();
        qimtest::QimTestApp();
    }

    void Write(const std::vector<MailSpec>& mails) {
        for (const MailSpec& m : mails) qimtest::WriteFileBytes(home_ + "/" + std::to_string(m.number), MailText(m));
    }
    // The window as the frame holds it, so that its status bar is there.
    TQimWindow* MakeWindow() {
        frame_ = std::make_unique<QMainWindow>();
        auto* window = new TQimWindow(home_);
        frame_->setCentralWidget(window);
        frame_->resize(900, 500);
        frame_->show();
        Settle();
        return window;
    }
    // The selected mails in list order.
    static std::vector<int> Selected(const TQimWindow& w) { return w.SelectedNumbers(); }
    // `numbers` as the list orders them.
    static std::vector<int> InListOrder(const TQimWindow& w, std::vector<int> numbers) {
        std::sort(numbers.begin(), numbers.end(),
                  [&w](int a, int b) { return w.Model()->RowOf(a) < w.Model()->RowOf(b); });
        return numbers;
    }
    static int CurrentNumber(const TQimWindow& w) {
        const QModelIndex current = w.List()->currentIndex();
        return current.isValid() ? w.Model()->NumberAt(current.row()) : 0;
    }
    int Beeps() const {
        return static_cast<int>(std::count_if(dialogs_.Boxes().begin(), dialogs_.Boxes().end(), [](const auto& box) {
            return box.kind == platform::RecordedBox::Kind::Beep;
        }));
    }
    std::string Status() const { return qimtest::Sjis(frame_->statusBar()->currentMessage().toStdString()); }
    std::string MailPath(int number) const { return home_ + "/" + std::to_string(number); }

    platform::ScriptedDialogService dialogs_;
    platform::ScopedDialogService installed_{dialogs_};
    std::unique_ptr<QMainWindow> frame_;
};

const std::vector<MailSpec> kListMails = {
    {1, "Taro Yamada <taro@example.jp>", "team@example.jp", "Meeting today", "", "body"},
    {2, "hanako@example.jp", "b@example.jp", "=?ISO-2022-JP?B?GyRCMnE1RCRON28bKEI=?=", "", "body"},  // 会議の件
    {3, "TARO@work.jp", "b@example.jp", "Re: meeting", "", "body"},
    {4, "jiro@example.jp", "b@example.jp", "meetings", "", "body"},
    {5, "x@example.jp", "b@example.jp", "大会議室", "", "body"},
};

TEST_F(FolderSearch, FromAndSubjectSearchSelectsEveryMatchingRowAndShowsTheFirst) {
    Write(kListMails);
    TQimWindow* w = MakeWindow();
    ASSERT_EQ(w->Model()->rowCount(), 5);
    const struct {
        int column;
        const char* pattern;
        SFindOption option;
        std::vector<int> found;
    } cases[] = {
        {kColumnFrom, "taro", {}, {1, 3}},
        {kColumnFrom, "taro", Options(true, false, false), {1}},
        {kColumnFrom, "yamada", {}, {1}},
        {kColumnFrom, "yamada", Options(false, false, true), {}},  // "Taro Yamada" does not begin with it
        {kColumnSubject, "meeting", {}, {1, 3, 4}},
        {kColumnSubject, "meeting", Options(false, true, false), {1, 3}},
        {kColumnSubject, "meeting", Options(false, false, true), {1, 4}},
        {kColumnSubject, "Meeting", Options(true, false, false), {1}},
        {kColumnSubject, "会議", {}, {2, 5}},  // the encoded subject decoded in the cache
        {kColumnSubject, "会議", Options(false, false, true), {2}},
        {kColumnSubject, "nothing", {}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.pattern) + " in column " + std::to_string(c.column));
        w->SelectNumbers({});
        w->Viewer()->Clear();
        const int beeps = Beeps();
        SFindCondition condition;
        condition.SetPattern(qimtest::Sjis(c.pattern).c_str());
        condition.SetOption(c.option);
        EXPECT_EQ(w->FindInList(c.column, condition), static_cast<int>(c.found.size()));
        const std::vector<int> expected = InListOrder(*w, c.found);
        EXPECT_EQ(Selected(*w), expected);
        if (expected.empty()) {
            EXPECT_EQ(Beeps(), beeps + 1);
            EXPECT_EQ(Status(), LoadQimString(qimstr::NothingFound));
            EXPECT_TRUE(w->Viewer()->ShownPath().empty());
        } else {
            EXPECT_EQ(Beeps(), beeps);
            EXPECT_EQ(CurrentNumber(*w), expected.front());
            EXPECT_EQ(w->Viewer()->ShownPath(), MailPath(expected.front()));
        }
    }
    // The From column that shows To is searched as it shows.
    ASSERT_TRUE(w->Commands().Execute(qimcmd::SwapFromTo));
    SFindCondition team;
    team.SetPattern("team");
    EXPECT_EQ(w->FindInList(kColumnFrom, team), 1);
    EXPECT_EQ(Selected(*w), std::vector<int>{1});
    SFindCondition taro;
    taro.SetPattern("taro");
    EXPECT_EQ(w->FindInList(kColumnFrom, taro), 0);
}

TEST_F(FolderSearch, TheListDialogsSearchWhatIsTypedAndOfferItAgain) {
    Write(kListMails);
    TQimWindow* w = MakeWindow();
    qimtest::WhenModalOpens([](QWidget* modal) {
        auto* dialog = qobject_cast<TFindInListDlg*>(modal);
        ASSERT_NE(dialog, nullptr);
        dialog->pattern->setText(QString::fromUtf8("会議"));
        dialog->wholeWord->setChecked(false);
        dialog->atLineStart->setChecked(true);
        dialog->accept();
    });
    ASSERT_TRUE(w->Commands().Execute(qimcmd::FindSubject));
    EXPECT_EQ(Selected(*w), std::vector<int>{2});
    EXPECT_EQ(Status(), qimtest::Sjis("1 通のメールが見つかりました。"));
    // The next opening offers the last text and options; the From search keeps its own.
    TFindInListDlg again(w, TFindInListDlg::Column::Subject);
    EXPECT_EQ(again.pattern->text(), QString::fromUtf8("会議"));
    EXPECT_TRUE(again.atLineStart->isChecked());
    TFindInListDlg from(w, TFindInListDlg::Column::From);
    EXPECT_FALSE(from.atLineStart->isChecked());
    // Nothing typed: the dialog stays.
    again.pattern->clear();
    again.accept();
    EXPECT_NE(again.result(), QDialog::Accepted);
}

const std::vector<MailSpec> kFileMails = {
    {1, "a@example.jp", "b@example.jp", "hello", "", "nothing here"},
    {2, "a@example.jp", "b@example.jp", "invoice for you", "", "see the attached"},
    {3, "a@example.jp", "b@example.jp", "hello", "X-Project: apollo\r\n", "plain"},
    {4, "a@example.jp", "b@example.jp", "hello", "X-Project: old apollo\r\n", "plain"},
    {5, "a@example.jp", "b@example.jp", "hello", "", "the invoice is late\r\nand apollo too"},
    {6, "a@example.jp", "b@example.jp", "apollo news", "", "plain"},
    {7, "a@example.jp", "b@example.jp", "hello", "", "INVOICE"},
};

TEST_F(FolderSearch, FindAndFindNextVisitTheMatchingMailsInListOrderAndStopWithABeep) {
    Write(kFileMails);
    TQimWindow* w = MakeWindow();
    EXPECT_FALSE(w->Commands().IsEnabled(qimcmd::FindNext));
    w->List()->selectionModel()->clearCurrentIndex();
    // Through the dialog, which offers the local choices.
    qimtest::WhenModalOpens([](QWidget* modal) {
        auto* dialog = qobject_cast<TFindMailDlg*>(modal);
        ASSERT_NE(dialog, nullptr);
        ASSERT_NE(dialog->headerLines, nullptr);
        ASSERT_NE(dialog->matchCase, nullptr);
        dialog->pattern->setText("invoice");
        dialog->wholeMail->setChecked(true);
        dialog->matchCase->setChecked(false);
        dialog->accept();
    });
    ASSERT_TRUE(w->Commands().Execute(qimcmd::FindInFolder));
    EXPECT_TRUE(w->Commands().IsEnabled(qimcmd::FindNext));
    const std::vector<int> expected = InListOrder(*w, {2, 5, 7});
    std::vector<int> visited{CurrentNumber(*w)};
    EXPECT_EQ(w->Viewer()->ShownPath(), MailPath(visited.back()));
    while (w->FindNextMail()) {
        visited.push_back(CurrentNumber(*w));
        EXPECT_EQ(Selected(*w), std::vector<int>{visited.back()});
        EXPECT_EQ(w->Viewer()->ShownPath(), MailPath(visited.back()));
        ASSERT_LE(visited.size(), 3u);
    }
    EXPECT_EQ(visited, expected);
    EXPECT_EQ(Beeps(), 1);
    EXPECT_EQ(Status(), LoadQimString(qimstr::NothingFound));
    // It stays at the last one found: the next search beeps again, it does not go round.
    EXPECT_TRUE(w->Commands().Execute(qimcmd::FindNext));
    EXPECT_EQ(CurrentNumber(*w), expected.back());
    EXPECT_EQ(Beeps(), 2);
    // The item's Ctrl+F3 from the list.
    frame_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame_.get()));
    w->List()->setFocus();
    QTest::keyClick(w->List(), Qt::Key_F3, Qt::ControlModifier);
    EXPECT_EQ(Beeps(), 3);

    // A new search starts after the current row, or at the top when no row
    // is selected; case counts when asked.
    w->SelectNumbers({});
    EXPECT_TRUE(w->FindMail(MailCondition("INVOICE", SFindMailCondition::FindInBody, "", Options(true, false, false))));
    EXPECT_EQ(CurrentNumber(*w), 7);
    EXPECT_FALSE(w->FindNextMail());
}

TEST_F(FolderSearch, FindAllAndMarkSelectsExactlyTheMatchingMails) {
    Write(kFileMails);
    TQimWindow* w = MakeWindow();
    const struct {
        const char* name;
        SFindMailCondition condition;
        std::vector<int> found;
    } cases[] = {
        {"whole mail", MailCondition("apollo", SFindMailCondition::FindInWholeMail), {3, 4, 5, 6}},
        {"body", MailCondition("apollo", SFindMailCondition::FindInBody), {5}},
        {"field", MailCondition("apollo", SFindMailCondition::FindInField, "X-Project:"), {3, 4}},
        {"field at start", MailCondition("apollo", SFindMailCondition::FindInField, "x-project",
                                         Options(false, false, true)), {3}},
        {"header lines", MailCondition("apollo", SFindMailCondition::FindInHeader), {3, 4, 6}},
        {"whole word", MailCondition("apoll", SFindMailCondition::FindInWholeMail, "", Options(false, true, false)), {}},
        {"case", MailCondition("INVOICE", SFindMailCondition::FindInWholeMail, "", Options(true, false, false)), {7}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        w->SelectNumbers({1});
        const int beeps = Beeps();
        EXPECT_EQ(w->FindAllMails(c.condition), static_cast<int>(c.found.size()));
        if (c.found.empty()) {
            EXPECT_EQ(Selected(*w), std::vector<int>{1});  // nothing found leaves the selection
            EXPECT_EQ(Beeps(), beeps + 1);
            continue;
        }
        EXPECT_EQ(Selected(*w), InListOrder(*w, c.found));
        EXPECT_EQ(Status(), qimtest::Sjis(std::to_string(c.found.size()) + " 通のメールが見つかりました。"));
    }
    // Through the command: the dialog's choice of every header line.
    qimtest::WhenModalOpens([](QWidget* modal) {
        auto* dialog = qobject_cast<TFindMailDlg*>(modal);
        ASSERT_NE(dialog, nullptr);
        dialog->pattern->setText("apollo");
        dialog->headerLines->setChecked(true);
        dialog->accept();
    });
    ASSERT_TRUE(w->Commands().Execute(qimcmd::FindAllAndMark));
    EXPECT_EQ(Selected(*w), InListOrder(*w, {3, 4, 6}));
}

TEST_F(FolderSearch, TheServerDialogKeepsItsOwnChoices) {
    TFindMailDlg dialog(nullptr);
    EXPECT_EQ(dialog.headerLines, nullptr);
    EXPECT_EQ(dialog.matchCase, nullptr);
    EXPECT_EQ(dialog.windowTitle(), platform::ToQString(LoadQimString(qimstr::FindMailCaption)));
}

TEST_F(FolderSearch, ALargeFolderIsSearchedQuickly) {
    // QIM_LARGE_FOLDER=10000 measures the full size once.
    const char* env = std::getenv("QIM_LARGE_FOLDER");
    const int count = env ? std::atoi(env) : 2000;
    for (int n = 1; n <= count; ++n) {
        std::string body;
        for (int line = 0; line < 20; ++line) body += "line " + std::to_string(line) + " of an ordinary mail body\r\n";
        if (n % 1000 == 0) body += "the needle\r\n";
        qimtest::WriteFileBytes(MailPath(n), "From: a@example.jp\r\nSubject: s" + std::to_string(n) +
                                                 "\r\nDate: 1 Dec 2026 10:00:00 +0900\r\n\r\n" + body);
    }
    TQimWindow* w = MakeWindow();
    ASSERT_EQ(w->Model()->rowCount(), count);
    const auto start = std::chrono::steady_clock::now();
    const int found = w->FindAllMails(MailCondition("needle", SFindMailCondition::FindInWholeMail));
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(found, count / 1000);
    std::printf("searching %d mails: %.1f ms\n", count, ms);
    // Generous for a sanitizer build; the release figure is measured apart.
    EXPECT_LT(ms, count * 1.0);
}

}  // namespace
