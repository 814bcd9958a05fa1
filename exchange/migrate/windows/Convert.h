#pragma once
// "Hourvane Data Migration": runs the previous version's extractor, waits for
// its files, checks and loads them, and shows what was taken over. The window
// holds the flow; reading, checking and loading are in exchange/migrate.
#include "exchange/migrate/ConvertData.h"
#include "exchange/migrate/ConvertExtractor.h"
#include "exchange/migrate/ConvertLoad.h"

#include <QDateTime>
#include <QDialog>
#include <QTimer>

#include <functional>
#include <memory>
#include <string>

class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QStackedWidget;

namespace hv {

class THourvaneDataMod;

class TfrmConvert : public QDialog, private ConvertObserver {
    Q_OBJECT
public:
    // extractor: null uses the real process.
    TfrmConvert(THourvaneDataMod& dm, std::string settingsFileName, std::string programFolder,
                std::unique_ptr<ConvertExtractor> extractor = nullptr, QWidget* owner = nullptr);
    ~TfrmConvert() override;

    // How long the window waits for the first file before it asks whether to
    // go on waiting, and how often it looks.
    void setWaitLimit(int ms) { m_waitLimitMs = ms; }
    void setTickInterval(int ms) { m_timer.setInterval(ms); }
    void setLoadHook(std::function<void(ExtractFile, int)> hook) { m_loadHook = std::move(hook); }

    void cmdMigrateClick();
    void tmrConvertTimer();

    QPushButton* cmdMigrate = nullptr;
    QPushButton* cmdClose = nullptr;
    QPlainTextEdit* memSummary = nullptr;
    QLabel* lblExtracting = nullptr;
    QLabel* lblLoading = nullptr;
    QLabel* lblCompleted = nullptr;
    QLabel* imgStep[kExtractFileCount] = {};      // by file
    QProgressBar* pbFile[kExtractFileCount] = {}; // by file

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void stepStarted(ExtractFile file) override;
    void stepDone(ExtractFile file) override;
    void fileProgress(ExtractFile file, int position, int maximum) override;
    void keepResponsive() override;

    void runLoading();
    void setButtons(bool enabled);
    void showPhase(bool loading);
    void backToStart();

    THourvaneDataMod& m_dm;
    std::string m_settingsFileName;
    std::string m_programFolder;
    std::unique_ptr<ConvertExtractor> m_extractor;
    QStackedWidget* m_pages = nullptr;
    QTimer m_timer;
    QDateTime m_startTime;
    int m_waitLimitMs = 5000;
    bool m_loading = false;
    std::function<void(ExtractFile, int)> m_loadHook;
};

} // namespace hv
