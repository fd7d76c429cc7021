#include "core/convert/systemerror.h"

#include <cerrno>
#include <cstring>

#include "core/transcription/cp1250.h"

std::string systemErrorText(int errnum) {
    switch (errnum) {
        case ENOENT:
            return "Datoteka ali mapa ne obstaja.";
        case EISDIR:
            return "To je mapa, ne datoteka.";
        case EACCES:
        case EPERM:
            return "Za to ni dovoljenja.";
        case ENOSPC:
        case EDQUOT:
            return "Na disku ni dovolj prostora.";
        case EROFS:
            return "Datote\xE8ni sistem je samo za branje.";
        case ENOTDIR:
            return "Del poti ni mapa.";
        case ENAMETOOLONG:
            return "Ime je predolgo.";
        case ELOOP:
            return "Pot ima preve\xE8 simbolnih povezav.";
        case EIO:
            return "Naprava pri branju ali pisanju ne deluje.";
        case EFBIG:
            return "Datoteka je prevelika.";
        case EMFILE:
        case ENFILE:
            return "Odprtih je preve\xE8 datotek.";
        case kNotRegularFile:
            return "To ni navadna datoteka, temve\xE8 cev ali naprava.";
        default: {
            // The system's text is in its own encoding (UTF-8 here).
            std::string text = cp1250::fromUtf8(std::strerror(errnum));
            return text.empty() ? "Sistemska napaka " + std::to_string(errnum) + "." : text + ".";
        }
    }
}
