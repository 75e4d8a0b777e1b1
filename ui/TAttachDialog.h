// The dialog before attachments are taken out: how many files the mail
// carries, the folder they go to (typed or picked) and the choice of saving
// them all without a question each.
#pragma once

#include <QDialog>
#include <string>

#include "crypt/SViewMailData.h"

class QCheckBox;
class QLineEdit;
class QPushButton;

class TAttachDialog : public QDialog {
    Q_OBJECT

public:
    TAttachDialog(QWidget* parent, const std::string& text, const std::string& destination);

    std::string Destination() const;
    bool SaveAll() const;

    QLineEdit* folder = nullptr;
    QCheckBox* saveAll = nullptr;
    QPushButton* browse = nullptr;

public slots:
    // Refuses an empty folder name or one that names no folder.
    void accept() override;

private:
    void Browse();
};

// The prompt the viewer hands to SViewMailData.
class TQtAttachmentPrompt : public SAttachmentPrompt {
public:
    bool Choose(platform::ParentWindow parent, const std::string& text, std::string& destination,
                bool& saveAll) override;
};
