#include "session/catalogue.h"

#include <array>

namespace kav {

namespace {
// 4 topics x 10 entries: entry (t, p) is the title of ThemeCode 10 * t + p.
const std::array<const char*, 40> titles = {
    "Rekenmachines schakelen",
    "In welk hokje zit de muis ?",
    "Waar springt de kikker naar toe ?",
    "Hoe nummeren ze in Stippenland ?",
    "RaRa met KeerEnPlus of KeerEnMin",
    "Tureluurs van al die diagonalen ?",
    "Ome Koos met zijn spijkerbord",
    "", "", "",
    "Een foutje in een verhoudingstabel",
    "Rechthoeken met dezelfde vorm",
    "Plattegrond van een Flat",
    "Omrekenen van geld",
    "Vergelijken van verpakkingen",
    "Benzineverbruik van auto's",
    "Een vogel en zijn schaduw",
    "", "", "",
    "Hoe groot is dat driehoeksgetal ?",
    "De top eraf. Hoeveel over ?",
    "Twee hoeken eraf. Hoeveel over ?",
    "Terras zonder punt. Aantal tegels ?",
    "Terras met een vijver. Aantal tegels ?",
    "Som van een rij (zonder stippen)",
    "Som van een rij (met stippen)",
    "Een driehoeksgetal met rare gaten",
    "", "",
    "De eerste 30 driehoeksgetallen (schuin)",
    "De eerste 30 driehoeksgetallen (recht)",
    "Opbouw van de driehoeksgetallen",
    "Truc van Gauss voor driehoeksgetallen",
    "Som van 2 opeenvolgende 3hoeksgetallen",
    "Truc van Gauss voor rijen",
    "", "", "", "",
};
}  // namespace

QString ThemeTitle(int themeCode)
{
    if (themeCode < 1 || themeCode > 40)
        return QString();
    return QString::fromUtf8(titles[size_t(themeCode - 1)]);
}

}  // namespace kav
