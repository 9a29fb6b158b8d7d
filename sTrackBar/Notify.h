#pragma once
// Notifications of the window's controls: a callback that receives the control
// that sent it. An empty callback means "not assigned".
#include <functional>

class QObject;

using TNotifyEvent = std::function<void(QObject* Sender)>;
