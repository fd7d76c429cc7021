#include "qtcore/qtext.h"

#include <QList>

#include "core/transcription/cp1250.h"

QString fromCp1250(std::string_view bytes) {
    QString out;
    out.reserve(static_cast<qsizetype>(bytes.size()));
    for (const char c : bytes) {
        out.append(QChar(cp1250::toUnicode(static_cast<unsigned char>(c))));
    }
    return out;
}

std::string toCp1250(const QString& text) {
    std::string out;
    out.reserve(static_cast<std::size_t>(text.size()));
    for (const char32_t cp : text.toUcs4()) {
        const int b = cp1250::fromUnicode(cp);
        if (b >= 0) {
            out.push_back(static_cast<char>(b));
        }
    }
    return out;
}

QString fromFontCodes(std::string_view codes) {
    return QString::fromLatin1(codes.data(), static_cast<qsizetype>(codes.size()));
}
