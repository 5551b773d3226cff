#pragma once
// The picture of a port icon: a serial tablet with its stylus and plug,
// drawn from the program's own SVG.  Ports served by a simulated tablet
// carry a "SIM" badge.
#include <QIcon>
#include <QPixmap>

namespace stylomat::gui {

QPixmap Port_Icon_Pixmap(int size, bool simulated);
QIcon Port_Icon(int size, bool simulated);

}  // namespace stylomat::gui
