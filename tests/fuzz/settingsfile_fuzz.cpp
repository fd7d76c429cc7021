// libFuzzer target for the settings file's layout: any bytes are read without
// a fault, and the contents of a file read whole survive being written anew
// and read again.

#include <cstdlib>

#include "qtcore/storedfile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString group = QStringLiteral("1.0");
    const storedfile::ReadResult first =
        storedfile::parse(QByteArrayView(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)), group);
    if (first.shape == storedfile::Shape::Unreadable) {
        return 0;
    }
    for (const auto& [key, spelled] : first.contents.values) {
        QString text;
        if (storedfile::valueText(spelled, text)) {
            QString back;
            if (!storedfile::valueText(storedfile::spellValue(text), back) || back != text) {
                std::abort();
            }
        }
    }
    const storedfile::ReadResult again = storedfile::parse(storedfile::compose(first.contents, group), group);
    if (again.shape != storedfile::Shape::Sound || again.contents.values != first.contents.values ||
        again.contents.leading != first.contents.leading ||
        again.contents.otherSections != first.contents.otherSections) {
        std::abort();
    }
    return 0;
}
