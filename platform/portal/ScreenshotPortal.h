#pragma once
// One picture of the whole desktop through the desktop portal's Screenshot
// (org.freedesktop.portal.Screenshot.Screenshot, not interactive), answered by
// the Response of the Request it opens with the URI of a PNG the portal wrote.
// Every file an answer names is taken (ScreenshotFile.h): also when the pick
// was cancelled meanwhile, and when the program closes with a call under way.
//
// GNOME asks the user the first time whether programs may take screenshots
// ("Allow" is stored by the desktop for every unsandboxed program). A picture
// taken just after that question may still show the question fading, so when
// the answer turned the stored permission to "yes", the picture is taken again
// once the question is gone.
#include "platform/portal/PortalCalls.h"

#include <QImage>
#include <QObject>
#include <QString>
#include <QVariantMap>
#include <functional>
#include <list>

class QDBusMessage;
class QDBusServiceWatcher;

class ScreenshotPortal final : public QObject {
    Q_OBJECT
public:
    // The picture, in the desktop's physical pixels, all monitors in one; a null
    // image when the portal refused (denied, cancelled, failed, not there) or the
    // answer held no picture that could be read.
    using Taken = std::function<void(const QImage& picture)>;

    ScreenshotPortal();
    ~ScreenshotPortal() override;

    // Takes one picture. `taken` runs once, later, from the event loop, unless
    // the call is cancelled first. A call under way is cancelled.
    void take(const QString& parentWindow, Taken taken);
    // Drops the call's answer; the file it names is still deleted when it comes.
    void cancel();
    bool isTaking() const { return static_cast<bool>(FTaken); }

    // The URI of a Response(response, results): only for response 0 with a
    // string "uri"; empty otherwise.
    static QString uriOf(uint response, const QVariantMap& results);
    // The picture of the PNG `uri` names, its file taken; null when it is none.
    static QImage pictureOf(const QString& uri);
    // Whether a PermissionStore.Lookup reply grants the screenshot permission to
    // unsandboxed programs (application id "").
    static bool grantsScreenshots(const QDBusMessage& reply);

private slots:
    void onResponse(const QDBusMessage& message);
    void onLeftoverResponse(const QDBusMessage& message);

private:
    void call(quint64 request);
    void lookUpPermission(std::function<void(bool granted)> answered);
    void answered(const QImage& picture);
    void finish(const QImage& picture);
    void finishLater();
    void leave(const QString& path);
    void watchPortal();

    Taken FTaken; // empty while no call is open
    QString FParent;
    quint64 FRequests = 0;       // numbers the calls: answers to an earlier one are dropped
    bool FGrantedBefore = false; // the permission was "yes" when this call began
    bool FTakenAgain = false;    // the picture after the question is under way
    PortalResponses FResponses{this, SLOT(onResponse(QDBusMessage))};
    // Requests given up before their answer, still heard to delete their files.
    std::list<PortalResponses> FLeftovers;
    QDBusServiceWatcher* FPortalWatch = nullptr;
};
