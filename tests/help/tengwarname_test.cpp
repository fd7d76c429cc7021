#include <gtest/gtest.h>

#include <string>

#include "core/help/eastereggtext.h"
#include "core/transcription/cp1250.h"
#include "core/transcription/engine.h"
#include "core/transcription/settingssource.h"
#include "ui/help/aboutpage.h"

namespace {

std::string transcribed(const char* utf8) {
    TConvertData settings;
    loadDefaultSettings(settings);
    return LatinToTengwar(cp1250::fromUtf8(utf8), false, settings, true);
}

// The Tengwar the About page and the hidden window show is stored as font
// codes; it must be what the engine makes of its lower-case source, so that it
// reads as written (a capital would be another sound, and Č Š Ž would be lost).
TEST(TengwarName, StoredCodesAreTheTranscriptionOfTheirLowerCaseSource) {
    EXPECT_EQ(std::string(EmblemBox::kEmblemCodes), transcribed("tengwar ostrel"));

    std::string tengwar;
    std::string latin;
    for (const eastereggtext::Group& group : eastereggtext::kGroups) {
        (group.face == eastereggtext::Face::Tengwar ? tengwar : latin) += group.text;
    }
    EXPECT_EQ(tengwar,
              transcribed("tengwar so pisava vilinov, ki jo je izumil tolkin. ostrel vas uči brati jih vsak dan "
                          "malo, potrpežljivo in z veseljem. kdor vztraja, bo kmalu bral vilinske črke tako hitro "
                          "kot latinico. tudi ta vrstica, ki teče po valu, je zapisana v tengwar. če jo lahko "
                          "preberete, ste se naučili že veliko. zdaj pa nazaj k nalogam: vsaka pravilno prebrana "
                          "beseda je korak naprej na dolgi poti čez gore in gozdove. srečno pot vsem popotnikom! "));
    EXPECT_EQ(latin, cp1250::fromUtf8("Lep dan vam želimo!"));
    // The capitals' sounds are nowhere: T (th) is code 3.
    EXPECT_EQ(tengwar.find('3'), std::string::npos);
}

}  // namespace
