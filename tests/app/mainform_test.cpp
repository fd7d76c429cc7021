#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>

#include <gtest/gtest.h>

#include "app/tmainform.h"
#include "help/helpcontext.h"

namespace {

TEST(MainFormTest, SixPagesWithTheirCaptionsAndContexts) {
    TMainForm form;
    EXPECT_EQ(form.size(), QSize(531, 273));
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Tengwar Ostrel"));
    auto* pages = form.findChild<QTabWidget*>(QStringLiteral("Pages"));
    ASSERT_NE(pages, nullptr);
    EXPECT_EQ(pages->geometry(), QRect(4, 4, 524, 240));
    const QStringList captions = {QStringLiteral("Naloge"),
                                  QStringLiteral("Pretvorba"),
                                  QStringLiteral("Opisi nalog"),
                                  QStringLiteral("Prepis v latinico"),
                                  QStringLiteral("Pretvorba datotek"),
                                  QStringLiteral("O programu")};
    const int contexts[] = {9701, 9702, 9703, 9704, 9706, 9705};
    ASSERT_EQ(pages->count(), 6);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(pages->tabText(i), captions[i]);
        EXPECT_EQ(helpContext(pages->widget(i)), contexts[i]) << i;
    }
    EXPECT_EQ(helpContext(&form), 9713);
    EXPECT_EQ(helpContext(pages), 9710);
    auto* closeBtn = form.findChild<QPushButton*>(QStringLiteral("CloseBtn"));
    auto* helpBtn = form.findChild<QPushButton*>(QStringLiteral("HelpBtn"));
    ASSERT_NE(closeBtn, nullptr);
    ASSERT_NE(helpBtn, nullptr);
    EXPECT_EQ(closeBtn->text(), QStringLiteral("Izhod"));
    EXPECT_EQ(helpBtn->text(), QStringLiteral("Pomoč"));
    EXPECT_EQ(helpContext(closeBtn), 9711);
    EXPECT_EQ(helpContext(helpBtn), 9712);
    EXPECT_EQ(closeBtn->geometry(), QRect(372, 248, 75, 21));
    EXPECT_EQ(helpBtn->geometry(), QRect(452, 248, 75, 21));
}

TEST(MainFormTest, AllSixTabsFitWithoutScrolling) {
    TMainForm form;
    form.show();
    auto* pages = form.findChild<QTabWidget*>(QStringLiteral("Pages"));
    ASSERT_NE(pages, nullptr);
    QTabBar* bar = pages->tabBar();
    int total = 0;
    for (int i = 0; i < bar->count(); ++i) {
        total += bar->tabRect(i).width();
        // No caption is cut short.
        EXPECT_GE(bar->tabRect(i).width(), bar->fontMetrics().horizontalAdvance(bar->tabText(i))) << i;
    }
    EXPECT_LE(total, pages->width());
}

TEST(MainFormTest, FixedSizeWindowWithContextHelpButton) {
    TMainForm form;
    EXPECT_EQ(form.minimumSize(), form.maximumSize());
    EXPECT_TRUE(form.windowFlags().testFlag(Qt::WindowContextHelpButtonHint));
    EXPECT_FALSE(form.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(form.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
}

}  // namespace
