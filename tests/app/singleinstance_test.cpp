// One running copy per session, on a private session bus of its own: the
// real program as the second start, this process as the running copy.
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDir>
#include <QEventLoop>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include "app/singleinstance.h"

namespace {

// A `dbus-daemon --session` of the test's own, ended with the test.
class PrivateSessionBus : public ::testing::Test {
protected:
    void SetUp() override {
        const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
        if (daemon.isEmpty()) {
            GTEST_SKIP() << "dbus-daemon is not installed (scripts/install-deps.sh installs it)";
        }
        ASSERT_TRUE(m_home.isValid());
        m_daemon.start(daemon, {QStringLiteral("--session"), QStringLiteral("--nofork"),
                                QStringLiteral("--print-address=1"),
                                QStringLiteral("--address=unix:dir=") + m_home.path()});
        ASSERT_TRUE(m_daemon.waitForStarted(10000));
        while (!m_daemon.canReadLine() && m_daemon.waitForReadyRead(10000)) {
        }
        m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
        ASSERT_FALSE(m_address.isEmpty()) << m_daemon.readAllStandardError().toStdString();
    }

    void TearDown() override {
        for (const QString& name : m_connections) {
            QDBusConnection::disconnectFromBus(name);
        }
        if (m_daemon.state() != QProcess::NotRunning) {
            m_daemon.terminate();
            m_daemon.waitForFinished(5000);
        }
    }

    // A connection of its own, as another process would have.
    QDBusConnection connect() {
        const QString name = QStringLiteral("client%1").arg(m_connections.size());
        m_connections.push_back(name);
        return QDBusConnection::connectToBus(m_address, name);
    }

    // Starts the built program on the private bus with an empty home, serves
    // this process's events until it ends (at most 30 s) and returns its
    // exit code, -1 when it did not end by itself.
    int runProgram(const QString& activationToken) {
        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), m_address);
        env.insert(QStringLiteral("XDG_ACTIVATION_TOKEN"), activationToken);
        env.insert(QStringLiteral("HOME"), m_home.path());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_home.filePath(QStringLiteral("config")));
        env.insert(QStringLiteral("XDG_DATA_HOME"), m_home.filePath(QStringLiteral("data")));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        program.setProcessEnvironment(env);
        QEventLoop loop;
        QObject::connect(&program, &QProcess::finished, &loop, &QEventLoop::quit);
        QTimer::singleShot(30000, &loop, &QEventLoop::quit);
        program.start(QStringLiteral(OSTREL_PROGRAM), {});
        if (!program.waitForStarted(10000)) {
            return -1;
        }
        loop.exec();
        if (program.state() != QProcess::NotRunning) {
            program.kill();
            program.waitForFinished(5000);
            return -1;
        }
        return program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1;
    }

    QTemporaryDir m_home;
    QProcess m_daemon;
    QString m_address;
    std::vector<QString> m_connections;
};

TEST_F(PrivateSessionBus, ASecondStartBringsTheRunningCopyToTheFrontAndEnds) {
    ApplicationService running(connect());
    ASSERT_EQ(running.claim(), ApplicationService::Claim::Owner);
    QWidget window;
    window.show();
    window.setWindowState(Qt::WindowMinimized);
    running.setWindow(&window);
    std::vector<QVariantMap> calls;
    QObject::connect(&running, &ApplicationService::activated,
                     [&calls](const QVariantMap& data) { calls.push_back(data); });

    EXPECT_EQ(runProgram(QStringLiteral("token-39")), 0);

    ASSERT_EQ(calls.size(), 1U);
    // The launcher's token goes with the call, for Wayland's activation.
    EXPECT_EQ(calls[0].value(QStringLiteral("activation-token")).toString(), QStringLiteral("token-39"));
    EXPECT_FALSE(window.isMinimized());
    EXPECT_TRUE(window.isVisible());
    // It ended before it read or wrote anything of the user's.
    EXPECT_FALSE(QDir(m_home.filePath(QStringLiteral("config"))).exists());
    EXPECT_FALSE(QDir(m_home.filePath(QStringLiteral("data"))).exists());
}

TEST_F(PrivateSessionBus, TheNameIsFreeAgainOnceTheRunningCopyGivesItUp) {
    ApplicationService first(connect());
    ASSERT_EQ(first.claim(), ApplicationService::Claim::Owner);
    first.release();
    ApplicationService next(connect());
    EXPECT_EQ(next.claim(), ApplicationService::Claim::Owner);
}

TEST_F(PrivateSessionBus, AnOwnerThatDoesNotAnswerLetsTheStartRunAlone) {
    // The name is held by a connection that serves no such object.
    QDBusConnection squatter = connect();
    ASSERT_TRUE(squatter.interface()->registerService(ApplicationService::kServiceName).isValid());
    ApplicationService start(connect());
    EXPECT_EQ(start.claim(), ApplicationService::Claim::Alone);
}

TEST(SingleInstanceWithoutBus, EveryStartRunsAlone) {
    QTemporaryDir dir;
    ApplicationService start(QDBusConnection::connectToBus(
        QStringLiteral("unix:path=") + dir.filePath(QStringLiteral("no-bus")), QStringLiteral("nobus")));
    EXPECT_EQ(start.claim(), ApplicationService::Claim::Alone);
    QDBusConnection::disconnectFromBus(QStringLiteral("nobus"));
}

}  // namespace
