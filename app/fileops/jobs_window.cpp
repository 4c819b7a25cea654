// The "Aufträge" window: see jobs_window.h.
#include "app/fileops/jobs_window.h"

#include "app/core/app_state.h"
#include "app/core/ids.h"
#include "app/fileops/job_figures.h"
#include "app/fileops/job_queue.h"
#include "toolkit/gadgets.h"

#include <array>
#include <cmath>

namespace {

constexpr int64_t JobsWidth = 640;
constexpr int64_t JobsHeight = 320;

// German names of JobState, in its order.
constexpr std::array<const wchar_t*, 6> JobStateNames = {
    L"wartet", L"läuft", L"angehalten", L"fertig", L"fehlgeschlagen", L"abgebrochen"};

struct ButtonSpec {
    JobsGadget which;
    const wchar_t* text;
    int64_t x, width;
};
constexpr ButtonSpec Buttons[] = {
    {JobsGadget::Pause, L"Anhalten", 10, 90},    {JobsGadget::Resume, L"Fortsetzen", 105, 90},
    {JobsGadget::Cancel, L"Abbrechen", 200, 90}, {JobsGadget::Up, L"Nach oben", 305, 95},
    {JobsGadget::Down, L"Nach unten", 405, 95},  {JobsGadget::Close, L"Schließen", 540, 90},
};

// Gadget numbers by JobsGadget, 0 while the window is closed.
std::array<int64_t, 7> Gadgets{};

int64_t& G(JobsGadget which) {
    return Gadgets[static_cast<size_t>(which)];
}

// The id of the selected row's entry, 0 for none.
int64_t SelectedId() {
    const int64_t row = tk_gadget_get_state(G(JobsGadget::List));
    const auto& entries = QueuedJobs();
    return row >= 0 && row < static_cast<int64_t>(entries.size()) ? entries[size_t(row)].id : 0;
}

// Brings the rows up to date in place, keeping the selected entry selected.
void Refresh() {
    const int64_t list = G(JobsGadget::List);
    if (!list) return;
    const int64_t selected = SelectedId();
    const auto& entries = QueuedJobs();
    const int64_t count = static_cast<int64_t>(entries.size());
    for (int64_t row = 0; row < count; ++row) {
        const std::wstring text = JobRowText(entries[size_t(row)]);
        if (row >= tk_gadget_count_items(list))
            tk_gadget_add_item(list, -1, text);
        else if (tk_gadget_get_item_text(list, row) != text)
            tk_gadget_set_item_text(list, row, text);
    }
    while (tk_gadget_count_items(list) > count) tk_gadget_remove_item(list, count);
    for (int64_t row = 0; row < count; ++row)
        if (entries[size_t(row)].id == selected) tk_gadget_set_state(list, row);
}

void Close() {
    tk_window_close(WinJobs);
    Gadgets.fill(0);
    QueueChanged = nullptr;
}

void Act(int64_t gadget) {
    const int64_t id = SelectedId();
    if (gadget == G(JobsGadget::Close)) return Close();
    if (gadget == G(JobsGadget::Pause)) PauseFileJob(id);
    if (gadget == G(JobsGadget::Resume)) ResumeFileJob(id);
    if (gadget == G(JobsGadget::Cancel)) CancelFileJob(id);
    if (gadget == G(JobsGadget::Up)) MoveWaitingJob(id, -1);
    if (gadget == G(JobsGadget::Down)) MoveWaitingJob(id, +1);
    Refresh();
}

} // namespace

std::wstring JobRowText(const QueuedJob& e) {
    std::wstring text = std::to_wstring(e.id) + L"  " + e.what + L"  –  " +
                        JobStateNames[static_cast<size_t>(e.state)];
    if (e.state == JobState::Waiting) return text;
    text += L"  –  " + std::to_wstring(e.percent) + L" %";
    if (e.state == JobState::Running && e.speed > 0)
        text += L"  –  " + SpeedText(e.speed, App.settings.FileSizeUnit);
    return text;
}

void OpenJobsWindow() {
    if (tk_window_exists(WinJobs)) {
        tk_window_activate(WinJobs);
        return;
    }
    tk_window_open(WinJobs, 0, 0, JobsWidth, JobsHeight, L"Aufträge",
                   TkWindowDialog | TkWindowCentreOnParent, tk_window_handle(WinMain));
    G(JobsGadget::List) = tk_listbox_create(-1, 10, 10, 620, 260);
    for (const ButtonSpec& b : Buttons)
        G(b.which) = tk_button_create(-1, b.x, 280, b.width, 28, b.text);
    tk_window_fit(WinJobs);
    tk_window_set_cancel_button(WinJobs, G(JobsGadget::Close));
    QueueChanged = Refresh;
    Refresh();
    tk_gadget_activate(G(JobsGadget::List));
}

int64_t JobsWindowEvents(int64_t event) {
    if (event == EventCloseWindow) Close();
    if (event == EventGadget && tk_event_gadget() != G(JobsGadget::List)) Act(tk_event_gadget());
    return 0;
}

int64_t JobsWindowGadget(JobsGadget which) {
    return G(which);
}
