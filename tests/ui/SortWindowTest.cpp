// The main window's sorting: one-shot sorting from its dialog, a rule set run
// as posted steps, and the rule-set dialog writing the set back.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTimer>
#include <QTreeWidget>

#include "config/QimCommandIds.h"
#include "config/QimGlobals.h"
#include "filters/SAutoMoveFiles.h"
#include "platform/FileSystem.h"
#include "platform/PrivateProfile.h"
#include "platform/ScriptedDialogService.h"
#include "tests/store/StoreTestSupport.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/SAMFDialog.h"
#include "ui/SMoveFilesDialog.h"
#include "ui/THeaderListModel.h"
#include "ui/TQimFrame.h"
#include "ui/TQimWindow.h"
#include "ui/TQimWindows.h"
#include "pop3/Pop3TestSupport.h"
#include "support/ScriptedSocket.h"

namespace {

using qimtest::Sjis;
using qimtest::Utf8;
using storetest::Mail;

// Calls `act` once a modal dialog of type T is the active one.
template <typename T>
void WhenDialogOpens(std::function<void(T*)> act) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        if (auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            act(dialog);
        }
    });
    timer->start();
}

class SortWindow : public ::testing::Test {
protected:
    void SetUp() override {
        qimtest::QimTestApp();
        ResetQimProcessValues();
        SetQimHome(home_.Path());
        SetQimIniPath(home_.File("QIM.INI"));
        platform::CreateDirectory(home_.File("work").c_str());
        platform::CreateDirectory(home_.File("ml").c_str());
        storetest::WriteMail(home_.Path(), 1, Mail("s1 report", "1 Dec 2026 10:00:00 +0900", "boss@corp.jp"));
        storetest::WriteMail(home_.Path(), 2, Mail("s2 minutes", "2 Dec 2026 10:00:00 +0900", "a@x.jp"));
        storetest::WriteMail(home_.Path(), 3, Mail("s3 hello", "3 Dec 2026 10:00:00 +0900", "Boss@Corp.jp"));
        window_ = std::make_unique<TQimWindow>(home_.Path());
        window_->resize(900, 500);
        window_->show();
        QApplication::processEvents();
    }
    void TearDown() override {
        window_.reset();
        ResetQimProcessValues();
    }
    void WriteIni(const std::string& utf8) const {
        std::string text;
        for (char c : Sjis(utf8)) {
            if (c == '\n') text += '\r';
            text += c;
        }
        qimtest::WriteFileBytes(home_.File("QIM.INI"), text);
        platform::FlushPrivateProfile(home_.File("QIM.INI").c_str());
    }
    // Lets the posted steps run until the run has ended; `each` after every turn.
    void RunToEnd(const std::function<void()>& each = {}) {
        QElapsedTimer clock;
        clock.start();
        while (window_->SortRun() && window_->SortRun()->Running() && clock.elapsed() < 10000) {
            QApplication::processEvents();
            if (each) each();
        }
        ASSERT_TRUE(window_->SortRun());
        EXPECT_FALSE(window_->SortRun()->Running());
    }
    std::vector<int> Rows() const {
        std::vector<int> numbers;
        for (int r = 0; r < window_->Model()->rowCount(); ++r) numbers.push_back(window_->Model()->NumberAt(r));
        std::sort(numbers.begin(), numbers.end());
        return numbers;
    }
    std::vector<std::string> Subjects(const std::string& folder) const {
        return storetest::SubjectsByNumber(home_.File(folder));
    }
    std::string Key(const char* key) const {
        char buffer[256];
        platform::GetPrivateProfileString("QimMoveFiles", key, "<none>", buffer, sizeof buffer, home_.File("QIM.INI").c_str());
        return Utf8(buffer);
    }

    qimtest::TempDir home_;
    platform::ScriptedDialogService dialogs_;
    platform::ScopedDialogService installed_{dialogs_};
    std::unique_ptr<TQimWindow> window_;
};

TEST_F(SortWindow, OneShotSortingMovesWhatTheRuleOfItsDialogMatchesAndKeepsTheRule) {
    WhenDialogOpens<SMoveFilesDialog>([](SMoveFilesDialog* dialog) {
        dialog->headerType->setCurrentIndex(kSortHeaderFrom);
        dialog->pattern->setText("boss@corp");
        dialog->destination->setText("work");
        dialog->matchCase->setChecked(false);
        dialog->accept();
    });
    ASSERT_TRUE(window_->Commands().Execute(qimcmd::OneShotSort));
    RunToEnd();
    EXPECT_EQ(Rows(), (std::vector<int>{2}));
    EXPECT_EQ(Subjects("work"), (std::vector<std::string>{"s1 report", "s3 hello"}));
    storetest::ExpectCacheAgrees(home_.Path());
    storetest::ExpectCacheAgrees(home_.File("work"));
    EXPECT_NE(window_->SortStatus().indexOf(QStringLiteral("2 通移動しました")), -1) << window_->SortStatus().toStdString();

    // The dialog opens with the last rule; cancelled, nothing runs.
    std::string pattern, destination;
    bool matchCase = true;
    WhenDialogOpens<SMoveFilesDialog>([&](SMoveFilesDialog* dialog) {
        pattern = dialog->pattern->text().toStdString();
        destination = dialog->destination->text().toStdString();
        matchCase = dialog->matchCase->isChecked();
        dialog->reject();
    });
    const SAutoMoveFiles* before = window_->SortRun();
    ASSERT_TRUE(window_->Commands().Execute(qimcmd::OneShotSort));
    EXPECT_EQ(pattern, "boss@corp");
    EXPECT_EQ(destination, "work");
    EXPECT_FALSE(matchCase);
    EXPECT_EQ(window_->SortRun(), before);
}

TEST_F(SortWindow, ARuleSetRunShowsTheMarksTellsAMissingDestinationAndMovesTheRest) {
    WriteIni("[QimMoveFiles]\nNum=2\n"
             "HeaderType0=1\nPosType0=5\nIn0=\"s1\"\nDest0=\"gone\"\n"
             "HeaderType1=1\nPosType1=0\nIn1=\"s2\"\nDest1=\"ml\"\n");
    // What the commands on the selection last heard of it.
    std::vector<int> heard = {-1};
    QObject::connect(window_.get(), &TQimWindow::SelectionChanged, [&] { heard = window_->SelectedNumbers(); });
    ASSERT_TRUE(window_->Commands().Execute(qimcmd::AutoSort));
    std::vector<std::vector<int>> marksAtCheck;
    RunToEnd([&] {
        const SAutoMoveFiles* run = window_->SortRun();
        if (run->Running() && run->CurrentStep() == SAutoMoveFiles::Step::Check &&
            (marksAtCheck.empty() || marksAtCheck.size() < static_cast<std::size_t>(run->Index() + 1)))
            marksAtCheck.push_back(window_->SelectedNumbers());
    });
    EXPECT_EQ(marksAtCheck, (std::vector<std::vector<int>>{{1}, {2}}));
    ASSERT_EQ(dialogs_.Boxes().size(), 1u);
    EXPECT_EQ(Utf8(dialogs_.Boxes()[0].text), "フォルダー gone が存在しません。スキップします。");
    EXPECT_EQ(dialogs_.Boxes()[0].icon, platform::MessageIcon::Stop);
    EXPECT_EQ(Rows(), (std::vector<int>{1, 3}));
    EXPECT_EQ(Subjects("ml"), (std::vector<std::string>{"s2 minutes"}));
    EXPECT_EQ(window_->SortRun()->MovedPerRule(), (std::vector<int>{0, 1}));
    // The reloaded list has no selection, and that was told (the reply command greys).
    EXPECT_TRUE(window_->SelectedNumbers().empty());
    EXPECT_EQ(heard, window_->SelectedNumbers());
    storetest::ExpectCacheAgrees(home_.Path());
    storetest::ExpectCacheAgrees(home_.File("ml"));
    // The second set is empty: nothing runs.
    EXPECT_TRUE(window_->Commands().Execute(qimcmd::AutoSort2));
    EXPECT_FALSE(window_->SortRun()->Running());
}

TEST_F(SortWindow, ANewRunReplacesTheOneGoing) {
    WriteIni("[QimMoveFiles]\nNum=1\nHeaderType0=0\nPosType0=5\nIn0=\"boss@\"\nDest0=\"ml\"\n");
    ASSERT_TRUE(window_->RunSortRules({[] {
                                           SAutoMoveFilesData rule;
                                           rule.pattern = "s";
                                           rule.destination = "work";
                                           return rule;
                                       }()},
                                      home_.Path()));
    // Before a step has run, the stored set takes its place.
    ASSERT_TRUE(window_->Commands().Execute(qimcmd::AutoSort));
    RunToEnd();
    EXPECT_EQ(Subjects("work"), std::vector<std::string>());
    EXPECT_EQ(Subjects("ml"), (std::vector<std::string>{"s1 report", "s3 hello"}));
}

TEST_F(SortWindow, TheSettingsDialogEditsTheSetAndWritesItBack) {
    WriteIni("[QimMoveFiles]\nNum=2\n"
             "HeaderType0=1\nPosType0=1\nIn0=\"s1\"\nDest0=\"gone\"\n"
             "HeaderType1=0\nPosType1=12\nIn1=\"boss@\"\nDest1=\"work\"\n");
    std::vector<QStringList> shown;
    SAutoMoveFilesData fresh;
    WhenDialogOpens<SAMFDialog>([&](SAMFDialog* dialog) {
        EXPECT_EQ(dialog->windowTitle().toStdString(), "自動振り分け設定");
        for (int r = 0; r < dialog->list->topLevelItemCount(); ++r) {
            QStringList row;
            for (int c = 0; c < dialog->list->columnCount(); ++c) row << dialog->list->topLevelItem(r)->text(c);
            shown.push_back(row);
        }
        // A new rule: its dialog starts with Subject, at the start, case kept, not whole words.
        WhenDialogOpens<SMoveFilesDialog>([&](SMoveFilesDialog* rule) {
            fresh = rule->Rule();
            rule->headerType->setCurrentIndex(kSortHeaderField);
            rule->fieldName->setText("X-ML-Name");
            rule->pattern->setText("qim-users");
            rule->destination->setText("ml");
            rule->accept();
        });
        dialog->AddRule();
        dialog->list->setCurrentItem(dialog->list->topLevelItem(0));
        dialog->DeleteRule();
        dialog->accept();
    });
    ASSERT_TRUE(window_->Commands().Execute(qimcmd::AutoSortSettings));
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].join('|').toStdString(), "1|Subject|途中|s1|gone|v|");
    EXPECT_EQ(shown[1].join('|').toStdString(), "2|From|先頭|boss@|work||v");
    EXPECT_EQ(fresh.headerType, kSortHeaderSubject);
    EXPECT_TRUE(fresh.option.AtLineStart);
    EXPECT_TRUE(fresh.option.MatchCase);
    EXPECT_FALSE(fresh.option.WholeWord);
    EXPECT_TRUE(fresh.pattern.empty() && fresh.destination.empty());
    EXPECT_EQ(Key("Num"), "2");
    EXPECT_EQ(Key("In0"), "boss@");
    EXPECT_EQ(Key("HeaderType1"), "3");
    EXPECT_EQ(Key("HFName1"), "X-ML-Name");
    EXPECT_EQ(Key("Dest1"), "ml");
    EXPECT_EQ(Key("In2"), "<none>");

    // The second set's dialog has its own caption; cancel writes nothing.
    std::string caption;
    WhenDialogOpens<SAMFDialog>([&](SAMFDialog* dialog) {
        caption = dialog->windowTitle().toStdString();
        dialog->reject();
    });
    ASSERT_TRUE(window_->Commands().Execute(qimcmd::AutoSort2Settings));
    EXPECT_EQ(caption, "自動振り分け２設定");
}

TEST_F(SortWindow, TheRuleDialogRefusesARuleThatCannotBeStored) {
    SMoveFilesDialog dialog(window_.get(), SAutoMoveFilesData(), home_.Path());
    dialog.pattern->setText("x");
    int refused = 0;
    for (const char* destination : {"", "work"}) {
        dialog.destination->setText(destination);
        dialog.headerType->setCurrentIndex(kSortHeaderField);  // and no field name
        dialog.accept();
        if (dialog.result() != QDialog::Accepted) ++refused;
    }
    EXPECT_EQ(refused, 2);
    dialog.headerType->setCurrentIndex(kSortHeaderTo);
    EXPECT_FALSE(dialog.fieldName->isEnabled());
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    // The chooser writes a folder below the home directory relative to it.
    dialogs_.AnswerFile({home_.File("ml")});
    dialog.ChooseDestination();
    EXPECT_EQ(dialog.destination->text().toStdString(), "ml");
    dialogs_.AnswerFile({home_.Path()});
    dialog.ChooseDestination();
    EXPECT_EQ(dialog.destination->text().toStdString(), ".");
}

TEST_F(SortWindow, WithTheOptionSetAReceiveThatBringsMailSortsTheInbox) {
    window_.reset();
    WriteIni("[QimMoveFiles]\nNum=1\nHeaderType0=0\nPosType0=5\nIn0=\"new@\"\nDest0=\"ml\"\n");
    TQimApp& app = qimtest::QimTestApp();
    app.UserInetData().pop3Server = "127.0.0.1";
    app.UserInetData().pop3Port = 110;
    app.UserInetData().userName = "taro";
    app.UserInetData().password = "secret";
    GetSettingData() = SSettingData();
    TQimWindows windows(app);
    app.SetWindowLayer(&windows);
    TQimFrame* frame = windows.CreateMainFrame();
    ASSERT_TRUE(frame->ExecCommand(qimcmd::SortAfterReceive));
    EXPECT_TRUE(GetSettingData().sortAfterReceive);

    qimtest::Scenario s(pop3test::kLogin);
    s.Script("C: STAT\nS: +OK 2 100");
    pop3test::Retr(s, 1, "From: new@example.jp\r\nSubject: one\r\n\r\nbody\r\n");
    pop3test::Retr(s, 2, "From: other@example.jp\r\nSubject: two\r\n\r\nbody\r\n");
    s.Script("C: QUIT\nS: +OK\n-- close");
    qimtest::ScriptedSockets sockets(s);
    ASSERT_TRUE(frame->ExecCommand(qimcmd::Receive));
    TQimWindow* window = windows.Window();
    QElapsedTimer clock;
    clock.start();
    while ((!window->SortRun() || window->SortRun()->Running()) && clock.elapsed() < 10000) QApplication::processEvents();
    ASSERT_TRUE(window->SortRun());
    EXPECT_EQ(Subjects("ml"), (std::vector<std::string>{"one"}));
    EXPECT_EQ(Subjects(""), (std::vector<std::string>{"s1 report", "s2 minutes", "s3 hello", "two"}));
    storetest::ExpectCacheAgrees(home_.Path());
    GetSettingData() = SSettingData();
    app.SetWindowLayer(nullptr);
}

}  // namespace
