// The dialog of a sorting rule set (qimcmd::AutoSortSettings,
// qimcmd::AutoSort2Settings and the server folders' two): the rules in order
// with their options; rules are added, edited, deleted and moved; OK writes
// the set back to its section.
#pragma once

#include <QDialog>
#include <string>

#include "filters/SAMFProfile.h"

class QTreeWidget;

class SAMFDialog : public QDialog {
    Q_OBJECT

public:
    // The set as stored (as much of it as can be read); `home` for the rule
    // dialog's destinations.
    SAMFDialog(QWidget* parent, SSortRuleSet set, const std::string& home);
    const std::vector<SAutoMoveFilesData>& Rules() const { return profile_.rules; }

    void AddRule();
    void EditRule();
    void DeleteRule();
    void MoveRule(int delta);
    // Writes the set; a failure is told and the dialog stays open.
    void accept() override;

    // Columns 番号, 項目, 位置, 内容, 移動先, 大小区別, 単語単位.
    QTreeWidget* list = nullptr;

private:
    void Fill(int current);
    int CurrentRow() const;

    SAMFProfile profile_;
    std::string home_;
};
