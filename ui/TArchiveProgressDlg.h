// The progress window of qimcmd::ArchiveFolder: two status lines and a bar
// that show what the archiving command reports, the name question as an
// input box and its messages as boxes, all owned by the main window.
#pragma once

#include <QDialog>
#include <string>

#include "archive/SArchiveObserver.h"

class QLabel;
class QProgressBar;

class TArchiveProgressDlg : public QDialog, public SArchiveObserver {
    Q_OBJECT

public:
    explicit TArchiveProgressDlg(QWidget* parent);

    QLabel* firstLine = nullptr;
    QLabel* secondLine = nullptr;
    QProgressBar* progress = nullptr;

    // SArchiveObserver
    bool AskArchiveName(std::string& name) override;
    void Notify(const SNotice& notice) override;
    void BeginRun(const std::string& archive, int range) override;
    void ShowFirstLine(const std::string& text) override;
    void StepRun() override;
    void EndRun() override;
    void ShowStatus(const std::string& text) override;

private:
    // Lets the window paint while the run goes on; input waits.
    void Update();
};
