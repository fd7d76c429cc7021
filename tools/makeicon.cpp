// Draws the program's icon at every size into PNG files: the tengwa of code
// 0x31 ("t", the first letter of "Tengwar") from our font, in gold on a round
// dark-blue seal with a thin gold ring. Small sizes leave the ring out and
// let the letter fill more of the seal, so that it stays legible.
#include <QCommandLineParser>
#include <QDir>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cstdio>

namespace {

const int kSizes[] = {16, 24, 32, 48, 64, 128, 256};
const QColor kGold(0xE8, 0xC0, 0x5A);
const QColor kSealLight(0x2F, 0x4C, 0x8C);
const QColor kSealDark(0x14, 0x22, 0x4A);

QImage drawIcon(const QString& family, int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    const qreal s = size;
    const QRectF seal(s * 0.03, s * 0.03, s * 0.94, s * 0.94);
    QRadialGradient fill(seal.center() - QPointF(s * 0.15, s * 0.2), s * 0.7);
    fill.setColorAt(0, kSealLight);
    fill.setColorAt(1, kSealDark);
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawEllipse(seal);

    const bool small = size < 32;
    if (!small) {
        p.setPen(QPen(kGold, s * 0.025));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(seal.adjusted(s * 0.06, s * 0.06, -s * 0.06, -s * 0.06));
    }

    // The letter's outline, scaled so that its ink fills the middle of the seal.
    QFont font(family);
    font.setPixelSize(200);
    font.setKerning(false);
    font.setStyleStrategy(QFont::NoFontMerging);
    QPainterPath letter;
    letter.addText(0, 0, font, QStringLiteral("1"));
    const QRectF ink = letter.boundingRect();
    const qreal height = s * (small ? 0.74 : 0.6);
    const qreal scale = height / ink.height();
    QTransform place;
    place.translate(s / 2, s / 2);
    place.scale(scale, scale);
    place.translate(-ink.center().x(), -ink.center().y());
    p.setPen(Qt::NoPen);
    p.setBrush(kGold);
    p.drawPath(place.map(letter));
    p.end();
    return image;
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Draws the program icon into PNG files."));
    parser.addHelpOption();
    QCommandLineOption fontOpt(QStringLiteral("font"), QStringLiteral("Font file."), QStringLiteral("file"),
                               QStringLiteral("resources/font/quenya.ttf"));
    QCommandLineOption outOpt(QStringLiteral("out"), QStringLiteral("Folder for tengwar-ostrel-<size>.png."),
                              QStringLiteral("folder"), QStringLiteral("resources/icons"));
    parser.addOption(fontOpt);
    parser.addOption(outOpt);
    parser.process(app);

    const int id = QFontDatabase::addApplicationFont(parser.value(fontOpt));
    const QStringList families = QFontDatabase::applicationFontFamilies(id);
    if (id < 0 || families.isEmpty()) {
        std::fprintf(stderr, "cannot load font %s\n", qPrintable(parser.value(fontOpt)));
        return 1;
    }
    const QDir out(parser.value(outOpt));
    QDir().mkpath(out.path());
    for (const int size : kSizes) {
        const QString file = out.filePath(QStringLiteral("tengwar-ostrel-%1.png").arg(size));
        if (!drawIcon(families.first(), size).save(file)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
