#pragma once

#include <QDBusConnection>
#include <QDBusContext>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QVariantMap>

class QWidget;

// One running copy per user session, the desktop's way: the program owns the
// name of its desktop entry on the session bus and serves
// org.freedesktop.Application there. A second start asks the owner to come
// to the front and ends; without a session bus every start runs alone.
class ApplicationService : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Application")

public:
    // The desktop entry's id, and the object path made from it.
    static const QString kServiceName;
    static const QString kObjectPath;

    enum class Claim {
        Owner,           // this copy owns the name and serves it
        OtherActivated,  // a running copy owns it and was asked to the front
        Alone,           // no bus, or the owner did not answer: run as if alone
    };

    explicit ApplicationService(QDBusConnection bus = QDBusConnection::sessionBus(), QObject* parent = nullptr);
    ~ApplicationService() override;

    // Serves the interface and asks for the name; when another copy owns it,
    // calls its Activate with this start's activation token instead.
    Claim claim();
    // Gives the name up (at the end, so that a start meanwhile runs alone
    // instead of asking a copy that is closing).
    void release();

    // The window brought to the front on Activate (a modal dialog above it
    // comes first).
    void setWindow(QWidget* window) { m_window = window; }

    // Milliseconds a second start waits for the running copy's answer.
    static constexpr int kCallTimeoutMs = 5000;

public slots:
    void Activate(const QVariantMap& platformData);
    void Open(const QStringList& uris, const QVariantMap& platformData);
    void ActivateAction(const QString& actionName, const QVariantList& parameter, const QVariantMap& platformData);

signals:
    // After a window was brought to the front, with the caller's platform data.
    void activated(const QVariantMap& platformData);

private:
    // The platform data a start passes on: its activation token (Wayland)
    // and startup id (X11), as its launcher gave them.
    static QVariantMap startPlatformData();

    QDBusConnection m_bus;
    QPointer<QWidget> m_window;
    bool m_registered = false;
    bool m_owner = false;
};
