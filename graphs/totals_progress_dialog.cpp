#include "graphs/totals_progress_dialog.h"

#include "resources/resource_ids.h"
#include "win/window_object.h"

#include <commctrl.h>

namespace kolvane::win {
namespace {

constexpr WORD kStartCommand = 1000;
constexpr UINT kWorkerEnded = WM_USER + 1;
// The dialog's own ends; runModal gives -1 when it could not be made.
constexpr int kJobCancelled = 0;
constexpr int kJobCompleted = 1;
constexpr int kNoThread = 2;

// What the dialog and the worker share. The worker reads the document and
// writes the totals and the flags, nothing else.
struct TotalsJob {
    HANDLE thread = nullptr;
    HWND dialog = nullptr;
    TotalsFlags flags;
    const Document* document = nullptr;
    Period period;
    CategoryTotalList* totals = nullptr;
};

DWORD WINAPI totalsWorker(void* parameter) {
    auto* job = static_cast<TotalsJob*>(parameter);
    addPeriodTotals(*job->document, job->period, *job->totals, job->flags);
    // The last touch of the job: the dialog may release it once this arrives.
    PostMessageW(job->dialog, kWorkerEnded, 0, 0);
    return 0;
}

class TotalsProgressDialog : public DialogObject<TotalsProgressDialog> {
  public:
    explicit TotalsProgressDialog(TotalsJob& job) : job_(job) {}

    void onInit() {
        job_.dialog = window;
        PostMessageW(window, WM_COMMAND, kStartCommand, 0);
    }
    void onCommand(int id, int) {
        if (id == kStartCommand)
            start();
    }
    void onCancel() { job_.flags.running = 0; }
    void onDestroy() {
        // Destroyed from outside (its owner went): stop the worker before
        // the job goes, and drop its message to this window.
        job_.flags.running = 0;
        waitForWorker();
        for (MSG late; PeekMessageW(&late, window, kWorkerEnded, kWorkerEnded, PM_REMOVE);)
            ;
    }
    INT_PTR handleMessage(UINT message, WPARAM wParam, LPARAM) {
        switch (message) {
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) != SC_CLOSE)
                return FALSE;
            job_.flags.running = 0; // the close box cancels, the worker closes
            return setMessageResult(0);
        case kWorkerEnded:
            waitForWorker();
            endDialog(job_.flags.completed == 1 ? kJobCompleted : kJobCancelled);
            return TRUE;
        default:
            return FALSE;
        }
    }

  private:
    void start() {
        if (job_.thread)
            return;
        HWND bar = item(IDC_PROGRESS_BAR);
        SendMessageW(bar, PBM_SETRANGE32, 0, 100);
        SendMessageW(bar, PBM_SETBKCOLOR, 0, RGB(255, 255, 255));
        SendMessageW(bar, PBM_SETPOS, 0, 0);
        job_.flags.completed = 0;
        job_.thread = CreateThread(nullptr, 0, totalsWorker, &job_, 0, nullptr);
        if (!job_.thread) {
            job_.flags.running = 0;
            endDialog(kNoThread);
        }
    }
    void waitForWorker() {
        if (!job_.thread)
            return;
        WaitForSingleObject(job_.thread, INFINITE);
        CloseHandle(job_.thread);
        job_.thread = nullptr;
    }

    TotalsJob& job_;
};

} // namespace

TotalsEnd runTotalsJob(const TotalsJobIn& in, const TotalsJobOut& out, HWND owner) {
    TotalsJob job;
    job.document = in.document;
    job.period = in.period;
    job.totals = out.totals;
    // Raised before the dialog exists, so that a cancel at any moment counts.
    job.flags.running = 1;
    TotalsProgressDialog dialog(job);
    switch (dialog.runModal(owner, IDD_PROGRESS)) {
    case kJobCompleted:
        return TotalsEnd::Completed;
    case kJobCancelled:
        return TotalsEnd::Cancelled;
    default:
        return TotalsEnd::NotShown;
    }
}

} // namespace kolvane::win
