#include "vocabulary.h"

namespace kolvane {

const std::array<const char*, 7> kDayNames = {"Dim", "Lun", "Mar", "Mer", "Jeu", "Ven", "Sam"};

const std::array<const char*, 19> kPeriodNames = {
    "Tous",         "Janvier",      "Fevrier",       "Mars",           "Avril",
    "Mai",          "Juin",         "Juillet",       "Aout",           "Septembre",
    "Octobre",      "Novembre",     "Decembre",      "1ère Trimestre", "2e Trimestre",
    "3e Trimestre", "4e Trimestre", "1ère Semestre", "2e Semestre",
};

const std::array<const char*, 4> kPeriodicityNames = {"Mensuel", "Trimestriel", "Semestriel",
                                                      "Annuel"};

const std::array<const char*, 2> kRateKindNames = {"Proportionnel", "Equivalent"};

const std::array<const char*, 3> kFeeKindNames = {"En valeur", "En pourcentage fixe",
                                                  "En pourcentage proportionnel"};

} // namespace kolvane
