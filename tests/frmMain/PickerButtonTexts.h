#pragma once
// The picker button's two captions, as the user reads them.
#include <QString>

inline const QString Pick = QStringLiteral("Pick a color from desktop");
inline const QString Stop = QStringLiteral("Press Enter to pick or click here to stop");
