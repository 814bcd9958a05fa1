#pragma once
// The about window: product, version (with the build number when asked),
// legal notice, edition and, when switched on, the comments line.
#include "settings/VersionText.h"
#include "widgets/WindowUtil.h"

#include <QDialog>

class QLabel;
class QPushButton;

namespace hv {

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    // scale: design lengths to the screen; null uses the primary screen.
    explicit TAboutBox(VersionLookup version, QWidget* owner = nullptr, ScaleFunction scale = {});

    // When on as the window is shown, the version text carries the build.
    void setShowBuild(bool show) { m_showBuild = show; }
    bool showBuild() const { return m_showBuild; }
    // Off hides the comments line and moves what lies below it up by 40
    // design pixels, making the window shorter by as much.
    void setShowComments(bool show);
    bool showComments() const { return m_showComments; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    int scaled(int length) const;

    VersionLookup m_version;
    ScaleFunction m_scale;
    bool m_showBuild = false;
    bool m_showComments = true;

    QLabel* lblVersion = nullptr;
    QLabel* lblComments = nullptr;
    QPushButton* cmdOK = nullptr;
};

} // namespace hv
