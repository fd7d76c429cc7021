#pragma once

#include <QDialog>
#include <QFont>
#include <QPixmap>
#include <QString>
#include <QTimer>
#include <QTransform>
#include <array>
#include <vector>

#include "core/help/wavepath.h"

class QPainter;

// The hidden window of the About page: a line of text gliding along a wave,
// over a background stamped with the bitmap "BRINMOOR_".
class TEasterEggForm : public QDialog {
    Q_OBJECT

public:
    static constexpr int kClientWidth = 427;
    static constexpr int kClientHeight = 247;
    static constexpr int kTickMs = 50;
    static constexpr int kAngleCount = 2 * WavePath::kMaxAngleIndex + 1;  // 73

    explicit TEasterEggForm(QWidget* owner = nullptr);
    ~TEasterEggForm() override;

    const WavePath& path() const { return m_path; }
    int offset() const { return m_offset; }
    int startOffset() const { return m_start; }
    int endOffset() const { return m_end; }
    // How many groups the last paint drew (the rest lay outside the window).
    int groupsDrawn() const { return m_groupsDrawn; }

    // One step of the glide (the 50 ms timer).
    void TimerTimer();

protected:
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    friend class EasterEggPaintArea;

    struct PlacedGroup {
        QString text;
        int face;
        int width;
        int height;
        int ascent;
        int centre;
    };

    void layOutText();
    void makeBackground();
    void paintArea(QPainter& painter, const QRect& area);

    QWidget* m_paintArea;
    QTimer m_timer;
    WavePath m_path;
    std::array<QFont, 2> m_fonts;
    // The rotations of the 73 slope indices; with the two faces, the 146
    // rotated faces the text is drawn in.
    std::array<QTransform, kAngleCount> m_rotations;
    std::vector<PlacedGroup> m_groups;
    QPixmap m_background;
    int m_start = 0;
    int m_end = 0;
    int m_offset = 0;
    int m_groupsDrawn = 0;
};
