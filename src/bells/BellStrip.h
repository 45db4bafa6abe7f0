#pragma once

#include "bells/BellStripGeometry.h"
#include "ui/TImage.h"

#include <QObject>
#include <QPointer>

#include <array>

class QFrame;
class QWidget;

// The fifteen bell pictures along the top of the main window and the marker
// of the current bell under them. Laid out by BellStripGeometry whenever the
// strip changes width; a click on a picture is reported as bellClicked.
// Which picture each bell shows is decided by the main window.
class BellStrip : public QObject {
    Q_OBJECT
public:
    // Creates the pictures inside panel; marker is the panel's marker picture.
    BellStrip(QFrame* panel, QWidget* marker);
    ~BellStrip() override;

    TImage* picture(int bell) const;
    const BellStripGeometry& geometry() const { return m_geometry; }

    // Places the pictures and the marker for the panel's current width and
    // gives the panel its height.
    void layout();
    void moveMarker(int bell);

signals:
    void bellClicked(int bell);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QFrame* m_panel;
    QWidget* m_marker;
    std::array<QPointer<TImage>, kBellCount> m_pictures{};
    BellStripGeometry m_geometry;
    int m_markerBell = 0;
    int m_laidOutWidth = -1;
};
