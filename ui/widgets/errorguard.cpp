#include "ui/widgets/errorguard.h"

#include <QStringDecoder>
#include <cstring>

#include "qtcore/qtext.h"

namespace errorguard {

QString exceptionText(const char* what) {
    if (what == nullptr) {
        return {};
    }
    const QByteArray bytes(what, static_cast<qsizetype>(std::strlen(what)));
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError()) {
        return text;
    }
    return fromCp1250(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

void showError(QWidget* parent, const QString& text) {
    try {
        messages::error(parent, text);
    } catch (...) {
        // Nothing more can be done for an error box that failed itself.
    }
}

}  // namespace errorguard
