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

// Runs the computation modally over `owner`. True when every operation was
// visited (the totals then hold the period's sums); false when it was
// cancelled or the dialog or the thread could not be made.
bool runTotalsJob(HWND owner, const Document& doc, const Period& period, CategoryTotalList& totals);

} // namespace kolvane::win
