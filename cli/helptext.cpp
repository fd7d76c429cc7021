#include "cli/helptext.h"

namespace {

constexpr const char* kOverview = R"(Uporaba: ostrel UKAZ [STIKALA] [DATOTEKE]

Tengwar Ostrel v ukazni vrstici: prečrkovanje latinice v Tengwar, pretvorba
besedilnih datotek v RTF in žrebanje vaj, brez okna in brez zaslona.

Ukazi:
  transcribe [DATOTEKA...]     latinica -> Tengwar, vrstico za vrstico
                               (brez datoteke bere standardni vhod)
  convert VHOD.txt IZHOD.rtf   isti RTF kot stran "Pretvorba datotek"
  draw [--task N] [--count K]  primeri naloge: črke, Tengwar, pričakovani odgovor
  help [UKAZ]                  ta pomoč ali pomoč za ukaz
  --version                    različica orodja

Stikala za pretvorbo so privzeto shranjena stikala programa (datoteka
nastavitev se samo bere, nikoli ne piše). Pomoč za posamezen ukaz:
  ostrel UKAZ --help

Izhodni status: 0 uspeh, 1 napaka pri izvajanju, 2 napačna ukazna vrstica.

Primeri:
  echo "tengwar" | ostrel transcribe
  ostrel transcribe --to unicode pesem.txt > pesem-tengwar.txt
  ostrel convert pesem.txt pesem.rtf
  ostrel draw --task 2 --count 5
)";

constexpr const char* kSwitches = R"(
Stikala za pretvorbo (vsi ukazi):
  --defaults            prezri shranjena stikala; uporabi privzeta
  --set N=on|off        stikalo za pretvorbo N za ta zagon (lahko večkrat); N je:
                          0 th -> T        1 dh -> D        2 dž -> đ
                          3 sh -> š        4 ld -> L        5 nj -> N
                          6 ng -> N        7 rd -> ŕ        8 rh -> R
                          9 lh -> L       10 lj -> L       11 zh -> ž
                         12 zz -> zZ      13 ss -> sS      14 končni e -> nemi e
                         15 ps -> ç       16 śŚźŹ -> sSzZ  17 tehtar za o in u: Quenya
                                                              (off: Black Speech)
                         18 samoglasniki: Quenya (off: Sindarin)
                         24 dz -> C       25 gh -> G       26 śŚźŹ pred sam.
                         27 SźZŹ~->Śzzz~  28 nk -> N       29 ts -> c
                         30 ks -> x       34 velike črke pri pretvorbi datotek
  --never-tilde ČRKE    črke, ki nikoli ne dobijo tilde ("brez ~")

Kodiranje:
  --encoding utf-8|cp1250
                        kodiranje besedila na vhodu in izhodu (privzeto utf-8)
  --replace             znak, ki ga Windows-1250 nima, zamenjaj z "?"
                        (sicer je to napaka z vrstico in stolpcem)
)";

constexpr const char* kTranscribe = R"(Uporaba: ostrel transcribe [STIKALA] [DATOTEKA...]

Prečrka latinico v Tengwar, vrstico za vrstico, iz datotek (ali s
standardnega vhoda, če datotek ni ali je ime "-") na standardni izhod.
Besedilo teče skozi: poraba pomnilnika ni odvisna od velikosti vhoda ne
od dolžine vrstice. Izjema je dolg niz črk, ki ga pravila prečrkovanja ne
dovolijo razrezati (na primer sami naključni samoglasniki): tak niz se
hrani ves, dokler se ne konča.

  --raw                 surovi način: besedilo je že zapisano v črkah
                        fonetične abecede in se le poišče v tabeli znakov
  --to codes            kode pisave, ki jih postavite v pisavo "Tengwar
                        Quenya" (privzeto)
  --to unicode          črke in znamenja bloka Tengwar registra ConScript
                        Unicode Registry (U+E000-U+E07F); besedilo se pokaže
                        v vsaki pisavi, ki sledi registru, in v pisavi
                        "Tengwar Quenya"
)";

constexpr const char* kTranscribeExamples = R"(
Primeri:
  echo "Nekoč je živel mlad kovač." | ostrel transcribe
  ostrel transcribe --set 14=on --never-tilde "lr" zgodba.txt
  ostrel transcribe --raw --to unicode crke.txt
  ostrel transcribe --encoding cp1250 --replace star.txt > star-tengwar.txt
)";

constexpr const char* kConvert = R"(Uporaba: ostrel convert [STIKALA] VHOD.txt IZHOD.rtf

Pretvori besedilno datoteko v dokument RTF, enak tistemu, ki ga napiše
stran "Pretvorba datotek": besede v pisavi "Tengwar Quenya", ločila in
številke v latinici. Na terminalu teče vrstica napredka; Ctrl+C (pa tudi
signala TERM in HUP) pretvorbo ustavi in dokument pravilno zaključi. Če
pisanje ne uspe (poln disk), se nedokončana izhodna datoteka odstrani.

  --yes, -y             obstoječo izhodno datoteko prepiši brez vprašanja
  --set 34=on           velike črke pred prečrkovanjem spremeni v male
Vhodna in izhodna datoteka ne smeta biti ista.
)";

constexpr const char* kConvertExamples = R"(
Primeri:
  ostrel convert pesem.txt pesem.rtf
  ostrel convert --yes --encoding cp1250 star.txt star.rtf
  ostrel convert --defaults --set 34=on pismo.txt pismo.rtf
)";

constexpr const char* kDraw = R"(Uporaba: ostrel draw [STIKALA]

Izžreba primere naloge iz shranjenih opisov nalog, kot jih da vaja: vsak
primer v svoji vrstici, ločeno s tabulatorji: črke fonetične abecede, njihov
Tengwar in pričakovani odgovor (prepis v latinico po shranjenih pravilih).

  --task N              naloga N (privzeto 1)
  --count K             K primerov (privzeto 1)
  --seed S              začetno seme naključnih števil: enako seme da enake
                        primere (brez njega seme iz ure)
  --list                izpiši številke in imena nalog
  --to codes|unicode    oblika Tengwarja (kot pri transcribe)
)";

constexpr const char* kDrawExamples = R"(
Primeri:
  ostrel draw --list
  ostrel draw --task 3 --count 10
  ostrel draw --task 1 --count 5 --seed 42 --to unicode
)";

}  // namespace

std::string overviewHelp() {
    return kOverview;
}

std::string commandHelp(const std::string& command) {
    if (command == "transcribe") {
        return std::string(kTranscribe) + kSwitches + kTranscribeExamples;
    }
    if (command == "convert") {
        return std::string(kConvert) + kSwitches + kConvertExamples;
    }
    if (command == "draw") {
        return std::string(kDraw) + kSwitches + kDrawExamples;
    }
    return {};
}
