#pragma once
// A screen-cast session of the desktop portal, org.freedesktop.portal.ScreenCast:
// CreateSession, SelectSources (every monitor, the pointer as metadata, a grant
// that lasts while the program runs), Start (the share dialog), then
// OpenPipeWireRemote. Each call but the last answers through a Request,
// listened for before the call. The restore token that Start gives is passed
// by the next session, so that the desktop does not ask again.
#include "platform/ScreenCastDesktop.h"
#include "platform/portal/PortalCalls.h"

#include <QObject>
#include <QString>
#include <functional>
#include <vector>

class QDBusConnection;
class QDBusMessage;
class QWindow;

class ScreenCastPortal final : public QObject {
    Q_OBJECT
public:
    struct Grant {
        int fd = -1; // the PipeWire remote, the receiver's to close
        std::vector<ScreenCastDesktop::Stream> streams;
    };
    struct Handlers {
        std::function<void(Grant)> granted;
        // The session did not start: the user cancelled the dialog, or the
        // portal refused or failed.
        std::function<void(bool cancelled)> refused;
        // After granted: the desktop ended the share.
        std::function<void()> closed;
    };

    // The interface version from which the pointer comes as metadata, and its
    // cursor mode.
    static constexpr uint CursorMetadataVersion = 4;
    static constexpr uint MetadataCursorMode = 4;

    ScreenCastPortal() = default;
    ~ScreenCastPortal() override;

    // Whether the session bus has a portal that casts the screen with the
    // pointer as metadata. Asks and waits (at most two seconds).
    static bool offersCursorMetadata();

    // Opens a session over `parent` (may be null). The handlers run later,
    // from the event loop, never from inside open() or close(). A session
    // still open is closed first.
    void open(const QWindow* parent, Handlers handlers);
    // Closes the session, or the call under way: no handler runs after.
    void close();
    bool isOpen() const { return FOpen; }

    // The restore token of the last granted session, passed by the next.
    const QString& restoreToken() const { return FRestoreToken; }

private slots:
    void onResponse(const QDBusMessage& message);
    void onClosed(const QDBusMessage& message);

private:
    using Answered = std::function<void(uint response, const QVariantMap& results)>;

    void checkInterface();
    void createSession();
    void selectSources();
    void startSession();
    void openRemote();
    void request(const QString& method, QList<QVariant> arguments, QVariantMap options,
                 Answered answered);
    void refuse(bool cancelled);
    void refuseLater(bool cancelled);
    static QDBusConnection bus();
    // The interface's properties offer the pointer as metadata.
    static bool sendsPointer(const QVariantMap& properties);

    Handlers FHandlers;
    bool FOpen = false;
    quint64 FSessions = 0; // numbers the sessions: answers to an earlier one are dropped
    QString FParent;
    PortalResponses FResponses{this, SLOT(onResponse(QDBusMessage))};
    QString FExpected; // the path the open Request was asked to have
    QString FSession;  // the session's object path, once created
    Answered FAnswered;
    std::vector<ScreenCastDesktop::Stream> FStreams;
    QString FRestoreToken;
};
