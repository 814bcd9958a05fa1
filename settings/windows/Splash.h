#pragma once
// The splash window shown while the database opens: product, version,
// legal notice, edition.
#include "settings/VersionText.h"

#include <QWidget>

class QLabel;

namespace hv {

class TfrmSplash : public QWidget {
    Q_OBJECT
public:
    explicit TfrmSplash(VersionLookup version, QWidget* parent = nullptr);

    // When on at activation, the version text carries the build number.
    void setShowBuild(bool show) { m_showBuild = show; }
    bool showBuild() const { return m_showBuild; }

protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    VersionLookup m_version;
    bool m_showBuild = false;
    QLabel* lblVersion = nullptr;
};

} // namespace hv
