#pragma once
// The "Please wait..." window: two lines with an arrow at the current one and
// a progress bar. Backup and restore drive it through OperationProgress, the
// data module through ProgressDisplay while it creates a new database.
#include "backup/BackupRestore.h"
#include "storage/DataModule.h"

#include <QDialog>

#include <memory>

class QGridLayout;
class QLabel;
class QProgressBar;

namespace hv {

class TfrmProgress : public QDialog, public ProgressDisplay, public OperationProgress {
    Q_OBJECT
public:
    // Centred on the owner, or on the screen without one.
    explicit TfrmProgress(QWidget* owner = nullptr);
    ~TfrmProgress() override;

    // As the data module drives it.
    void setMaximum(int max) override;
    void setPosition(int pos) override;
    void step() override;
    void setMainLabel(const std::string& text, bool bold) override;
    void setArrowVisible(bool visible) override;
    void setSecondLabelVisible(bool visible) override;
    void showAndPaint() override;
    void release() override;

    // As backup and restore drive it.
    void start(ProgressMode mode) override;
    void secondPhase() override;
    void setBarPosition(int position) override;
    void finish() override;

    QLabel* lblLocked = nullptr;
    QLabel* lblDeleted = nullptr;
    QLabel* imgArrow = nullptr;
    QProgressBar* pbProgress = nullptr;

private:
    // While the window shows, every message box first closes it: the window
    // stays on top and would cover the message.
    class MessageGuard;

    void pointArrowAt(int line);
    void paintNow();
    void showOnTop();
    void closeForMessage();

    QGridLayout* m_grid = nullptr;
    std::unique_ptr<MessageGuard> m_guard;
};

} // namespace hv
