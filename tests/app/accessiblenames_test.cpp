// Every control of every window has a name that a screen reader says and an
// automated test can find it by; a picture in Tengwar is named for what it
// is, not read out as its font codes.
#include <QAccessible>
#include <QAbstractScrollArea>
#include <QApplication>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include "shellfixture.h"
#include "ui/help/helpengine.h"
#include "ui/progress/historystore.h"
#include "ui/progress/tprogressform.h"
#include "ui/zoom/tzoomform.h"
#include "ui/zoom/zoombox.h"

namespace {

QString accessibleName(QWidget* widget) {
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
    return face == nullptr ? QString() : face->text(QAccessible::Name).trimmed();
}

// Pictures in Tengwar: in its font, or drawn with it.
bool drawsTengwar(const QWidget* widget) {
    const QStringList painted = {QStringLiteral("Emblem"), QStringLiteral("TransTengwarBox")};
    return qobject_cast<const ZoomBox*>(widget) != nullptr || painted.contains(widget->objectName()) ||
           widget->font().family() == QStringLiteral("Tengwar Quenya");
}

// A control: what the keyboard can reach, and every picture in Tengwar. The
// inner parts of a compound control (a scroll area's viewport, a combo box's
// line) are named by the control itself.
bool isControl(const QWidget* widget) {
    const QWidget* parent = widget->parentWidget();
    if (parent != nullptr && qobject_cast<const QAbstractScrollArea*>(parent) != nullptr &&
        static_cast<const QAbstractScrollArea*>(parent)->viewport() == widget)
        return false;
    if (widget->focusProxy() != nullptr)
        return false;
    if (parent != nullptr && parent->focusProxy() == widget)
        return false;
    return widget->focusPolicy() != Qt::NoFocus || drawsTengwar(widget);
}

std::vector<std::string> unnamedControls(QWidget* window) {
    std::vector<std::string> unnamed;
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        if (widget->window() != window || !isControl(widget))
            continue;
        const QString name = accessibleName(widget);
        const bool fontCodes = drawsTengwar(widget) && name == widget->property("text").toString();
        if (name.isEmpty() || fontCodes) {
            unnamed.push_back(window->objectName().toStdString() + "/" + widget->objectName().toStdString() +
                              " (" + widget->metaObject()->className() + ")");
        }
    }
    return unnamed;
}

using AccessibleNamesTest = ShownMainFormTest;

TEST_F(AccessibleNamesTest, EveryControlOfEveryWindowHasAName) {
    QTemporaryDir dir;
    HistoryStore store(dir.path());
    form->setHistory(&store);
    auto* zoom = new TZoomForm(options(), form.get());
    QCoreApplication::processEvents();
    form->findChild<QWidget*>(QStringLiteral("BtnNapredek"))->setFocus();
    QTest::mouseClick(form->findChild<QWidget*>(QStringLiteral("BtnNapredek")), Qt::LeftButton);
    ASSERT_NE(form->progressForm(), nullptr);
    HelpEngine::instance().jumpContext(kPageHelpTopic);
    ASSERT_NE(HelpEngine::instance().secondaryWindow(), nullptr);

    std::vector<std::string> unnamed;
    for (QWidget* window : {static_cast<QWidget*>(form.get()), static_cast<QWidget*>(zoom),
                            static_cast<QWidget*>(form->progressForm()),
                            static_cast<QWidget*>(HelpEngine::instance().secondaryWindow())}) {
        const std::vector<std::string> found = unnamedControls(window);
        unnamed.insert(unnamed.end(), found.begin(), found.end());
    }
    std::string list;
    for (const std::string& each : unnamed)
        list += "\n  " + each;
    EXPECT_TRUE(unnamed.empty()) << "controls without a name:" << list;

    // The ones a test looks for by name.
    const std::pair<QWidget*, QString> named[] = {
        {form->findChild<QWidget*>(QStringLiteral("EdOdgovor1")), QStringLiteral("Odgovor")},
        {form->findChild<QWidget*>(QStringLiteral("TengwarLabel1")), QStringLiteral("Primer v tengwarju")},
        {zoom->itemBox(), QStringLiteral("Primer v tengwarju")},
        {HelpEngine::instance().secondaryWindow()->findChild<QWidget*>(QStringLiteral("BtnNazaj")),
         QStringLiteral("Nazaj")},
        {HelpEngine::instance().secondaryWindow()->findChild<QWidget*>(QStringLiteral("BtnNaprej")),
         QStringLiteral("Naprej")},
    };
    for (const auto& [widget, name] : named) {
        ASSERT_NE(widget, nullptr) << name.toStdString();
        EXPECT_EQ(accessibleName(widget), name);
    }
    HelpEngine::instance().quit();
    form.reset();
}

}  // namespace
