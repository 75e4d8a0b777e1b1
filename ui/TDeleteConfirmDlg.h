// The question before a mail is deleted: the mail's number, date, sender and
// subject with the question, answered yes, no (skip this mail), all (when
// offered) or cancel (stop).
#pragma once

#include <QDialog>
#include <string>

#include "store/SMailCommands.h"

class TDeleteConfirmDlg : public QDialog {
    Q_OBJECT

public:
    // Object names of the answer buttons.
    static constexpr char kYes[] = "yes";
    static constexpr char kNo[] = "no";
    static constexpr char kAll[] = "all";
    static constexpr char kCancel[] = "cancel";

    TDeleteConfirmDlg(QWidget* parent, const SQimMailData& mail, bool showsTo, const std::string& question,
                      bool offerAll);
    SDeleteAnswer Answer() const { return answer_; }

    // Shows the dialog and gives the answer (closing it counts as cancel).
    static SDeleteAnswer Ask(QWidget* parent, const SQimMailData& mail, bool showsTo, const std::string& question,
                             bool offerAll);

private:
    SDeleteAnswer answer_ = SDeleteAnswer::Cancel;
};
