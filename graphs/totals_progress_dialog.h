// Dialog 206 "Progression..." and the worker thread behind it: the period
// totals are computed on their own thread while the user-interface thread
// waits in this modal dialog (its owner disabled, so nothing can change the
// document meanwhile). "Annuler" and the caption's close button only lower
// the job's `running` flag; the dialog always ends through the worker's own
// message, once the thread is over.
#pragma once

#include "graphs/period_totals.h"

#include <windows.h>

namespace kolvane::win {

struct TotalsJobIn {
    const Document* document = nullptr; // never null
    Period period;
};
// Completed when every operation was visited: the totals then hold the
// period's sums added to what they held. NotShown when the dialog or the
// thread could not be made.
enum class TotalsEnd { Completed, Cancelled, NotShown };
struct TotalsJobOut {
    CategoryTotalList* totals = nullptr; // never null
};
// Runs the computation modally over `owner`.
TotalsEnd runTotalsJob(const TotalsJobIn& in, const TotalsJobOut& out, HWND owner);

} // namespace kolvane::win
