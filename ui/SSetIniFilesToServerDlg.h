// The options of the settings kept on the server ("INIFilesPlace"): fetch at
// start, put at exit, with the key file, delete at exit, with QIM.INI. OK
// with the deletion ticked first warns that the files go whether or not they
// reached the server.
#pragma once

#include <QDialog>

class QCheckBox;

class SSetIniFilesToServerDlg : public QDialog {
    Q_OBJECT

public:
    SSetIniFilesToServerDlg(QWidget* parent, int place);
    // The bits as the boxes say; bits the dialog does not show are kept.
    int Place() const;

    QCheckBox* fetchAtStart = nullptr;
    QCheckBox* putAtExit = nullptr;
    QCheckBox* withKeyFile = nullptr;
    QCheckBox* deleteAtExit = nullptr;
    QCheckBox* withMainFile = nullptr;

    void accept() override;

private:
    int original_;
};

// Shows the dialog for `place`; true on OK with `place` changed.
bool EditIniFilesPlace(QWidget* parent, int& place);
