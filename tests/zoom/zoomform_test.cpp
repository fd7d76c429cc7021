// The zoom window on its own: the split bar, the font box, the colours, the
// drawing of the boxes and what it keeps in the store.
#include <QApplication>
#include <QColorDialog>
#include <QComboBox>
#include <QFocusEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include "app/shellfixture.h"
#include "transcription/convertdata.h"
#include "zoom/tzoomform.h"
#include "zoom/zoombox.h"

namespace {

class ZoomFormTest : public ShellTest {
protected:
    template <class T>
    static T* child(QWidget& form, const char* name) {
        T* found = form.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
};

void sendMouse(QWidget* widget, QEvent::Type type, Qt::MouseButton button, int globalY) {
    const QPointF global(widget->mapToGlobal(QPoint(10, 0)).x(), globalY);
    const QPointF local = widget->mapFromGlobal(global);
    const Qt::MouseButtons held =
        type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
    QMouseEvent event(type, local, global, type == QEvent::MouseMove ? Qt::NoButton : button, held,
                      Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

// The rectangle of the pixels that differ from the background.
QRect inkOf(const QImage& image, QRgb background) {
    QRect ink;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) != background) {
                ink |= QRect(x, y, 1, 1);
            }
        }
    }
    return ink;
}

TEST_F(ZoomFormTest, DraggingTheSplitBarStoresBothSharesPastEitherEnd) {
    TZoomForm form(options());
    form.setGeometry(100, 100, 220, 228);  // a display area of 204: the boxes share 200
    form.show();
    auto* bar = child<QWidget>(form, "SplitPanel");
    auto* lower = child<QWidget>(form, "Panel2");
    EXPECT_EQ(lower->height(), 40);  // 20 of 80 + 20

    const int y0 = bar->mapToGlobal(QPoint(0, 1)).y();
    sendMouse(bar, QEvent::MouseButtonPress, Qt::LeftButton, y0);
    sendMouse(bar, QEvent::MouseMove, Qt::LeftButton, y0 - 30);
    EXPECT_EQ(options().GetZoomA(), 130);
    EXPECT_EQ(options().GetZoomB(), 70);
    EXPECT_EQ(lower->height(), 70);
    // Above the top: the item box gets nothing.
    sendMouse(bar, QEvent::MouseButtonRelease, Qt::LeftButton, y0 - 1000);
    EXPECT_EQ(options().GetZoomA(), 0);
    EXPECT_EQ(options().GetZoomB(), 200);
    EXPECT_EQ(lower->height(), 200);
    EXPECT_EQ(form.answerBox()->height(), 198);

    // Moves after the release drag nothing; below the bottom the answer box gets nothing.
    const int y1 = bar->mapToGlobal(QPoint(0, 1)).y();
    sendMouse(bar, QEvent::MouseMove, Qt::NoButton, y1 + 50);
    EXPECT_EQ(options().GetZoomB(), 200);
    sendMouse(bar, QEvent::MouseButtonPress, Qt::LeftButton, y1);
    sendMouse(bar, QEvent::MouseButtonRelease, Qt::LeftButton, y1 + 1000);
    EXPECT_EQ(options().GetZoomA(), 1000);  // the whole drag; only the answer box's share stops at 0
    EXPECT_EQ(options().GetZoomB(), 0);
    EXPECT_EQ(lower->height(), 0);

    // A resize keeps the proportion.
    options().SetZoomA(1);
    options().SetZoomB(3);
    form.resize(220, 428);
    EXPECT_EQ(lower->height(), 300);
}

TEST_F(ZoomFormTest, FontBoxStoresAListedNameAtOnceAndAnyNameOnEnterOrLeaving) {
    const QStringList& families = TZoomForm::answerFamilies();
    ASSERT_TRUE(families.contains(QStringLiteral("Liberation Serif"))) << "fonts-liberation2 draws č š ž";
    EXPECT_FALSE(families.contains(QStringLiteral("Tengwar Quenya")));
    EXPECT_TRUE(std::is_sorted(families.begin(), families.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    }));

    TZoomForm form(options());
    form.show();
    auto* combo = child<QComboBox>(form, "FontCombo");
    EXPECT_EQ(combo->currentText(), QStringLiteral("Times New Roman"));
    combo->setFocus();

    // Typing a name that is not listed stores nothing; Escape brings the stored one back.
    combo->lineEdit()->selectAll();
    QTest::keyClicks(combo, QStringLiteral("Nepisava"));
    EXPECT_EQ(options().GetAnswerFont(), "Times New Roman");
    QTest::keyClick(combo, Qt::Key_Escape);
    EXPECT_EQ(combo->currentText(), QStringLiteral("Times New Roman"));
    EXPECT_EQ(options().GetAnswerFont(), "Times New Roman");

    // Enter stores whatever stands there.
    combo->lineEdit()->selectAll();
    QTest::keyClicks(combo, QStringLiteral("Nepisava"));
    QTest::keyClick(combo, Qt::Key_Return);
    EXPECT_EQ(options().GetAnswerFont(), "Nepisava");
    EXPECT_EQ(form.answerBox()->look().family, QStringLiteral("Nepisava"));
    EXPECT_EQ(combo->count(), families.size());  // Enter adds nothing to the list

    // A listed name, in any case, is stored as soon as it is typed.
    combo->lineEdit()->selectAll();
    QTest::keyClicks(combo, QStringLiteral("liberation serif"));
    EXPECT_EQ(options().GetAnswerFont(), "liberation serif");
    EXPECT_EQ(form.answerBox()->look().family, QStringLiteral("liberation serif"));

    // Leaving the box stores it too.
    combo->lineEdit()->selectAll();
    QTest::keyClicks(combo, QStringLiteral("Druga"));
    EXPECT_EQ(options().GetAnswerFont(), "liberation serif");
    QFocusEvent leave(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(combo, &leave);
    EXPECT_EQ(options().GetAnswerFont(), "Druga");
}

TEST_F(ZoomFormTest, ColourDialogStoresWindowsColourValuesAndAlwaysTheCustomColours) {
    TZoomForm form(options());
    form.show();
    auto* textButton = child<QToolButton>(form, "BtnTextCol");
    auto* backButton = child<QToolButton>(form, "BtnBackCol");

    EXPECT_TRUE(withModal<QColorDialog>([&] { textButton->click(); },
                                        [](QColorDialog& dialog) {
                                            EXPECT_EQ(dialog.currentColor(), QColor(0, 0, 0));
                                            EXPECT_EQ(QColorDialog::customColor(0), QColor(Qt::white));
                                            QColorDialog::setCustomColor(3, QColor(0x01, 0x02, 0x03));
                                            dialog.setCurrentColor(QColor(0x12, 0x34, 0x56));
                                            dialog.accept();
                                        }));
    EXPECT_EQ(options().GetTextColor(), 0x563412);
    StringList custom;
    options().LoadCustomColors(custom);
    ASSERT_EQ(custom.size(), 16u);
    EXPECT_EQ(custom[3], "ColorD=030201");
    EXPECT_EQ(form.itemBox()->look().text, QColor(0x12, 0x34, 0x56));
    EXPECT_EQ(form.answerBox()->look().text, QColor(0x12, 0x34, 0x56));

    // Cancelled: the colour stays, the custom colours are stored all the same.
    EXPECT_TRUE(withModal<QColorDialog>([&] { backButton->click(); },
                                        [](QColorDialog& dialog) {
                                            EXPECT_EQ(dialog.currentColor(), QColor(0x00, 0x80, 0x80));
                                            EXPECT_EQ(QColorDialog::customColor(3), QColor(0x01, 0x02, 0x03));
                                            QColorDialog::setCustomColor(15, QColor(0xAA, 0xBB, 0xCC));
                                            dialog.setCurrentColor(Qt::red);
                                            dialog.reject();
                                        }));
    EXPECT_EQ(options().GetBackColor(), 0x808000);
    options().LoadCustomColors(custom);
    EXPECT_EQ(custom[15], "ColorP=CCBBAA");

    EXPECT_TRUE(withModal<QColorDialog>([&] { backButton->click(); },
                                        [](QColorDialog& dialog) {
                                            dialog.setCurrentColor(QColor(0xFF, 0xEE, 0x00));
                                            dialog.accept();
                                        }));
    EXPECT_EQ(options().GetBackColor(), 0x00EEFF);
    const QImage drawn = form.itemBox()->picture(QSize(50, 40), 1.0);
    EXPECT_EQ(drawn.pixel(0, 0), QColor(0xFF, 0xEE, 0x00).rgb());
    EXPECT_EQ(child<QWidget>(form, "Panel2")->palette().color(QPalette::Window), QColor(0xFF, 0xEE, 0x00));
}

TEST_F(ZoomFormTest, BoxesDrawTheirTextWithinTheBoxOrOnlyTheBackground) {
    options().SetAnswerFont("Liberation Serif");
    TZoomForm form(options());
    const QRgb back = QColor(0x00, 0x80, 0x80).rgb();
    ZoomBox* answer = form.answerBox();

    EXPECT_TRUE(inkOf(answer->picture(QSize(300, 120), 1.0), back).isNull());

    struct Case {
        const char* text;
        QSize box;
    };
    for (const Case& c : {Case{"a", {300, 120}}, Case{"abcdefghijklmnopqrstuvwxyz", {300, 120}},
                          Case{"WWWWWWWWWW", {120, 300}}}) {
        form.showAnswer(QString::fromLatin1(c.text));
        for (const qreal ratio : {1.0, 2.0}) {
            const QImage image = answer->picture(c.box, ratio);
            const QRect ink = inkOf(image, back);
            ASSERT_FALSE(ink.isNull()) << c.text;
            const QRect inside(QPoint(0, 0), c.box * ratio);
            EXPECT_TRUE(inside.contains(ink)) << c.text;
            // As large as the box allows: a quarter of its width or height at least.
            const double share =
                std::max(double(ink.width()) / inside.width(), double(ink.height()) / inside.height());
            EXPECT_GE(share, 0.25) << c.text;
            EXPECT_LE(ink.width(), (c.box.width() - 4) * ratio) << c.text;
            // The glyphs' cores are in the text colour.
            int solid = 0;
            for (int y = ink.top(); y <= ink.bottom(); ++y) {
                for (int x = ink.left(); x <= ink.right(); ++x) {
                    solid += image.pixel(x, y) == QColor(Qt::black).rgb() ? 1 : 0;
                }
            }
            EXPECT_GT(solid, 0) << c.text;
        }
    }
}

TEST_F(ZoomFormTest, EverySettingAndThePlaceComeBackInTheNextWindow) {
    {
        TZoomForm form(options());
        form.show();
        EXPECT_EQ(form.geometry(), QRect(102, 15, 220, 220));  // a tenth and a fiftieth of 1024 x 768
        child<QToolButton>(form, "BtnBold")->click();
        child<QToolButton>(form, "BtnItalic")->click();
        child<QToolButton>(form, "BtnItalic")->click();
        form.setGeometry(300, 200, 400, 350);
        EXPECT_EQ(options().GetZoomRect(), (StoredRect{300, 200, 700, 550}));
    }
    EXPECT_TRUE(options().GetFlag(flag::ZoomBold));
    EXPECT_FALSE(options().GetFlag(flag::ZoomItalic));
    options().SetAnswerFont("Liberation Sans");
    options().SetTextColor(0x0000FF);

    TZoomForm again(options());
    EXPECT_EQ(again.geometry(), QRect(300, 200, 400, 350));
    EXPECT_TRUE(child<QToolButton>(again, "BtnBold")->isChecked());
    EXPECT_FALSE(child<QToolButton>(again, "BtnItalic")->isChecked());
    EXPECT_EQ(child<QComboBox>(again, "FontCombo")->currentText(), QStringLiteral("Liberation Sans"));
    const ZoomBoxLook look = again.answerBox()->look();
    EXPECT_TRUE(look.bold);
    EXPECT_FALSE(look.italic);
    EXPECT_EQ(look.text, QColor(0xFF, 0, 0));
    EXPECT_EQ(again.itemBox()->look().family, QStringLiteral("Tengwar Quenya"));
    EXPECT_FALSE(again.itemBox()->look().bold);

    // A place on no screen falls back to the first one.
    options().SetZoomRect({-9000, -9000, -8800, -8800});
    TZoomForm lost(options());
    EXPECT_EQ(lost.geometry().size(), QSize(220, 220));
    EXPECT_TRUE(lost.screen()->geometry().contains(lost.geometry().topLeft()));
}

}  // namespace
