#include "app/singleinstance.h"

#include <QApplication>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QWidget>

const QString ApplicationService::kServiceName = QStringLiteral("tengwar.ostrel.TengwarOstrel");
const QString ApplicationService::kObjectPath = QStringLiteral("/tengwar/ostrel/TengwarOstrel");

ApplicationService::ApplicationService(QDBusConnection bus, QObject* parent)
    : QObject(parent), m_bus(std::move(bus)) {}

ApplicationService::~ApplicationService() {
    release();
}

QVariantMap ApplicationService::startPlatformData() {
    QVariantMap data;
    const QString token = qEnvironmentVariable("XDG_ACTIVATION_TOKEN");
    if (!token.isEmpty()) {
        data.insert(QStringLiteral("activation-token"), token);
    }
    const QString startupId = qEnvironmentVariable("DESKTOP_STARTUP_ID");
    if (!startupId.isEmpty()) {
        data.insert(QStringLiteral("desktop-startup-id"), startupId);
    }
    return data;
}

ApplicationService::Claim ApplicationService::claim() {
    QDBusConnectionInterface* const busControl = m_bus.isConnected() ? m_bus.interface() : nullptr;
    if (busControl == nullptr) {
        return Claim::Alone;
    }
    // The object is there before the name, so whoever finds the name finds it.
    m_registered = m_bus.registerObject(kObjectPath, this, QDBusConnection::ExportAllSlots);
    if (!m_registered) {
        return Claim::Alone;
    }
    const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> reply = busControl->registerService(
        kServiceName, QDBusConnectionInterface::DontQueueService, QDBusConnectionInterface::DontAllowReplacement);
    if (!reply.isValid()) {
        release();
        return Claim::Alone;
    }
    if (reply.value() == QDBusConnectionInterface::ServiceRegistered) {
        m_owner = true;
        return Claim::Owner;
    }
    release();
    QDBusMessage call = QDBusMessage::createMethodCall(kServiceName, kObjectPath,
                                                      QStringLiteral("org.freedesktop.Application"),
                                                      QStringLiteral("Activate"));
    call << startPlatformData();
    // A copy that does not answer (hung, or ending just now) is no reason
    // to start nothing: this start then runs as before.
    const QDBusMessage answer = m_bus.call(call, QDBus::Block, kCallTimeoutMs);
    return answer.type() == QDBusMessage::ReplyMessage ? Claim::OtherActivated : Claim::Alone;
}

void ApplicationService::release() {
    if (m_owner) {
        m_owner = false;
        if (QDBusConnectionInterface* busControl = m_bus.interface()) {
            busControl->unregisterService(kServiceName);
        }
    }
    if (m_registered) {
        m_registered = false;
        m_bus.unregisterObject(kObjectPath);
    }
}

void ApplicationService::Activate(const QVariantMap& platformData) {
    // On Wayland a window may take the focus only with the token its
    // launcher got; Qt's Wayland plugin takes it from this variable when the
    // window asks to be activated.
    const QString token = platformData.value(QStringLiteral("activation-token")).toString();
    if (!token.isEmpty()) {
        qputenv("XDG_ACTIVATION_TOKEN", token.toUtf8());
    }
    // A dialog that waits for an answer comes before its window.
    QWidget* target = QApplication::activeModalWidget();
    if (target == nullptr) {
        target = m_window;
    }
    if (target != nullptr) {
        target->setWindowState(target->windowState() & ~Qt::WindowMinimized);
        target->show();
        target->raise();
        target->activateWindow();
    }
    emit activated(platformData);
}

void ApplicationService::Open(const QStringList& /*uris*/, const QVariantMap& platformData) {
    // The program opens no files from outside; it comes to the front.
    Activate(platformData);
}

void ApplicationService::ActivateAction(const QString& actionName, const QVariantList& /*parameter*/,
                                        const QVariantMap& /*platformData*/) {
    if (calledFromDBus()) {
        sendErrorReply(QDBusError::NotSupported, QStringLiteral("No action \"%1\"").arg(actionName));
    }
}
