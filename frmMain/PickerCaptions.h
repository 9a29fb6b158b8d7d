#pragma once
// The picker button's captions: ready to pick, and picking.
#include <QString>

inline const QString PickCaption = QStringLiteral("Pick a color from desktop");
inline const QString StopCaption = QStringLiteral("Press Enter to pick or click here to stop");
